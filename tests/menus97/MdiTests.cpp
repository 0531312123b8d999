// Styled menus in an MDI frame: the window list, subclassed document windows, and pop-up
// menus drawn through the framework's pop-up owner window.
#include "Forms.h"
#include "MenuStylers97.h"
#include "MenuTestSupport.h"
#include "Menus.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;
using namespace menutest;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);

class Frame : public testing::Test {
protected:
    void SetUp() override
    {
        Main = new TForm(nullptr);
        Main->SetFormStyle(TFormStyle::fsMDIForm);
        Main->SetBounds(10, 10, 500, 400);
        Menu = new TMainMenu(Main);
        WindowMI = new TMenuItem(Main);
        WindowMI->SetCaption("&Window");
        WindowMI->SetTag(-1);
        Menu->Items()->Add(WindowMI);
        Cascade = new TMenuItem(Main);
        Cascade->SetCaption("&Cascade");
        Cascade->SetTag(-2);
        WindowMI->Add(Cascade);
        Main->SetWindowMenuItem(WindowMI);
        Main->SetMenu(Menu);
        Main->HandleNeeded();
        Styler = new TMainMenus97(Main);
        Styler->SetMainMenu(Menu);
        Main->Show();
    }
    void TearDown() override { delete Main; }
    TForm* NewChild(const char* caption)
    {
        auto* c = new TForm(Main);
        c->SetFormStyle(TFormStyle::fsMDIChild);
        c->SetText(caption);
        c->HandleNeeded();
        c->Show();
        pwtest::Pump();
        return c;
    }

    TForm* Main = nullptr;
    TMainMenu* Menu = nullptr;
    TMenuItem *WindowMI = nullptr, *Cascade = nullptr;
    TMainMenus97* Styler = nullptr;
};

} // namespace

TEST_F(Frame, DocumentWindowWithAStylerIsStillTheActiveChild)
{
    TForm* doc = NewChild("Doc1");
    ASSERT_EQ(Main->ActiveMDIChild(), doc);
    // The styler of the document's right-click menu subclasses the document window.
    auto* popup = new TPopupMenus97(doc);
    EXPECT_NE(GetWindowLongPtrA(doc->Handle(), GWLP_WNDPROC), 0);
    EXPECT_EQ(Main->ActiveMDIChild(), doc);
    EXPECT_EQ(TWinControl::FindControl(doc->Handle()), doc);
    EXPECT_EQ(Main->MDIChildCount(), 1);
    delete popup;
}

TEST_F(Frame, CheckedWindowListEntryIsDrawnWithTheCheckMark)
{
    NewChild("Doc1");
    NewChild("Doc2");
    HMENU wm = WindowMI->Handle();
    SendMessageA(Main->Handle(), WM_ENTERMENULOOP, 0, 0);
    SendMessageA(Main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(wm), 0);
    int count = GetMenuItemCount(wm);
    ASSERT_GE(count, 4) << "Cascade, the separator and two window entries";
    int checked = -1;
    for (int p = 2; p < count; ++p) {
        TItemInfo i = ItemAt(wm, p);
        EXPECT_TRUE(i.Type & MFT_OWNERDRAW) << "window entry " << i.Id;
        EXPECT_EQ(i.Data, reinterpret_cast<ULONG_PTR>(Styler));
        if (i.State & MFS_CHECKED) checked = p;
    }
    ASSERT_NE(checked, -1) << "the active document's entry is checked";
    TItemInfo entry = ItemAt(wm, checked);
    TMenuItem* mirror = Styler->FindItem(entry.Id);
    ASSERT_NE(mirror, nullptr);
    EXPECT_TRUE(mirror->Checked());
    EXPECT_NE(mirror->Caption().find("Doc2"), std::string::npos) << mirror->Caption();
    TDib dib(220, 30, Magenta);
    SIZE s = Measure(Main->Handle(), wm, checked);
    ASSERT_GT(s.cx, 0);
    RECT r{0, 0, 220, s.cy};
    Draw(Main->Handle(), wm, checked, dib.DC(), r, ODS_CHECKED);
    EXPECT_EQ(dib.At(1 + 11, 1 + 6), RGB(0, 0, 0));
    EXPECT_EQ(dib.At(1 + 7, 1 + 11), RGB(0, 0, 0));
    // The entry of the other document has no mark.
    int other = checked == 2 ? 3 : 2;
    TDib plain(220, 30, Magenta);
    Draw(Main->Handle(), wm, other, plain.DC(), r, 0);
    EXPECT_NE(plain.At(1 + 11, 1 + 6), RGB(0, 0, 0));
}

