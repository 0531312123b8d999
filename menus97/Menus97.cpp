#include "Menus97.h"

#include "ComCtrls.h"
#include "Controls.h"
#include "Forms.h"
#include "MenuDrawing97.h"
#include "Subclass.h"
#include "SysUtils.h"

#include <algorithm>

namespace pw {

namespace {

// Every styler that exists: item data is trusted only when it names one of these.
std::vector<TCustomMenus97*>& LiveStylers()
{
    static std::vector<TCustomMenus97*> stylers;
    return stylers;
}

using menus97::FirstSystemCommand;
using menus97::TCanvasAttach;
using menus97::TWindowDC;

// MenuCharResult's answer for a WM_MENUCHAR that goes on to the form's previous procedure.
constexpr int PassMenuChar = -1;

char UpperChar(char Ch)
{
    char buf[2] = {Ch, 0};
    CharUpperBuffA(buf, 1);
    return buf[0];
}

} // namespace

bool IsMnemonic(char Key, const std::string& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&') continue;
        if (Caption[i + 1] == '&') {
            ++i; // "&&" is a literal ampersand
            continue;
        }
        return UpperChar(Caption[i + 1]) == UpperChar(Key);
    }
    return false;
}

bool IsTitleSeparator(const std::string& Caption) { return Caption.size() > 1 && Caption[0] == '-'; }

// ---- construction ----

TCustomMenus97::TCustomMenus97(TComponent* AOwner)
    : TComponent(AOwner), FCanvas(std::make_unique<TCanvas>()), FFont(std::make_unique<TFont>()),
      FBrush(std::make_unique<TBrush>()), FHiliteBar(clHighlight), FHiliteFont(std::make_unique<TFont>()),
      FRadioBitmap(std::make_unique<TBitmap>()), FCheckBitmap(std::make_unique<TBitmap>()),
      FBannerFont(std::make_unique<TFont>()), FBannerColor(clBlack), FBannerEndColor(clActiveCaption)
{
    LoadDefaultFonts();
    FBannerFont->SetName("Arial");
    FBannerFont->SetSize(12);
    FBannerFont->SetColor(clWhite);
    FBrush->SetColor(clBtnFace);
    HINSTANCE inst = GetModuleHandleA(nullptr);
    FCheckBitmap->LoadFromResourceName(inst, "CheckMark");
    FRadioBitmap->LoadFromResourceName(inst, "RadioMark");
    CalcGlyphSize();
    FCheckWidth = GetSystemMetrics(SM_CXMENUCHECK);
    if (FCheckWidth < FCheckBitmap->Width()) FCheckWidth = FCheckBitmap->Width() + 4;
    FCheckHeight = GetSystemMetrics(SM_CYMENUCHECK);
    if (FCheckHeight < FCheckBitmap->Height()) FCheckHeight = FCheckBitmap->Height() + 4;
    FFont->OnChange = [this](TObject*) {
        if (!FLoadingFont) FontChanged();
    };
    FHiliteFont->OnChange = [this](TObject*) {
        if (!FLoadingFont) HiliteFontChanged();
    };
    FBrush->OnChange = [this](TObject*) { BrushChanged(); };
    FBannerFont->OnChange = [this](TObject*) { FBannerDirty = true; };
    // The subclass goes on last, once nothing of the construction can fail any more.
    if (TForm* form = OwnerForm())
        FSubclass = std::make_unique<TWindowSubclass>(form->Handle(), [this](TMessage& m) { SubclassProc(m); });
    LiveStylers().push_back(this);
}

TCustomMenus97::~TCustomMenus97()
{
    // The items go back to plain text first: none may keep a pointer to this styler.
    if (FMenu && FMenu->HandleAllocated()) PrepareItems(FMenu->Items(), true);
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = nullptr;
    auto& live = LiveStylers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    FSubclass.reset();
    FWindowList.clear();
    OnDrawItem = nullptr;
    OnHint = nullptr;
    OnMeasureItem = nullptr;
}

TCustomMenus97* TCustomMenus97::FindLiveStyler(ULONG_PTR ItemData)
{
    if (!ItemData) return nullptr;
    for (TCustomMenus97* s : LiveStylers())
        if (reinterpret_cast<ULONG_PTR>(s) == ItemData) return s;
    return nullptr;
}

