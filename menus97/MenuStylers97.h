// The stylers of a form's main menu and of pop-up menus.
#pragma once
#include "Menus97.h"

namespace pw {

class TMainMenu;
class TPopupMenu;
class TCustomMenuBar97;

// Styles a form's main menu: the drop-downs and the menu bar items themselves.
class TCustomMainMenus97 : public TCustomMenus97 {
public:
    explicit TCustomMainMenus97(TComponent* AOwner);
    ~TCustomMainMenus97() override;

    TMainMenu* MainMenu() const;
    void SetMainMenu(TMainMenu* Value) { SetMenu(Value); }
    bool HideMenuBar() const { return FHideMenuBar; }
    // Ignored while a ToolBar stands in for the menu bar.
    void SetHideMenuBar(bool Value);
    // The menu bar control that stands in for the form's hidden menu bar (not owned): the
    // styler keeps one menu button on it per item of the bar, and sends it the mnemonics and
    // the keyboard menu activation. It hides the menu bar for good.
    TCustomMenuBar97* ToolBar() const { return FToolBar; }
    void SetToolBar(TCustomMenuBar97* Value);
    bool MenuBarBorder() const { return FMenuBarBorder; }
    void SetMenuBarBorder(bool Value);
    bool GetHideMenuBar() override;
    // Height of a menu bar row: ItemHeight, or what the first top-level item needs.
    int GetItemHeight() override;
    // Keeps the menu bar control's buttons in step with the positions of the menu bar: one
    // sized and labelled menu button per item, the rest hidden, the MDI buttons shown while a
    // maximised child has put its caption buttons on the bar. Runs on every size or position
    // change of the form.
    void SynchroniseMenuBar();

protected:
    void FontChanged() override;
    void PrepareItems(TMenuItem* Items, bool Restore) override;
    void DrawMenuBarItem(TMenuItem* Item, RECT& Rect, TOwnerDrawState State) override;
    void SubclassProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FBarItemDown = false;
    bool FHideMenuBar = false;
    TCustomMenuBar97* FToolBar = nullptr;
    bool FMenuBarBorder = false;
    void RedrawMenuBar();
    void ReframeForm();
    // The keyboard menu mode of the menu bar control is on.
    bool BarKeyboardMode() const;
    void SynchroniseButton(int Index, TMenuItem* Item, int Height, int& X);
    void ClearBarTexts(HMENU Bar);
};

class TMainMenus97 : public TCustomMainMenus97 {
public:
    using TCustomMainMenus97::TCustomMainMenus97;
};

// Styles a pop-up menu. Pop-up menus send their owner-draw messages to the framework's
// pop-up owner window, which every pop-up styler subclasses.
class TCustomPopupMenus97 : public TCustomMenus97 {
public:
    explicit TCustomPopupMenus97(TComponent* AOwner);
    ~TCustomPopupMenus97() override;

    virtual TPopupMenu* GetPopupMenu() const;
    virtual void SetPopupMenu(TPopupMenu* Value);
    // Number of pop-up stylers that hold a subclass of the pop-up owner window.
    static int PopupStylerCount();
    // The pop-up owner window of this process (nullptr when it cannot be found).
    static HWND FindPopupUtilWindow();

protected:
    bool IsPopupStyler() const override { return true; }
    bool IsBannerItem(TMenuItem* Item) override;
    TMenuItem* GetBannerItem(TMenuItem* Item) override;
    void CalcBannerRect(TMenuItem* Item) override;
    virtual void PopupListWndProc(TMessage& Message);
    void CallPopupPrevious(TMessage& Message);

private:
    std::unique_ptr<TWindowSubclass> FPopupSubclass;
};

class TPopupMenus97 : public TCustomPopupMenus97 {
public:
    using TCustomPopupMenus97::TCustomPopupMenus97;
};

} // namespace pw
