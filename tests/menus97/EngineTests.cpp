// The styling engine on a form of its own: owner-draw preparation, the chain of window
// procedures, and the pixels of measured and drawn items.
#include "ComCtrls.h"
#include "Forms.h"
#include "MenuStylers97.h"
#include "MenuTestSupport.h"
#include "Menus.h"
#include "Subclass.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>

using namespace pw;
using namespace menutest;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);
constexpr COLORREF ImageBlue = RGB(0, 0, 255);
constexpr COLORREF ImageGreen = RGB(0, 160, 0);

// Two 16 x 16 images: a blue and a green square with a one-pixel transparent border.
HBITMAP MakeStrip()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    auto fill = [dc](RECT r, COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc, &r, b);
        DeleteObject(b);
    };
    fill(RECT{0, 0, 32, 16}, Magenta);
    fill(RECT{1, 1, 15, 15}, ImageBlue);
    fill(RECT{17, 1, 31, 15}, ImageGreen);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

class StyledMenu : public testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(20, 20, 400, 300);
        Form->HandleNeeded();
        Menu = new TMainMenu(Form);
        TMenuItem* root = Menu->Items();
        File = Add(root, "&File", 0, -1);
        New = Add(File, "&New", 16462, -2);
        Open = Add(File, "&Open", 16463, 0);
        Add(File, "-", 0, -2);
        Exit = Add(File, "E&xit", 32883, 1);
        Edit = Add(root, "&Edit", 0, -1);
        Cut = Add(Edit, "&Cut", 16472, 0);
        Copy = Add(Edit, "C&opy", 16451, -2);
        Title = Add(Edit, "-Tools", 0, -2);
        Select = Add(Edit, "Select &all", 16449, -2);
        Form->SetMenu(Menu);
        Images = new TImageList(Form);
        HBITMAP strip = MakeStrip();
        Images->AddMasked(strip, Magenta);
        DeleteObject(strip);
        Styler = new TMainMenus97(Form);
        Styler->SetImages(Images);
        Styler->SetMainMenu(Menu);
    }
    void TearDown() override { delete Form; }

    TMenuItem* Add(TMenuItem* parent, const char* caption, TShortCut key, int tag)
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(caption);
        i->SetShortCut(key);
        i->SetTag(tag);
        parent->Add(i);
        return i;
    }
    HMENU Bar() { return Menu->Handle(); }
    HMENU FileMenu() { return File->Handle(); }
    HMENU EditMenu() { return Edit->Handle(); }
    HWND Window() { return Form->Handle(); }
    int Pos(TMenuItem* i) { return PositionOf(i->Parent() == Menu->Items() ? Bar() : i->Parent()->Handle(), i->Command()); }
    // Measures and draws the item as the system would, in a bitmap of the given width.
    RECT DrawItem(TDib& dib, TMenuItem* item, UINT state, int top = 0)
    {
        HMENU m = item->Parent()->Handle();
        SIZE s = Measure(Window(), m, Pos(item));
        RECT r{0, top, dib.Width(), top + s.cy};
        Draw(Window(), m, Pos(item), dib.DC(), r, state);
        return r;
    }

    TForm* Form = nullptr;
    TMainMenu* Menu = nullptr;
    TImageList* Images = nullptr;
    TMainMenus97* Styler = nullptr;
    TMenuItem *File, *New, *Open, *Exit, *Edit, *Cut, *Copy, *Title, *Select;
};

ULONG_PTR DataOf(TCustomMenus97* s) { return reinterpret_cast<ULONG_PTR>(s); }

void ExpectAllOwnerDrawn(HMENU menu, TCustomMenus97* styler, const char* when)
{
    for (const TItemInfo& i : AllItems(menu)) {
        if (i.Type & MFT_SEPARATOR) continue;
        EXPECT_TRUE(i.Type & MFT_OWNERDRAW) << when << ": item " << i.Id << " is not owner-drawn";
        EXPECT_EQ(i.Data, DataOf(styler)) << when << ": item " << i.Id;
    }
}

} // namespace

// ---- preparation ----

TEST_F(StyledMenu, EveryItemButSeparatorsIsOwnerDrawnWithTheStylersData)
{
    ExpectAllOwnerDrawn(Bar(), Styler, "after SetMainMenu");
    int separators = 0;
    for (const TItemInfo& i : AllItems(Bar()))
        if (i.Type & MFT_SEPARATOR) {
            ++separators;
            EXPECT_FALSE(i.Type & MFT_OWNERDRAW);
        }
    EXPECT_EQ(separators, 1);
}

