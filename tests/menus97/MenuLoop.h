// Drives a modal menu loop from inside: a thread timer ticks when the queue is empty, and on
// each tick inside a menu loop the next step runs; it posts input as the user would. A loop
// that runs out of steps is ended, so a test never hangs in a menu.
#pragma once
#include "Controls.h"

#include <functional>
#include <string>
#include <vector>

namespace pwtest {

class MenuLoopScript {
public:
    MenuLoopScript();
    ~MenuLoopScript();
    void Add(std::function<void()> Step) { FSteps.push_back(std::move(Step)); }
    // Called by the owner window for WM_ENTERMENULOOP and WM_EXITMENULOOP.
    void EnterLoop() { ++FDepth; }
    void ExitLoop() { --FDepth; }
    void Idle();
    // Called for WM_INITMENUPOPUP: the menus dropped, in order.
    void Opened(HMENU Menu) { FOpened.push_back(Menu); }
    const std::vector<HMENU>& OpenedMenus() const { return FOpened; }
    int RanOut() const { return FRanOut; }
    void Clear() { FSteps.clear(); FOpened.clear(); FNext = 0; FRanOut = 0; }

private:
    std::vector<std::function<void()>> FSteps;
    std::vector<HMENU> FOpened;
    size_t FNext = 0;
    int FRanOut = 0;
    int FDepth = 0;
    UINT_PTR FTimer = 0;
};

// Posts input into the thread's queue as the menu loop reads it (mouse points on screen).
void PostMouseMove(HWND Window, POINT Screen);
void PostButtonDown(HWND Window, POINT Screen);
void PostKey(HWND Window, WORD Key);
// The screen point of the centre of a control.
POINT CentreOnScreen(pw::TControl* Control);
// Fails the test when a menu bar's hook, bar or button outlived the menu loop.
void ExpectNoMenuLoopLeft();

} // namespace pwtest
