#include "Forms.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

constexpr UINT WM_THROW = WM_USER + 1;
constexpr UINT WM_ECHO = WM_USER + 2;
constexpr UINT WM_RELEASE_ME = WM_USER + 3;
constexpr UINT WM_ABORT = WM_USER + 4;

bool* g_destroyed = nullptr;

class ProbeForm : public TForm {
public:
    explicit ProbeForm(TComponent* owner) : TForm(owner) {}
    ~ProbeForm() override { if (g_destroyed) *g_destroyed = true; }
    std::vector<UINT> Seen;
    bool AliveAfterRelease = false;
    void WndProc(TMessage& m) override
    {
        if (Seen.size() < 16) Seen.push_back(m.Msg);
        switch (m.Msg) {
        case WM_THROW: throw Exception("handler failed");
        case WM_ABORT: Abort();
        case WM_ECHO: m.Result = static_cast<LRESULT>(m.WParam) * 2; return;
        case WM_RELEASE_ME:
            Release();
            AliveAfterRelease = true;  // still safe to touch: freed only after this returns
            m.Result = 7;
            return;
        default: TForm::WndProc(m);
        }
    }
};

// A push button: a system class copied under a name of ours.
class ProbeButton : public TWinControl {
public:
    explicit ProbeButton(TComponent* owner) : TWinControl(owner) { SetBounds(5, 5, 80, 24); }
    int Commands = 0;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) ++Commands;
        TWinControl::WndProc(m);
    }
protected:
    void CreateParams(TCreateParams& p) override
    {
        TWinControl::CreateParams(p);
        p.WinClassName = "TPwProbeButton";
        p.SubclassOf = "BUTTON";
        p.Style |= BS_PUSHBUTTON;
    }
};

class Panel : public TWinControl {
public:
    Panel(TComponent* owner, TWinControl* parent, TAlign a, int size) : TWinControl(owner)
    {
        SetBounds(0, 0, size, size);
        SetAlign(a);
        SetParent(parent);
    }
};

} // namespace

TEST(Window, ObjectIsBoundBeforeTheFirstMessage)
{
    ProbeForm f(nullptr);
    f.SetBounds(10, 10, 200, 150);
    HWND h = f.Handle();
    ASSERT_NE(h, nullptr);
    ASSERT_FALSE(f.Seen.empty());
    // Top-level windows get WM_GETMINMAXINFO before WM_NCCREATE: it reaches the object too.
    EXPECT_EQ(f.Seen[0], static_cast<UINT>(WM_GETMINMAXINFO));
    EXPECT_EQ(TWinControl::FindControl(h), &f);
    EXPECT_EQ(TWinControl::FindControl(GetDesktopWindow()), nullptr);
    EXPECT_EQ(SendMessageA(h, WM_ECHO, 21, 0), 42);
}

TEST(Window, ExceptionInAHandlerReachesTheApplicationAndTheWindowGoesOn)
{
    pwtest::MessageBoxRecorder boxes;
    ProbeForm f(nullptr);
    HWND h = f.Handle();
    EXPECT_EQ(SendMessageA(h, WM_THROW, 0, 0), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "handler failed.");
    EXPECT_EQ(SendMessageA(h, WM_ECHO, 5, 0), 10);
    // The silent abort shows nothing.
    EXPECT_EQ(SendMessageA(h, WM_ABORT, 0, 0), 0);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    // Posted messages go through the application's loop: the same handling.
    PostMessageA(h, WM_THROW, 0, 0);
    pwtest::Pump();
    EXPECT_EQ(boxes.Shown().size(), 2u);
}

