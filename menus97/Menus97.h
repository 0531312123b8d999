// The menu styling engine: turns the items of a framework menu into owner-drawn items and
// paints them (images, check and radio marks, a highlight bar, embossed disabled items,
// right-aligned shortcuts, title separators and a gradient banner).
#pragma once
#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"
#include "WinApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

class TForm;
class TImageList;
class TWindowSubclass;

enum class TMenus97Look : unsigned char { mlOffice97Look, mlIE4Look };
enum class TBannerJustification : unsigned char { bjCenter, bjTop, bjBottom };
enum class TBannerAlignment : unsigned char { baLeft, baRight };
enum class TBannerDirection : unsigned char { bdUpwards, bdDownwards };

// The tag of an item of a styled menu tells how it is drawn: on the menu bar or in a drop-down,
// with an image of the styler's image list or without one. A drop-down item with an image has
// the image's index (0 or more) as its tag.
constexpr int BarItemTag = -1; // a menu bar item without an image
constexpr int DropDownItemTag = -2; // a drop-down item without an image
constexpr int FirstBarImageTag = 4097; // a menu bar item with image I: FirstBarImageTag + I

// What FindAccelerator answers when it gives no item position.
constexpr int NoAccelerator = -1; // no item has the letter
constexpr int AcceleratorOnMenuBar = -5; // an item of the hidden menu bar has it: the menu bar control opens it

using TDrawMenuItemEvent =
    std::function<bool(TMenu* Control, TMenuItem* Item, const RECT& Rect, TOwnerDrawState State)>;
using TMeasureMenuItemEvent = std::function<void(TMenu* Control, TMenuItem* Item, int& Height, int& Width)>;
using THintEvent = std::function<std::string(TMenu* Control, TMenuItem* Item, const std::string& Hint)>;

// The styling engine. It styles the menu given by its descendants and works by subclassing
// the window procedure of the form that owns it (no form owner: no styling).
class TCustomMenus97 : public TComponent {
public:
    explicit TCustomMenus97(TComponent* AOwner);
    ~TCustomMenus97() override;

    // Whether Object is a styler that exists now (item data is checked against this).
    static TCustomMenus97* FindLiveStyler(ULONG_PTR ItemData);

