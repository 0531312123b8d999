#include "Menus.h"

#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace pw {

namespace {

std::unordered_map<UINT, TMenuItem*>& CommandTable()
{
    static std::unordered_map<UINT, TMenuItem*> table;
    return table;
}

// Command ids stay below 60000: larger ones are the system's and the MDI window list's.
constexpr UINT LastCommand = 59999;

UINT NextCommand()
{
    static UINT next = 100;
    auto& table = CommandTable();
    do {
        if (++next > LastCommand) next = 101;
    } while (table.count(next));
    return next;
}

struct TKeyName {
    WORD Key;
    const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyText(WORD key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const auto& k : KeyNames)
        if (k.Key == key) return k.Name;
    return {};
}

} // namespace

TShortCut ShortCut(WORD Key, unsigned Shift)
{
    TShortCut s = Key & 0xFF;
    if (Shift & ssShift) s |= scShift;
    if (Shift & ssCtrl) s |= scCtrl;
    if (Shift & ssAlt) s |= scAlt;
    return s;
}

std::string ShortCutToText(TShortCut Value)
{
    std::string key = KeyText(Value & 0xFF);
    if (key.empty()) return {};
    std::string r;
    if (Value & scShift) r += "Shift+";
    if (Value & scCtrl) r += "Ctrl+";
    if (Value & scAlt) r += "Alt+";
    return r + key;
}

TShortCut TextToShortCut(const std::string& Text)
{
    std::string rest = Text;
    TShortCut mods = 0;
    for (;;) {
        if (rest.rfind("Shift+", 0) == 0) {
            mods |= scShift;
            rest.erase(0, 6);
        } else if (rest.rfind("Ctrl+", 0) == 0) {
            mods |= scCtrl;
            rest.erase(0, 5);
        } else if (rest.rfind("Alt+", 0) == 0) {
            mods |= scAlt;
            rest.erase(0, 4);
        } else break;
    }
    for (WORD k = 8; k < 255; ++k)
        if (!rest.empty() && KeyText(k) == rest) return static_cast<TShortCut>(mods | k);
    return 0;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand())
{
    CommandTable()[FCommand] = this;
}

TMenuItem::~TMenuItem()
{
    CommandTable().erase(FCommand);
    if (FParent) FParent->Remove(this);
    while (!FItems.empty()) delete FItems.back();
    DestroyHandle();
}

TMenuItem* TMenuItem::FindByCommand(UINT Command)
{
    auto& table = CommandTable();
    auto it = table.find(Command);
    return it == table.end() ? nullptr : it->second;
}

void TMenuItem::DestroyHandle()
{
    // A pop-up still attached to a parent menu goes with that menu; a detached one is ours.
    if (FHandle && !FParent && !FMenu) DestroyMenu(FHandle);
    FHandle = nullptr;
    for (TMenuItem* c : FItems) c->DestroyHandle();
}

