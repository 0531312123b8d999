// The menu bar control on a harness form, driven by real messages with the menu loop's
// message filter hook running: clicks, moving between menus, arrows, mnemonics, keyboard
// menu mode and the caption buttons of a maximised MDI child.
#include "MenuBar97.h"
#include "MenuLoop.h"

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

// A form whose menu bar control stands in for its menu, doing at the start and end of each
// menu loop what the main menu styler does for it.
class HarnessForm : public TForm {
public:
    explicit HarnessForm(TFormStyle Style = TFormStyle::fsNormal) : TForm(nullptr)
    {
        SetFormStyle(Style);
        SetBounds(120, 140, 520, 320);
        Menu = new TMainMenu(this);
        for (const char* c : {"&File", "&Edit", "&Window", "&Help"}) {
            auto* top = new TMenuItem(this);
            top->SetCaption(c);
            auto* sub = new TMenuItem(this);
            sub->SetCaption(std::string("Item of ") + (c + 1));
            top->Add(sub);
            Menu->Items()->Add(top);
        }
        Bar = new TCustomMenuBar97(this);
        Bar->SetAlign(TAlign::alTop);
        Bar->SetHeight(22);
        Bar->SetParent(this);
        Bar->SetForm(this);
        Show();
        int x = 0;
        for (int i = 0; i < Menu->Items()->Count(); ++i) {
            TMenuItem* item = Menu->Items()->Items(i);
            auto* b = new TMenuSpeedButton(Bar);
            b->SetFlat(true);
            b->SetAllowAllUp(true);
            b->SetTargetWindow(Handle());
            b->SetCaption(item->Caption());
            b->SetTag(static_cast<int>(reinterpret_cast<intptr_t>(item->Handle())));
            b->SetBounds(x, 1, 50, 20);
            x += 50;
            b->SetParent(Bar);
            Buttons.push_back(b);
        }
    }
    HMENU MenuOf(int i) { return Menu->Items()->Items(i)->Handle(); }
    // Presses a button as the mouse does: the call returns when its menu (and any menu the
    // loop switched to) has closed.
    void Click(TControl* b)
    {
        SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Left() + 5, b->Top() + 5));
        pwtest::Pump();
    }
    void WndProc(TMessage& Message) override
    {
        switch (Message.Msg) {
        case WM_ENTERMENULOOP: Bar->EnterMenuLoop(); Script.EnterLoop(); break;
        case WM_EXITMENULOOP: Bar->ExitMenuLoop(); Script.ExitLoop(); break;
        case WM_INITMENUPOPUP: Script.Opened(reinterpret_cast<HMENU>(Message.WParam)); break;
        default: break;
        }
        TForm::WndProc(Message);
    }

    TMainMenu* Menu;
    TCustomMenuBar97* Bar;
    std::vector<TMenuSpeedButton*> Buttons;
    MenuLoopScript Script;
};

} // namespace

TEST(MenuBar97, FourMenuButtonsAfterTheFixedOnesThatStayHidden)
{
    HarnessForm form;
    ASSERT_EQ(form.Bar->ControlCount(), 8);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form.Bar->Controls(i)->Visible()) << i;
    EXPECT_EQ(form.Bar->CommandButton(0)->Command(), static_cast<UINT>(SC_MINIMIZE));
    EXPECT_EQ(form.Bar->CommandButton(1)->Command(), static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(form.Bar->CommandButton(2)->Command(), static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(form.Bar->IconButton()->Tag(), 0);
    EXPECT_EQ(form.Bar->MenuButton(4), form.Buttons[0]);
    EXPECT_EQ(form.Bar->MenuButton(3), nullptr);
    EXPECT_EQ(form.Bar->MenuButton(8), nullptr);
}

TEST(MenuBar97, AClickDropsTheMenuUnderTheButton)
{
    HarnessForm form;
    RECT dropped{};
    form.Script.Add([&] {
        HWND popup = FindWindowA("#32768", nullptr);
        GetWindowRect(popup, &dropped);
    });
    form.Click(form.Buttons[1]);
    ASSERT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(1)});
    POINT corner{form.Buttons[1]->Left(), form.Buttons[1]->Top() + form.Buttons[1]->Height()};
    ClientToScreen(form.Bar->Handle(), &corner);
    EXPECT_EQ(dropped.left, corner.x);
    EXPECT_EQ(dropped.top, corner.y);
    EXPECT_FALSE(form.Buttons[1]->Dropped()) << "let go at the end of the loop";
    EXPECT_EQ(form.Buttons[1]->State(), TButtonState::bsUp);
    ExpectNoMenuLoopLeft();
}