TEST_F(StyledMenu, ItemsStayOwnerDrawnAndKeepTheirStateWhenAnItemChanges)
{
    Cut->SetEnabled(false);
    Copy->SetCaption("C&opy it");
    ExpectAllOwnerDrawn(Bar(), Styler, "after Cut and Copy changed");
    EXPECT_TRUE(ItemAt(EditMenu(), Pos(Cut)).State & MFS_GRAYED);
    Cut->SetEnabled(true);
    ExpectAllOwnerDrawn(Bar(), Styler, "after Cut changed back");
    EXPECT_FALSE(ItemAt(EditMenu(), Pos(Cut)).State & MFS_GRAYED);
}

TEST_F(StyledMenu, RebuiltMenuIsAnnouncedToItsForm)
{
    // (Wine's DrawMenuBar also moves the window, which re-prepares the bar on its own: the
    // announcement is checked directly.)
    int seen = 0;
    std::unique_ptr<TWindowSubclass> recorder;
    recorder = std::make_unique<TWindowSubclass>(Window(), [&](TMessage& m) {
        if (m.Msg == CM_MENUCHANGED) ++seen;
        recorder->CallPrevious(m);
    });
    Cut->SetEnabled(false);
    EXPECT_EQ(seen, 1);
    Copy->SetChecked(true);
    EXPECT_EQ(seen, 2);
}

TEST_F(StyledMenu, DestroyedStylerPutsItsItemsBack)
{
    ULONG_PTR old = DataOf(Styler);
    delete Styler;
    Styler = nullptr;
    for (const TItemInfo& i : AllItems(Bar())) {
        EXPECT_FALSE(i.Type & MFT_OWNERDRAW) << i.Id;
        EXPECT_EQ(i.Data, 0u) << i.Id;
    }
    EXPECT_EQ(ItemAt(EditMenu(), Pos(Cut)).Text, "&Cut\tCtrl+X");
    EXPECT_EQ(TCustomMenus97::FindLiveStyler(old), nullptr);
}

