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
#include <vector>

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
    HWND util = TCustomPopupMenus97::FindPopupUtilWindow();
    auto utilProc = GetWindowLongPtrA(util, GWLP_WNDPROC);
    TForm form(nullptr); // the menu's form, but not the styler's owner
    auto formProc = GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC);
    TComponent owner(nullptr);
    TMainMenus97 styler(&owner);
    TMainMenu menu(&owner);
    auto* file = new TMenuItem(&owner);
    file->SetCaption("&File");
    auto* open = new TMenuItem(&owner);
    open->SetCaption("&Open");
    file->Add(open);
    menu.Items()->Add(file);
    form.SetMenu(&menu);
    styler.SetMainMenu(&menu);
    EXPECT_EQ(styler.Menu(), &menu);
    EXPECT_EQ(GetWindowLongPtrA(form.Handle(), GWLP_WNDPROC), formProc);
    EXPECT_EQ(GetWindowLongPtrA(util, GWLP_WNDPROC), utilProc);
    std::vector<TItemInfo> items = AllItems(menu.Handle());
    ASSERT_EQ(items.size(), 2u);
    for (const TItemInfo& i : items) EXPECT_FALSE(i.Type & MFT_OWNERDRAW) << i.Text << " is left to the system";
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
    // No bands: neither colour is drawn (equal colours are filled, see the banner text test).
    Styler->SetBannerNumColors(0);
    TDib none(240, 200, Magenta);
    DrawItem(none, New, 0);
    EXPECT_NE(none.At(0, 0), RGB(255, 0, 0));
    EXPECT_NE(none.At(0, b.bottom - 1), RGB(0, 0, 255));
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

