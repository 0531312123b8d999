// Tool bars with captions, their size, indent, hit testing and self-drawn buttons; panels;
// speed buttons; MDI children made by their client window. Real windows, real messages.
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// A 32-bit memory bitmap to paint into and read back.
class Surface {
public:
    Surface(int w, int h)
    {
        HDC screen = GetDC(nullptr);
        FBitmap.Reset(CreateCompatibleBitmap(screen, w, h));
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC.Get(), FBitmap.Get());
    }
    ~Surface() { SelectObject(FDC.Get(), FOld); }
    HDC DC() const { return FDC.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(FDC.Get(), x, y); }

private:
    TMemoryDC FDC;
    TBitmapHandle FBitmap;
    HGDIOBJ FOld;
};

TToolButton* Button(TComponent* owner, TToolBar* bar, const std::string& caption)
{
    auto* b = new TToolButton(owner);
    b->SetCaption(caption);
    b->SetParent(bar);
    return b;
}

// A tool button that draws itself green.
class GreenButton : public TToolButton {
public:
    explicit GreenButton(TComponent* owner) : TToolButton(owner) {}
    int Paints = 0;
    POINT Origin{-1, -1};
protected:
    bool CustomPainted() const override { return true; }
    void Paint() override
    {
        ++Paints;
        GetViewportOrgEx(Canvas()->Handle(), &Origin);
        Canvas()->Brush()->SetColor(clLime);
        Canvas()->FillRect(RECT{0, 0, 200, 200});  // clipped to the button
    }
};

} // namespace

// ---- Tool bar ----

TEST(ToolBar, CaptionsShowAsTextOnlyButtonsAndTheBarFitsThem)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    auto* bar = new TToolBar(&form);
    bar->SetShowCaptions(true);
    bar->SetAutoSize(true);
    bar->SetBounds(0, 0, 380, 60);
    bar->SetParent(&form);
    TToolButton* file = Button(&form, bar, "&File");
    Button(&form, bar, "&Window");
    form.HandleNeeded();
    char text[32] = {};
    ASSERT_GT(bar->Perform(TB_GETBUTTONTEXTA, file->Command(), reinterpret_cast<LPARAM>(text)), 0);
    EXPECT_STREQ(text, "&File");
    RECT r = bar->ItemRect(1);
    EXPECT_EQ(bar->Height(), r.bottom) << "auto size: the bar is as high as its buttons";
    EXPECT_LT(bar->Height(), 40) << "no room for images above text-only buttons";
    file->SetCaption("&Document");
    bar->Perform(TB_GETBUTTONTEXTA, file->Command(), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "&Document");
}

TEST(ToolBar, IndentMovesTheButtonsAndHitTestingFindsThemWhereTheyAreDrawn)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    auto* bar = new TToolBar(&form);
    bar->SetShowCaptions(true);
    bar->SetBounds(0, 0, 380, 30);
    bar->SetParent(&form);
    TToolButton* a = Button(&form, bar, "One");
    TToolButton* b = Button(&form, bar, "Two");
    form.HandleNeeded();
    int before = bar->ItemRect(0).left;
    bar->SetIndent(12);
    EXPECT_EQ(bar->ItemRect(0).left, before + 12);
    EXPECT_EQ(a->Left(), bar->ItemRect(0).left) << "the button's bounds follow the bar";
    RECT rb = bar->ItemRect(1);
    POINT inB{(rb.left + rb.right) / 2, (rb.top + rb.bottom) / 2};
    EXPECT_EQ(bar->ControlAtPos(inB, false), b);
    b->SetEnabled(false);
    EXPECT_EQ(bar->ControlAtPos(inB, false), nullptr) << "disabled buttons excluded";
    EXPECT_EQ(bar->ControlAtPos(inB, true), b);
    EXPECT_EQ(bar->ControlAtPos(POINT{370, 5}, true), nullptr) << "past the last button";
    bar->MoveButton(b, 0);
    EXPECT_EQ(b->Index(), 0);
    EXPECT_EQ(bar->ControlAtPos(POINT{bar->ItemRect(0).left + 2, inB.y}, true), b);
}

