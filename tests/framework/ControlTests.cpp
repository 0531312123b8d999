#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

TMenuItem* Item(TComponent* owner, TMenuItem* parent, const char* caption, int* clicks = nullptr)
{
    auto* i = new TMenuItem(owner);
    i->SetCaption(caption);
    if (clicks) i->OnClick = [clicks](TObject*) { ++*clicks; };
    parent->Add(i);
    return i;
}

} // namespace

TEST(Menus, ShortCutTextBothWays)
{
    EXPECT_EQ(ShortCutToText(16462), "Ctrl+N");
    EXPECT_EQ(ShortCutToText(32883), "Alt+F4");
    EXPECT_EQ(ShortCutToText(32776), "Alt+BkSp");
    EXPECT_EQ(ShortCutToText(118), "F7");
    EXPECT_EQ(TextToShortCut("Ctrl+Y"), 16473);
    EXPECT_EQ(TextToShortCut("Alt+BkSp"), 32776);
    EXPECT_EQ(TextToShortCut("Nonsense"), 0);
}

TEST(Menus, ItemStateIsMirroredInTheMenu)
{
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    TMenuItem* file = Item(&form, menu->Items(), "&File");
    TMenuItem* a = Item(&form, file, "A");
    TMenuItem* b = Item(&form, file, "B");
    Item(&form, file, "-");
    a->SetRadioItem(true);
    b->SetRadioItem(true);
    form.SetMenu(menu);
    form.HandleNeeded();
    HMENU sub = file->Handle();
    ASSERT_EQ(GetMenuItemCount(sub), 3);
    a->SetChecked(true);
    EXPECT_TRUE(GetMenuState(sub, a->Command(), MF_BYCOMMAND) & MF_CHECKED);
    b->SetChecked(true);  // one radio item of a group at a time
    EXPECT_FALSE(a->Checked());
    EXPECT_FALSE(GetMenuState(sub, a->Command(), MF_BYCOMMAND) & MF_CHECKED);
    b->SetEnabled(false);
    EXPECT_TRUE(GetMenuState(sub, b->Command(), MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(sub, 2, MF_BYPOSITION) & MF_SEPARATOR);
    // Items added or removed later show up in the built menu.
    TMenuItem* c = Item(&form, file, "C");
    EXPECT_EQ(GetMenuItemCount(sub), 4);
    delete c;
    EXPECT_EQ(GetMenuItemCount(sub), 3);
    EXPECT_EQ(GetMenu(form.Handle()), menu->Handle());
}

TEST(Menus, CommandsReachTheItemOnceAndDisabledItemsDoNothing)
{
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    int clicks = 0;
    TMenuItem* file = Item(&form, menu->Items(), "&File");
    TMenuItem* run = Item(&form, file, "&Run", &clicks);
    run->SetShortCut(TextToShortCut("Ctrl+R"));
    form.SetMenu(menu);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(run->Command(), 0), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(menu->IsShortCut(TextToShortCut("Ctrl+R")));
    EXPECT_EQ(clicks, 2);
    run->SetEnabled(false);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(run->Command(), 0), 0);
    EXPECT_FALSE(menu->IsShortCut(TextToShortCut("Ctrl+R")));
    EXPECT_EQ(clicks, 2);
}

TEST(Menus, PopupMenusRunOnPopupThenTheChosenItem)
{
    TForm form(nullptr);
    auto* popup = new TPopupMenu(&form);
    int popups = 0, clicks = 0;
    popup->OnPopup = [&](TObject*) {
        ++popups;
        popup->Items()->Clear();
        Item(&form, popup->Items(), "Built now", &clicks);
    };
    TPopupMenu::TrackResponder = [](TPopupMenu* m) { return m->Items()->Items(0); };
    auto* panel = new TWinControl(&form);
    panel->SetBounds(0, 0, 50, 50);
    panel->SetParent(&form);
    panel->SetPopupMenu(popup);
    form.HandleNeeded();
    SendMessageA(panel->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(10, 10));
    TPopupMenu::TrackResponder = nullptr;
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popup->PopupComponent(), panel);
}

