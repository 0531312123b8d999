// Canvas, bitmaps, window-less and self-drawn controls, mouse events and owner-drawn menu items,
// drawn into memory DCs and driven by real messages.
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;

namespace {

// A 32-bit memory bitmap to draw into and read back.
class Surface {
public:
    Surface(int w, int h) : FDC(nullptr)
    {
        HDC screen = GetDC(nullptr);
        FBitmap.Reset(CreateCompatibleBitmap(screen, w, h));
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC.Get(), FBitmap.Get());
        RECT r{0, 0, w, h};
        FillRect(FDC.Get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Surface() { SelectObject(FDC.Get(), FOld); }
    HDC DC() const { return FDC.Get(); }
    COLORREF At(int x, int y) const { return GetPixel(FDC.Get(), x, y); }

private:
    TMemoryDC FDC;
    TBitmapHandle FBitmap;
    HGDIOBJ FOld;
};

unsigned long GdiObjects() { return pwtest::GdiObjectCount(); }

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Records the mouse events of a control as short texts.
struct MouseLog {
    std::vector<std::string> Events;
    void Attach(TControl* c)
    {
        auto name = [](TMouseButton b) { return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M"; };
        c->OnMouseDown = [this, name](TObject*, TMouseButton b, unsigned s, int x, int y) {
            Events.push_back(std::string("down ") + name(b) + (s & ssDouble ? " double " : " ") + std::to_string(x) + "," + std::to_string(y));
        };
        c->OnMouseUp = [this, name](TObject*, TMouseButton b, unsigned, int x, int y) {
            Events.push_back(std::string("up ") + name(b) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        c->OnMouseMove = [this](TObject*, unsigned s, int x, int y) {
            Events.push_back(std::string("move ") + (s & ssLeft ? "L " : "") + std::to_string(x) + "," + std::to_string(y));
        };
        c->OnClick = [this](TObject*) { Events.push_back("click"); };
        c->OnDblClick = [this](TObject*) { Events.push_back("dblclick"); };
    }
};

class Swatch : public TGraphicControl {
public:
    explicit Swatch(TComponent* owner) : TGraphicControl(owner) {}
    TColor Fill = clRed;
    int Paints = 0;
protected:
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(RECT{0, 0, Width(), Height()});
    }
};

class Painter : public TCustomControl {
public:
    explicit Painter(TComponent* owner) : TCustomControl(owner) {}
    int Paints = 0;
protected:
    void Paint() override
    {
        ++Paints;
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(RECT{0, 0, 10, 10});
        Canvas()->Pen()->SetColor(clLime);
        Canvas()->MoveTo(0, 12);
        Canvas()->LineTo(20, 12);
    }
};

} // namespace

// ---- Canvas ----

TEST(Canvas, LeavesTheDeviceContextAsItFoundIt)
{
    Surface s(40, 40);
    HGDIOBJ pen = GetCurrentObject(s.DC(), OBJ_PEN), brush = GetCurrentObject(s.DC(), OBJ_BRUSH),
            font = GetCurrentObject(s.DC(), OBJ_FONT);
    SetTextColor(s.DC(), RGB(1, 2, 3));
    SetBkColor(s.DC(), RGB(4, 5, 6));
    SetBkMode(s.DC(), OPAQUE);
    {
        TCanvas c(s.DC());
        c.Pen()->SetColor(clRed);
        c.Pen()->SetMode(TPenMode::pmXor);
        c.Brush()->SetColor(clGreen);
        c.Rectangle(0, 0, 10, 10);
        c.Font()->SetColor(clBlue);
        c.Brush()->SetStyle(TBrushStyle::bsClear);
        c.TextOut(0, 12, "Wg");
        c.Font()->SetStyle(fsBold);  // a second font while the first is selected
        c.TextOut(0, 24, "Wg");
    }
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(s.DC()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(s.DC()), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(s.DC()), OPAQUE);
    EXPECT_EQ(GetROP2(s.DC()), R2_COPYPEN);
}

TEST(Canvas, DrawsWithItsPenBrushAndFont)
{
    Surface s(60, 40);
    TCanvas c(s.DC());
    c.Pen()->SetColor(clRed);
    c.Brush()->SetColor(clYellow);
    c.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0)) << "border in the pen colour";
    EXPECT_EQ(s.At(5, 5), RGB(255, 255, 0)) << "inside in the brush colour";
    c.Pen()->SetColor(clBtnShadow);  // a system colour is resolved, not split as RGB
    c.MoveTo(20, 2);
    c.LineTo(30, 2);
    EXPECT_EQ(s.At(25, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(c.PenPos().x, 30);
    c.SetPixel(40, 5, clBlue);
    EXPECT_EQ(c.Pixels(40, 5), static_cast<TColor>(RGB(0, 0, 255)));
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    c.Font()->SetColor(clBlack);
    c.Font()->SetSize(14);
    SIZE e = c.TextExtent("W");
    EXPECT_GT(e.cx, 4);
    EXPECT_GT(c.TextHeight("Wg"), 10);
    c.TextOut(0, 15, "W");
    int dark = 0;
    for (int y = 15; y < 15 + e.cy; ++y)
        for (int x = 0; x < e.cx; ++x) dark += s.At(x, y) == RGB(0, 0, 0);
    EXPECT_GT(dark, 5) << "the letter is drawn in the font colour";
    EXPECT_EQ(s.At(e.cx + 2, 15), RGB(255, 255, 255)) << "a clear brush leaves the background";
}

TEST(Canvas, SettingABrushColourMakesAClearBrushSolid)
{
    TBrush b;
    b.SetStyle(TBrushStyle::bsClear);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.SetColor(clWhite);  // the same colour, but the style changes
    EXPECT_EQ(b.Style(), TBrushStyle::bsSolid);
    EXPECT_EQ(changes, 1);
    b.SetColor(clWhite);
    EXPECT_EQ(changes, 1) << "no change, no event";
}

TEST(Canvas, GdiObjectCountIsSteadyOverManyDraws)
{
    Surface s(50, 50);
    TBitmap picture(8, 8);
    picture.SetTransparent(true);
    for (int i = 0; i < 20; ++i) {  // warm up caches of the system
        TCanvas c(s.DC());
        c.TextOut(0, 0, "x");
    }
    unsigned long before = GdiObjects();
    for (int i = 0; i < 1000; ++i) {
        TCanvas c(s.DC());
        c.Pen()->SetColor(static_cast<TColor>(i));
        c.Brush()->SetColor(static_cast<TColor>(i * 3));
        c.Font()->SetSize(8 + i % 5);
        c.Rectangle(0, 0, 20, 20);
        c.TextOut(0, 20, "Ab");
        c.Draw(30, 30, &picture);
    }
    EXPECT_LE(GdiObjects(), before + 2);
}

TEST(GdiObject, OwnsAndMovesItsHandle)
{
    unsigned long before = GdiObjects();
    {
        TBrushHandle a(CreateSolidBrush(RGB(1, 2, 3)));
        TBrushHandle b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        b = TBrushHandle(CreateSolidBrush(RGB(3, 2, 1)));  // the first one goes
        EXPECT_EQ(GdiObjects(), before + 1);
    }
    EXPECT_EQ(GdiObjects(), before);
}

// ---- Bitmap ----

TEST(Bitmap, KeepsItsPictureWhenResizedAndDrawsWithoutItsTransparentColour)
{
    TBitmap b(4, 4);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(RECT{0, 0, 4, 4});
    b.Canvas()->SetPixel(1, 1, clLime);
    b.SetSize(6, 6);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(0, 255, 0)));
    EXPECT_EQ(b.Canvas()->Pixels(5, 5), static_cast<TColor>(RGB(255, 255, 255))) << "new area is white";