int TMenuItem::MenuIndex() const
{
    if (!FParent) return -1;
    auto& v = FParent->FItems;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item->FParent) Item->FParent->Remove(Item);
    Item->FParent = this;
    FItems.insert(FItems.begin() + std::clamp(Index, 0, Count()), Item);
    Changed(true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    // Detach the item's pop-up from our menu before it can be destroyed with it.
    if (FHandle)
        while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    Item->FParent = nullptr;
    Changed(true);
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear()
{
    while (!FItems.empty()) delete FItems.back();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

HMENU TMenuItem::Handle()
{
    if (!FHandle) {
        FHandle = CreatePopupMenu();
        FillMenu(FHandle);
    }
    return FHandle;
}

void TMenuItem::AppendTo(HMENU Menu)
{
    MENUITEMINFOA mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    mi.wID = FCommand;
    std::string text = FCaption;
    if (IsLine()) {
        mi.fType = MFT_SEPARATOR;
    } else {
        mi.fMask |= MIIM_STRING;
        if (FShortCut) text += "\t" + ShortCutToText(FShortCut);
        mi.dwTypeData = text.data();
    }
    TMenu* menu = GetParentMenu();
    if (menu && menu->OwnerDraw() && !IsLine()) {
        mi.fType |= MFT_OWNERDRAW;
        mi.fMask |= MIIM_DATA;
        mi.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    }
    if (FRadioItem) mi.fType |= MFT_RADIOCHECK;
    if (FBreak == TMenuBreak::mbBreak) mi.fType |= MFT_MENUBREAK;
    if (FBreak == TMenuBreak::mbBarBreak) mi.fType |= MFT_MENUBARBREAK;
    mi.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : 0) | (FDefault ? MFS_DEFAULT : 0);
    if (!FItems.empty()) {
        mi.fMask |= MIIM_SUBMENU;
        mi.hSubMenu = Handle();
    }
    if (FTextCodePage) {
        AppendText(Menu, mi);
        return;
    }
    InsertMenuItemA(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mi);
}

void TMenuItem::AppendText(HMENU Menu, const MENUITEMINFOA& Info)
{
    std::string text;
    for (char c : FCaption) {
        text += c;
        if (c == '&') text += '&';
    }
    std::wstring wide = StringToWide(text, FTextCodePage);
    MENUITEMINFOW mi;
    static_assert(sizeof mi == sizeof Info);
    std::memcpy(&mi, &Info, sizeof mi);
    mi.fMask |= MIIM_STRING;
    mi.fType &= ~static_cast<UINT>(MFT_SEPARATOR);
    mi.dwTypeData = wide.data();
    InsertMenuItemW(Menu, static_cast<UINT>(GetMenuItemCount(Menu)), TRUE, &mi);
}

void TMenuItem::SetTextCaption(const std::string& Text, unsigned CodePage)
{
    FTextCodePage = CodePage ? CodePage : GetACP();
    SetCaption(Text);
}

void TMenuItem::FillMenu(HMENU Menu)
{
    for (TMenuItem* c : FItems)
        if (c->FVisible) c->AppendTo(Menu);
}

void TMenuItem::Changed(bool Rebuild)
{
    // A property change shows in the parent's menu; a change of the children in our own.
    TMenuItem* target = Rebuild ? this : FParent;
    if (!target || !target->FHandle) return;
    while (GetMenuItemCount(target->FHandle) > 0) RemoveMenu(target->FHandle, 0, MF_BYPOSITION);
    target->FillMenu(target->FHandle);
    if (TMenu* m = target->GetParentMenu()) m->Rebuild();
}

void TMenuItem::SetCaption(const std::string& v)
{
    FCaption = v;
    Changed(false);
}
void TMenuItem::SetShortCut(TShortCut v)
{
    FShortCut = v;
    Changed(false);
}
void TMenuItem::SetEnabled(bool v)
{
    if (FEnabled != v) {
        FEnabled = v;
        Changed(false);
    }
}
void TMenuItem::SetRadioItem(bool v)
{
    FRadioItem = v;
    Changed(false);
}
void TMenuItem::SetBreak(TMenuBreak v)
{
    FBreak = v;
    Changed(false);
}
void TMenuItem::SetDefault(bool v)
{
    FDefault = v;
    Changed(false);
}
void TMenuItem::SetVisible(bool v)
{
    if (FVisible != v) {
        FVisible = v;
        Changed(false);
    }
}

void TMenuItem::SetChecked(bool v)
{
    if (FChecked == v) return;
    FChecked = v;
    // A checked radio item unchecks the others of its group.
    if (v && FRadioItem && FParent)
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) s->FChecked = false;
    Changed(false);
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick) OnClick(this);
}