TEST_F(StyledMenu, DrawMessageWithDataOfNoStylerGoesOnToTheForm)
{
    // An item whose data is no live styler is not drawn by any styler.
    TDib dib(200, 20, Magenta);
    int dummy = 0;
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_MENU;
    d.itemID = Cut->Command();
    d.hDC = dib.DC();
    d.rcItem = RECT{0, 0, 200, 20};
    d.itemData = reinterpret_cast<ULONG_PTR>(&dummy);
    SendMessageA(Window(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
    EXPECT_EQ(dib.Count(RECT{0, 0, 200, 20}, Magenta), 200 * 20);
}

// ---- window procedures ----

TEST(StylerChain, StylersDestroyedInEachOrderLeaveEveryProcedureAsItWas)
{
    HWND util = TCustomPopupMenus97::FindPopupUtilWindow();
    ASSERT_NE(util, nullptr) << "the pop-up owner window exists from start-up";
    std::vector<int> order{0, 1, 2, 3};
    do {
        TForm form(nullptr);
        HWND h = form.Handle();
        auto formProc = GetWindowLongPtrA(h, GWLP_WNDPROC);
        auto utilProc = GetWindowLongPtrA(util, GWLP_WNDPROC);
        std::vector<TCustomMenus97*> stylers{new TMainMenus97(&form), new TPopupMenus97(&form),
                                             new TPopupMenus97(&form), new TMainMenus97(&form)};
        EXPECT_NE(GetWindowLongPtrA(h, GWLP_WNDPROC), formProc);
        EXPECT_NE(GetWindowLongPtrA(util, GWLP_WNDPROC), utilProc);
        EXPECT_EQ(TCustomPopupMenus97::PopupStylerCount(), 2);
        for (int i : order) delete stylers[static_cast<size_t>(i)];
        EXPECT_EQ(GetWindowLongPtrA(h, GWLP_WNDPROC), formProc) << order[0] << order[1] << order[2] << order[3];
        EXPECT_EQ(GetWindowLongPtrA(util, GWLP_WNDPROC), utilProc) << order[0] << order[1] << order[2] << order[3];
        EXPECT_EQ(TCustomPopupMenus97::PopupStylerCount(), 0);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(StylerChain, OwnedStylersGoWithTheirFormInReverseOrder)
{
    HWND util = TCustomPopupMenus97::FindPopupUtilWindow();
    auto utilProc = GetWindowLongPtrA(util, GWLP_WNDPROC);
    auto* form = new TForm(nullptr);
    form->HandleNeeded();
    new TPopupMenus97(form);
    new TMainMenus97(form);
    new TPopupMenus97(form);
    delete form;
    EXPECT_EQ(GetWindowLongPtrA(util, GWLP_WNDPROC), utilProc);
}

TEST(StylerChain, StylerWithoutAFormOwnerSubclassesNothing)
{
    TComponent owner(nullptr);
    TMainMenus97 styler(&owner);
    TMainMenu menu(&owner);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("&File");
    menu.Items()->Add(item);
    styler.SetMainMenu(&menu);
    EXPECT_EQ(styler.Menu(), &menu);
}

// ---- mnemonics ----

TEST_F(StyledMenu, MenuLetterRunsItsItem)
{
    auto menuChar = [&](char c, HMENU m, bool popup) {
        return static_cast<DWORD>(SendMessageA(Window(), WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(c), popup ? MF_POPUP : 0),
                                               reinterpret_cast<LPARAM>(m)));
    };
    EXPECT_EQ(menuChar('o', EditMenu(), true), static_cast<DWORD>(MAKELRESULT(Pos(Copy), MNC_EXECUTE)));
    EXPECT_EQ(menuChar('A', EditMenu(), true), static_cast<DWORD>(MAKELRESULT(Pos(Select), MNC_EXECUTE)));
    EXPECT_EQ(menuChar('x', FileMenu(), true), static_cast<DWORD>(MAKELRESULT(Pos(Exit), MNC_EXECUTE)));
    EXPECT_EQ(menuChar('e', Bar(), false), static_cast<DWORD>(MAKELRESULT(Pos(Edit), MNC_EXECUTE)));
    // A disabled item's letter runs nothing; an unknown letter leaves the drop-down open.
    Cut->SetEnabled(false);
    EXPECT_NE(HIWORD(menuChar('c', EditMenu(), true)), MNC_EXECUTE);
    EXPECT_NE(HIWORD(menuChar('z', EditMenu(), true)), MNC_CLOSE);
}

// ---- measuring and drawing ----

TEST_F(StyledMenu, SelectedItemShowsTheHighlightBar)
{
    TDib dib(220, 24, Magenta);
    RECT r = DrawItem(dib, New, ODS_SELECTED);
    EXPECT_EQ(dib.At(r.right - 3, (r.top + r.bottom) / 2), Sys(COLOR_HIGHLIGHT));
    TDib plain(220, 24, Magenta);
    r = DrawItem(plain, New, 0);
    EXPECT_EQ(plain.At(r.right - 3, (r.top + r.bottom) / 2), Sys(COLOR_BTNFACE));
}

TEST_F(StyledMenu, ImageIsDrawnAtItsPlace)
{
    TDib dib(220, 30, Magenta);
    RECT r = DrawItem(dib, Open, 0);
    RECT blue = dib.Bounds(r, [](COLORREF c) { return c == ImageBlue; });
    // The image's top-left pixel is at (left + 2, top + 2); its border is transparent.
    EXPECT_EQ(blue.left, r.left + 3);
    EXPECT_EQ(blue.top, r.top + 3);
    EXPECT_EQ(blue.right - blue.left, 14);
    EXPECT_EQ(blue.bottom - blue.top, 14);
}

TEST_F(StyledMenu, ShortcutTextIsRightAligned)
{
    for (int width : {220, 320}) {
        TDib dib(width, 30, Magenta);
        RECT r = DrawItem(dib, Open, 0);
        // Text pixels right of the caption: the shortcut ends FCheckWidth before the edge.
        RECT text = dib.Bounds(RECT{width / 2, r.top, width, r.bottom},
                               [](COLORREF c) { return c != Sys(COLOR_BTNFACE) && c != Magenta; });
        ASSERT_GT(text.right, text.left) << "no shortcut drawn at width " << width;
        EXPECT_LE(text.right, width - Styler->CheckWidth());
        EXPECT_GE(text.right, width - Styler->CheckWidth() - 3) << "width " << width;
    }
}

TEST_F(StyledMenu, DisabledItemIsEmbossedAndItsImageAtTheSamePlace)
{
    TDib on(220, 30, Magenta);
    RECT r = DrawItem(on, Cut, 0);
    RECT image = on.Bounds(RECT{r.left, r.top, r.left + 22, r.bottom}, [](COLORREF c) { return c == ImageBlue; });
    Cut->SetEnabled(false);
    TDib off(220, 30, Magenta);
    r = DrawItem(off, Cut, 0);
    RECT text{r.left + 24, r.top, r.left + 80, r.bottom};
    EXPECT_GT(off.Count(text, Sys(COLOR_BTNHIGHLIGHT)), 5);
    EXPECT_GT(off.Count(text, Sys(COLOR_BTNSHADOW)), 5);
    EXPECT_EQ(off.Count(text, Sys(COLOR_MENUTEXT)), 0);
    RECT cell{r.left, r.top, r.left + 22, r.bottom};
    RECT shadow = off.Bounds(cell, [](COLORREF c) { return c == Sys(COLOR_BTNSHADOW); });
    RECT light = off.Bounds(cell, [](COLORREF c) { return c == Sys(COLOR_BTNHIGHLIGHT); });
    EXPECT_EQ(shadow.left, image.left);
    EXPECT_EQ(shadow.top, image.top);
    EXPECT_EQ(light.left, image.left + 1);
    EXPECT_EQ(light.top, image.top + 1);
    EXPECT_EQ(off.Count(cell, ImageBlue), 0);
}

TEST_F(StyledMenu, DrawingLeavesTheMenuAsItWas)
{
    TDib dib(220, 30, Magenta);
    auto* empty = Add(Edit, "", 0, -2);
    DrawItem(dib, Title, ODS_SELECTED);
    DrawItem(dib, empty, 0);
    EXPECT_TRUE(Title->Enabled());
    EXPECT_EQ(empty->Caption(), "");
    ExpectAllOwnerDrawn(Bar(), Styler, "after drawing");
}

TEST_F(StyledMenu, TitleSeparatorShowsAnEtchedLineAndItsText)
{
    TDib dib(220, 30, Magenta);
    RECT r = DrawItem(dib, Title, 0);
    int m = r.top + (r.bottom - r.top) / 2;
    EXPECT_EQ(dib.At(r.right - 5, m), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(dib.At(r.right - 5, m + 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_GT(dib.Count(RECT{r.left + 24, r.top, r.left + 60, r.bottom}, Sys(COLOR_BTNSHADOW)), 5);
}

TEST_F(StyledMenu, BannerRunsFromItsTopColourToItsBottomColour)
{
    Styler->SetBanner(true);
    Styler->SetBannerColor(RGB(255, 0, 0));
    Styler->SetBannerEndColor(RGB(0, 0, 255));
    Styler->SetBannerNumColors(10);
    Styler->SetBannerText("Banner");
    SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FileMenu()), 0);
    TDib dib(240, 200, Magenta);
    RECT r = DrawItem(dib, New, 0);
    const RECT& b = Styler->BannerRect();
    ASSERT_EQ(b.right - b.left, Styler->BannerWidth());
    ASSERT_GT(b.bottom, r.bottom);
    EXPECT_EQ(dib.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dib.At(0, b.bottom - 1), RGB(0, 0, 255));
    // The item itself is drawn right of the banner, two pixels apart.
    EXPECT_EQ(dib.At(b.right + 1, r.top + 1), Magenta);
    EXPECT_EQ(dib.At(b.right + 2, r.top + 1), Sys(COLOR_BTNFACE));
    // One band only: the start colour everywhere.
    Styler->SetBannerNumColors(1);
    SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FileMenu()), 0);
    TDib one(240, 200, Magenta);
    DrawItem(one, New, 0);
    EXPECT_EQ(one.At(0, b.bottom - 1), RGB(255, 0, 0));
}

TEST_F(StyledMenu, ItemsOfTheBannerDropDownAreWiderByTheBanner)
{
    SIZE withBanner = Measure(Window(), FileMenu(), Pos(New));
    Styler->SetBannerWidth(Styler->BannerWidth() + 30);
    SIZE wider = Measure(Window(), FileMenu(), Pos(New));
    EXPECT_EQ(wider.cx, withBanner.cx + 30);
    SIZE edit = Measure(Window(), EditMenu(), Pos(Cut));
    Styler->SetBannerWidth(0);
    EXPECT_EQ(Measure(Window(), EditMenu(), Pos(Cut)).cx, edit.cx);
}

TEST_F(StyledMenu, FixedItemSizeReachesTheMeasureHandler)
{
    Styler->SetItemHeight(20);
    Styler->SetItemWidth(6);
    int seenH = 0, seenW = 0;
    Styler->OnMeasureItem = [&](TMenu*, TMenuItem*, int& h, int& w) {
        seenH = h;
        seenW = w;
        h = 33;
    };
    SIZE s = Measure(Window(), EditMenu(), Pos(Copy));
    EXPECT_EQ(seenH, 20);
    EXPECT_EQ(seenW, 6);
    EXPECT_EQ(s.cy, 33);
}

TEST_F(StyledMenu, CaptionWidthCountsTheAmpersandOnce)
{
    // "&Cut" and "Cut" have the same width: the prefix character is not drawn.
    auto* plain = Add(Edit, "Cut", 0, -2);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Styler->Font()->Handle());
    SIZE a = TCustomMenus97::TextExtent(dc, "&Cut"), b = TCustomMenus97::TextExtent(dc, "Cut");
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(Measure(Window(), EditMenu(), Pos(plain)).cx, Measure(Window(), EditMenu(), Pos(Cut)).cx);
}

TEST_F(StyledMenu, GdiObjectCountStaysSteadyOverRepeatedDraws)
{
    Styler->SetBanner(true);
    Exit->SetEnabled(false);
    Copy->SetChecked(true);
    TDib dib(240, 200, Magenta);
    auto round = [&](int i) {
        if (i % 10 == 0) SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FileMenu()), 0);
        DrawItem(dib, New, ODS_SELECTED);
        DrawItem(dib, Open, 0);
        DrawItem(dib, Exit, 0);
        DrawItem(dib, Copy, 0);
        DrawItem(dib, Copy, ODS_SELECTED);
        DrawItem(dib, Title, 0);
    };
    for (int i = 0; i < 20; ++i) round(i);
    unsigned long before = pwtest::GdiObjectCount();
    for (int i = 0; i < 1000; ++i) round(i);
    EXPECT_EQ(pwtest::GdiObjectCount(), before);
}