TForm* TCustomMenus97::OwnerForm() const { return dynamic_cast<TForm*>(Owner()); }

void TCustomMenus97::LoadMenuFont(TFont* Font)
{
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return;
    const LOGFONTA& lf = ncm.lfMenuFont;
    Font->SetHeight(lf.lfHeight);
    // The style is the system font's, not added to what the font had.
    TFontStyles style = 0;
    if (lf.lfWeight > 500) style |= fsBold;
    if (lf.lfItalic) style |= fsItalic;
    if (lf.lfUnderline) style |= fsUnderline;
    if (lf.lfStrikeOut) style |= fsStrikeOut;
    Font->SetStyle(style);
    Font->SetCharset(lf.lfCharSet);
    int pitch = lf.lfPitchAndFamily & 3;
    Font->SetPitch(pitch == 1 ? TFontPitch::fpFixed : pitch == 2 ? TFontPitch::fpVariable : TFontPitch::fpDefault);
    Font->SetName(lf.lfFaceName);
}

void TCustomMenus97::LoadDefaultFonts()
{
    FLoadingFont = true;
    LoadMenuFont(FFont.get());
    // The highlight font keeps its own colour: selected text stays readable on the bar.
    TColor hilite = FHiliteFont->Color() == clWindowText ? clHighlightText : FHiliteFont->Color();
    FHiliteFont->Assign(FFont.get());
    FHiliteFont->SetColor(hilite);
    FLoadingFont = false;
}

void TCustomMenus97::CalcGlyphSize()
{
    FGlyphWidth = std::max(FCheckBitmap->Width(), FRadioBitmap->Width());
    FGlyphHeight = std::max(FCheckBitmap->Height(), FRadioBitmap->Height());
    if (FImages) {
        FGlyphWidth = std::max(FGlyphWidth, FImages->Width());
        FGlyphHeight = std::max(FGlyphHeight, FImages->Height());
    }
    FCheckWidth = FGlyphWidth + 4;
    FCheckHeight = FGlyphHeight + 4;
}

// ---- properties ----

void TCustomMenus97::SetImages(TImageList* Value)
{
    if (FImages == Value) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    CalcGlyphSize();
    if (FMenu) {
        // Plain and owner-drawn again: the system measures the items anew.
        PrepareItems(FMenu->Items(), true);
        PrepareItems(FMenu->Items(), false);
    }
}

void TCustomMenus97::SetMenus97Look(TMenus97Look Value)
{
    if (FLook == Value) return;
    FLook = Value;
    if (IsMenuBarHandle(FMenu ? FMenu->Handle() : nullptr))
        if (TForm* f = OwnerForm(); f && f->HandleAllocated()) DrawMenuBar(f->Handle());
}

void TCustomMenus97::SetDefaultFont(bool Value)
{
    if (FDefaultFont == Value) return;
    FDefaultFont = Value;
    if (Value) LoadDefaultFonts();
}

void TCustomMenus97::SetFont(TFont* Value)
{
    FDefaultFont = false;
    FFont->Assign(Value);
}

void TCustomMenus97::SetHiliteFont(TFont* Value)
{
    FDefaultFont = false;
    FHiliteFont->Assign(Value);
}

void TCustomMenus97::SetBrush(TBrush* Value) { FBrush->Assign(Value); }
void TCustomMenus97::SetBannerFont(TFont* Value) { FBannerFont->Assign(Value); }
void TCustomMenus97::FontChanged() { FDefaultFont = false; }
void TCustomMenus97::HiliteFontChanged() { FDefaultFont = false; }

void TCustomMenus97::SetMenu(TMenu* Value)
{
    if (FMenu == Value) return;
    if (FMenu) {
        if (FMenu->HandleAllocated()) PrepareItems(FMenu->Items(), true);
        FMenu->RemoveFreeNotification(this);
    }
    FMenu = Value;
    if (FMenu) {
        FMenu->FreeNotification(this);
        PrepareItems(FMenu->Items(), false);
    }
}

void TCustomMenus97::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    // A menu that is going has no items left to restore.
    if (AComponent == FMenu) FMenu = nullptr;
    if (AComponent == FImages) {
        FImages = nullptr;
        CalcGlyphSize();
    }
}