TEST_F(StyledMenu, ACheckedItemWithAnImageShowsTheImageInASunkenBox)
{
    Open->SetChecked(true);
    TDib dib(220, 30, Magenta);
    RECT r = DrawItem(dib, Open, 0);
    RECT cell{r.left, r.top, r.left + Styler->GlyphWidth() + 4, r.bottom};
    EXPECT_EQ(dib.At(r.left, r.top), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(dib.Count(cell, ImageBlue), 14 * 14);
    EXPECT_EQ(dib.Count(cell, RGB(0, 0, 0)), 0) << "the image stands for the check mark";
}

TEST_F(StyledMenu, TheIE4LookDrawsMarksAndImagesWithoutABox)
{
    Copy->SetChecked(true);
    auto corner = [&](TMenuItem* item, UINT state, bool* mark = nullptr) {
        TDib dib(220, 30, Magenta);
        RECT r = DrawItem(dib, item, state);
        if (mark) *mark = dib.At(r.left + 1 + 11, r.top + 1 + 6) == RGB(0, 0, 0);
        return dib.At(r.left, r.top);
    };
    // Office 97: a sunken box behind a checked item, a raised one behind a selected image.
    EXPECT_EQ(corner(Copy, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(corner(Open, ODS_SELECTED), Sys(COLOR_BTNHIGHLIGHT));
    Styler->SetMenus97Look(TMenus97Look::mlIE4Look);
    bool mark = false;
    EXPECT_EQ(corner(Copy, 0, &mark), Sys(COLOR_BTNFACE));
    EXPECT_TRUE(mark) << "the check mark itself is still drawn";
    EXPECT_EQ(corner(Open, ODS_SELECTED), Sys(COLOR_HIGHLIGHT));
}

TEST_F(StyledMenu, WithoutAlwaysShowSelectionADisabledItemGetsNoFillAndStaysEmbossed)
{
    Cut->SetEnabled(false);
    auto draw = [&](TDib& dib) { return DrawItem(dib, Cut, ODS_SELECTED); };
    TDib shown(220, 30, Magenta);
    RECT r = draw(shown);
    int mid = (r.top + r.bottom) / 2;
    RECT text{r.left + 24, r.top, r.left + 80, r.bottom};
    // By default: the highlight bar, and only the light copy of the text on it.
    EXPECT_EQ(shown.At(r.right - 3, mid), Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(shown.Count(text, Sys(COLOR_BTNHIGHLIGHT)), 5);
    EXPECT_EQ(shown.Count(text, Sys(COLOR_BTNSHADOW)), 0);
    Styler->SetAlwaysShowSelection(false);
    TDib plain(220, 30, Magenta);
    draw(plain);
    EXPECT_EQ(plain.At(r.right - 3, mid), Magenta) << "no fill at all";
    EXPECT_GT(plain.Count(text, Sys(COLOR_BTNHIGHLIGHT)), 5);
    EXPECT_GT(plain.Count(text, Sys(COLOR_BTNSHADOW)), 5);
}

TEST_F(StyledMenu, OnDrawItemFindsTheSelectionColoursAndMayDrawTheItemItselfAndOnHintGivesTheHint)
{
    TColor brush = clNone, font = clNone;
    Styler->OnDrawItem = [&](TMenu* m, TMenuItem* i, const RECT&, TOwnerDrawState) {
        EXPECT_EQ(m, Menu);
        brush = Styler->Canvas()->Brush()->Color();
        font = Styler->Canvas()->Font()->Color();
        return i == Copy; // Copy is the handler's, the others the styler's
    };
    Styler->OnHint = [](TMenu*, TMenuItem* i, const std::string& hint) { return i->Caption() + ": " + hint; };
    Copy->SetHint("copies");
    TDib dib(220, 30, Magenta);
    RECT r = DrawItem(dib, Copy, ODS_SELECTED);
    EXPECT_EQ(brush, clHighlight);
    EXPECT_EQ(font, clHighlightText);
    EXPECT_EQ(dib.Count(r, Magenta), (r.right - r.left) * (r.bottom - r.top)) << "the styler drew nothing";
    EXPECT_EQ(Application->Hint(), "C&opy: copies");
    EXPECT_EQ(Copy->Hint(), "copies") << "drawing never writes the item";
    TDib other(220, 30, Magenta);
    r = DrawItem(other, Cut, 0);
    EXPECT_EQ(other.At(r.right - 3, (r.top + r.bottom) / 2), Sys(COLOR_BTNFACE));
}

// The banner's text drawn as white underscores on a navy banner: an underscore lies on the
// text's baseline, so it shows which way the text runs.
TEST_F(StyledMenu, BannerTextStandsAsItsJustificationDirectionAndImageSay)
{
    const COLORREF navy = RGB(0, 0, 128);
    Styler->SetBanner(true);
    Styler->SetBannerColor(navy);
    Styler->SetBannerEndColor(navy);
    Styler->SetBannerNumColors(0); // equal colours fill the banner without bands
    TFont f;
    f.SetName("Arial");
    f.SetHeight(-16);
    f.SetColor(clWhite);
    Styler->SetBannerFont(&f);
    Styler->SetBannerText("____");
    struct Drawn {
        RECT Banner, Text;
    };
    auto draw = [&](TBannerJustification j, TBannerDirection d, int image) {
        Styler->SetBannerJustification(j);
        Styler->SetBannerDirection(d);
        Styler->SetBannerImage(image);
        TDib dib(240, 200, Magenta);
        DrawItem(dib, New, 0);
        RECT b = Styler->BannerRect();
        EXPECT_EQ(dib.At(b.left + 1, b.top + 1), navy);
        return Drawn{b, dib.Bounds(b, [](COLORREF c) { return c == RGB(255, 255, 255); })};
    };
    using J = TBannerJustification;
    using D = TBannerDirection;
    for (D d : {D::bdUpwards, D::bdDownwards}) {
        SCOPED_TRACE(d == D::bdUpwards ? "upwards" : "downwards");
        Drawn top = draw(J::bjTop, d, -1), bottom = draw(J::bjBottom, d, -1), image = draw(J::bjBottom, d, 0);
        const RECT& b = top.Banner;
        int length = top.Text.bottom - top.Text.top;
        ASSERT_GT(length, 10) << "no banner text drawn";
        EXPECT_LE(top.Text.top - b.top, 3);
        EXPECT_LE(b.bottom - bottom.Text.bottom, 3);
        EXPECT_EQ(bottom.Text.bottom - bottom.Text.top, length);
        // A square as wide as the banner stays free at its bottom for the image.
        EXPECT_LE(image.Text.bottom, b.bottom - (b.right - b.left) - 4 + 1);
        EXPECT_GE(image.Text.bottom, b.bottom - (b.right - b.left) - 4 - 3);
        // Upwards the letters' feet point right, downwards left.
        int centre = (b.left + b.right) / 2;
        if (d == D::bdUpwards) EXPECT_GT(top.Text.left, centre);
        else EXPECT_LT(top.Text.right, centre);
    }
}

TEST_F(StyledMenu, ABannerOnTheRightAndABannerNamedInItsDropDownsCaption)
{
    const COLORREF navy = RGB(0, 0, 128);
    Styler->SetBanner(true);
    Styler->SetBannerColor(navy);
    Styler->SetBannerEndColor(navy);
    Styler->SetBannerText("");
    Styler->BannerFont()->SetColor(clWhite);
    Styler->SetBannerAlignment(TBannerAlignment::baRight);
    SIZE bar = Measure(Window(), Bar(), Pos(Edit));
    Edit->SetCaption("&Edit|Tools");
    // The bar shows the text before the separator; the drop-down gets the text after it.
    EXPECT_EQ(Measure(Window(), Bar(), Pos(Edit)).cx, bar.cx);
    TDib probe(400, 200, Magenta);
    DrawItem(probe, Cut, 0);
    RECT b = Styler->BannerRect();
    ASSERT_EQ(b.right - b.left, Styler->BannerWidth());
    ASSERT_GT(b.left, 40);
    TDib dib(b.right, 200, Magenta);
    RECT r = DrawItem(dib, Cut, 0);
    int y = r.top + 1;
    EXPECT_EQ(dib.At(b.left + 1, y), navy);
    EXPECT_EQ(dib.At(b.left - 1, y), Magenta) << "two pixels between the item and the banner";
    EXPECT_EQ(dib.At(b.left - 3, y), Sys(COLOR_BTNFACE));
    EXPECT_EQ(dib.At(0, y), Sys(COLOR_BTNFACE));
    EXPECT_GT(dib.Count(b, RGB(255, 255, 255)), 10) << "the banner shows \"Tools\"";
}

// A bar item is flat, raised while selected, sunken while its drop-down is open; with
// MenuBarBorder the bar row gets a raised border and the item moves two pixels in.
TEST_F(StyledMenu, BarItemsAreRaisedWhenSelectedSunkenWhileOpenAndInsideTheBarBorder)
{
    auto draw = [&](UINT state, TDib& dib) {
        SIZE s = Measure(Window(), Bar(), Pos(File));
        RECT r{0, 0, s.cx, s.cy};
        Draw(Window(), Bar(), Pos(File), dib.DC(), r, state);
        return r;
    };
    TDib flat(100, 40, Magenta), raised(100, 40, Magenta), sunken(100, 40, Magenta), bordered(100, 40, Magenta);
    RECT r = draw(0, flat);
    EXPECT_EQ(flat.At(r.left, r.top), Sys(COLOR_BTNFACE));
    EXPECT_EQ(flat.At(r.right - 1, r.bottom - 1), Sys(COLOR_BTNFACE));
    EXPECT_GT(flat.Count(r, Sys(COLOR_MENUTEXT)) + flat.Count(r, Sys(COLOR_BTNTEXT)), 5) << "the caption";
    draw(ODS_SELECTED, raised);
    EXPECT_EQ(raised.At(r.left, r.top), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(raised.At(r.right - 1, r.bottom - 1), Sys(COLOR_BTNSHADOW));
    SendMessageA(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(FileMenu()), MAKELPARAM(0, 0));
    draw(ODS_SELECTED, sunken);
    EXPECT_EQ(sunken.At(r.left, r.top), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(sunken.At(r.right - 1, r.bottom - 1), Sys(COLOR_BTNHIGHLIGHT));
    Styler->SetMenuBarBorder(true);
    draw(0, bordered);
    int x = r.right - 2;
    EXPECT_EQ(bordered.At(x, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(bordered.At(x, 1), Magenta);
    EXPECT_EQ(bordered.At(x, 2), Sys(COLOR_BTNFACE));
    EXPECT_EQ(bordered.At(x, r.bottom + 1), Sys(COLOR_BTNSHADOW));
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
