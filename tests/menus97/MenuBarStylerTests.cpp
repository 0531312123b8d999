// The main menu styler feeding a menu bar control on a harness form: the form's own menu bar
// goes, the styler keeps one button per menu item on the control, and the mnemonics, Alt
// alone and the menu loops of the form reach the control, all through real messages.
#include "MenuBar97.h"
#include "MenuLoop.h"
#include "MenuStylers97.h"
#include "SystemMenus97.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;
using pwtest::MenuLoopScript;
using pwtest::ExpectNoMenuLoopLeft;

namespace {

const char* const Captions[] = {"&File", "&Edit", "&Window", "&Help"};

class StyledForm : public TForm {
public:
    explicit StyledForm(TFormStyle Style = TFormStyle::fsNormal) : TForm(nullptr)
    {
        SetFormStyle(Style);
        SetBounds(120, 140, 560, 320);
        Menu = new TMainMenu(this);
        for (const char* c : Captions) {
            auto* top = new TMenuItem(this);
            top->SetCaption(c);
            top->SetHint(std::string("Hint of ") + (c + 1));
            for (const char* s : {"First of ", "Second of "}) {
                auto* sub = new TMenuItem(this);
                sub->SetCaption(s + std::string(c + 1));
                top->Add(sub);
            }
            Menu->Items()->Add(top);
        }
        SetMenu(Menu);
        HandleNeeded();
        ClientTopWithMenuRow = ClientTop();
        Styler = new TMainMenus97(this);
        Styler->SetMainMenu(Menu);
        Bar = new TCustomMenuBar97(this);
        Bar->SetAlign(TAlign::alTop);
        Bar->SetHeight(22);
        Bar->SetParent(this);
        Show();
        pwtest::Pump();
    }
    int ClientTop()
    {
        POINT p{0, 0};
        ClientToScreen(Handle(), &p);
        return p.y;
    }
    TMenuItem* Item(int i) { return Menu->Items()->Items(i); }
    HMENU MenuOf(int i) { return Item(i)->Handle(); }
    TMenuSpeedButton* Button(int i) { return dynamic_cast<TMenuSpeedButton*>(Bar->Controls(TCustomMenuBar97::FirstMenuIndex + i)); }
    // A click: the press returns when the menu it dropped has closed, then the release.
    void Click(TControl* b)
    {
        SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Left() + 5, b->Top() + 5));
        SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(b->Left() + 5, b->Top() + 5));
        pwtest::Pump();
    }
    // The width a button needs for its caption as it is drawn, and the margin.
    int WidthFor(const std::string& Caption)
    {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, Button(0)->Font()->Handle());
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, Caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return r.right - r.left + 10;
    }
    // The menu loops of the form are the styler's; the script only watches them.
    void WndProc(TMessage& Message) override
    {
        switch (Message.Msg) {
        case WM_ENTERMENULOOP: Script.EnterLoop(); break;
        case WM_EXITMENULOOP: Script.ExitLoop(); break;
        case WM_INITMENUPOPUP: Script.Opened(reinterpret_cast<HMENU>(Message.WParam)); break;
        default: break;
        }
        TForm::WndProc(Message);
    }

    TMainMenu* Menu;
    TMainMenus97* Styler;
    TCustomMenuBar97* Bar;
    int ClientTopWithMenuRow = 0;
    MenuLoopScript Script;
};

} // namespace

TEST(MenuBarStyler, TheBarGetsOneSizedLabelledButtonPerItemAndTheMenuRowGoes)
{
    StyledForm form;
    ASSERT_EQ(form.Bar->ControlCount(), 4) << "only the bar's own buttons before it is taken";
    form.Styler->SetToolBar(form.Bar);
    EXPECT_EQ(form.Bar->Form(), &form);
    EXPECT_TRUE(form.Styler->HideMenuBar());
    EXPECT_TRUE(form.Styler->GetHideMenuBar());
    form.Styler->SetHideMenuBar(false);
    EXPECT_TRUE(form.Styler->HideMenuBar()) << "fixed while the bar stands in for the menu";
    form.Styler->SetMenuBarBorder(true);
    EXPECT_FALSE(form.Styler->MenuBarBorder());
    EXPECT_LT(form.ClientTop(), form.ClientTopWithMenuRow) << "the client area took the menu row";
    EXPECT_EQ(GetMenu(form.Handle()), form.Menu->Handle()) << "the menu stays, hidden";

    ASSERT_EQ(form.Bar->ControlCount(), 8);
    int h = form.Styler->GetItemHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(form.Bar->Height(), h + 1);
    int x = 0;
    for (int i = 0; i < 4; ++i) {
        TMenuSpeedButton* b = form.Button(i);
        ASSERT_NE(b, nullptr) << i;
        EXPECT_TRUE(b->Visible()) << i;
        EXPECT_EQ(b->Caption(), Captions[i]);
        EXPECT_EQ(b->Width(), form.WidthFor(Captions[i])) << Captions[i];
        EXPECT_EQ(b->Left(), x) << Captions[i];
        EXPECT_EQ(b->Top(), 1);
        EXPECT_EQ(b->Height(), h - 1);
        EXPECT_EQ(b->Tag(), static_cast<int>(reinterpret_cast<intptr_t>(form.MenuOf(i))));
        EXPECT_EQ(b->Hint(), std::string("Hint of ") + (Captions[i] + 1));
        EXPECT_EQ(b->TargetWindow(), form.Handle());
        EXPECT_TRUE(b->Flat());
        x += b->Width();
    }
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form.Bar->Controls(i)->Visible()) << "no MDI buttons " << i;

    MINMAXINFO mmi = {};
    SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, form.Bar->MinWidth());
    EXPECT_GT(form.Bar->MinWidth(), x) << "the buttons and the frame";
}