    // Bottom-left pixel (white) is the transparent colour in the automatic mode.
    b.SetTransparent(true);
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(RGB(255, 255, 255)));
    Surface s(10, 10);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 10, 10};
    FillRect(s.DC(), &all, blue);
    DeleteObject(blue);
    TCanvas c(s.DC());
    c.Draw(2, 2, &b);
    EXPECT_EQ(s.At(3, 3), RGB(0, 255, 0));
    EXPECT_EQ(s.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(s.At(7, 7), RGB(0, 0, 255)) << "the transparent colour lets the background through";

    b.SetTransparentColor(clRed);
    c.Draw(2, 2, &b);
    EXPECT_EQ(s.At(2, 2), RGB(255, 0, 0)) << "red left out: the previous red stays";
    EXPECT_EQ(s.At(7, 7), RGB(255, 255, 255)) << "white is drawn now";
}

TEST(Bitmap, AssignCopiesAndMonochromeKeepsTheShape)
{
    TBitmap a(3, 2);
    a.Canvas()->Brush()->SetColor(clBlack);
    a.Canvas()->FillRect(RECT{0, 0, 1, 2});
    TBitmap b;
    b.Assign(&a);
    a.Canvas()->SetPixel(2, 0, clBlack);  // the copy is independent
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), 0);
    EXPECT_EQ(b.Canvas()->Pixels(2, 0), static_cast<TColor>(RGB(255, 255, 255)));
    b.SetMonochrome(true);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), 0);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(255, 255, 255)));
}