void TCustomMenus97::AssignAllTags()
{
    if (FMenu) AssignTags(FMenu->Items(), 0);
}

void TCustomMenus97::AssignTags(TMenuItem* Items, int Level)
{
    for (int i = 0; i < Items->Count(); ++i) {
        TMenuItem* c = Items->Items(i);
        AssignTags(c, Level + 1);
        if (c->Tag() == 0) c->SetTag(Level > 0 || IsPopupStyler() ? DropDownItemTag : BarItemTag);
    }
}

int TCustomMenus97::GetItemHeight() { return FItemHeight; }

// ---- owner-draw preparation ----

TMenuItem* TCustomMenus97::FindItem(UINT Command)
{
    if (!FMenu) return nullptr;
    if (TMenuItem* item = TMenuItem::FindByCommand(Command); item && item->GetParentMenu() == FMenu) return item;
    for (size_t i = 0; i < FWindowListCommands.size(); ++i)
        if (FWindowListCommands[i] == Command) return FWindowList[i].get();
    return nullptr;
}

HMENU TCustomMenus97::ParentHandle(TMenuItem* Item)
{
    if (!FMenu) return nullptr;
    if (!Item || !Item->Parent() || Item->Parent() == FMenu->Items()) return FMenu->Handle();
    return Item->Parent()->Handle();
}

bool TCustomMenus97::IsMenuBarHandle(HMENU Menu)
{
    return Menu && FMenu && dynamic_cast<TMainMenu*>(FMenu) && FMenu->HandleAllocated() && Menu == FMenu->Handle();
}

void TCustomMenus97::PrepareItems(TMenuItem* Items, bool Restore)
{
    if (!FMenu || !Items) return;
    HMENU h = Items == FMenu->Items() ? FMenu->Handle() : (Items->Count() ? Items->Handle() : nullptr);
    if (h) PrepareMenu(h, Restore);
}

void TCustomMenus97::PrepareMenu(HMENU Menu, bool Restore)
{
    auto self = reinterpret_cast<ULONG_PTR>(this);
    int count = GetMenuItemCount(Menu);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &mi)) continue;
        if (mi.hSubMenu) PrepareMenu(mi.hSubMenu, Restore);
        if (mi.fType & MFT_SEPARATOR) continue;
        TMenuItem* item = FindItem(mi.wID);
        // Items nobody here knows (merged, system) stay as the system draws them.
        if (!item || item->IsLine()) continue;
        bool ours = (mi.fType & MFT_OWNERDRAW) && mi.dwItemData == self;
        MENUITEMINFOA set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE | MIIM_DATA;
        if (Restore) {
            if (!ours) continue;
            std::string text = item->Caption();
            if (item->ShortCut()) text += "\t" + ShortCutToText(item->ShortCut());
            set.fMask |= MIIM_STRING;
            set.fType = mi.fType & ~static_cast<UINT>(MFT_OWNERDRAW);
            set.dwTypeData = text.data();
            set.dwItemData = 0;
            SetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &set);
        } else if (!ours) {
            // Type and data only: the state (disabled, checked) stays as the framework set it.
            set.fType = mi.fType | MFT_OWNERDRAW;
            set.dwItemData = self;
            SetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &set);
        }
    }
}

// ---- the owner form's window procedure ----

void TCustomMenus97::CallPrevious(TMessage& Message)
{
    if (FSubclass) FSubclass->CallPrevious(Message);
    else Message.Result = 0;
}

bool TCustomMenus97::DispatchOwnerDraw(TMessage& Message)
{
    if (Message.Msg == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (d->CtlType != ODT_MENU) return false;
        TCustomMenus97* s = FindLiveStyler(d->itemData);
        if (!s) return false;
        Message.Result = s->HandleDrawItem(*d);
        return true;
    }
    if (Message.Msg == WM_MEASUREITEM) {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (Message.WParam != 0 || m->CtlType != ODT_MENU) return false;
        TCustomMenus97* s = FindLiveStyler(m->itemData);
        if (!s) return false;
        Message.Result = s->HandleMeasureItem(*m);
        return true;
    }
    return false;
}

