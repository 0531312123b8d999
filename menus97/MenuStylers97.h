// The stylers of a form's main menu and of pop-up menus.
#pragma once
#include "Menus97.h"

namespace pw {

class TMainMenu;
class TPopupMenu;

// Styles a form's main menu: the drop-downs and the menu bar items themselves.
class TCustomMainMenus97 : public TCustomMenus97 {
public:
    explicit TCustomMainMenus97(TComponent* AOwner);

    TMainMenu* MainMenu() const;
    void SetMainMenu(TMainMenu* Value) { SetMenu(Value); }
    bool HideMenuBar() const { return FHideMenuBar; }
    void SetHideMenuBar(bool v);
    bool MenuBarBorder() const { return FMenuBarBorder; }
    void SetMenuBarBorder(bool v);
    bool GetHideMenuBar() override;
    // Height of a menu bar row: ItemHeight, or what the first top-level item needs.
    int GetItemHeight() override;
    // Keeps the bar's positions owner-drawn (also those an MDI child merged in) and tells
    // SynchroniseBarItem about each one; runs on every size or position change of the form.
    void SynchroniseMenuBar();

protected:
    void FontChanged() override;
    void DrawMenuBarItem(TMenuItem* Item, RECT& Rect, TOwnerDrawState State) override;
    void SubclassProc(TMessage& Message) override;
    // One bar position with its item (nullptr for the positions of a maximised child's menu
    // and caption buttons). A menu bar control keeps its buttons in step here.
    virtual void SynchroniseBarItem(int, TMenuItem*) {}
    virtual void BarSynchronised(bool) {}
    bool FBarItemDown = false;

private:
    bool FHideMenuBar = false;
    bool FMenuBarBorder = false;
    void RedrawMenuBar();
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