TEST(Bitmap, AMissingResourceIsNamedInTheError)
{
    TBitmap b;
    EXPECT_THROW(b.LoadFromResourceName(GetModuleHandleA(nullptr), "NoSuchPicture"), EResNotFound);
    EXPECT_TRUE(b.Empty());
    try {
        b.LoadFromResourceID(GetModuleHandleA(nullptr), 4711);
        ADD_FAILURE() << "no such resource";
    } catch (const EResNotFound& e) {
        EXPECT_NE(std::string(e.what()).find("4711"), std::string::npos) << e.what();
    }
}

// ---- Window-less and self-drawn controls ----

TEST(GraphicControl, IsPaintedByItsParentAtItsPlace)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* sw = new Swatch(&form);
    sw->SetBounds(20, 30, 10, 5);
    sw->SetParent(&form);
    form.HandleNeeded();
    Surface s(200, 150);
    form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()), 0);
    EXPECT_EQ(s.At(20, 30), RGB(255, 0, 0));
    EXPECT_EQ(s.At(29, 34), RGB(255, 0, 0));
    EXPECT_NE(s.At(30, 34), RGB(255, 0, 0)) << "clipped to the control";
    EXPECT_NE(s.At(19, 30), RGB(255, 0, 0));

    // A real paint of the window paints it too.
    form.Show();
    int before = sw->Paints;
    sw->Invalidate();
    UpdateWindow(form.Handle());
    EXPECT_GT(sw->Paints, before);
    sw->SetVisible(false);
    before = sw->Paints;
    form.Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()), 0);
    EXPECT_EQ(sw->Paints, before) << "a hidden control is not painted";
}

TEST(GraphicControl, GetsTheMouseOfItsAreaAndKeepsItWhileAButtonIsDown)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* sw = new Swatch(&form);
    sw->SetBounds(20, 30, 40, 20);
    sw->SetParent(&form);
    MouseLog log, formLog;
    log.Attach(sw);
    formLog.Attach(&form);
    HWND h = form.Handle();
    SendMessageA(h, WM_MOUSEMOVE, 0, At(25, 35));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(25, 35));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 100));  // dragged out: still ours
    SendMessageA(h, WM_LBUTTONUP, 0, At(150, 100));
    SendMessageA(h, WM_MOUSEMOVE, 0, At(150, 100));  // released: the form's again
    std::vector<std::string> expected{"move 5,5", "down L 5,5", "move L 130,70", "up L 130,70"};
    EXPECT_EQ(log.Events, expected) << "no click: released outside";
    EXPECT_EQ(formLog.Events, std::vector<std::string>{"move 150,100"});
}