TEST(MenuBarStyler, ARemovedItemHidesItsSurplusButtonAndAnAddedOneShowsAgain)
{
    StyledForm form;
    form.Styler->SetToolBar(form.Bar);
    TMenuItem* window = form.Item(2);
    form.Menu->Items()->Remove(window);
    pwtest::Pump();
    ASSERT_EQ(form.Bar->ControlCount(), 8) << "buttons are kept for later";
    EXPECT_FALSE(form.Bar->Controls(7)->Visible()) << "the surplus button is hidden";
    EXPECT_EQ(form.Button(2)->Caption(), "&Help");
    EXPECT_EQ(form.Button(2)->Tag(), static_cast<int>(reinterpret_cast<intptr_t>(form.MenuOf(2))));
    EXPECT_EQ(form.Button(2)->Left(), form.Button(1)->Left() + form.Button(1)->Width());
    EXPECT_EQ(form.Button(2)->Width(), form.WidthFor("&Help"));
    // The arrows of keyboard menu mode pass over the hidden button.
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    SendMessageA(form.Handle(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(form.Bar->HotIndex(), 6);
    SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);

    form.Menu->Items()->Insert(1, window);
    pwtest::Pump();
    ASSERT_EQ(form.Bar->ControlCount(), 8);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(form.Button(i)->Visible()) << i;
    EXPECT_EQ(form.Button(1)->Caption(), "&Window");
    EXPECT_EQ(form.Button(2)->Caption(), "&Edit");
    EXPECT_EQ(form.Button(3)->Left(), form.Button(2)->Left() + form.Button(2)->Width());
}

TEST(MenuBarStyler, AltAndALetterClosesTheSystemsMenuModeAndTheBarDropsThatMenu)
{
    StyledForm form;
    form.Styler->SetToolBar(form.Bar);
    HWND h = form.Handle();
    // The answer to the letter of a hidden bar item: close, and the bar takes over.
    LRESULT r = SendMessageA(h, WM_MENUCHAR, MAKEWPARAM('w', MF_SYSMENU), reinterpret_cast<LPARAM>(form.Menu->Handle()));
    EXPECT_EQ(HIWORD(r), MNC_CLOSE);
    EXPECT_EQ(static_cast<short>(LOWORD(r)), -5);
    form.Script.Add([&] { pwtest::PostKey(form.Bar->Handle(), VK_ESCAPE); });
    pwtest::Pump();
    EXPECT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(2)}) << "the posted letter dropped Window";
    ExpectNoMenuLoopLeft();

    // Alt+E as the system delivers it: its own menu bar mode asks for the letter, ends, and
    // the bar drops Edit under its button.
    form.Script.Clear();
    RECT dropped{};
    form.Script.Add([&] {
        GetWindowRect(FindWindowA("#32768", nullptr), &dropped);
        pwtest::PostKey(form.Bar->Handle(), VK_ESCAPE);
    });
    SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'e');
    pwtest::Pump();
    ASSERT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(1)});
    POINT corner{form.Button(1)->Left(), form.Button(1)->Top() + form.Button(1)->Height()};
    ClientToScreen(form.Bar->Handle(), &corner);
    EXPECT_EQ(dropped.left, corner.x);
    EXPECT_EQ(dropped.top, corner.y);
    EXPECT_FALSE(form.Button(1)->Dropped());
    EXPECT_EQ(form.Button(1)->State(), TButtonState::bsUp);
    ExpectNoMenuLoopLeft();

    // A loop of the system's own (Alt+Space, the system menu) lights the first menu button
    // for its length only.
    form.Script.Clear();
    bool litInLoop = false;
    form.Script.Add([&] { litInLoop = form.Button(0)->MouseInControl() && HookBar() == form.Bar; });
    SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    pwtest::Pump();
    EXPECT_EQ(form.Script.OpenedMenus().size(), 1u) << "the system menu";
    EXPECT_TRUE(litInLoop);
    EXPECT_FALSE(form.Button(0)->MouseInControl()) << "dark again";
    ExpectNoMenuLoopLeft();

    // Alt+H typed in another window of the form: the system's own mode asks the form for the
    // letter, and the bar drops Help under its button.
    form.Script.Clear();
    auto* panel = new TPanel(&form);
    panel->SetBounds(10, 60, 100, 40);
    panel->SetParent(&form);
    form.Script.Add([&] {
        GetWindowRect(FindWindowA("#32768", nullptr), &dropped);
        pwtest::PostKey(form.Bar->Handle(), VK_ESCAPE);
    });
    SendMessageA(panel->Handle(), WM_SYSCHAR, 'h', 0x20000001);
    pwtest::Pump();
    ASSERT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(3)});
    corner = POINT{form.Button(3)->Left(), form.Button(3)->Top() + form.Button(3)->Height()};
    ClientToScreen(form.Bar->Handle(), &corner);
    EXPECT_EQ(dropped.left, corner.x) << "not the hidden bar's own drop-down";
    EXPECT_EQ(dropped.top, corner.y);
    ExpectNoMenuLoopLeft();

    // A letter no item has opens nothing.
    form.Script.Clear();
    SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 'q');
    pwtest::Pump();
    EXPECT_TRUE(form.Script.OpenedMenus().empty());
    ExpectNoMenuLoopLeft();
}

