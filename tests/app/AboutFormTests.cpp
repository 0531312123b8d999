#include "AboutForm.h"

#include "FrameFixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace pw;

namespace {

TAboutForm* g_stuck = nullptr;

// Ends a modal loop that nothing else ended, so that the test fails instead of hanging.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_stuck) g_stuck->SetModalResult(mrAbort);
}

// The frame and the about box, created as the program creates them.
class AboutTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        About = new TAboutForm(Application);
        About->AfterConstruction();
        Created = About->Handle();
    }
    void TearDown() override
    {
        delete About;
        FrameTest::TearDown();
    }
    // Runs About; once the box is up and the modal loop runs, Act looks at it and closes it.
    void RunAbout(std::function<void()> Act)
    {
        constexpr UINT WM_ABOUT_UP = WM_APP + 77;
        Shown = 0;
        About->OnShow = [this](TObject*) {
            ++Shown;
            PostThreadMessageA(GetCurrentThreadId(), WM_ABOUT_UP, 0, 0);
        };
        auto& filters = Application->MessageFilters;
        filters.push_back([this, Act](MSG& m) {
            if (m.hwnd || m.message != WM_ABOUT_UP) return false;
            ShownHandle = About->Handle();
            ShownVisible = IsWindowVisible(About->Handle()) != 0;
            FrameEnabledWhileShown = IsWindowEnabled(Frame->Handle()) != 0;
            Act();
            return true;
        });
        g_stuck = About;
        UINT_PTR guard = SetTimer(nullptr, 0, 20000, GiveUp);
        Frame->AboutMIClick(nullptr);
        KillTimer(nullptr, guard);
        g_stuck = nullptr;
        filters.pop_back();
        About->OnShow = nullptr;
    }
    static std::string WindowText(HWND h)
    {
        char buf[512] = {};
        GetWindowTextA(h, buf, sizeof buf);
        return buf;
    }
    RECT BoundsInBox(HWND h)
    {
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, About->Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void ExpectBounds(TWinControl* c, int l, int t, int w, int h)
    {
        RECT r = BoundsInBox(c->Handle());
        EXPECT_EQ(r.left, l) << c->Name();
        EXPECT_EQ(r.top, t) << c->Name();
        EXPECT_EQ(r.right - r.left, w) << c->Name();
        EXPECT_EQ(r.bottom - r.top, h) << c->Name();
    }

    TAboutForm* About = nullptr;
    HWND Created = nullptr;
    int Shown = 0;
    HWND ShownHandle = nullptr;
    bool ShownVisible = false;
    bool FrameEnabledWhileShown = true;
};

TEST_F(AboutTest, IsCreatedHiddenAtStart)
{
    EXPECT_EQ(AboutForm, About);
    EXPECT_TRUE(IsWindow(Created));
    EXPECT_FALSE(IsWindowVisible(Created));
}

TEST_F(AboutTest, HasTheCaptionFrameAndSizeOfAFixedDialog)
{
    HWND h = About->Handle();
    EXPECT_EQ(WindowText(h), "About Penwise v 1.5");
    RECT c;
    GetClientRect(h, &c);
    EXPECT_EQ(c.right, 298);
    EXPECT_EQ(c.bottom, 321);
    LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(About->Color(), 12895428);
    EXPECT_EQ(About->Font()->Name(), "Arial");
    EXPECT_EQ(About->Font()->Height(), -10);
}

TEST_F(AboutTest, ShowsTheTextsWhereTheFormPutsThem)
{
    EXPECT_EQ(WindowText(About->Label1->Handle()), "Penwise has many new abilities like :");
    EXPECT_EQ(WindowText(About->Label2->Handle()), "--> It is a richeditor.");
    EXPECT_EQ(WindowText(About->Label3->Handle()), "--> It has spelling check capability. ");
    EXPECT_EQ(WindowText(About->Label4->Handle())
                  .rfind("--> you can press right mouse button on any word in editor window.", 0),
              0u);
    EXPECT_EQ(WindowText(About->OKButton->Handle()), "OK");
    ExpectBounds(About->Label1, 16, 64, 168, 13);
    ExpectBounds(About->Label2, 32, 80, 90, 13);
    ExpectBounds(About->Label3, 32, 96, 164, 13);
    ExpectBounds(About->Label4, 32, 112, 241, 52);
    ExpectBounds(About->OKButton, 111, 290, 75, 24);
    EXPECT_EQ(GetWindowLongA(About->OKButton->Handle(), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
}

TEST_F(AboutTest, AboutShowsTheBoxModallyAndOKClosesIt)
{
    RunAbout([this] { PostMessageA(About->OKButton->Handle(), BM_CLICK, 0, 0); });
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(ShownVisible);
    EXPECT_FALSE(FrameEnabledWhileShown);  // modal: the frame waits
    EXPECT_EQ(About->ModalResult(), mrOk);
    EXPECT_FALSE(IsWindowVisible(About->Handle()));
    EXPECT_TRUE(IsWindowEnabled(Frame->Handle()));
}

TEST_F(AboutTest, EnterClosesTheBox)
{
    RunAbout([this] {
        PostMessageA(About->Handle(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(About->Handle(), WM_KEYUP, VK_RETURN, 0xC0000000);
    });
    EXPECT_EQ(Shown, 1);
    EXPECT_EQ(About->ModalResult(), mrOk);
    EXPECT_FALSE(IsWindowVisible(About->Handle()));
}

TEST_F(AboutTest, EveryAboutReusesTheSameWindow)
{
    for (int i = 0; i < 2; ++i) {
        RunAbout([this] { PostMessageA(About->OKButton->Handle(), BM_CLICK, 0, 0); });
        EXPECT_EQ(Shown, 1);
        EXPECT_EQ(ShownHandle, Created);
    }
    EXPECT_EQ(About, AboutForm);
}

} // namespace
