// The menu tool bar: a flat tool bar of captions that reads its form's main menu and shows
// each top-level item as a button whose click drops the item's menu below it. In an MDI
// frame it merges the active child's menu by group index and, while a child is maximised,
// shows the child's icon (dropping its system menu) and three caption buttons. It takes the
// form's own menu row into the client area, so the bar stands in for it.
#pragma once
#include "ComCtrls.h"

#include <map>
#include <memory>
#include <vector>

namespace pw {

class TForm;
class TMenuItem;
class TPanel;
class TSpeedButton;
class TWindowSubclass;
class TMenuToolBar;

// The maximised child's icon, at the left end of the bar; it drops the child's system menu.
class TIconButton : public TToolButton {
public:
    explicit TIconButton(TComponent* AOwner);

protected:
    bool CustomPainted() const override { return true; }
    void Paint() override;
};

// Watches one MDI child window for the bar: size changes and activation.
class THook {
public:
    THook(HWND Window, TMenuToolBar* Bar);
    ~THook();
    HWND Window() const { return FWindow; }

private:
    void SubclassProc(TMessage& Message);
    HWND FWindow;
    TMenuToolBar* FBar;
    std::unique_ptr<TWindowSubclass> FSubclass;
};

class TMenuToolBar : public TToolBar {
public:
    explicit TMenuToolBar(TComponent* AOwner);
    ~TMenuToolBar() override;

    TForm* Form() const { return FForm; }
    // Makes one button per top-level item of the form's menu and of the active child's.
    void RebuildButtons();
    void ShowCaptionButtons();
    void RemoveCaptionButtons();
    void CloseChild();
    void MinimizeChild();
    void RestoreChild();

    TIconButton* IconButton() const { return FIconButton; }
    TPanel* CaptionPanel() const { return FCaptionPanel; }
    TSpeedButton* MinButton() const { return FMinButton; }
    TSpeedButton* RestoreButton() const { return FRestoreButton; }
    TSpeedButton* CloseButton() const { return FCloseButton; }
    // The window that receives the commands of a button's menu.
    HWND TargetWindow(TToolButton* Button) const;
    int ChildHookCount() const { return static_cast<int>(FChildHooks.size()); }
    // The menu of button Index is dropped once the menu now open has ended (the keyboard
    // moved on to it).
    void DropByKeyboard(int Index);
    TToolButton* MnemonicButton(char Key) const;
    // Alt and Key: the button with that mnemonic drops its menu (posted); false when none has it.
    bool DropMnemonic(char Key);

    void WndProc(TMessage& Message) override;

protected:
    void CreateWnd() override;
    virtual void FormWndProc(TMessage& Message);
    virtual void ClientWndProc(TMessage& Message);

private:
    friend class THook;
    // Per button: its place in the merge (group index + 1, negative for a child's item
    // placed among the frame's) and the window of its menu's commands.
    struct TButtonInfo {
        int Order;
        HWND Target;
    };
    std::map<TToolButton*, TButtonInfo> FInfo;
    TPanel* FCaptionPanel = nullptr;
    TSpeedButton *FMinButton = nullptr, *FRestoreButton = nullptr, *FCloseButton = nullptr;
    TIconButton* FIconButton = nullptr;
    TForm* FForm = nullptr;
    std::unique_ptr<TWindowSubclass> FFormSubclass;
    std::unique_ptr<TWindowSubclass> FClientSubclass;
    std::vector<std::unique_ptr<THook>> FChildHooks;

    void Attach();
    void AttachClient();
    TToolButton* AddMenuButton(TMenuItem* Item, int Order);
    void MergeChildButton(TToolButton* Button);
    void FreeMenuButtons();
    void DropMenu(TToolButton* Button, TMessage& Message, bool ByKeyboard);
    void DropKeyboardMenus();
    int FKeyDrop = -1;  // index of the button whose menu the keyboard chose, or -1
    void PlaceCaptionButtons();
    void AutoSizeButtons(TMessage& Message);
    void ChildActivated();
    void ChildSized(HWND Child, WPARAM Kind);
    void RemoveHook(THook* Hook);
};

// The hook of the menu loop of a tool bar menu, and the button whose menu is open. Both last
// exactly as long as that menu.
HHOOK ToolHook();
TToolButton* HookToolButton();

} // namespace pw