TEST(MenuBarStyler, AltAloneEntersKeyboardMenuModeAndTheFormsKeysReachTheBar)
{
    StyledForm form;
    form.Styler->SetToolBar(form.Bar);
    HWND h = form.Handle();
    // Alt pressed and released as the default window procedure sees it.
    SendMessageA(h, WM_SYSKEYDOWN, VK_MENU, 0x20380001);
    SendMessageA(h, WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xE0380001u));
    ASSERT_TRUE(form.Bar->KeyboardMode());
    EXPECT_EQ(form.Bar->HotIndex(), 4);
    EXPECT_TRUE(form.Button(0)->MouseInControl());
    EXPECT_EQ(SendMessageA(h, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    SendMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(form.Bar->HotIndex(), 5);
    EXPECT_TRUE(form.Button(1)->MouseInControl());
    EXPECT_FALSE(form.Button(0)->MouseInControl());
    form.Script.Add([&] { pwtest::PostKey(form.Bar->Handle(), VK_ESCAPE); });
    SendMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    pwtest::Pump();
    EXPECT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(1)});
    EXPECT_TRUE(form.Bar->KeyboardMode()) << "a closed menu leaves the mode on";
    EXPECT_FALSE(form.Bar->DroppedByKeyboard()) << "cleared at the end of the loop";
    ExpectNoMenuLoopLeft();
    // Escape leaves the mode; the form's keys then stay the form's.
    SendMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(form.Bar->KeyboardMode());
    EXPECT_FALSE(form.Button(1)->MouseInControl());
    EXPECT_NE(SendMessageA(h, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    SendMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(form.Bar->HotIndex(), 5);
    // F10 alone toggles it as well.
    SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_TRUE(form.Bar->KeyboardMode());
    SendMessageA(h, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_FALSE(form.Bar->KeyboardMode());
}

TEST(MenuBarStyler, TheFormsMenuLoopsRunTheBarsHookFromClickToSwitch)
{
    StyledForm form;
    form.Styler->SetToolBar(form.Bar);
    HWND bar = form.Bar->Handle();
    bool hookLive = false;
    form.Script.Add([&] {
        hookLive = MenuHook() != nullptr && HookBar() == form.Bar && HookButton() == form.Button(0);
        pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(form.Button(3)));
    });
    form.Script.Add([&] { pwtest::PostKey(bar, VK_LEFT); });
    form.Script.Add([&] { pwtest::PostKey(bar, VK_ESCAPE); });
    form.Click(form.Button(0));
    EXPECT_TRUE(hookLive) << "installed by the styler at the start of the loop";
    EXPECT_EQ(form.Script.OpenedMenus(), (std::vector<HMENU>{form.MenuOf(0), form.MenuOf(3), form.MenuOf(2)}));
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form.Button(i)->Dropped()) << i;
    ExpectNoMenuLoopLeft();
}