namespace {

LOGFONTA MenuLogFont()
{
    NONCLIENTMETRICSA m = {};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return m.lfMenuFont;
}

std::string DisplayCaption(const TMenuItem* item, bool forBar)
{
    std::string text = item->Caption();
    if (item->ShortCut() && !forBar) text += "\t" + ShortCutToText(item->ShortCut());
    return text;
}

} // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (OnMeasureItem) {
        OnMeasureItem(this, ACanvas, Width, Height);
        return;
    }
    RECT r{0, 0, 0, 0};
    std::string text = DisplayCaption(this, false);
    DrawTextA(ACanvas->Handle(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    Width = r.right + 2 * GetSystemMetrics(SM_CXMENUCHECK) + 8;
    Height = std::max<int>(r.bottom + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, State);
        return;
    }
    bool selected = State & odSelected;
    ACanvas->Brush()->SetColor(selected ? clHighlight : clMenu);
    ACanvas->FillRect(ARect);
    ACanvas->Font()->SetColor((State & odGrayed) ? clGrayText : selected ? clHighlightText : clMenuText);
    ACanvas->Brush()->SetStyle(TBrushStyle::bsClear);
    ACanvas->TextExtent(" "); // selects the font, its colour and the clear background
    HDC dc = ACanvas->Handle();
    RECT r = ARect;
    r.left += GetSystemMetrics(SM_CXMENUCHECK) + 4;
    r.right -= 8;
    const std::string& caption = FCaption;
    DrawTextA(dc, caption.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (FShortCut) {
        std::string key = ShortCutToText(FShortCut);
        DrawTextA(dc, key.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

bool TMenuItem::DispatchOwnerDraw(UINT Msg, LPARAM LParam)
{
    if (Msg == WM_MEASUREITEM) {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
        if (m->CtlType != ODT_MENU || !m->itemData) return false;
        TMenuItem* item = FindByCommand(m->itemID);
        if (!item || reinterpret_cast<ULONG_PTR>(item) != m->itemData) return false;
        TWindowDC screen(nullptr);
        HDC dc = screen.Get();
        TDCGuard guard(dc);
        TCanvas canvas(dc);
        canvas.Font()->AssignLogFont(MenuLogFont());
        SelectObject(dc, canvas.Font()->Handle());
        int w = static_cast<int>(m->itemWidth), h = static_cast<int>(m->itemHeight);
        item->MeasureItem(&canvas, w, h);
        m->itemWidth = static_cast<UINT>(std::max(w, 0));
        m->itemHeight = static_cast<UINT>(std::max(h, 0));
        return true;
    }
    if (Msg == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
        if (d->CtlType != ODT_MENU || !d->itemData) return false;
        TMenuItem* item = FindByCommand(d->itemID);
        if (!item || reinterpret_cast<ULONG_PTR>(item) != d->itemData) return false;
        TDCGuard guard(d->hDC);
        TCanvas canvas(d->hDC);
        canvas.Font()->AssignLogFont(MenuLogFont());
        TOwnerDrawState state = 0;
        if (d->itemState & ODS_SELECTED) state |= odSelected;
        if (d->itemState & ODS_GRAYED) state |= odGrayed;
        if (d->itemState & ODS_DISABLED) state |= odDisabled;
        if (d->itemState & ODS_CHECKED) state |= odChecked;
        if (d->itemState & ODS_FOCUS) state |= odFocused;
        if (d->itemState & ODS_DEFAULT) state |= odDefault;
        if (d->itemState & ODS_NOACCEL) state |= odNoAccel;
        item->DrawItem(&canvas, d->rcItem, state);
        return true;
    }
    return false;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Key)
{
    for (TMenuItem* c : FItems) {
        if (!c->FVisible) continue;
        if (c->FShortCut == Key && !c->IsLine()) return c;
        if (TMenuItem* r = c->FindShortCut(Key)) return r->FEnabled && c->FEnabled ? r : nullptr;
    }
    return nullptr;
}

// ---- TMenu ----

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TMenuItem>(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    if (FHandle) {
        // Destroying the menu destroys every pop-up attached to it.
        DestroyMenu(FHandle);
        FHandle = nullptr;
        FItems->FHandle = nullptr;
        for (TMenuItem* c : FItems->FItems) c->DestroyHandle();
    }
    FItems->FMenu = nullptr;
}

HMENU TMenu::Handle()
{
    if (!FHandle) {
        FHandle = CreateMenuHandle();
        FItems->FHandle = FHandle;
        FItems->FillMenu(FHandle);
    }
    return FHandle;
}

void TMenu::Rebuild() {}

void TMenu::SetOwnerDraw(bool v)
{
    if (FOwnerDraw == v) return;
    FOwnerDraw = v;
    if (FHandle) FItems->Changed(true);
}

bool TMenu::IsShortCut(TShortCut Key)
{
    TMenuItem* item = FItems->FindShortCut(Key);
    if (!item || !item->Enabled()) return false;
    item->Click();
    return true;
}

void TMainMenu::Rebuild()
{
    if (FForm) FForm->MenuChanged();
}

void TPopupMenu::Rebuild()
{
    // Whoever styles pop-up menus sees this on the utility window.
    SendMessageA(PopupUtilWindow(), CM_MENUCHANGED, 0, reinterpret_cast<LPARAM>(this));
}

// ---- TPopupMenu ----

std::function<TMenuItem*(TPopupMenu*)> TPopupMenu::TrackResponder;

namespace {

LRESULT CALLBACK PopupUtilProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    return Firewall<LRESULT>(
        [&]() -> LRESULT {
            switch (msg) {
            case WM_MEASUREITEM:
            case WM_DRAWITEM:
                if (TMenuItem::DispatchOwnerDraw(msg, l)) return TRUE;
                break;
            case WM_MENUSELECT:
                if (Application) {
                    TMenuItem* item = (HIWORD(w) & MF_POPUP) ? nullptr : TMenuItem::FindByCommand(LOWORD(w));
                    Application->SetHint(item ? item->Hint() : std::string());
                }
                return 0;
            default: break;
            }
            return DefWindowProcA(h, msg, w, l);
        },
        0);
}

} // namespace

HWND PopupUtilWindow()
{
    static HWND owner = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PopupUtilProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TPUtilWindow";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    }();
    return owner;
}

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup) OnPopup(this);
    if (Items()->Count() == 0) return;
    TMenuItem* chosen = nullptr;
    if (TrackResponder) {
        chosen = TrackResponder(this);
    } else {
        HWND owner = PopupUtilWindow();
        SetForegroundWindow(owner);
        UINT cmd = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, X, Y, 0, owner, nullptr);
        PostMessageA(owner, WM_NULL, 0, 0);
        chosen = cmd ? TMenuItem::FindByCommand(cmd) : nullptr;
    }
    if (chosen) chosen->Click();
}

} // namespace pw