TEST(GraphicControl, DoubleClickFiresClickAndDblClickOnceEach)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* sw = new Swatch(&form);
    sw->SetBounds(0, 0, 40, 20);
    sw->SetParent(&form);
    MouseLog log;
    log.Attach(sw);
    HWND h = form.Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
    std::vector<std::string> expected{"down L 5,5", "click", "up L 5,5", "dblclick", "down L double 5,5", "up L 5,5"};
    EXPECT_EQ(log.Events, expected);
}

TEST(CustomControl, PaintsItselfOnPaintAndOnAGivenDC)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* p = new Painter(&form);
    p->SetBounds(10, 10, 50, 30);
    p->SetParent(&form);
    form.Show();
    pwtest::Pump();
    int before = p->Paints;
    p->Invalidate();
    UpdateWindow(p->Handle());
    EXPECT_EQ(p->Paints, before + 1);

    Surface s(50, 30);
    p->Perform(WM_PAINT, reinterpret_cast<WPARAM>(s.DC()), 0);
    EXPECT_EQ(s.At(5, 5), RGB(0, 0, 255));
    EXPECT_EQ(s.At(15, 12), RGB(0, 255, 0));
    EXPECT_EQ(s.At(30, 5), RGB(255, 255, 255)) << "nothing drawn outside what Paint drew";
    EXPECT_EQ(GetCurrentObject(s.DC(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH)) << "DC left as found";

    // Drawing on the canvas outside painting uses a DC of the window, given back at the next paint.
    unsigned long gdi = GdiObjects();
    p->Canvas()->Brush()->SetColor(clBlack);
    p->Canvas()->FillRect(RECT{0, 0, 3, 3});
    p->Invalidate();
    UpdateWindow(p->Handle());
    EXPECT_LE(GdiObjects(), gdi + 2);
}

TEST(CustomControl, MouseEventsAndCaptureWhileAButtonIsDown)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* p = new Painter(&form);
    p->SetBounds(10, 10, 50, 30);
    p->SetParent(&form);
    form.Show();
    pwtest::Pump();
    MouseLog log;
    log.Attach(p);
    HWND h = p->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 6));
    EXPECT_EQ(GetCapture(), h);
    SendMessageA(h, WM_LBUTTONUP, 0, At(4, 6));
    EXPECT_NE(GetCapture(), h);
    SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT, At(7, 8));
    SendMessageA(h, WM_RBUTTONUP, 0, At(7, 8));
    std::vector<std::string> expected{"down L 4,6", "click", "up L 4,6", "down R 7,8", "up R 7,8"};
    EXPECT_EQ(log.Events, expected);
}

TEST(CustomControl, APressOfItsOwnKeepsTheMouseOverItsWindowlessChildren)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* p = new Painter(&form);
    p->SetBounds(10, 10, 120, 40);
    p->SetParent(&form);
    auto* sw = new Swatch(&form);
    sw->SetBounds(50, 5, 20, 20);
    sw->SetParent(p);
    form.Show();
    pwtest::Pump();
    MouseLog log, swatchLog;
    log.Attach(p);
    swatchLog.Attach(sw);
    HWND h = p->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(55, 10));  // over the child, still the press's
    SendMessageA(h, WM_LBUTTONUP, 0, At(55, 10));
    SendMessageA(h, WM_MOUSEMOVE, 0, At(56, 10));  // released: the child's again
    std::vector<std::string> expected{"down L 20,10", "move L 55,10", "click", "up L 55,10"};
    EXPECT_EQ(log.Events, expected);
    EXPECT_EQ(swatchLog.Events, std::vector<std::string>{"move 6,5"});
}

// ---- Owner-drawn menus ----