TEST_F(Frame, LetterOfNoItemLeavesTheDropDownOpen)
{
    NewChild("Doc1");
    auto r = static_cast<DWORD>(SendMessageA(Main->Handle(), WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP),
                                             reinterpret_cast<LPARAM>(WindowMI->Handle())));
    EXPECT_NE(HIWORD(r), MNC_CLOSE);
    EXPECT_NE(HIWORD(r), MNC_EXECUTE);
    r = static_cast<DWORD>(SendMessageA(Main->Handle(), WM_MENUCHAR, MAKEWPARAM('c', MF_POPUP),
                                        reinterpret_cast<LPARAM>(WindowMI->Handle())));
    EXPECT_EQ(r, static_cast<DWORD>(MAKELRESULT(0, MNC_EXECUTE)));
}

TEST_F(Frame, LetterOfADocumentStylersMenuIsFound)
{
    TForm* doc = NewChild("Doc1");
    auto* menu = new TPopupMenu(doc);
    auto* add = new TMenuItem(doc);
    add->SetCaption("&Zoom");
    menu->Items()->Add(add);
    auto* styler = new TPopupMenus97(doc);
    styler->SetPopupMenu(menu);
    auto r = static_cast<DWORD>(SendMessageA(Main->Handle(), WM_MENUCHAR, MAKEWPARAM('z', MF_POPUP),
                                             reinterpret_cast<LPARAM>(menu->Handle())));
    EXPECT_EQ(r, static_cast<DWORD>(MAKELRESULT(0, MNC_EXECUTE)));
}

TEST(PopupStyler, PopupItemsAreMeasuredAndDrawnThroughThePopupOwnerWindow)
{
    HWND util = TCustomPopupMenus97::FindPopupUtilWindow();
    ASSERT_NE(util, nullptr);
    TForm form(nullptr);
    form.HandleNeeded();
    auto* menu = new TPopupMenu(&form);
    for (const char* c : {"&Red", "-", "&Blue"}) {
        auto* i = new TMenuItem(&form);
        i->SetCaption(c);
        menu->Items()->Add(i);
    }
    auto* styler = new TPopupMenus97(&form);
    styler->SetItemHeight(20);
    styler->SetPopupMenu(menu);
    HMENU h = menu->Handle();
    EXPECT_TRUE(ItemAt(h, 0).Type & MFT_OWNERDRAW);
    EXPECT_TRUE(ItemAt(h, 1).Type & MFT_SEPARATOR);
    EXPECT_EQ(Measure(util, h, 2).cy, 20);
    TDib dib(150, 20, Magenta);
    Draw(util, h, 0, dib.DC(), RECT{0, 0, 150, 20}, ODS_SELECTED);
    EXPECT_EQ(dib.At(140, 10), GetSysColor(COLOR_HIGHLIGHT));
    // Items added later are owner-drawn too: the menu tells its stylers.
    auto* late = new TMenuItem(&form);
    late->SetCaption("&Green");
    menu->Items()->Add(late);
    EXPECT_TRUE(ItemAt(h, 3).Type & MFT_OWNERDRAW);
    EXPECT_EQ(ItemAt(h, 3).Data, reinterpret_cast<ULONG_PTR>(styler));
}

namespace {

int g_ticks = 0;

// Presses B once the menu is open; should the menu still be open later, it is closed.
void CALLBACK PressB(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_ticks;
    if (g_ticks == 1) {
        keybd_event('B', 0, 0, 0);
        keybd_event('B', 0, KEYEVENTF_KEYUP, 0);
    } else if (g_ticks > 4) {
        EndMenu();
    }
}

} // namespace

TEST(PopupStyler, LetterPressedInTheOpenMenuRunsItsItem)
{
    TForm form(nullptr);
    form.HandleNeeded();
    auto* menu = new TPopupMenu(&form);
    int clicked = 0;
    for (const char* c : {"&Red", "-", "&Blue", "B&lack"}) {
        auto* i = new TMenuItem(&form);
        i->SetCaption(c);
        i->OnClick = [&clicked, c](TObject*) { clicked = c[1] == 'B' ? 2 : 1; };
        menu->Items()->Add(i);
    }
    auto* styler = new TPopupMenus97(&form);
    styler->SetPopupMenu(menu);
    g_ticks = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, PressB);
    menu->Popup(100, 100);
    KillTimer(nullptr, timer);
    EXPECT_EQ(clicked, 2) << "the letter of Blue ran it (ticks " << g_ticks << ")";
}
