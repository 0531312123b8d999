// The styler of a form's system (window) menu.
#pragma once
#include "MenuStylers97.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace pw {

enum class TSystemMenu97ItemState : unsigned char { smTrue, smFalse, smDefault };

// What the styler does with one standard system command, and the item drawn for it.
class TSystemMenu97Options : public TPersistent {
public:
    explicit TSystemMenu97Options(UINT Command);
    ~TSystemMenu97Options() override;

    TMenuItem* Item() const { return FItem.get(); }
    UINT Command() const { return FCommand; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // smTrue forces the command into the menu, smFalse removes it, smDefault keeps it as is.
    TSystemMenu97ItemState Visible() const { return FVisible; }
    void SetVisible(TSystemMenu97ItemState Value);
    // Replacement text; "#9" stands for a tab before the shortcut text.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Told after any of the settings above changed (the styler builds its menu again).
    std::function<void(TObject*)> OnChange;

private:
    void Changed();

    std::unique_ptr<TMenuItem> FItem;
    int FImageIndex = DropDownItemTag;
    TSystemMenu97ItemState FVisible = TSystemMenu97ItemState::smDefault;
    std::string FCaption;
    UINT FCommand;
};

// Styles the owner form's system menu: every standard command is drawn through a mirror
// item, and the items of an optional pop-up menu are added before Close (before Next in a
// document window). The menu is built from the system's default when it first opens, and again
// when the styled menu or an option changes, not each time it opens; an option changed while a
// menu is open waits for the menu loop to end (rebuilding destroys the menu the system holds).
// The default comes back when the styler goes.
class TCustomSystemMenus97 : public TCustomPopupMenus97 {
public:
    explicit TCustomSystemMenus97(TComponent* AOwner);
    ~TCustomSystemMenus97() override;

    TPopupMenu* GetPopupMenu() const override;
    // nullptr or a menu without items styles the system commands alone.
    void SetPopupMenu(TPopupMenu* Value) override;
    TMenuItem* FindItem(UINT Command) override;
    HMENU SystemMenu() const { return FSystemMenu; }
    // Options of SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE,
    // SC_NEXTWINDOW, SC_PREVWINDOW, SC_TASKLIST and SC_SCREENSAVE; nullptr for other commands.
    TSystemMenu97Options* Option(UINT Command) const;
    // Builds the system menu again from the system's default.
    void RebuildSystemMenu();

protected:
    void SetMenu(TMenu* Value) override;
    void PrepareItems(TMenuItem* Items, bool Restore) override;
    int FindAccelerator(const TMessage& Message) override;
    void SubclassProc(TMessage& Message) override;
    void PopupListWndProc(TMessage& Message) override;
    bool IsBannerItem(TMenuItem* Item) override;
    void CalcBannerRect(TMenuItem* Item) override;

private:
    std::array<std::unique_ptr<TSystemMenu97Options>, 10> FOptions;
    HWND FWindow = nullptr;
    HMENU FSystemMenu = nullptr;
    UINT FInsertBefore;
    std::unique_ptr<TPopupMenu> FOwnMenu;
    bool FDirty = true;
    bool FInMenuLoop = false;

    void OptionChanged();
    void ApplyOption(TSystemMenu97Options& O);
    void AddMenuItems();
    void OwnerDrawCommands();
};

class TSystemMenus97 : public TCustomSystemMenus97 {
public:
    using TCustomSystemMenus97::TCustomSystemMenus97;
};

} // namespace pw
