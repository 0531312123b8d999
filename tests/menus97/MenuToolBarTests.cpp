// The menu tool bar in the first band of a cool bar on an MDI frame, driven by real messages
// with the tool bar's message filter hook running as under the menu loop.
#include "MenuToolBar.h"
#include "MenuLoop.h"

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "Subclass.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace pw;
using pwtest::MenuLoopScript;

namespace {

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption, int group = 0)
{
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetGroupIndex(group);
    parent->Add(item);
    return item;
}

class Frame : public TForm {
public:
    Frame() : TForm(nullptr)
    {
        SetFormStyle(TFormStyle::fsMDIForm);
        SetBounds(60, 60, 640, 420);
        Menu = new TMainMenu(this);
        int groups[] = {0, 0, 9, 9};
        const char* captions[] = {"&File", "&Edit", "&Window", "&Help"};
        for (int i = 0; i < 4; ++i) {
            TMenuItem* top = AddItem(this, Menu->Items(), captions[i], groups[i]);
            AddItem(this, top, std::string("First of ") + (captions[i] + 1));
            AddItem(this, top, std::string("Second of ") + (captions[i] + 1));
        }
        SetMenu(Menu);
        HandleNeeded();
        NoBarClientTop = ClientTopOnScreen();
        Cool = new TCoolBar(this);
        Cool->SetAlign(TAlign::alTop);
        Cool->SetParent(this);
        Bar = new TMenuToolBar(this);
        Bar->SetBounds(0, 0, 600, 20);
        Cool->AddBand(Bar, 0, 600);
        Show();
        SendMessageA(Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        pwtest::Pump();
    }
    int ClientTopOnScreen()
    {
        POINT p{0, 0};
        ClientToScreen(Handle(), &p);
        return p.y;
    }
    TForm* NewChild(const std::string& caption)
    {
        auto* c = new TForm(this);
        c->SetFormStyle(TFormStyle::fsMDIChild);
        c->SetText(caption);
        c->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
        c->HandleNeeded();
        pwtest::Pump();
        return c;
    }
    TToolButton* Button(int i) { return Bar->Buttons(i); }
    void Press(TToolButton* b, UINT msg = WM_LBUTTONDOWN)
    {
        SendMessageA(Bar->Handle(), msg, MK_LBUTTON, MAKELPARAM(b->Left() + 4, b->Top() + 4));
        pwtest::Pump();
    }
    std::vector<std::string> Captions()
    {
        std::vector<std::string> v;
        for (int i = 0; i < Bar->ButtonCount(); ++i) v.push_back(Bar->Buttons(i)->Caption());
        return v;
    }
    HMENU MenuOf(int i) { return Menu->Items()->Items(i)->Handle(); }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_ENTERMENULOOP) Script.EnterLoop();
        if (Message.Msg == WM_EXITMENULOOP) Script.ExitLoop();
        if (Message.Msg == WM_INITMENUPOPUP) Script.Opened(reinterpret_cast<HMENU>(Message.WParam));
        TForm::WndProc(Message);
    }

    TMainMenu* Menu;
    TCoolBar* Cool;
    TMenuToolBar* Bar;
    MenuLoopScript Script;
    int NoBarClientTop = 0;
};

void ExpectNoToolMenuLeft()
{
    EXPECT_EQ(ToolHook(), nullptr) << "the hook ends with its menu";
    EXPECT_EQ(HookToolButton(), nullptr);
}

} // namespace

TEST(MenuToolBar, FourCaptionButtonsInTheFirstBandAndNoMenuRow)
{
    Frame f;
    EXPECT_EQ(f.Captions(), (std::vector<std::string>{"&File", "&Edit", "&Window", "&Help"}));
    EXPECT_EQ(f.Cool->BandCount(), 1);
    EXPECT_EQ(GetParent(f.Bar->Handle()), f.Cool->Handle());
    EXPECT_EQ(f.ClientTopOnScreen(), f.NoBarClientTop - GetSystemMetrics(SM_CYMENU))
        << "the menu row is client area";
    RECT wr;
    GetWindowRect(f.Handle(), &wr);
    POINT inRow{wr.left + 40, f.NoBarClientTop - GetSystemMetrics(SM_CYMENU) / 2};
    EXPECT_NE(SendMessageA(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(inRow.x, inRow.y)), HTMENU);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.Bar->TargetWindow(f.Button(i)), f.Handle());
        EXPECT_EQ(f.Button(i)->ImageIndex(), -1) << "no window handle in the image index";
    }
    EXPECT_LT(f.Button(0)->Width(), f.Button(2)->Width()) << "each button sized to its caption";
}