void TCustomMenus97::SubclassProc(TMessage& Message)
{
    if (!FMenu) {
        CallPrevious(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_SETTINGCHANGE:
        if (FDefaultFont) LoadDefaultFonts();
        break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (DispatchOwnerDraw(Message)) return;
        break;
    case WM_INITMENUPOPUP:
        MirrorWindowList(reinterpret_cast<HMENU>(Message.WParam));
        FBannerDirty = true;
        break;
    case WM_MENUCHAR:
        if (int r = MenuCharResult(Message); r != PassMenuChar) {
            Message.Result = r;
            return;
        }
        break;
    case WM_ENTERMENULOOP: FWindowListDone = false; break;
    case CM_MENUCHANGED:
        CallPrevious(Message);
        PrepareItems(FMenu->Items(), false);
        return;
    default: break;
    }
    CallPrevious(Message);
}

// The WM_MENUCHAR answer, or PassMenuChar to pass the message on.
int TCustomMenus97::MenuCharResult(TMessage& Message)
{
    int i = FindAccelerator(Message);
    if (i >= 0) return static_cast<int>(MAKELRESULT(i, MNC_EXECUTE));
    TForm* form = OwnerForm();
    if (!form || form->FormStyle() != TFormStyle::fsMDIForm || HIWORD(Message.WParam) != MF_POPUP) return PassMenuChar;
    // The stylers of the document windows may know the letter. They are asked directly: the
    // default procedure of an MDI child answers "close" and re-enters menu mode.
    for (int c = 0; c < form->MDIChildCount(); ++c) {
        TForm* child = form->MDIChildren(c);
        for (TCustomMenus97* s : LiveStylers())
            if (s->OwnerForm() == child && s->FMenu)
                if (int r = s->FindAccelerator(Message); r >= 0) return static_cast<int>(MAKELRESULT(r, MNC_EXECUTE));
    }
    // An unmatched letter in a drop-down leaves it open.
    return static_cast<int>(MAKELRESULT(0, MNC_IGNORE));
}

// ---- mnemonics ----

int TCustomMenus97::SearchAccelerator(TMenuItem* Node, char Key, HMENU Menu)
{
    HMENU nodeHandle = Node == FMenu->Items() ? FMenu->Handle() : Node->Handle();
    if (Node == FMenu->Items() && IsMenuBarHandle(Menu)) {
        int count = GetMenuItemCount(Menu);
        for (int p = 0; p < count; ++p) {
            MENUITEMINFOA mi = {};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_ID;
            if (!GetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &mi)) continue;
            if (mi.wID == 0 || mi.wID >= FirstSystemCommand) continue;
            if (TMenuItem* item = FindItem(mi.wID); item && IsMnemonic(Key, item->Caption())) return p;
        }
        return NoAccelerator;
    }
    int result = NoAccelerator, v = 0;
    for (int i = 0; i < Node->Count() && result == NoAccelerator; ++i) {
        TMenuItem* k = Node->Items(i);
        if (!k->Visible()) continue;
        if (nodeHandle != Menu) {
            if (k->Count() > 0) result = SearchAccelerator(k, Key, Menu);
        } else if (IsMnemonic(Key, k->Caption())) {
            result = v;
        }
        if (result != NoAccelerator && !k->Enabled()) result = NoAccelerator;
        ++v;
    }
    return result;
}

int TCustomMenus97::FindAccelerator(const TMessage& Message)
{
    if ((ComponentState() & csDesigning) || !FMenu) return NoAccelerator;
    char key = static_cast<char>(LOBYTE(LOWORD(Message.WParam)));
    auto menu = reinterpret_cast<HMENU>(Message.LParam);
    if (!GetHideMenuBar()) return SearchAccelerator(FMenu->Items(), key, menu);
    if (IsMenuBarHandle(menu))
        return SearchAccelerator(FMenu->Items(), key, menu) >= 0 ? AcceleratorOnMenuBar : NoAccelerator;
    for (int i = 0; i < FMenu->Items()->Count(); ++i) {
        TMenuItem* top = FMenu->Items()->Items(i);
        if (top->Count() == 0) continue;
        if (int r = SearchAccelerator(top, key, menu); r != NoAccelerator) return r;
    }
    return NoAccelerator;
}