TEST(MenuBarStyler, AMaximisedChildPutsItsCaptionButtonsOnTheBarAndRestoringTakesThemOff)
{
    StyledForm frame(TFormStyle::fsMDIForm);
    frame.Styler->SetToolBar(frame.Bar);
    auto* child = new TForm(&frame);
    child->SetFormStyle(TFormStyle::fsMDIChild);
    child->SetText("Doc");
    child->HandleNeeded();
    pwtest::Pump();
    int fileLeft = frame.Button(0)->Left();
    child->SetWindowState(TWindowState::wsMaximized);
    pwtest::Pump();
    ASSERT_GT(GetMenuItemCount(frame.Menu->Handle()), 4) << "the system put the child's buttons on the bar";
    EXPECT_TRUE(frame.Bar->MdiButtonsShown());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(frame.Bar->Controls(i)->Visible()) << i;
    ASSERT_EQ(frame.Bar->ControlCount(), 8) << "no buttons for the child's positions";
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(frame.Button(i)->Visible()) << i;
        EXPECT_EQ(frame.Button(i)->Caption(), Captions[i]);
    }
    EXPECT_EQ(frame.Button(0)->Left(), fileLeft + frame.Bar->IconButton()->Width() + 2);

    // The icon drops nothing while the child has no system menu styler, then the styled one.
    TMenuSpeedButton* icon = frame.Bar->IconButton();
    EXPECT_EQ(icon->ChildSystemMenu(), nullptr);
    EXPECT_EQ(icon->FrameWindow(), frame.Handle());
    frame.Click(icon);
    EXPECT_TRUE(frame.Script.OpenedMenus().empty());
    EXPECT_EQ(HookButton(), nullptr) << "a button that dropped nothing is not tracking";
    EXPECT_FALSE(icon->Dropped());
    auto* systemStyler = new TSystemMenus97(child);
    HMENU system = icon->ChildSystemMenu();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system, systemStyler->SystemMenu());
    EXPECT_EQ(system, GetSystemMenu(child->Handle(), FALSE));
    UINT state = GetMenuState(system, SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_OWNERDRAW) << "styled";
    RECT dropped{};
    frame.Script.Add([&] {
        GetWindowRect(FindWindowA("#32768", nullptr), &dropped);
        pwtest::PostKey(frame.Bar->Handle(), VK_ESCAPE);
    });
    frame.Click(icon);
    EXPECT_EQ(frame.Script.OpenedMenus(), std::vector<HMENU>{system});
    POINT corner{icon->Left(), icon->Top() + icon->Height()};
    ClientToScreen(frame.Bar->Handle(), &corner);
    EXPECT_EQ(dropped.left, corner.x);
    EXPECT_EQ(dropped.top, corner.y);
    ExpectNoMenuLoopLeft();
    frame.Script.Clear();

    child->SetWindowState(TWindowState::wsNormal);
    pwtest::Pump();
    EXPECT_FALSE(frame.Bar->MdiButtonsShown());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(frame.Bar->Controls(i)->Visible()) << i;
    EXPECT_EQ(frame.Button(0)->Left(), fileLeft);
}

TEST(MenuBarStyler, DestroyingTheBarClearsToolBarAndTheStylerGoingLeavesTheBarWhole)
{
    {
        StyledForm form;
        form.Styler->SetToolBar(form.Bar);
        delete form.Bar;
        form.Bar = nullptr;
        EXPECT_EQ(form.Styler->ToolBar(), nullptr);
        EXPECT_TRUE(form.Styler->HideMenuBar()) << "the menu row stays hidden";
        // Resizing and the messages that went to the bar find none.
        SetWindowPos(form.Handle(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
        MINMAXINFO mmi = {};
        SendMessageA(form.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        SendMessageA(form.Handle(), WM_MENUCHAR, MAKEWPARAM('f', MF_SYSMENU), reinterpret_cast<LPARAM>(form.Menu->Handle()));
        pwtest::Pump();
        EXPECT_TRUE(form.Script.OpenedMenus().empty());
    }
    {
        StyledForm form;
        form.Styler->SetToolBar(form.Bar);
        ASSERT_EQ(form.Bar->ControlCount(), 8);
        delete form.Styler;
        ASSERT_EQ(form.Bar->ControlCount(), 4) << "the menu buttons went with the styler";
        EXPECT_NE(form.Bar->IconButton(), nullptr);
        form.Bar->ShowMdiButtons(true);
        form.Bar->ShowMdiButtons(false);
        EXPECT_GT(form.Bar->MinWidth(), 0);
        EXPECT_EQ(MenuHook(), nullptr);
    }
}