TEST(MenuToolBar, AClickDropsTheMenuUnderTheButtonAndTheHookEndsWithIt)
{
    Frame f;
    RECT dropped{};
    f.Script.Add([&] { GetWindowRect(FindWindowA("#32768", nullptr), &dropped); });
    f.Script.Add([&] { pwtest::PostKey(f.Bar->Handle(), VK_ESCAPE); });
    f.Press(f.Button(1));
    ASSERT_EQ(f.Script.OpenedMenus(), std::vector<HMENU>{f.MenuOf(1)});
    POINT corner{f.Button(1)->Left(), f.Button(1)->Top() + f.Button(1)->Height()};
    ClientToScreen(f.Bar->Handle(), &corner);
    EXPECT_EQ(dropped.left, corner.x);
    EXPECT_EQ(dropped.top, corner.y);
    EXPECT_EQ(f.Script.RanOut(), 0) << "Escape closed it";
    EXPECT_EQ(f.Bar->Perform(TB_ISBUTTONPRESSED, f.Button(1)->Command(), 0), 0) << "released";
    ExpectNoToolMenuLeft();
}

TEST(MenuToolBar, MovingOntoTheNextButtonSwitchesOnceAndWithinTheOpenOneNothing)
{
    Frame f;
    HWND bar = f.Bar->Handle();
    f.Script.Add([&] {
        pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(f.Button(0)));  // within the open button
    });
    f.Script.Add([&] {
        for (int i = 0; i < 4; ++i) pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(f.Button(1)));
    });
    f.Script.Add([&] { pwtest::PostKey(bar, VK_ESCAPE); });
    f.Press(f.Button(0));
    EXPECT_EQ(f.Script.OpenedMenus(), (std::vector<HMENU>{f.MenuOf(0), f.MenuOf(1)}))
        << "queued presses would open and close menus";
    ExpectNoToolMenuLeft();
}

TEST(MenuToolBar, MovingOffTheButtonsClosesTheMenuAndItsOwnButtonClosesItToo)
{
    Frame f;
    HWND bar = f.Bar->Handle();
    f.Script.Add([&] {
        POINT p{f.Bar->Width() - 20, 5};
        ClientToScreen(bar, &p);
        pwtest::PostMouseMove(bar, p);
    });
    f.Press(f.Button(2));
    EXPECT_EQ(f.Script.OpenedMenus(), std::vector<HMENU>{f.MenuOf(2)});
    EXPECT_EQ(f.Script.RanOut(), 0);
    f.Script.Clear();
    f.Script.Add([&] { pwtest::PostButtonDown(bar, pwtest::CentreOnScreen(f.Button(3))); });
    f.Press(f.Button(3));
    EXPECT_EQ(f.Script.OpenedMenus(), std::vector<HMENU>{f.MenuOf(3)}) << "closed, not dropped again";
    EXPECT_EQ(f.Script.RanOut(), 0);
    ExpectNoToolMenuLeft();
}