TEST(ToolBar, ASelfDrawnButtonPaintsItsOwnRectangle)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* bar = new TToolBar(&form);
    bar->SetBounds(0, 0, 280, 30);
    bar->SetParent(&form);
    new TToolButton(&form);
    auto* plain = Button(&form, bar, "");
    auto* green = new GreenButton(&form);
    green->SetParent(bar);
    form.HandleNeeded();
    Surface s(280, 30);
    RECT all{0, 0, 280, 30};
    FillRect(s.DC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    bar->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    RECT g = bar->ItemRect(green->Index()), p = bar->ItemRect(plain->Index());
    ASSERT_GT(green->Paints, 0);
    EXPECT_EQ(green->Origin.x, g.left) << "origin at the button's top-left";
    EXPECT_EQ(s.At(g.left + 3, g.top + 3), RGB(0, 255, 0));
    EXPECT_NE(s.At(p.left + 3, p.top + 3), RGB(0, 255, 0)) << "the other button is drawn by the bar";
    EXPECT_NE(s.At(g.right + 1, g.top + 3), RGB(0, 255, 0)) << "clipped to the button";
    EXPECT_EQ(green->Canvas(), nullptr) << "the canvas is only there while painting";
}

// ---- Panel ----

TEST(Panel, RaisedAndLoweredBevelsAndItsColour)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* panel = new TPanel(&form);
    panel->SetBounds(0, 0, 40, 20);
    panel->SetColor(clRed);
    panel->SetParent(&form);
    form.HandleNeeded();
    Surface s(40, 20);
    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()), 0);
    EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(s.At(39, 19), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(s.At(20, 10), RGB(255, 0, 0));
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()), 0);
    EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0)) << "no bevel: the colour to the edge";
}

// ---- Speed button ----

TEST(SpeedButton, ClicksOnReleaseInsideAndIsDrawnDownWhilePressed)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* b = new TSpeedButton(&form);
    b->SetBounds(10, 10, 40, 20);
    b->SetParent(&form);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form.HandleNeeded();
    HWND h = form.Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 15));
    EXPECT_EQ(b->State(), TButtonState::bsDown);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(100, 80));
    EXPECT_EQ(b->State(), TButtonState::bsUp) << "dragged off: drawn up";
    SendMessageA(h, WM_LBUTTONUP, 0, At(100, 80));
    EXPECT_EQ(clicks, 0) << "released outside";
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 15));
    SendMessageA(h, WM_LBUTTONUP, 0, At(21, 16));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), TButtonState::bsUp);
    b->SetEnabled(false);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 15));
    SendMessageA(h, WM_LBUTTONUP, 0, At(21, 16));
    EXPECT_EQ(clicks, 1) << "disabled";
}

TEST(SpeedButton, AGroupKeepsOneDownUnlessAllMayBeUp)
{
    TForm form(nullptr);
    auto* a = new TSpeedButton(&form);
    auto* b = new TSpeedButton(&form);
    for (TSpeedButton* x : {a, b}) {
        x->SetGroupIndex(1);
        x->SetParent(&form);
    }
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    b->SetDown(false);
    EXPECT_TRUE(b->Down()) << "one of the group stays down";
    a->SetAllowAllUp(true);
    b->SetDown(false);
    EXPECT_FALSE(b->Down());
    auto* lone = new TSpeedButton(&form);
    lone->SetDown(true);
    EXPECT_FALSE(lone->Down()) << "group index 0 never stays down";
}

