// Menus: items in a tree, the main menu of a form and pop-up menus.
#pragma once
#include "Classes.h"
#include "WinApi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

using TShortCut = uint16_t; // 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt; low byte the virtual key
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };

TShortCut ShortCut(WORD Key, unsigned Shift); // Shift as ssShift/ssCtrl/ssAlt
std::string ShortCutToText(TShortCut ShortCut);
TShortCut TextToShortCut(const std::string& Text); // 0 when the text names no key

enum class TMenuBreak { mbNone, mbBreak, mbBarBreak };

class TMenu;
class TCanvas;

// State of an owner-drawn item as it is drawn.
using TOwnerDrawState = unsigned;
enum : unsigned {
    odSelected = 1,
    odGrayed = 2,
    odDisabled = 4,
    odChecked = 8,
    odFocused = 16,
    odDefault = 32,
    odHotLight = 64,
    odNoAccel = 128
};
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent =
    std::function<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    TMenuBreak Break() const { return FBreak; }
    void SetBreak(TMenuBreak v);
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool IsLine() const { return FCaption == "-" && !FTextCodePage; }
    // Makes the caption plain text in CodePage: shown in UTF-16 converted from it, never as a
    // separator, an ampersand never a mnemonic.
    void SetTextCaption(const std::string& Text, unsigned CodePage);

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int i) const { return FItems.at(static_cast<size_t>(i)); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index); // frees the item
    void Clear(); // frees every item

    UINT Command() const { return FCommand; }
    // The pop-up menu of an item with children (built on demand).
    HMENU Handle();
    TMenu* GetParentMenu() const;

    // Runs OnClick (when enabled).
    virtual void Click();
    TNotifyEvent OnClick;
    // Items of an owner-drawn menu are measured and drawn here (the default draws the caption).
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void DrawItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State);

    static TMenuItem* FindByCommand(UINT Command);
    // Answers WM_MEASUREITEM / WM_DRAWITEM for an owner-drawn item of ours (ODT_MENU, the item
    // in the item data); false when the message is not for one of our items.
    static bool DispatchOwnerDraw(UINT Msg, LPARAM LParam);

private:
    friend class TMenu;
    std::string FCaption;
    std::string FHint;
    TShortCut FShortCut = 0;
    bool FEnabled = true, FChecked = false, FRadioItem = false, FDefault = false, FVisible = true;
    int FGroupIndex = 0;
    int FImageIndex = -1;
    TMenuBreak FBreak = TMenuBreak::mbNone;
    unsigned FTextCodePage = 0; // 0: an ordinary caption
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on the root item
    UINT FCommand;
    HMENU FHandle = nullptr;

    void FillMenu(HMENU Menu);
    void DestroyHandle();
    void Changed(bool Rebuild);
    void AppendTo(HMENU Menu);
    void AppendText(HMENU Menu, const MENUITEMINFOA& Info);
    TMenuItem* FindShortCut(TShortCut Key);
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems.get(); }
    HMENU Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Runs the enabled item whose ShortCut matches; true when one did.
    bool IsShortCut(TShortCut Key);
    // Called when the item tree changed; rebuilds what has been built.
    virtual void Rebuild();
    // Owner-drawn menus carry their items in the item data and draw them through DrawItem.
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool v);
protected:
    virtual HMENU CreateMenuHandle() = 0;
    HMENU FHandle = nullptr;
private:
    std::unique_ptr<TMenuItem> FItems;
    bool FOwnerDraw = false;
};

class TForm;

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    void Rebuild() override;
    void SetWindowForm(TForm* f) { FForm = f; }
protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
private:
    TForm* FForm = nullptr;
};

class TControl;

// The hidden window (class "TPUtilWindow", no title) that owns every pop-up menu while it is
// tracked: its menu messages reach the framework. Made on first use; the application makes
// it at start-up.
HWND PopupUtilWindow();

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    void Rebuild() override;
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool v) { FAutoPopup = v; }
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* c) { FPopupComponent = c; }
    // Runs OnPopup, shows the menu at the screen point and runs the chosen item.
    virtual void Popup(int X, int Y);
    TNotifyEvent OnPopup;
    // Tests answer the menu here instead of the user: the item to choose, or nullptr.
    static std::function<TMenuItem*(TPopupMenu*)> TrackResponder;
protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

} // namespace pw