TEST(MenuToolBar, AKeyboardClosedMenuThenTheSystemMenuAndMouseMovesAreHarmless)
{
    Frame f;
    TForm* a = f.NewChild("A");
    f.NewChild("B");
    HWND bar = f.Bar->Handle();
    f.Script.Add([&] { pwtest::PostKey(bar, VK_ESCAPE); });
    f.Press(f.Button(0));
    ExpectNoToolMenuLeft();
    // Activation frees and remakes every button; then a menu that is not the bar's.
    a->BringToFront();
    pwtest::Pump();
    f.Script.Clear();
    f.Script.Add([&] {
        for (int i = 0; i < 3; ++i) pwtest::PostMouseMove(bar, pwtest::CentreOnScreen(f.Button(i)));
    });
    TrackPopupMenu(GetSystemMenu(f.Handle(), FALSE), 0, 300, 300, 0, f.Handle(), nullptr);
    pwtest::Pump();
    EXPECT_EQ(f.Script.OpenedMenus().size(), 1u) << "no tool button opened from another menu's moves";
    EXPECT_EQ(f.Bar->ButtonCount(), 4);
}

TEST(MenuToolBar, AMaximisedDocumentShowsItsIconAndCaptionButtonsWhichWork)
{
    Frame f;
    TForm* doc = f.NewChild("Doc");
    EXPECT_EQ(f.Bar->ChildHookCount(), 1) << "the client told the bar of its new child";
    doc->SetWindowState(TWindowState::wsMaximized);
    pwtest::Pump();
    ASSERT_NE(f.Bar->IconButton(), nullptr);
    ASSERT_NE(f.Bar->CaptionPanel(), nullptr);
    EXPECT_EQ(f.Bar->Buttons(0), f.Bar->IconButton());
    EXPECT_EQ(f.Bar->ButtonCount(), 5);
    EXPECT_EQ(f.Bar->MinButton()->Caption(), "0");
    EXPECT_EQ(f.Bar->RestoreButton()->Caption(), "2");
    EXPECT_EQ(f.Bar->CloseButton()->Caption(), "r");
    EXPECT_EQ(f.Bar->CloseButton()->Font()->Name(), "Marlett");
    EXPECT_LT(f.Bar->MinButton()->Left(), f.Bar->RestoreButton()->Left());
    EXPECT_LT(f.Bar->RestoreButton()->Left(), f.Bar->CloseButton()->Left());
    auto click = [&](TSpeedButton* b) {
        HWND panel = f.Bar->CaptionPanel()->Handle();
        SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Left() + 3, b->Top() + 3));
        SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(b->Left() + 3, b->Top() + 3));
        pwtest::Pump();
    };
    click(f.Bar->RestoreButton());
    EXPECT_EQ(doc->WindowState(), TWindowState::wsNormal);
    EXPECT_EQ(f.Bar->CaptionPanel(), nullptr);
    EXPECT_EQ(f.Captions(), (std::vector<std::string>{"&File", "&Edit", "&Window", "&Help"})) << "back to four";
    doc->SetWindowState(TWindowState::wsMaximized);
    pwtest::Pump();
    click(f.Bar->MinButton());
    EXPECT_EQ(doc->WindowState(), TWindowState::wsMinimized);
    EXPECT_EQ(f.Bar->IconButton(), nullptr);
    doc->SetWindowState(TWindowState::wsMaximized);
    pwtest::Pump();
    ASSERT_NE(f.Bar->CloseButton(), nullptr);
    click(f.Bar->CloseButton());
    EXPECT_EQ(f.MDIChildCount(), 0);
    EXPECT_EQ(f.Bar->IconButton(), nullptr) << "the last child went";
    EXPECT_EQ(f.Bar->ChildHookCount(), 0) << "its hook went with it";
    EXPECT_EQ(f.Bar->ButtonCount(), 4);
}

