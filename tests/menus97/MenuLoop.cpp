#include "MenuLoop.h"
#include "MenuBar97.h"

#include <gtest/gtest.h>

namespace pwtest {

namespace {
MenuLoopScript* g_script = nullptr;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_script) g_script->Idle();
}
} // namespace

MenuLoopScript::MenuLoopScript()
{
    g_script = this;
    FTimer = SetTimer(nullptr, 0, 10, Tick);
}

MenuLoopScript::~MenuLoopScript()
{
    KillTimer(nullptr, FTimer);
    if (g_script == this) g_script = nullptr;
}

void MenuLoopScript::Idle()
{
    if (FDepth <= 0) return;
    if (FNext < FSteps.size()) {
        auto step = FSteps[FNext++];
        step();
        return;
    }
    ++FRanOut;
    EndMenu();
}

void PostMouseMove(HWND Window, POINT Screen) { PostMessageA(Window, WM_MOUSEMOVE, 0, MAKELPARAM(Screen.x, Screen.y)); }

void PostButtonDown(HWND Window, POINT Screen)
{
    PostMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Screen.x, Screen.y));
}

void PostKey(HWND Window, WORD Key) { PostMessageA(Window, WM_KEYDOWN, Key, 1); }

POINT CentreOnScreen(pw::TControl* Control)
{
    POINT p{Control->Left() + Control->Width() / 2, Control->Top() + Control->Height() / 2};
    ClientToScreen(Control->Parent()->Handle(), &p);
    return p;
}

void ExpectNoMenuLoopLeft()
{
    using namespace pw;
    EXPECT_EQ(MenuHook(), nullptr) << "the hook lives only as long as the menu loop";
    EXPECT_EQ(HookBar(), nullptr);
    EXPECT_EQ(HookButton(), nullptr);
}

} // namespace pwtest
