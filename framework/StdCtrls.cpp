#include "StdCtrls.h"

#include "SysUtils.h"

#include <algorithm>

namespace pw {

// ---- TComboBoxStrings ----

void TComboBoxStrings::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
}

std::string TComboBoxStrings::Get(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].S;
}

TObject* TComboBoxStrings::GetObject(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)].O;
}

void TComboBoxStrings::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    FItems[static_cast<size_t>(Index)].O = AObject;
    if (FCombo->HandleAllocated())
        FCombo->Perform(CB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

void TComboBoxStrings::Clear()
{
    FItems.clear();
    if (FCombo->HandleAllocated()) FCombo->Perform(CB_RESETCONTENT, 0, 0);
}

void TComboBoxStrings::Delete(int Index)
{
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
    if (FCombo->HandleAllocated()) FCombo->Perform(CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TComboBoxStrings::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > GetCount()) Error("List index out of bounds (%d)", Index);
    FItems.insert(FItems.begin() + Index, Item{S, nullptr});
    if (FCombo->HandleAllocated())
        FCombo->Perform(CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str()));
}

int TComboBoxStrings::Add(const std::string& S)
{
    int index = GetCount();
    if (FCombo->Sorted()) {
        auto it = std::upper_bound(FItems.begin(), FItems.end(), S,
                                   [](const std::string& a, const Item& b) { return AnsiCompareText(a, b.S) < 0; });
        index = static_cast<int>(it - FItems.begin());
    }
    Insert(index, S);
    return index;
}

int TComboBoxStrings::IndexOf(const std::string& S) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiCompareText(FItems[i].S, S) == 0) return static_cast<int>(i);
    return -1;
}

// ---- TCustomComboBox ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(new TComboBoxStrings(this))
{
    FWidth = 145;
    FHeight = 24;
    SetTabStop(true);
    FColor = clWindow;
}

TCustomComboBox::~TCustomComboBox()
{
    FDeleting = true;
    DestroyComponents();
    if (FHandle) DestroyHandle();
    delete FItems;
}

void TCustomComboBox::SetStyle(TComboBoxStyle s)
{
    FStyle = s;
    RecreateWnd();
}

void TCustomComboBox::SetSorted(bool v)
{
    if (FSorted == v) return;
    FSorted = v;
    if (!v) return;
    std::stable_sort(FItems->FItems.begin(), FItems->FItems.end(),
                     [](const auto& a, const auto& b) { return AnsiCompareText(a.S, b.S) < 0; });
    RecreateWnd();
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwComboBox";
    Params.SubclassOf = "COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case TComboBoxStyle::csSimple: Params.Style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    case TComboBoxStyle::csOwnerDrawFixed: Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case TComboBoxStyle::csOwnerDrawVariable:
        Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
        break;
    default: Params.Style |= CBS_DROPDOWN; break;
    }
    // The height given to the window includes the dropped-down list.
    Params.Height = FHeight + FItemHeight * FDropDownCount;
}

void TCustomComboBox::CreateWnd()
{
    std::string text = FText;
    TWinControl::CreateWnd();
    for (size_t i = 0; i < FItems->FItems.size(); ++i) {
        Perform(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FItems->FItems[i].S.c_str()));
        Perform(CB_SETITEMDATA, i, reinterpret_cast<LPARAM>(FItems->FItems[i].O));
    }
    if (FItemIndex >= 0) Perform(CB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
    else if (!text.empty() && FStyle == TComboBoxStyle::csDropDown) SetWindowTextA(FHandle, text.c_str());
}

void TCustomComboBox::DestroyWnd()
{
    FItemIndex = ItemIndex();
    TWinControl::DestroyWnd();
}

int TCustomComboBox::ItemIndex()
{
    if (FHandle) FItemIndex = static_cast<int>(Perform(CB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TCustomComboBox::SetItemIndex(int i)
{
    FItemIndex = i;
    if (FHandle) Perform(CB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

bool TCustomComboBox::DroppedDown() { return FHandle && Perform(CB_GETDROPPEDSTATE, 0, 0) != 0; }

std::string TCustomComboBox::Text()
{
    if (FHandle) return TWinControl::Text();
    int i = FItemIndex;
    return (i >= 0 && i < FItems->Count()) ? FItems->Strings(i) : FText;
}

void TCustomComboBox::SetText(const std::string& s)
{
    int i = FItems->IndexOf(s);
    if (FStyle != TComboBoxStyle::csDropDown && FStyle != TComboBoxStyle::csSimple) {
        SetItemIndex(i);
        return;
    }
    FText = s;
    if (FHandle) {
        Perform(CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetWindowTextA(FHandle, s.c_str());
    }
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    // The window's height includes the dropped-down list; Height is the closed box.
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle)
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight + FItemHeight * FDropDownCount,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomComboBox::DrawItem(int Index, const RECT& Rect, UINT State, HDC DC)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State, DC);
        return;
    }
    bool selected = State & ODS_SELECTED;
    FillRect(DC, &Rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (Index < 0 || Index >= FItems->Count()) return;
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    std::string s = FItems->Strings(Index);
    TextOutA(DC, Rect.left + 2, Rect.top + 1, s.c_str(), static_cast<int>(s.size()));
}

void TCustomComboBox::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
        // Keep the closed height: the window's own height includes the list.
        DefaultHandler(Message);
        return;
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case CBN_SELCHANGE:
            FItemIndex = static_cast<int>(Perform(CB_GETCURSEL, 0, 0));
            Change();
            break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: if (OnDropDown) OnDropDown(this); break;
        default: break;
        }
        return;
    case CN_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        int h = FItemHeight;
        if (static_cast<int>(mi->itemID) >= 0 && OnMeasureItem) OnMeasureItem(this, static_cast<int>(mi->itemID), h);
        mi->itemHeight = static_cast<UINT>(h);
        Message.Result = 1;
        return;
    }
    case CN_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        DrawItem(static_cast<int>(di->itemID), di->rcItem, di->itemState, di->hDC);
        Message.Result = 1;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

} // namespace pw
