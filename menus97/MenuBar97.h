// The menu bar control: a panel of buttons that stands in for a form's own menu bar. One
// menu button per top-level item drops that item's menu below itself; in an MDI frame with a
// maximised child the child's icon and three caption buttons join them. While a menu is open,
// a message filter hook moves between the menus with the mouse and the arrow keys.
#pragma once
#include "Buttons.h"
#include "ExtCtrls.h"
#include "Menus97.h"

#include <string>

namespace pw {

class TForm;
class TCustomMenuBar97;

// A button that drops a menu: its Tag holds the menu handle (0 on the child icon button,
// which drops the active MDI child's styled system menu).
class TMenuSpeedButton : public TSpeedButton {
public:
    explicit TMenuSpeedButton(TComponent* AOwner);
    ~TMenuSpeedButton() override;

    HWND TargetWindow() const { return FTargetWindow; }
    void SetTargetWindow(HWND Value) { FTargetWindow = Value; }
    bool Dropped() const { return FDropped; }
    TCustomMenuBar97* Bar() const;
    // The styled system menu of the bar form's active MDI child, or none.
    HMENU ChildSystemMenu() const;
    // The bar form's window when it is an MDI frame with an active child, or none.
    HWND FrameWindow() const;
    // As a left press at the button's corner and the release: drops the menu (returns when
    // it closes).
    void Press();
    // As a left release at (X, Y) in the button's coordinates.
    void Release(int X, int Y) { MouseUp(TMouseButton::mbLeft, 0, X, Y); }
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void Paint() override;

private:
    HWND FTargetWindow = nullptr;
    bool FDropped = false;
};

// A caption button of a maximised MDI child: minimise, restore or close.
class TMenuCommandButton : public TSpeedButton {
public:
    TMenuCommandButton(TComponent* AOwner, UINT Command);
    UINT Command() const { return FCommand; }
    bool PressedLook() const { return FPressedLook; }
    void Click() override;

protected:
    void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void MouseMove(unsigned Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void Paint() override;

private:
    bool FMouseDown = false;
    bool FPressedLook = false;
    UINT FCommand;
};

class TCustomMenuBar97 : public TCustomPanel {
public:
    // Control indexes: the three caption buttons, the child icon, then the menu buttons.
    enum : int { MinimizeIndex = 0, RestoreIndex = 1, CloseIndex = 2, IconIndex = 3, FirstMenuIndex = 4 };

    explicit TCustomMenuBar97(TComponent* AOwner);
    ~TCustomMenuBar97() override;

    bool FullSize() const { return FFullSize; }
    void SetFullSize(bool Value);
    TForm* Form() const { return FForm; }
    void SetForm(TForm* Value) { FForm = Value; }
    bool KeyboardMode() const { return FKeyboardMode; }
    bool DroppedByKeyboard() const { return FDroppedByKeyboard; }
    void SetDroppedByKeyboard(bool Value) { FDroppedByKeyboard = Value; }
    int HotIndex() const { return FHotIndex; }
    void SetHotIndex(int Value) { FHotIndex = Value; }
    bool MdiButtonsShown() const { return FMdiButtonsShown; }
    TMenuSpeedButton* IconButton() const;
    TMenuCommandButton* CommandButton(int Index) const;
    // The visible menu button at a control index (4 or more), or nullptr.
    TMenuSpeedButton* MenuButton(int Index) const;
    // The index of the next visible menu button from Index in direction Step (wrapping
    // over the menu buttons only), or -1 when there is none.
    int NextMenuButton(int Index, int Step) const;

    int MinWidth();
    void UpdateWidth();
    void ShowMdiButtons(bool Show);
    void DoCommand(UINT Command);

    // What the main menu styler does at the start and the end of each menu loop of the bar
    // form: the hook is live for the loop, the tracking button is let go at its end.
    void EnterMenuLoop();
    void ExitMenuLoop();
    // A menu button is going.
    void ForgetButton(TMenuSpeedButton* Button)
    {
        if (FLoopHot == Button) FLoopHot = nullptr;
    }

    void WndProc(TMessage& Message) override;

private:
    bool FKeyboardMode = false;
    bool FDroppedByKeyboard = false;
    int FHotIndex = FirstMenuIndex;
    bool FMdiButtonsShown = false;
    TForm* FForm = nullptr;
    bool FFullSize = true;
    TMenuSpeedButton* FLoopHot = nullptr; // lit at the start of the current menu loop

    bool AlignedInOwner() const;
    void PlaceCaptionButtons();
    void MakeIconGlyph();
    void ShiftMenuButtons(int By);
    void SetHot(bool Hot);
    bool KeyDown(WPARAM Key);
    void ToggleKeyboardMode();
};

// The message filter hook of the menu loop of a menu bar (one menu open at a time).
HHOOK MenuHook();
void InstallMenuHook();
void RemoveMenuHook();
// The bar of the current menu loop and the button whose menu is open.
TCustomMenuBar97* HookBar();
void SetHookBar(TCustomMenuBar97* Bar);
TMenuSpeedButton* HookButton();
void SetHookButton(TMenuSpeedButton* Button);

} // namespace pw
