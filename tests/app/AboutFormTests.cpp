#include "AboutForm.h"

#include "ArtLabel.h"
#include "ClientPainter.h"
#include "DUXBevel.h"
#include "ExtCtrls.h"
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
    // The one-line texts are at least as wide as the form makes them, and as their text.
    const struct { TLabel* L; int Left, Top, Width; } lines[] = {
        {About->Label1, 16, 64, 168}, {About->Label2, 32, 80, 90}, {About->Label3, 32, 96, 164}};
    for (const auto& l : lines) {
        RECT r = BoundsInBox(l.L->Handle());
        EXPECT_EQ(r.left, l.Left) << l.L->Name();
        EXPECT_EQ(r.top, l.Top) << l.L->Name();
        EXPECT_EQ(r.bottom - r.top, 13) << l.L->Name();
        EXPECT_GE(r.right - r.left, l.Width) << l.L->Name();
        HDC dc = GetDC(l.L->Handle());
        HGDIOBJ old = SelectObject(dc, l.L->Font()->Handle());
        SIZE text;
        std::string caption = WindowText(l.L->Handle());
        GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        SelectObject(dc, old);
        ReleaseDC(l.L->Handle(), dc);
        EXPECT_GE(r.right - r.left, text.cx) << l.L->Name();
        EXPECT_LE(r.right - r.left, std::max<int>(l.Width, text.cx + 4)) << l.L->Name();
    }
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

TEST_F(AboutTest, HasItsTitlePictureAndBevelsInCreationOrder)
{
    std::vector<std::string> order;
    for (int i = 0; i < About->ControlCount(); ++i) order.push_back(About->Controls(i)->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"DUXBevel1", "Image1", "ArtLabel1", "DUXBevel2", "Label1", "Label2",
                                               "Label3", "Label4", "OKButton"}));
    auto bounds = [](TControl* c) { return std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()}; };
    EXPECT_EQ(bounds(About->DUXBevel1), (std::vector<int>{8, 8, 281, 186}));
    EXPECT_EQ(bounds(About->DUXBevel2), (std::vector<int>{8, 192, 281, 81}));
    EXPECT_EQ(bounds(About->Image1), (std::vector<int>{16, 200, 265, 65}));
    EXPECT_EQ(bounds(About->ArtLabel1), (std::vector<int>{16, 16, 257, 41}));
    for (TDUXBevel* b : {About->DUXBevel1, About->DUXBevel2}) {
        EXPECT_EQ(b->Shape(), TBevelShape::bsFrame);
        EXPECT_EQ(b->Highlight(), clWhite);
        EXPECT_EQ(b->Shadow(), clBlack);
    }
    EXPECT_TRUE(About->Image1->Stretch());
    EXPECT_EQ(About->Image1->Picture()->Width(), 378);
    EXPECT_EQ(About->Image1->Picture()->Height(), 83);
    TArtLabel* a = About->ArtLabel1;
    EXPECT_EQ(a->Caption(), "About Penwise :");
    EXPECT_EQ(a->ArtStyle(), (TArtStyle{asShadow, asGradient}));
    EXPECT_EQ(a->Font()->Name(), "Arial");
    EXPECT_EQ(a->Font()->Height(), -32);
    EXPECT_EQ(a->Font()->Style(), static_cast<TFontStyles>(fsBold));
    EXPECT_EQ(a->Color(), 12895428);
    EXPECT_FALSE(a->Transparent());
    EXPECT_EQ(a->TextAlign(), TAlignment::taLeftJustify);
    TGradient* g = a->Gradient();
    EXPECT_EQ(g->GradientStyle(), gsLine);
    EXPECT_EQ(g->LineSize(), 2);
    EXPECT_EQ(std::vector<TColor>({g->Color1(), g->Color2(), g->Color3(), g->Color4(), g->Color5()}),
              std::vector<TColor>({clSilver, clBlue, clAqua, 8388863, 33023}));
    EXPECT_EQ(g->ColorCount(), 4);
    EXPECT_EQ(g->LineDirection(), diVertical);
}