TEST(MenuToolBar, TheIconDropsTheSystemMenuAndADoubleClickOnItClosesTheDocument)
{
    Frame f;
    TForm* doc = f.NewChild("Doc");
    doc->SetWindowState(TWindowState::wsMaximized);
    pwtest::Pump();
    TIconButton* icon = f.Bar->IconButton();
    ASSERT_NE(icon, nullptr);
    POINT at{icon->Left() + 4, icon->Top() + 4};
    HMENU system = GetSystemMenu(doc->Handle(), FALSE);
    f.Script.Add([&] {
        // The second press of a double click reaches the loop as a double click.
        PostMessageA(f.Bar->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    });
    f.Press(icon);
    ASSERT_EQ(f.Script.OpenedMenus().size(), 1u);
    EXPECT_EQ(f.Script.OpenedMenus()[0], system);
    pwtest::Pump();
    EXPECT_EQ(f.MDIChildCount(), 0) << "the double click closed the document";
    ExpectNoToolMenuLeft();
}

TEST(MenuToolBar, AChildsItemsMergeByGroupIndex)
{
    Frame f;
    auto* doc = new TForm(&f);
    doc->SetFormStyle(TFormStyle::fsMDIChild);
    auto* menu = new TMainMenu(doc);
    TMenuItem* format = AddItem(doc, menu->Items(), "F&ormat", 1);
    AddItem(doc, format, "Bold");
    TMenuItem* last = AddItem(doc, menu->Items(), "&Tools", 20);
    AddItem(doc, last, "Options");
    doc->SetMenu(menu);
    doc->HandleNeeded();
    pwtest::Pump();
    EXPECT_EQ(f.Captions(), (std::vector<std::string>{"&File", "&Edit", "F&ormat", "&Window", "&Help", "&Tools"}));
    EXPECT_EQ(f.Bar->TargetWindow(f.Button(2)), doc->Handle()) << "placed among the frame's: the child's commands";
    EXPECT_EQ(f.Bar->TargetWindow(f.Button(5)), f.Handle()) << "after every frame item: the frame's";
    delete doc;
    pwtest::Pump();
    EXPECT_EQ(f.Captions(), (std::vector<std::string>{"&File", "&Edit", "&Window", "&Help"}));
}

TEST(MenuToolBar, TheSubclassesGoWithTheBarInAnyOrderWithAnotherAboveThem)
{
    Frame f;
    HWND h = f.Handle();
    WNDPROC before = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
    int seen = 0;
    std::unique_ptr<TWindowSubclass> above;
    above = std::make_unique<TWindowSubclass>(h, [&](TMessage& m) {
        if (m.Msg == WM_NULL) ++seen;
        above->CallPrevious(m);
    });
    delete f.Bar;
    SendMessageA(h, WM_NULL, 0, 0);
    EXPECT_EQ(seen, 1) << "the link installed after the bar's still sees the form's messages";
    above.reset();
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), before);
    SendMessageA(h, WM_NULL, 0, 0);
}

TEST(MenuToolBar, AltAndALetterThenTheArrowsMoveBetweenTheMenusAndInAndOutOfASubmenu)
{
    Frame f;
    // "Second of Edit" gets a submenu of its own.
    TMenuItem* second = f.Menu->Items()->Items(1)->Items(1);
    AddItem(&f, second, "Inner");
    second->SetCaption(second->Caption());  // Edit's menu is filled again, now with the submenu
    pwtest::Pump();
    HMENU inner = second->Handle();
    HWND bar = f.Bar->Handle();
    f.Script.Add([&] {
        PostMessageA(bar, WM_KEYDOWN, VK_DOWN, 1);   // onto "Second of Edit"
        PostMessageA(bar, WM_KEYDOWN, VK_RIGHT, 1);  // opens its submenu
    });
    f.Script.Add([&] { PostMessageA(bar, WM_KEYDOWN, VK_LEFT, 1); });   // closes it again
    f.Script.Add([&] { PostMessageA(bar, WM_KEYDOWN, VK_LEFT, 1); });   // on to File
    f.Script.Add([&] { PostMessageA(bar, WM_KEYDOWN, VK_LEFT, 1); });   // wraps to Help
    f.Script.Add([&] { PostMessageA(bar, WM_KEYDOWN, VK_ESCAPE, 1); });
    // Alt+E as the default window procedure of the frame passes it on.
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e');
    for (int i = 0; i < 4; ++i) pwtest::Pump();
    EXPECT_EQ(f.Script.OpenedMenus(), (std::vector<HMENU>{f.MenuOf(1), inner, f.MenuOf(0), f.MenuOf(3)}));
    EXPECT_EQ(f.Script.RanOut(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Bar->Perform(TB_ISBUTTONPRESSED, f.Button(i)->Command(), 0), 0) << i;
    ExpectNoToolMenuLeft();
}
