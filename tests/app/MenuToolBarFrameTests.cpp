// The menu tool bar of the real frame driven from the keyboard: Alt and a letter drop the
// item's menu under its tool button, the arrows move on to the next menu, Escape ends it.
#include "FrameFixture.h"
#include "MenuToolBar.h"
#include "Subclass.h"

#include "../menus97/MenuLoop.h"

#include <memory>
#include <vector>

using namespace pw;

namespace {

// Watches the frame's menu loops and the drop-downs they open; steps run inside the loop.
class FrameMenuWatch {
public:
    explicit FrameMenuWatch(HWND Frame)
        : FSubclass(std::make_unique<TWindowSubclass>(Frame, [this](TMessage& m) { Handle(m); }))
    {
    }
    pwtest::MenuLoopScript Script;
    std::vector<RECT> Dropped;  // where each drop-down appeared

private:
    void Handle(TMessage& m)
    {
        if (m.Msg == WM_ENTERMENULOOP) Script.EnterLoop();
        if (m.Msg == WM_EXITMENULOOP) Script.ExitLoop();
        FSubclass->CallPrevious(m);
        if (m.Msg == WM_INITMENUPOPUP && !HIWORD(m.LParam)) Script.Opened(reinterpret_cast<HMENU>(m.WParam));
    }
    std::unique_ptr<TWindowSubclass> FSubclass;
};

// Alt held with Key, as the keyboard delivers it to the window with the focus.
void PostAltKey(WORD Key)
{
    HWND focus = GetFocus();
    UINT scan = MapVirtualKeyA(Key, MAPVK_VK_TO_VSC);
    PostMessageA(focus, WM_SYSKEYDOWN, Key, static_cast<LPARAM>(0x20000001u | (scan << 16)));
    PostMessageA(focus, WM_SYSKEYUP, Key, static_cast<LPARAM>(0xE0000001u | (scan << 16)));
}

RECT PopupRect()
{
    RECT r{};
    GetWindowRect(FindWindowA("#32768", nullptr), &r);
    return r;
}

POINT BelowOnScreen(TControl* c)
{
    POINT p{c->Left(), c->Top() + c->Height()};
    ClientToScreen(c->Parent()->Handle(), &p);
    return p;
}

} // namespace

TEST_F(FrameTest, AltFDropsTheFileMenuUnderItsToolButtonAndTheArrowsMoveOn)
{
    TMenuToolBar* bar = Frame->MenuToolBar;
    ASSERT_EQ(bar->ButtonCount(), 4);
    HMENU file = Frame->MainMenu->Items()->Items(0)->Handle();
    HMENU edit = Frame->MainMenu->Items()->Items(1)->Handle();
    ASSERT_EQ(bar->Buttons(0)->Tag(), static_cast<int>(reinterpret_cast<intptr_t>(file)));
    FrameMenuWatch watch(Frame->Handle());
    RECT first{}, second{};
    bool firstItemLit = false;
    watch.Script.Add([&] {
        first = PopupRect();
        firstItemLit = (GetMenuState(file, 0, MF_BYPOSITION) & MF_HILITE) != 0;
        PostMessageA(bar->Handle(), WM_KEYDOWN, VK_RIGHT, 1);
    });
    watch.Script.Add([&] {
        second = PopupRect();
        PostMessageA(bar->Handle(), WM_KEYDOWN, VK_LEFT, 1);
    });
    watch.Script.Add([&] { PostMessageA(bar->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); });
    PostAltKey('F');
    for (int i = 0; i < 5; ++i) pwtest::Pump();
    ASSERT_FALSE(watch.Script.OpenedMenus().empty()) << "Alt+F opened nothing";
    EXPECT_EQ(watch.Script.OpenedMenus()[0], file);
    POINT under = BelowOnScreen(bar->Buttons(0));
    EXPECT_EQ(first.left, under.x);
    EXPECT_EQ(first.top, under.y);
    EXPECT_TRUE(firstItemLit) << "a menu dropped by the keyboard starts on its first item";
    ASSERT_EQ(watch.Script.OpenedMenus().size(), 3u);
    EXPECT_EQ(watch.Script.OpenedMenus()[1], edit);
    EXPECT_EQ(watch.Script.OpenedMenus()[2], file) << "Left goes back";
    under = BelowOnScreen(bar->Buttons(1));
    EXPECT_EQ(second.left, under.x);
    EXPECT_EQ(second.top, under.y);
    EXPECT_EQ(watch.Script.RanOut(), 0) << "Escape ended the menu";
    EXPECT_EQ(ToolHook(), nullptr);
    EXPECT_EQ(HookToolButton(), nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(bar->Buttons(i)->Down()) << i;
}


TEST_F(FrameTest, TheWorkspaceShowsScrollBarsOnlyForADocumentPastItsEdges)
{
    HWND client = Frame->ClientHandle();
    auto bars = [client] { return GetWindowLongA(client, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL); };
    RECT cr, doc;
    GetClientRect(client, &cr);
    GetWindowRect(Doc()->Handle(), &doc);
    MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&doc), 2);
    ASSERT_LE(doc.bottom, cr.bottom) << "the document fits";
    ASSERT_LE(doc.right, cr.right);
    EXPECT_EQ(bars(), 0) << "no scroll bar for a document that fits";

    // Sized past the bottom edge: the vertical bar; back inside: none again; and again.
    int w = doc.right - doc.left, h = doc.bottom - doc.top;
    for (int round = 0; round < 2; ++round) {
        SetWindowPos(Doc()->Handle(), nullptr, 0, 0, w, cr.bottom + 40, SWP_NOZORDER | SWP_NOACTIVATE);
        pwtest::Pump();
        EXPECT_EQ(bars(), WS_VSCROLL) << round;
        SetWindowPos(Doc()->Handle(), nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        pwtest::Pump();
        EXPECT_EQ(bars(), 0) << round;
    }
}