TEST(MenuBar97, MovingToTheNextButtonSwitchesMenusOncePerButton)
{
    HarnessForm form;
    HWND bar = form.Bar->Handle();
    form.Script.Add([&] {
        // Several moves over the same button: one switch.
        for (int i = 0; i < 3; ++i) pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(form.Buttons[1]));
    });
    form.Script.Add([&] { pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(form.Buttons[1])); });
    form.Script.Add([&] { pwtest::PostKey(bar, VK_ESCAPE); });
    form.Click(form.Buttons[0]);
    EXPECT_EQ(form.Script.OpenedMenus(), (std::vector<HMENU>{form.MenuOf(0), form.MenuOf(1)}));
    EXPECT_EQ(form.Bar->HotIndex(), 5);
    for (TMenuSpeedButton* b : form.Buttons) EXPECT_FALSE(b->Dropped());
    ExpectNoMenuLoopLeft();
}

TEST(MenuBar97, ClickingTheOpenMenusOwnButtonClosesIt)
{
    HarnessForm form;
    form.Script.Add([&] { pwtest::PostButtonDown(form.Bar->Handle(), pwtest::CentreOnScreen(form.Buttons[2])); });
    form.Click(form.Buttons[2]);
    EXPECT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(2)}) << "closed, not dropped again";
    EXPECT_EQ(form.Script.RanOut(), 0) << "the click itself ended the menu";
    EXPECT_FALSE(form.Buttons[2]->Dropped());
    EXPECT_EQ(GetKeyState(VK_ESCAPE) & 0x8000, 0) << "no key left down";
    ExpectNoMenuLoopLeft();
}

TEST(MenuBar97, ArrowsMoveBetweenTheMenusAndWrapAndSkipHiddenButtons)
{
    HarnessForm form;
    HWND bar = form.Bar->Handle();
    form.Buttons[2]->SetVisible(false);  // &Window
    for (WORD key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_LEFT, VK_ESCAPE})
        form.Script.Add([bar, key] { pwtest::PostKey(bar, key); });
    form.Click(form.Buttons[0]);
    EXPECT_EQ(form.Script.OpenedMenus(),
              (std::vector<HMENU>{form.MenuOf(0), form.MenuOf(1), form.MenuOf(3), form.MenuOf(0), form.MenuOf(3)}));
    ExpectNoMenuLoopLeft();
}