    TMenu* Menu() const { return FMenu; }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    TCanvas* Canvas() const { return FCanvas.get(); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TFont* HiliteFont() const { return FHiliteFont.get(); }
    void SetHiliteFont(TFont* Value);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value);
    TFont* BannerFont() const { return FBannerFont.get(); }
    void SetBannerFont(TFont* Value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    int ItemWidth() const { return FItemWidth; }
    void SetItemWidth(int Value) { FItemWidth = Value; }
    TColor HiliteBar() const { return FHiliteBar; }
    void SetHiliteBar(TColor Value) { FHiliteBar = Value; }
    bool Banner() const { return FBanner; }
    void SetBanner(bool Value) { FBanner = Value; }
    const std::string& BannerText() const { return FBannerText; }
    void SetBannerText(const std::string& Value)
    {
        FBannerText = Value;
        FBannerDirty = true;
    }
    int BannerWidth() const { return FBannerWidth; }
    void SetBannerWidth(int Value)
    {
        FBannerWidth = Value;
        FBannerDirty = true;
    }
    TColor BannerColor() const { return FBannerColor; }
    void SetBannerColor(TColor Value)
    {
        FBannerColor = Value;
        FBannerDirty = true;
    }
    TColor BannerEndColor() const { return FBannerEndColor; }
    void SetBannerEndColor(TColor Value)
    {
        FBannerEndColor = Value;
        FBannerDirty = true;
    }
    int BannerNumColors() const { return FBannerNumColors; }
    void SetBannerNumColors(int Value)
    {
        FBannerNumColors = Value;
        FBannerDirty = true;
    }
    TBannerJustification BannerJustification() const { return FBannerJustification; }
    void SetBannerJustification(TBannerJustification Value)
    {
        FBannerJustification = Value;
        FBannerDirty = true;
    }
    int BannerImage() const { return FBannerImage; }
    void SetBannerImage(int Value)
    {
        FBannerImage = Value;
        FBannerDirty = true;
    }
    TBannerAlignment BannerAlignment() const { return FBannerAlignment; }
    void SetBannerAlignment(TBannerAlignment Value)
    {
        FBannerAlignment = Value;
        FBannerDirty = true;
    }
    TBannerDirection BannerDirection() const { return FBannerDirection; }
    void SetBannerDirection(TBannerDirection Value)
    {
        FBannerDirection = Value;
        FBannerDirty = true;
    }
    char BannerSeparator() const { return FBannerSeparator; }
    void SetBannerSeparator(char Value) { FBannerSeparator = Value; }
    TMenus97Look Menus97Look() const { return FLook; }
    void SetMenus97Look(TMenus97Look Value);
    bool DefaultFont() const { return FDefaultFont; }
    void SetDefaultFont(bool Value);
    bool AlwaysShowSelection() const { return FAlwaysShowSelection; }
    void SetAlwaysShowSelection(bool Value) { FAlwaysShowSelection = Value; }

    TDrawMenuItemEvent OnDrawItem;
    THintEvent OnHint;
    TMeasureMenuItemEvent OnMeasureItem;

    // Gives items with Tag 0 a bar (BarItemTag) or drop-down (DropDownItemTag) tag.
    void AssignAllTags();
    virtual int GetItemHeight();
    virtual bool GetHideMenuBar() { return false; }

    // The menu item that an owner-draw message for Command names, or nullptr.
    virtual TMenuItem* FindItem(UINT Command);
    // Owner-draw handlers; the form and pop-up owner window procedures dispatch to these.
    LRESULT HandleMeasureItem(MEASUREITEMSTRUCT& Measure);
    LRESULT HandleDrawItem(const DRAWITEMSTRUCT& Draw);

    // Text before / after the first BannerSeparator.
    std::string CaptionPart(const std::string& Caption) const;
    std::string BannerPart(const std::string& Caption) const;
    // Extent of a caption as the items draw it (cy has 2 pixels of room).
    static SIZE TextExtent(HDC DC, const std::string& Text);
    int DefaultItemHeight(TMenuItem* Item);
    int DefaultItemWidth(TMenuItem* Item);
    // Fills R with the banded gradient from StartColor (top) to EndColor (bottom).
    void DrawGradient(HDC DC, TColor StartColor, TColor EndColor, const RECT& R) const;
    static void LoadMenuFont(TFont* Font);
    const RECT& BannerRect() const { return FBannerRect; }
    int CheckWidth() const { return FCheckWidth; }
    int GlyphWidth() const { return FGlyphWidth; }
    int GlyphHeight() const { return FGlyphHeight; }

protected:
    virtual void SetMenu(TMenu* Value);
    virtual void DrawItem(TMenuItem* Item, RECT Rect, TOwnerDrawState State);
    virtual void MeasureItem(TMenuItem* Item, int& Height, int& Width);
    // Makes the items of the menu that holds Items' children owner-drawn, or plain again.
    virtual void PrepareItems(TMenuItem* Items, bool Restore);
    // Position to execute for a WM_MENUCHAR, NoAccelerator, or AcceleratorOnMenuBar.
    virtual int FindAccelerator(const TMessage& Message);
    virtual void AssignTags(TMenuItem* Items, int Level);
    virtual void FontChanged();
    virtual void HiliteFontChanged();
    virtual void BrushChanged() {}
    virtual void DrawMenuBarItem(TMenuItem*, RECT&, TOwnerDrawState) {}
    virtual void CalcBannerRect(TMenuItem* Item);
    // The banner rectangle of the drop-down Menu whose items are Node's children.
    void CalcBannerRectFor(HMENU Menu, TMenuItem* Node);
    virtual void GetMenuRect(TMenuItem* Item, RECT& R);
    virtual bool IsBannerItem(TMenuItem* Item);
    virtual TMenuItem* GetBannerItem(TMenuItem* Item);
    virtual bool IsPopupStyler() const { return false; }
    // The owner form's window procedure.
    virtual void SubclassProc(TMessage& Message);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TForm* OwnerForm() const;
    // Passes the message to the owner form's previous procedure.
    void CallPrevious(TMessage& Message);
    // Sets or clears owner-draw on every item of Menu that this styler knows, recursively.
    void PrepareMenu(HMENU Menu, bool Restore);
    void DrawItemText(TMenuItem* Item, RECT Rect, TOwnerDrawState State, const std::string& Text);
    int SearchAccelerator(TMenuItem* Node, char Key, HMENU Menu);
    // Dispatches owner-draw messages to the styler named by the item data; true when handled.
    static bool DispatchOwnerDraw(TMessage& Message);
    // The banner is measured and built again when the next banner item is drawn (a menu opens).
    void InvalidateBanner() { FBannerDirty = true; }
    // Makes a menu that the styler owns itself the styled menu, as it is: its items are not
    // prepared (that waits until the menu first opens) and no free notification is asked for.
    void SetOwnMenu(TMenu* Value) { FMenu = Value; }

private:
    TImageList* FImages = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    TMenu* FMenu = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBrush> FBrush;
    int FItemHeight = 0;
    int FItemWidth = 0;
    std::unique_ptr<TWindowSubclass> FSubclass;
    TColor FHiliteBar;
    std::unique_ptr<TFont> FHiliteFont;
    int FCheckWidth = 0;
    int FCheckHeight = 0;
    std::unique_ptr<TBitmap> FRadioBitmap;
    std::unique_ptr<TBitmap> FCheckBitmap;
    bool FBanner = false;
    std::string FBannerText;
    std::unique_ptr<TFont> FBannerFont;
    int FBannerWidth = 20;
    TColor FBannerColor;
    TColor FBannerEndColor;
    int FBannerNumColors = 6;
    TBannerJustification FBannerJustification = TBannerJustification::bjCenter;
    int FBannerImage = -1;
    TBannerAlignment FBannerAlignment = TBannerAlignment::baLeft;
    TBannerDirection FBannerDirection = TBannerDirection::bdUpwards;
    std::vector<std::unique_ptr<TMenuItem>> FWindowList; // mirrors of the MDI window list
    std::vector<UINT> FWindowListCommands; // their command ids, same order
    bool FWindowListDone = false;
    TMenus97Look FLook = TMenus97Look::mlOffice97Look;
    RECT FBannerRect = {};
    bool FBannerDirty = false;
    bool FDefaultFont = true;
    std::unique_ptr<TBitmap> FBannerBitmap;
    bool FAlwaysShowSelection = true;
    int FGlyphWidth = 0;
    int FGlyphHeight = 0;
    char FBannerSeparator = '|';
    bool FLoadingFont = false;

    // Where Item lies relative to the first item of its menu (0, 0 when not on the screen).
    POINT OffsetInMenu(TMenuItem* Item);
    // The menu handle that holds Item (its parent's drop-down, or the menu itself).
    HMENU ParentHandle(TMenuItem* Item);
    bool IsMenuBarHandle(HMENU Menu);
    void DrawPopupItem(TMenuItem* Item, RECT Rect, TOwnerDrawState State);
    void CalcGlyphSize();
    void LoadDefaultFonts();
    void MirrorWindowList(HMENU Menu);
    void DrawBanner(TMenuItem* Item, RECT& Rect);
    void BuildBannerBitmap(TMenuItem* Item);
    void DrawItemBackground(TMenuItem* Item, const RECT& Rect, TOwnerDrawState State);
    void DrawGlyph(TMenuItem* Item, const RECT& Rect, TOwnerDrawState State);
    void DrawGlyphBox(const RECT& Box, bool Raised);
    void DrawMark(TBitmap* Mark, int X, int Y);
    void DrawDisabledImage(int X, int Y, int Index);
    void DrawEtchedLine(int X0, int Y0, int X1, int Y1, bool Vertical);
    static bool DrawnDisabled(TMenuItem* Item, TOwnerDrawState State);
    int MenuCharResult(TMessage& Message);
};

// Whether Key is the mnemonic (the character after a single '&') of Caption, in any case (the
// ANSI code page's case rules).
bool IsMnemonic(char Key, const std::string& Caption);
bool IsTitleSeparator(const std::string& Caption);

} // namespace pw