TEST(ToolBar, ButtonsClickOnceAndMirrorTheirState)
{
    TForm form(nullptr);
    auto* bar = new TToolBar(&form);
    bar->SetParent(&form);
    auto* plain = new TToolButton(&form);
    int clicks = 0;
    plain->OnClick = [&](TObject*) { ++clicks; };
    plain->SetParent(bar);
    auto* left = new TToolButton(&form);
    auto* right = new TToolButton(&form);
    for (TToolButton* b : {left, right}) {
        b->SetStyle(TToolButtonStyle::tbsCheck);
        b->SetGrouped(true);
        b->SetParent(bar);
    }
    form.HandleNeeded();
    ASSERT_EQ(bar->Perform(TB_BUTTONCOUNT, 0, 0), 3);
    SendMessageA(bar->Handle(), WM_COMMAND, MAKEWPARAM(plain->Command(), BN_CLICKED), reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(clicks, 1);
    plain->SetEnabled(false);
    EXPECT_EQ(bar->Perform(TB_ISBUTTONENABLED, plain->Command(), 0), 0);
    left->SetDown(true);
    EXPECT_TRUE(left->Down());
    right->SetDown(true);
    EXPECT_TRUE(right->Down());
    EXPECT_FALSE(left->Down());  // grouped check buttons: one down at a time
}

TEST(ToolBar, DropDownButtonsShowTheirMenu)
{
    TForm form(nullptr);
    auto* bar = new TToolBar(&form);
    bar->SetParent(&form);
    auto* menu = new TPopupMenu(&form);
    int clicks = 0;
    Item(&form, menu->Items(), "Red", &clicks);
    auto* b = new TToolButton(&form);
    b->SetStyle(TToolButtonStyle::tbsDropDown);
    b->SetDropdownMenu(menu);
    b->SetParent(bar);
    form.HandleNeeded();
    TPopupMenu::TrackResponder = [](TPopupMenu* m) { return m->Items()->Items(0); };
    NMTOOLBARA nm = {};
    nm.hdr.hwndFrom = bar->Handle();
    nm.hdr.code = TBN_DROPDOWN;
    nm.iItem = b->Command();
    SendMessageA(bar->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    TPopupMenu::TrackResponder = nullptr;
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menu->PopupComponent(), b);
}

TEST(StatusBar, PanelsHoldTheirText)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    auto* s = new TStatusBar(&form);
    s->AddPanel(60);
    s->AddPanel(150);
    s->SetParent(&form);
    s->SetPanelText(0, "3 : 14");
    form.HandleNeeded();
    s->SetPanelText(1, "Modified");
    char buf[32] = {};
    s->Perform(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "3 : 14");
    s->Perform(SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "Modified");
    int edges[4] = {};
    EXPECT_EQ(s->Perform(SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 60);
    EXPECT_EQ(edges[1], 210);
    EXPECT_EQ(s->Top() + s->Height(), form.ClientHeight());  // at the bottom
}

TEST(ComboBox, SortedItemsWithObjectsAndOwnerDrawnVariableItems)
{
    TForm form(nullptr);
    auto* c = new TComboBox(&form);
    c->SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    c->SetSorted(true);
    std::vector<int> measured;
    c->OnMeasureItem = [&](TWinControl*, int index, int& h) { measured.push_back(index); h = 18; };
    c->SetParent(&form);
    form.HandleNeeded();
    TObject one, two;
    c->Items()->AddObject("Times", &one);
    c->Items()->AddObject("Arial", &two);
    EXPECT_EQ(c->Items()->Strings(0), "Arial");
    EXPECT_EQ(c->Items()->Objects(0), &two);
    EXPECT_EQ(c->Perform(CB_GETITEMDATA, 1, 0), reinterpret_cast<LRESULT>(&one));
    char text[16] = {};
    c->Perform(CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Arial");
    EXPECT_FALSE(measured.empty());
    EXPECT_EQ(c->Perform(CB_GETITEMHEIGHT, 0, 0), 18);
    int changes = 0;
    c->OnChange = [&](TObject*) { ++changes; };
    c->SetItemIndex(1);
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c->Handle()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(c->ItemIndex(), 1);
    EXPECT_EQ(c->Items()->IndexOf("times"), 1);
}

TEST(ListBox, ItemsAreKeptAcrossTheWindowAndDoubleClicksReport)
{
    TForm form(nullptr);
    auto* l = new TListBox(&form);
    l->SetParent(&form);
    l->Items()->Add("one");
    l->Items()->Add("two");
    l->SetItemIndex(1);
    form.HandleNeeded();  // items given before the window exist in it afterwards
    EXPECT_EQ(l->Perform(LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(l->ItemIndex(), 1);
    l->Items()->Insert(0, "zero");
    char text[16] = {};
    SendMessageA(l->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "zero");
    // Items keep their own code page: Cyrillic bytes show as Cyrillic letters.
    l->Items()->Add("\xEA\xEE\xF2");
    l->SetCodePage(1251);
    wchar_t wide[16] = {};
    SendMessageW(l->Handle(), LB_GETTEXT, 3, reinterpret_cast<LPARAM>(wide));
    EXPECT_STREQ(wide, L"\x043A\x043E\x0442");
    l->Items()->Delete(3);
    int doubles = 0;
    l->OnDblClick = [&](TObject*) { ++doubles; };
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(l->Handle()), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(l->Handle()));
    EXPECT_EQ(doubles, 1);
    l->Items()->Clear();
    EXPECT_EQ(l->Perform(LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(l->ItemIndex(), -1);
}

TEST(Button, AClickActsOnlyWhenTheButtonIsVisibleAndEnabled)
{
    TForm form(nullptr);
    auto* b = new TButton(&form);
    b->SetParent(&form);
    b->SetDefault(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form.HandleNeeded();
    EXPECT_TRUE(GetWindowLongA(b->Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    SendMessageA(b->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    b->Click();
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(true);
    b->Hide();
    b->Click();
    EXPECT_EQ(clicks, 1);
}

TEST(Memo, TextAndSelectionOfAPlainMultiLineEdit)
{
    TForm form(nullptr);
    auto* m = new TMemo(&form);
    m->SetParent(&form);
    m->SetText("first\r\nsecond");
    EXPECT_TRUE(GetWindowLongA(m->Handle(), GWL_STYLE) & ES_MULTILINE);
    m->SetSelStart(7);
    m->SetSelLength(3);
    EXPECT_EQ(m->SelText(), "sec");
    m->SetSelText("2nd");
    EXPECT_EQ(m->Text(), "first\r\n2ndond");
}

TEST(Dialogs, TheResponderAnswersFileDialogs)
{
    TOpenDialog d(nullptr);
    d.SetName("OpenDialog");
    TCommonDialog::Responder = [](TCommonDialog& dlg) -> std::optional<bool> {
        static_cast<TOpenDialog&>(dlg).SetFileName("C:\\picked.rtf");
        return true;
    };
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName(), "C:\\picked.rtf");
    TCommonDialog::Responder = [](TCommonDialog&) -> std::optional<bool> { return false; };
    EXPECT_FALSE(d.Execute());
    TCommonDialog::Responder = nullptr;
}

TEST(Dialogs, TheRealFindDialogReportsFindNext)
{
    TForm owner(nullptr);
    owner.HandleNeeded();
    TFindDialog d(nullptr);
    std::string found;
    unsigned options = 0;
    d.OnFind = [&](TObject*) { found = d.FindText(); options = d.Options(); };
    d.SetFindText("needle");
    ASSERT_TRUE(d.Execute());
    ASSERT_NE(d.Handle(), nullptr);
    // Press the dialog's own Find Next button.
    SendMessageA(GetDlgItem(d.Handle(), IDOK), BM_CLICK, 0, 0);
    pwtest::Pump();
    EXPECT_EQ(found, "needle");
    EXPECT_TRUE(options & frFindNext);
    d.CloseDialog();
    EXPECT_EQ(d.Handle(), nullptr);
}

TEST(Clipboard, TextRoundTrip)
{
    Clipboard()->SetAsText("copied text");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "copied text");
}