TEST(MenuBar97, AltAloneEntersKeyboardMenuModeWithArrowsAndDown)
{
    HarnessForm form;
    HWND bar = form.Bar->Handle();
    SendMessageA(bar, WM_SYSCOMMAND, SC_KEYMENU, 0);
    ASSERT_TRUE(form.Bar->KeyboardMode());
    EXPECT_EQ(form.Bar->HotIndex(), 4);
    EXPECT_TRUE(form.Buttons[0]->MouseInControl()) << "the first menu button is hot";
    EXPECT_EQ(SendMessageA(bar, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
    SendMessageA(bar, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(form.Bar->HotIndex(), 7) << "left from the first wraps to the last";
    EXPECT_FALSE(form.Buttons[0]->MouseInControl());
    EXPECT_TRUE(form.Buttons[3]->MouseInControl());
    SendMessageA(bar, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(form.Bar->HotIndex(), 4) << "right from the last wraps to the first menu button";
    form.Script.Add([bar] { pwtest::PostKey(bar, VK_ESCAPE); });
    SendMessageA(bar, WM_KEYDOWN, VK_DOWN, 0);
    pwtest::Pump();
    EXPECT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(0)});
    EXPECT_TRUE(form.Buttons[0]->MouseInControl()) << "still hot after the menu in keyboard mode";
    SendMessageA(bar, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_FALSE(form.Bar->KeyboardMode());
    EXPECT_FALSE(form.Buttons[0]->MouseInControl());
    ExpectNoMenuLoopLeft();
}

TEST(MenuBar97, ABarWithoutMenuButtonsStaysOutOfKeyboardModeAndIgnoresArrows)
{
    HarnessForm form;
    for (TMenuSpeedButton* b : form.Buttons) b->SetVisible(false);
    HWND bar = form.Bar->Handle();
    SendMessageA(bar, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_FALSE(form.Bar->KeyboardMode());
    form.Bar->SetHotIndex(40);  // beyond the controls
    SendMessageA(bar, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(bar, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(form.Script.OpenedMenus().empty());
}

TEST(MenuBar97, TheMnemonicOfAButtonDropsItsMenu)
{
    HarnessForm form;
    form.Script.Add([&] { pwtest::PostKey(form.Bar->Handle(), VK_ESCAPE); });
    EXPECT_EQ(SendMessageA(form.Bar->Handle(), CM_DIALOGCHAR, 'w', 0), 1);
    pwtest::Pump();
    EXPECT_EQ(form.Script.OpenedMenus(), std::vector<HMENU>{form.MenuOf(2)});
    EXPECT_EQ(SendMessageA(form.Bar->Handle(), CM_DIALOGCHAR, 'q', 0), 0) << "no button has it";
    EXPECT_TRUE(IsMnemonic('F', "&File"));
    EXPECT_FALSE(IsMnemonic('F', "&&File"));
    EXPECT_TRUE(IsMnemonic('x', "E&xit"));
}

TEST(MenuBar97, AMaximisedChildBringsItsIconAndCaptionButtonsThatWork)
{
    HarnessForm frame(TFormStyle::fsMDIForm);
    auto* child = new TForm(&frame);
    child->SetFormStyle(TFormStyle::fsMDIChild);
    child->SetText("Doc");
    child->HandleNeeded();
    child->SetWindowState(TWindowState::wsMaximized);
    TCustomMenuBar97* bar = frame.Bar;
    int fileLeft = frame.Buttons[0]->Left();
    bar->ShowMdiButtons(true);
    ASSERT_TRUE(bar->MdiButtonsShown());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(bar->Controls(i)->Visible()) << i;
    EXPECT_EQ(frame.Buttons[0]->Left(), fileLeft + bar->IconButton()->Width() + 2);
    EXPECT_FALSE(bar->IconButton()->Glyph()->Empty()) << "the child's icon";
    TMenuCommandButton* close = bar->CommandButton(2);
    EXPECT_LT(bar->CommandButton(0)->Left(), bar->CommandButton(1)->Left());
    EXPECT_LT(bar->CommandButton(1)->Left(), close->Left());
    // Restore: the child goes back to normal and the buttons go.
    TMenuCommandButton* restore = bar->CommandButton(1);
    HWND h = bar->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(restore->Left() + 2, restore->Top() + 2));
    EXPECT_TRUE(restore->PressedLook());
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(restore->Left() + 2, restore->Top() + 2));
    EXPECT_EQ(child->WindowState(), TWindowState::wsNormal);
    EXPECT_FALSE(bar->MdiButtonsShown());
    EXPECT_EQ(frame.Buttons[0]->Left(), fileLeft);
    // Minimise.
    bar->ShowMdiButtons(true);
    TMenuCommandButton* minimise = bar->CommandButton(0);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(minimise->Left() + 2, minimise->Top() + 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(minimise->Left() + 2, minimise->Top() + 2));
    EXPECT_EQ(child->WindowState(), TWindowState::wsMinimized);
    // Close, released off the button: nothing; released on it: the child closes.
    bar->ShowMdiButtons(true);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close->Left() + 2, close->Top() + 2));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(close->Left() - 30, close->Top() + 2));
    EXPECT_FALSE(close->PressedLook()) << "dragged off";
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(close->Left() - 30, close->Top() + 2));
    EXPECT_EQ(frame.MDIChildCount(), 1);
    child->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close->Left() + 2, close->Top() + 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(close->Left() + 2, close->Top() + 2));
    pwtest::Pump();
    EXPECT_EQ(frame.MDIChildCount(), 0);
}