TEST(OwnerDrawMenu, ItemsCarryThemselvesAndAreMeasuredAndDrawnThroughTheUtilityWindow)
{
    HWND util = FindWindowA("TPUtilWindow", "");
    ASSERT_NE(util, nullptr) << "the utility window exists from start-up";
    EXPECT_EQ(util, PopupUtilWindow());

    TForm form(nullptr);
    auto* menu = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("Red");
    menu->Items()->Add(item);
    menu->SetOwnerDraw(true);
    HMENU h = menu->Handle();
    MENUITEMINFOA mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(h, 0, TRUE, &mi));
    EXPECT_TRUE(mi.fType & MFT_OWNERDRAW);
    EXPECT_EQ(mi.dwItemData, reinterpret_cast<ULONG_PTR>(item));

    int measured = 0;
    std::vector<TOwnerDrawState> drawn;
    item->OnMeasureItem = [&](TObject*, TCanvas* c, int& w, int& hgt) {
        ++measured;
        EXPECT_NE(c->Handle(), nullptr);
        w = 77;
        hgt = 19;
    };
    item->OnDrawItem = [&](TObject*, TCanvas* c, const RECT& r, TOwnerDrawState st) {
        drawn.push_back(st);
        c->Brush()->SetColor(clRed);
        c->FillRect(r);
    };
    MEASUREITEMSTRUCT m = {ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    EXPECT_EQ(SendMessageA(util, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)), TRUE);
    EXPECT_EQ(measured, 1);
    EXPECT_EQ(m.itemWidth, 77u);
    EXPECT_EQ(m.itemHeight, 19u);

    Surface s(80, 20);
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemState = ODS_SELECTED | ODS_CHECKED;
    d.hDC = s.DC();
    d.rcItem = RECT{0, 0, 77, 19};
    d.itemData = reinterpret_cast<ULONG_PTR>(item);
    EXPECT_EQ(SendMessageA(util, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d)), TRUE);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], odSelected | odChecked);
    EXPECT_EQ(s.At(10, 10), RGB(255, 0, 0));

    // Item data that names no live item of that command is not ours: nothing is called.
    m.itemData = reinterpret_cast<ULONG_PTR>(&form);
    EXPECT_EQ(SendMessageA(util, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)), FALSE);
    EXPECT_EQ(measured, 1);
    // A form answers its menus' owner-draw messages the same way.
    form.HandleNeeded();
    m.itemData = reinterpret_cast<ULONG_PTR>(item);
    EXPECT_EQ(SendMessageA(form.Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)), TRUE);
    EXPECT_EQ(measured, 2);
}

TEST(OwnerDrawMenu, DefaultDrawingShowsTheCaptionAndTheHighlight)
{
    TForm form(nullptr);
    auto* menu = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("Wide caption");
    menu->Items()->Add(item);
    menu->SetOwnerDraw(true);
    MEASUREITEMSTRUCT m = {ODT_MENU, 0, item->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(item)};
    SendMessageA(PopupUtilWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
    EXPECT_GT(m.itemWidth, 40u);
    EXPECT_GT(m.itemHeight, 8u);
    Surface s(static_cast<int>(m.itemWidth), static_cast<int>(m.itemHeight));
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_MENU;
    d.itemID = item->Command();
    d.itemState = ODS_SELECTED;
    d.hDC = s.DC();
    d.rcItem = RECT{0, 0, static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
    d.itemData = reinterpret_cast<ULONG_PTR>(item);
    SendMessageA(PopupUtilWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
    EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(OwnerDrawMenu, MenuSelectionShowsTheItemHintInTheApplication)
{
    TForm form(nullptr);
    auto* menu = new TPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->SetCaption("Probe");
    item->SetHint("Probe hint");
    menu->Items()->Add(item);
    int hints = 0;
    Application->OnHint = [&](TObject*) { ++hints; };
    Application->SetHint("");
    SendMessageA(PopupUtilWindow(), WM_MENUSELECT, item->Command(), 0);
    EXPECT_EQ(Application->Hint(), "Probe hint");
    EXPECT_EQ(hints, 1);
    Application->OnHint = nullptr;
    Application->SetHint("");
}