TEST(SpeedButton, TheMouseEnteringAndLeavingMakesAFlatButtonHot)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* a = new TSpeedButton(&form);
    a->SetFlat(true);
    a->SetBounds(10, 10, 40, 20);
    a->SetParent(&form);
    auto* b = new TSpeedButton(&form);
    b->SetBounds(60, 10, 40, 20);
    b->SetParent(&form);
    form.HandleNeeded();
    SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, At(20, 15));
    EXPECT_TRUE(a->MouseInControl());
    EXPECT_EQ(form.MouseOverControl(), a);
    SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, At(70, 15));
    EXPECT_FALSE(a->MouseInControl());
    EXPECT_TRUE(b->MouseInControl());
    SendMessageA(form.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(b->MouseInControl());
    Surface s(40, 20);
    RECT all{0, 0, 40, 20};
    FillRect(s.DC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    a->Perform(CM_MOUSEENTER, 0, 0);
    a->PaintTo(s.DC());
    EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT)) << "hot flat button: raised edge";
    a->Perform(CM_MOUSELEAVE, 0, 0);
    a->PaintTo(s.DC());
    EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNFACE)) << "cold flat button: no edge";
}

// ---- MDI ----

namespace {
WNDPROC g_clientProc = nullptr;
std::vector<HWND> g_created;
LRESULT CALLBACK WatchClient(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    LRESULT r = CallWindowProcA(g_clientProc, h, msg, w, l);
    if (msg == WM_MDICREATE) g_created.push_back(reinterpret_cast<HWND>(r));
    return r;
}
} // namespace

// A child form being destroyed still gets messages (a maximised one is resized and the next
// one activated), but its owned components are gone by then: none of its own handlers may run,
// or a handler reaching for a component writes into freed memory.
TEST(MDI, AChildBeingDestroyedCallsNoneOfItsHandlers)
{
    TForm frame(nullptr);
    frame.SetFormStyle(TFormStyle::fsMDIForm);
    frame.SetBounds(0, 0, 500, 400);
    frame.Show();
    auto* first = new TForm(&frame);
    first->SetFormStyle(TFormStyle::fsMDIChild);
    first->HandleNeeded();
    auto* second = new TForm(&frame);
    second->SetFormStyle(TFormStyle::fsMDIChild);
    second->HandleNeeded();
    ShowWindow(second->Handle(), SW_MAXIMIZE);
    pwtest::Pump();
    bool destroying = false;
    std::vector<std::string> late;
    second->OnDestroy = [&](TObject*) { destroying = true; };
    second->OnResize = [&](TObject*) { if (destroying) late.push_back("OnResize"); };
    second->OnActivate = [&](TObject*) { if (destroying) late.push_back("OnActivate"); };
    second->OnDeactivate = [&](TObject*) { if (destroying) late.push_back("OnDeactivate"); };
    delete second;
    pwtest::Pump();
    EXPECT_TRUE(destroying);
    EXPECT_TRUE(late.empty()) << late.size() << " handler(s) after destruction began, the first " << late[0];
    EXPECT_EQ(frame.MDIChildCount(), 1);
}

TEST(MDI, ChildFormsAreMadeByTheClientWindowThroughWMMDICREATE)
{
    TForm frame(nullptr);
    frame.SetFormStyle(TFormStyle::fsMDIForm);
    frame.SetBounds(0, 0, 500, 400);
    frame.HandleNeeded();
    HWND client = frame.ClientHandle();
    g_created.clear();
    g_clientProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchClient)));
    auto* child = new TForm(&frame);
    child->SetFormStyle(TFormStyle::fsMDIChild);
    child->SetText("Child");
    child->HandleNeeded();
    SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_clientProc));
    ASSERT_EQ(g_created.size(), 1u);
    EXPECT_EQ(g_created[0], child->Handle());
    EXPECT_EQ(frame.ActiveMDIChild(), child) << "the client knows its child";
    EXPECT_EQ(frame.MDIChildCount(), 1);
    char title[16] = {};
    GetWindowTextA(child->Handle(), title, sizeof title);
    EXPECT_STREQ(title, "Child");
    delete child;
    EXPECT_EQ(frame.MDIChildCount(), 0);
}
