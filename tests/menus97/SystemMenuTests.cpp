// The system menu styler: mirrored system commands, options, added pop-up items, and a menu
// that is built when it changes rather than each time it opens.
#include "Forms.h"
#include "MenuTestSupport.h"
#include "Menus.h"
#include "SystemMenus97.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pw;
using namespace menutest;

namespace {

// A form that keeps the system commands its own procedure received.
class TCommandForm : public TForm {
public:
    using TForm::TForm;
    std::vector<WPARAM> Commands;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_SYSCOMMAND) Commands.push_back(Message.WParam);
        TForm::WndProc(Message);
    }
};

class SystemMenu : public testing::Test {
protected:
    void SetUp() override
    {
        Form = new TCommandForm(nullptr);
        Form->SetBounds(30, 30, 300, 200);
        Form->HandleNeeded();
        Styler = new TSystemMenus97(Form);
    }
    void TearDown() override { delete Form; }
    HMENU Sys() { return GetSystemMenu(Form->Handle(), FALSE); }
    void Open() { SendMessageA(Form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Sys()), MAKELPARAM(0, 1)); }
    TMenuItem* AddTo(TPopupMenu* m, const char* caption, TShortCut key = 0)
    {
        auto* i = new TMenuItem(Form);
        i->SetCaption(caption);
        i->SetShortCut(key);
        m->Items()->Add(i);
        return i;
    }
    TCommandForm* Form = nullptr;
    TSystemMenus97* Styler = nullptr;
};

} // namespace

TEST_F(SystemMenu, SystemCommandsAreDrawnThroughTheirMirrorItems)
{
    Open();
    HMENU h = Styler->SystemMenu();
    ASSERT_NE(h, nullptr);
    int close = PositionOf(h, SC_CLOSE);
    ASSERT_GE(close, 0);
    TItemInfo i = ItemAt(h, close);
    EXPECT_TRUE(i.Type & MFT_OWNERDRAW);
    EXPECT_EQ(i.Data, reinterpret_cast<ULONG_PTR>(Styler));
    TMenuItem* mirror = Styler->FindItem(SC_CLOSE);
    ASSERT_EQ(mirror, Styler->Option(SC_CLOSE)->Item());
    EXPECT_NE(mirror->Caption().find("Close"), std::string::npos) << mirror->Caption();
    EXPECT_EQ(mirror->ShortCut(), TextToShortCut("Alt+F4"));
    SIZE s = Measure(Form->Handle(), h, close);
    EXPECT_GT(s.cx, 20);
}

TEST_F(SystemMenu, OptionsChangedAfterTheMenuOpenedRemoveAndForceCommands)
{
    Open();
    HMENU open = Styler->SystemMenu();
    ASSERT_GE(PositionOf(open, SC_MOVE), 0);
    // Changed while the system shows the menu: the menu it holds stays whole until the loop ends.
    SendMessageA(Form->Handle(), WM_ENTERMENULOOP, TRUE, 0);
    Styler->Option(SC_MOVE)->SetVisible(TSystemMenu97ItemState::smFalse);
    Styler->Option(SC_SCREENSAVE)->SetVisible(TSystemMenu97ItemState::smTrue);
    Styler->Option(SC_SCREENSAVE)->SetCaption("Screen &saver#9Ctrl+S");
    EXPECT_TRUE(IsMenu(open));
    EXPECT_GE(PositionOf(open, SC_MOVE), 0);
    SendMessageA(Form->Handle(), WM_EXITMENULOOP, TRUE, 0);
    HMENU h = Styler->SystemMenu();
    EXPECT_EQ(PositionOf(h, SC_MOVE), -1);
    int saver = PositionOf(h, SC_SCREENSAVE);
    ASSERT_GE(saver, 0);
    EXPECT_EQ(saver + 1, PositionOf(h, SC_CLOSE)) << "forced commands go before Close";
    TMenuItem* mirror = Styler->FindItem(SC_SCREENSAVE);
    EXPECT_EQ(mirror->Caption(), "Screen &saver");
    EXPECT_EQ(mirror->ShortCut(), TextToShortCut("Ctrl+S"));
    EXPECT_TRUE(ItemAt(h, saver).Type & MFT_OWNERDRAW);
    // Outside a menu loop a change shows at once.
    Styler->Option(SC_MOVE)->SetVisible(TSystemMenu97ItemState::smDefault);
    EXPECT_GE(PositionOf(Styler->SystemMenu(), SC_MOVE), 0);
}

TEST_F(SystemMenu, PopupItemsGoBeforeCloseAndRunFromTheSystemMenu)
{
    auto* menu = new TPopupMenu(Form);
    int clicked = 0;
    AddTo(menu, "&Stay on top", TextToShortCut("Ctrl+T"))->OnClick = [&](TObject*) { ++clicked; };
    AddTo(menu, "&About");
    Styler->SetPopupMenu(menu);
    HMENU h = Styler->SystemMenu();
    int stay = PositionOf(h, menu->Items()->Items(0)->Command());
    int about = PositionOf(h, menu->Items()->Items(1)->Command());
    int close = PositionOf(h, SC_CLOSE);
    ASSERT_GE(stay, 0);
    EXPECT_EQ(about, stay + 1);
    EXPECT_EQ(PositionOf(h, 55000), about + 1);
    EXPECT_EQ(close, about + 2);
    EXPECT_TRUE(ItemAt(h, stay).Type & MFT_OWNERDRAW);
    EXPECT_EQ(Styler->GetPopupMenu(), menu);
    SendMessageA(Form->Handle(), WM_SYSCOMMAND, menu->Items()->Items(0)->Command(), 0);
    EXPECT_EQ(clicked, 1);
    // The form still hears the command after the styler ran its item.
    EXPECT_EQ(Form->Commands, std::vector<WPARAM>{menu->Items()->Items(0)->Command()});
    // Its letter runs it from the system menu.
    auto r = static_cast<DWORD>(SendMessageA(Form->Handle(), WM_MENUCHAR, MAKEWPARAM('a', MF_POPUP | MF_SYSMENU),
                                             reinterpret_cast<LPARAM>(h)));
    EXPECT_EQ(r, static_cast<DWORD>(MAKELRESULT(about, MNC_EXECUTE)));
}

TEST_F(SystemMenu, OpeningTheMenuDoesNotRebuildIt)
{
    Open();
    HMENU h = Styler->SystemMenu();
    // An entry that is not the styler's: a rebuild from the default would drop it.
    AppendMenuA(h, MF_STRING, 0x7777, "Marker");
    for (int i = 0; i < 3; ++i) {
        Open();
        SendMessageA(PopupUtilWindow(), WM_INITMENU, reinterpret_cast<WPARAM>(h), 0);
        SendMessageA(PopupUtilWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(h), 0);
    }
    EXPECT_EQ(Styler->SystemMenu(), h);
    EXPECT_TRUE(IsMenu(h));
    EXPECT_GE(PositionOf(h, 0x7777), 0);
    EXPECT_TRUE(ItemAt(h, PositionOf(h, SC_CLOSE)).Type & MFT_OWNERDRAW);
}

TEST_F(SystemMenu, DestroyedStylerLeavesTheSystemsOwnMenu)
{
    Open();
    delete Styler;
    Styler = nullptr;
    for (const TItemInfo& i : AllItems(Sys())) EXPECT_FALSE(i.Type & MFT_OWNERDRAW) << i.Id;
}