TEST_F(AboutTest, PaintsItsColourFramesTitleAndPicture)
{
    RunAbout([this] {
        HWND h = About->Handle();
        UpdateWindow(h);
        HDC dc = GetDC(h);
        auto at = [dc](int x, int y) { return GetPixel(dc, x, y) & 0xFFFFFF; };
        EXPECT_EQ(at(3, 3), RGB(196, 196, 196));       // the form's colour
        EXPECT_EQ(at(8, 8), RGB(0, 0, 0));             // the lowered frame: black outside
        EXPECT_EQ(at(9, 9), RGB(255, 255, 255));       // and white inside
        EXPECT_EQ(at(8 + 279, 8 + 184), RGB(0, 0, 0));
        EXPECT_EQ(at(8 + 280, 8 + 185), RGB(255, 255, 255));
        EXPECT_EQ(at(100, 70), RGB(196, 196, 196));    // behind the text of Label1
        EXPECT_EQ(at(270, 20), RGB(196, 196, 196));    // the title's background
        // The title's letters carry the gradient: some of its pixels are blue or aqua.
        int coloured = 0;
        for (int y = 16; y < 57; ++y)
            for (int x = 16; x < 273; ++x) coloured += GetBValue(at(x, y)) > 200 && GetRValue(at(x, y)) < 100;
        EXPECT_GT(coloured, 50);
        EXPECT_NE(at(148, 232), RGB(196, 196, 196));  // the picture
        ReleaseDC(h, dc);
        PostMessageA(About->OKButton->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(About->ModalResult(), mrOk);
}

TEST_F(AboutTest, TheLastCharacterOfEachOneLineTextIsDrawn)
{
    RunAbout([this] {
        RedrawWindow(About->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (TLabel* l : {About->Label1, About->Label2}) {
            HWND h = l->Handle();
            std::string text = WindowText(h);
            RECT r;
            GetClientRect(h, &r);
            HDC dc = GetDC(h);
            HGDIOBJ old = SelectObject(dc, l->Font()->Handle());
            SIZE before;  // everything but the last character
            GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()) - 1, &before);
            SelectObject(dc, old);
            int rightmost = -1;
            for (int x = 0; x < r.right; ++x)
                for (int y = 0; y < r.bottom; ++y)
                    if ((GetPixel(dc, x, y) & 0xFFFFFF) == 0) rightmost = x;
            ReleaseDC(h, dc);
            EXPECT_GT(rightmost, before.cx + 1) << l->Name() << ": \"" << text.back() << "\" not drawn";
        }
        PostMessageA(About->OKButton->Handle(), BM_CLICK, 0, 0);
    });
}

TEST_F(AboutTest, EveryLabelWrapsItsText)
{
    for (TLabel* l : {About->Label1, About->Label2, About->Label3, About->Label4}) {
        EXPECT_EQ(GetWindowLongA(l->Handle(), GWL_STYLE) & SS_TYPEMASK, SS_LEFT) << l->Name();
    }
}

// ---- the frame's art label ----

TEST_F(FrameTest, TheArtLabelHasTheFormsValues)
{
    TArtLabel* a = Frame->ArtLabel1;
    EXPECT_EQ(a->Left(), 48);
    EXPECT_EQ(a->Top(), 200);
    EXPECT_EQ(a->Width(), 641);
    EXPECT_EQ(a->Height(), 121);
    EXPECT_EQ(a->Caption(), "FREEWARE");
    EXPECT_EQ(a->ArtStyle(), (TArtStyle{as3DRaise, asShadow, asGradient}));
    EXPECT_EQ(a->Font()->Height(), -93);
    EXPECT_EQ(a->Color(), clBtnFace);
    EXPECT_EQ(a->TextAlign(), TAlignment::taCenter);
    TGradient* g = a->Gradient();
    EXPECT_EQ(std::vector<TColor>({g->Color1(), g->Color2(), g->Color3(), g->Color4(), g->Color5()}),
              std::vector<TColor>({clSilver, clGray, 5987163, clWhite, clBlack}));
    EXPECT_EQ(g->ColorCount(), 3);
    EXPECT_EQ(g->LineSize(), 2);
    EXPECT_EQ(g->LineDirection(), diHorizonal);
}

TEST_F(FrameTest, TheArtLabelIsDrawnOnTheClientBackgroundBelowTheDocuments)
{
    HWND client = Frame->ClientHandle();
    // Where the frame's form puts it, seen from the client window.
    POINT at{48, 200};
    MapWindowPoints(Frame->Handle(), client, &at, 1);
    delete Doc();  // nothing covers the label now
    pwtest::Pump();
    RedrawWindow(client, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(client);
    auto px = [dc](int x, int y) { return GetPixel(dc, x, y) & 0xFFFFFF; };
    COLORREF face = GetSysColor(COLOR_BTNFACE), workspace = GetSysColor(COLOR_APPWORKSPACE);
    EXPECT_EQ(px(at.x + 1, at.y + 1), face);
    EXPECT_EQ(px(at.x + 639, at.y + 119), face);
    EXPECT_EQ(px(at.x - 2, at.y + 60), workspace);
    EXPECT_EQ(px(at.x + 60, at.y + 123), workspace);
    // The caption's letters are there: grey gradient and edges, not only the background.
    int letters = 0;
    for (int x = at.x; x < at.x + 641; x += 2) letters += px(x, at.y + 60) != face;
    EXPECT_GT(letters, 40);
    ReleaseDC(client, dc);
    // A document over it hides it; the label is not drawn on top of the document.
    Frame->NewMIClick(nullptr);
    pwtest::Pump();
    RECT d;
    GetWindowRect(Doc()->Handle(), &d);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&d), 2);
    ASSERT_LT(d.left, at.x + 100);
    ASSERT_GT(d.bottom, at.y + 60);
    int x = std::max<int>(at.x + 20, d.left + 5);
    ASSERT_LT(x, std::min<int>(d.right, at.x + 641));
    HDC dc2 = GetDC(client);
    EXPECT_NE(GetPixel(dc2, x, at.y + 60) & 0xFFFFFF, face);
    ReleaseDC(client, dc2);
}

} // namespace