TEST_F(StyledMenu, CheckedItemShowsTheCheckMarkAndRadioItemTheRadioMark)
{
    Copy->SetChecked(true);
    TDib dib(220, 30, Magenta);
    RECT r = DrawItem(dib, Copy, 0);
    // Black pixels of the mark bitmap, copied to (left + 1, top + 1).
    EXPECT_EQ(dib.At(r.left + 1 + 11, r.top + 1 + 6), RGB(0, 0, 0));
    EXPECT_EQ(dib.At(r.left + 1 + 7, r.top + 1 + 11), RGB(0, 0, 0));
    // The white of the dither shows the item background.
    EXPECT_EQ(dib.At(r.left + 1 + 1, r.top + 1 + 0), Sys(COLOR_BTNFACE));
    Copy->SetRadioItem(true);
    TDib radio(220, 30, Magenta);
    r = DrawItem(radio, Copy, 0);
    EXPECT_EQ(radio.At(r.left + 1 + 8, r.top + 1 + 8), RGB(0, 0, 0));
    EXPECT_NE(radio.At(r.left + 1 + 11, r.top + 1 + 6), RGB(0, 0, 0));
}

TEST(MenuFont, ReloadReplacesTheStyle)
{
    TFont f;
    f.SetStyle(fsItalic | fsUnderline | fsStrikeOut);
    TCustomMenus97::LoadMenuFont(&f);
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    EXPECT_EQ(f.Style(), (ncm.lfMenuFont.lfWeight > 500 ? fsBold : 0u) | (ncm.lfMenuFont.lfItalic ? fsItalic : 0u) |
                             (ncm.lfMenuFont.lfUnderline ? fsUnderline : 0u) |
                             (ncm.lfMenuFont.lfStrikeOut ? fsStrikeOut : 0u));
    EXPECT_EQ(f.Name(), ncm.lfMenuFont.lfFaceName);
}

TEST_F(StyledMenu, SettingsChangeReloadsDefaultFontsOnly)
{
    TFont courier;
    courier.SetName("Courier New");
    Styler->SetFont(&courier);
    EXPECT_FALSE(Styler->DefaultFont());
    SendMessageA(Window(), WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(Styler->Font()->Name(), "Courier New");
    Styler->SetDefaultFont(true);
    Styler->HiliteFont()->SetStyle(fsItalic);
    Styler->SetDefaultFont(true);
    SendMessageA(Window(), WM_SETTINGCHANGE, 0, 0);
    EXPECT_NE(Styler->Font()->Name(), "Courier New");
    EXPECT_EQ(Styler->HiliteFont()->Name(), Styler->Font()->Name());
    EXPECT_EQ(Styler->HiliteFont()->Style(), Styler->Font()->Style());
}