// ---- MDI window list ----

void TCustomMenus97::MirrorWindowList(HMENU Menu)
{
    TForm* form = OwnerForm();
    if (FWindowListDone || !form || form->FormStyle() != TFormStyle::fsMDIForm) return;
    TMenuItem* windowMenu = form->WindowMenuItem();
    if (!windowMenu || windowMenu->GetParentMenu() != FMenu || windowMenu->Handle() != Menu) return;
    int n = 0;
    for (int i = 0; i < windowMenu->Count(); ++i)
        if (windowMenu->Items(i)->Visible()) ++n;
    int count = GetMenuItemCount(Menu);
    for (int p = n + 1; p < count; ++p) {
        char text[100] = {};
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_DATA;
        mi.dwTypeData = text;
        mi.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &mi)) continue;
        std::string caption = text, shortcut;
        if (size_t tab = caption.find('\t'); tab != std::string::npos) {
            shortcut = caption.substr(tab + 1);
            caption.resize(tab);
        }
        bool checked = (mi.fState & MFS_CHECKED) != 0;
        auto found = std::find(FWindowListCommands.begin(), FWindowListCommands.end(), mi.wID);
        TMenuItem* mirror;
        if (found != FWindowListCommands.end()) {
            mirror = FWindowList[static_cast<size_t>(found - FWindowListCommands.begin())].get();
            // An owner-drawn entry reads back without text: the caption is kept then.
            if (caption.size() > 1 && caption != mirror->Caption()) mirror->SetCaption(caption);
        } else {
            auto item = std::make_unique<TMenuItem>(nullptr);
            item->SetCaption(caption);
            item->SetShortCut(shortcut.empty() ? 0 : TextToShortCut(shortcut));
            item->SetTag(DropDownItemTag);
            mirror = item.get();
            FWindowList.insert(FWindowList.begin(), std::move(item));
            FWindowListCommands.insert(FWindowListCommands.begin(), mi.wID);
        }
        mirror->SetChecked(checked);
        mirror->SetDefault((mi.fState & MFS_DEFAULT) != 0);
        if (!(mi.fType & MFT_OWNERDRAW) || mi.dwItemData != reinterpret_cast<ULONG_PTR>(this)) {
            MENUITEMINFOA set = {};
            set.cbSize = sizeof set;
            set.fMask = MIIM_FTYPE | MIIM_DATA;
            set.fType = mi.fType | MFT_OWNERDRAW;
            set.dwItemData = reinterpret_cast<ULONG_PTR>(this);
            SetMenuItemInfoA(Menu, static_cast<UINT>(p), TRUE, &set);
        }
    }
    FWindowListDone = true;
}

// ---- measuring ----

std::string TCustomMenus97::CaptionPart(const std::string& Caption) const
{
    size_t p = Caption.find(FBannerSeparator);
    return p == std::string::npos ? Caption : Caption.substr(0, p);
}

std::string TCustomMenus97::BannerPart(const std::string& Caption) const
{
    size_t p = Caption.find(FBannerSeparator);
    return p == std::string::npos ? std::string() : Caption.substr(p + 1);
}

SIZE TCustomMenus97::TextExtent(HDC DC, const std::string& Text)
{
    RECT r = {0, 0, 0, 0};
    DrawTextA(DC, Text.c_str(), -1, &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top + 2};
}

int TCustomMenus97::DefaultItemHeight(TMenuItem* Item)
{
    HDC dc = FCanvas->Handle();
    if (!dc) return FCheckHeight;
    int h = FGlyphHeight + 4;
    if (Item) {
        TSelectGuard font(dc, FCanvas->Font()->Handle());
        int cy = TextExtent(dc, CaptionPart(Item->Caption())).cy;
        if (h < cy + 4) h = cy + 4;
    }
    return h;
}