TEST(Window, OnExceptionReplacesTheDefaultHandler)
{
    pwtest::MessageBoxRecorder boxes;
    std::string seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen = e.what(); };
    ProbeForm f(nullptr);
    SendMessageA(f.Handle(), WM_THROW, 0, 0);
    Application->OnException = nullptr;
    EXPECT_EQ(seen, "handler failed");
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(Window, ReleaseInsideAHandlerFreesAfterTheMessage)
{
    bool destroyed = false;
    g_destroyed = &destroyed;
    auto* f = new ProbeForm(nullptr);
    HWND h = f->Handle();
    LRESULT r = SendMessageA(h, WM_RELEASE_ME, 0, 0);
    g_destroyed = nullptr;
    EXPECT_EQ(r, 7);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(IsWindow(h));
}

TEST(Window, NotificationsAreReflectedToTheChild)
{
    TForm f(nullptr);
    auto* b = new ProbeButton(&f);
    b->SetParent(&f);
    HWND bh = b->Handle();
    ASSERT_NE(bh, nullptr);
    EXPECT_EQ(GetParent(bh), f.Handle());
    SendMessageA(bh, BM_CLICK, 0, 0);
    EXPECT_EQ(b->Commands, 1);
    b->SetText("Push");
    char text[16] = {};
    GetWindowTextA(bh, text, sizeof text);
    EXPECT_STREQ(text, "Push");
    // Re-creating the window keeps its text and binds the new window.
    b->RecreateWnd();
    EXPECT_NE(b->Handle(), nullptr);
    EXPECT_EQ(b->Text(), "Push");
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(b->Commands, 2);
}

TEST(Window, PerformGoesThroughTheDispatchEvenWithoutAWindow)
{
    ProbeForm f(nullptr);
    EXPECT_FALSE(f.HandleAllocated());
    EXPECT_EQ(f.Perform(WM_ECHO, 4, 0), 8);
    EXPECT_FALSE(f.HandleAllocated());
}

TEST(Window, AlignedChildrenShareTheClientArea)
{
    TForm f(nullptr);
    f.SetBounds(0, 0, 300, 200);
    auto* top = new Panel(&f, &f, TAlign::alTop, 30);
    auto* bottom = new Panel(&f, &f, TAlign::alBottom, 20);
    auto* client = new Panel(&f, &f, TAlign::alClient, 10);
    f.HandleNeeded();
    RECT cr;
    GetClientRect(f.Handle(), &cr);
    EXPECT_EQ(top->Top(), 0);
    EXPECT_EQ(top->Width(), cr.right);
    EXPECT_EQ(bottom->Top(), cr.bottom - 20);
    EXPECT_EQ(client->Top(), 30);
    EXPECT_EQ(client->Height(), cr.bottom - 50);
    // Resizing the form lays the children out again.
    f.SetBounds(0, 0, 400, 300);
    GetClientRect(f.Handle(), &cr);
    EXPECT_EQ(client->Width(), cr.right);
    EXPECT_EQ(client->Height(), cr.bottom - 50);
    RECT wr;
    GetWindowRect(client->Handle(), &wr);
    EXPECT_EQ(wr.right - wr.left, cr.right);
}

TEST(Window, ScreenCentredFormIsCentredInTheWorkArea)
{
    TForm f(nullptr);
    f.SetPosition(TPosition::poScreenCenter);
    f.SetBounds(0, 0, 300, 200);
    f.Show();
    RECT work, r;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    EXPECT_EQ(r.left, work.left + (work.right - work.left - 300) / 2);
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 200) / 2);
}

TEST(Window, APlainFormHasAButtonFaceBackgroundAlsoAfterAnMDIFrame)
{
    TForm frame(nullptr);
    frame.SetFormStyle(TFormStyle::fsMDIForm);
    frame.HandleNeeded();
    TForm f(nullptr);
    f.SetBounds(0, 0, 100, 80);
    f.HandleNeeded();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 100, 80);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 100, 80};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(f.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(GetPixel(dc, 10, 10), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(Window, CloseAsksAndActsOnTheCloseAction)
{
    TForm f(nullptr);
    f.Show();
    bool allow = false;
    int closes = 0;
    f.OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    f.OnClose = [&](TObject*, TCloseAction& a) { ++closes; a = TCloseAction::caHide; };
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    allow = true;
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
}