int TCustomMenus97::DefaultItemWidth(TMenuItem* Item)
{
    HDC dc = FCanvas->Handle();
    if (!dc) return 0;
    TSelectGuard font(dc, FCanvas->Font()->Handle());
    auto W = [&](const std::string& s) { return static_cast<int>(TextExtent(dc, s).cx); };
    auto S = [&](TMenuItem* i) { return i->ShortCut() ? W(ShortCutToText(i->ShortCut())) : 0; };
    int w;
    int tag = Item->Tag();
    if (tag == BarItemTag || tag >= FirstBarImageTag) {
        w = W(CaptionPart(Item->Caption())) + 5;
        if (tag >= FirstBarImageTag && FImages) w += FImages->Width() + 2;
    } else {
        TMenuItem* p = Item->Parent();
        int wk = 0, wa = 0, ws = 0;
        if (!p) {
            wk = wa = W(CaptionPart(Item->Caption()));
            ws = S(Item);
            p = Item;
        }
        for (int i = 0; i < p->Count(); ++i) {
            TMenuItem* k = p->Items(i);
            int kw = W(CaptionPart(k->Caption()));
            if (k->Count() > 0) kw += FCheckWidth;
            else if (p->Count() < 2) kw += FCheckWidth / 2;
            int s = S(k);
            wa = std::max(wa, kw);
            if (kw > wk && s > 0) wk = kw;
            ws = std::max(ws, s);
        }
        w = (wk + ws + FCheckWidth > wa && ws > 0) ? wk + ws + 2 * FCheckWidth : FCheckWidth + wa;
    }
    // DT_CALCRECT has already left the "&" prefix out of the width.
    if (IsBannerItem(Item)) w += FBannerWidth;
    return w;
}

void TCustomMenus97::MeasureItem(TMenuItem* Item, int& Height, int& Width)
{
    if (OnMeasureItem) OnMeasureItem(FMenu, Item, Height, Width);
}

LRESULT TCustomMenus97::HandleMeasureItem(MEASUREITEMSTRUCT& Measure)
{
    if (!FMenu || Measure.CtlType != ODT_MENU) return 1;
    TForm* form = OwnerForm();
    TWindowDC dc(form && form->HandleAllocated() ? form->Handle() : nullptr);
    TCanvasAttach attach(FCanvas.get(), dc.Get());
    FCanvas->Font()->Assign(FFont.get());
    if (TMenuItem* item = FindItem(LOWORD(Measure.itemID))) {
        int h = FItemHeight ? FItemHeight : DefaultItemHeight(item);
        int w = FItemWidth ? FItemWidth : DefaultItemWidth(item);
        MeasureItem(item, h, w);
        Measure.itemHeight = static_cast<UINT>(std::max(h, 0));
        Measure.itemWidth = static_cast<UINT>(std::max(w, 0));
    }
    return 1;
}

// ---- banner geometry ----

bool TCustomMenus97::IsBannerItem(TMenuItem* Item)
{
    if (!FMenu || !Item || !Item->Parent()) return false;
    TMenuItem* root = FMenu->Items();
    if (root->Count() > 0 && Item->Parent() == root->Items(0) && root->Items(0)->GroupIndex() == 0) return true;
    return !BannerPart(Item->Parent()->Caption()).empty();
}

TMenuItem* TCustomMenus97::GetBannerItem(TMenuItem* Item)
{
    if (!FMenu || !Item || !Item->Parent()) return nullptr;
    TMenuItem* root = FMenu->Items();
    if (root->Count() > 0 && Item->Parent() == root->Items(0) && root->Items(0)->GroupIndex() == 0)
        return root->Items(0);
    return BannerPart(Item->Parent()->Caption()).empty() ? nullptr : Item->Parent();
}

void TCustomMenus97::GetMenuRect(TMenuItem* Item, RECT& R)
{
    R = RECT{};
    HMENU h = ParentHandle(Item);
    TForm* form = OwnerForm();
    if (!h || !form) return;
    if (form->FormStyle() == TFormStyle::fsMDIChild)
        if (auto* frame = dynamic_cast<TForm*>(form->Owner())) form = frame;
    HWND w = form->Handle();
    GetMenuItemRect(w, h, 0, &R);
    int count = GetMenuItemCount(h);
    for (int p = 0; p < count; ++p) {
        RECT r;
        if (!GetMenuItemRect(w, h, static_cast<UINT>(p), &r)) continue;
        R.right = std::max(R.right, r.right);
        R.bottom = std::max(R.bottom, r.bottom);
    }
}

} // namespace pw
