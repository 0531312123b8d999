#include "StdCtrls.h"

#include "Guards.h"
#include "Subclass.h"
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

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TComboBoxStrings>(this))
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
    case TComboBoxStyle::csOwnerDrawFixed:
        Params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        break;
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
    HookEdit();
}

void TCustomComboBox::DestroyWnd()
{
    FItemIndex = ItemIndex();
    UnhookEdit();
    TWinControl::DestroyWnd();
}

// The keys of a combo box with an edit field go to that edit window, a child the system
// creates: it is subclassed so that they pass through the combo box's key events. The link
// leaves the window's chain of procedures whole, also when others subclassed the field later.
void TCustomComboBox::HookEdit()
{
    if (FStyle != TComboBoxStyle::csDropDown && FStyle != TComboBoxStyle::csSimple) return;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(FHandle, &info) || !info.hwndItem || info.hwndItem == FHandle) return;
    FEditHandle = info.hwndItem;
    FEditSubclass = std::make_unique<TWindowSubclass>(FEditHandle, [this](TMessage& Message) { EditWndProc(Message); });
}

void TCustomComboBox::UnhookEdit()
{
    FEditSubclass.reset();
    FEditHandle = nullptr;
}

void TCustomComboBox::EditWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        if (Firewall([&] { return DoKeyMessage(Message); }, true)) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCDESTROY:
        FEditSubclass->CallPrevious(Message);
        UnhookEdit();
        return;
    default: break;
    }
    FEditSubclass->CallPrevious(Message);
}

// The system tells of a new selection before it writes the item into the edit field; the
// field is brought up to date first, so that a handler reading Text sees the chosen item.
void TCustomComboBox::SelectionChanged()
{
    FItemIndex = static_cast<int>(Perform(CB_GETCURSEL, 0, 0));
    if (FEditHandle && FItemIndex >= 0 && FItemIndex < FItems->Count()) {
        // Not an edit of the user's: the change it reports is this one.
        FWritingEdit = true;
        SetWindowTextA(FEditHandle, FItems->Strings(FItemIndex).c_str());
        FWritingEdit = false;
    }
    TValueGuard<bool> choosing(FChoosingItem, true, false);
    Change();
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
        case CBN_SELCHANGE: SelectionChanged(); break;
        case CBN_EDITCHANGE:
            if (!FWritingEdit) Change();
            break;
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            break;
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
    default: break;
    }
    TWinControl::WndProc(Message);
}

// ---- edit and memo ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 121;
    FHeight = 21;
    FColor = clWindow;
    SetTabStop(true);
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwEdit";
    Params.SubclassOf = "EDIT";
    Params.Style |= ES_AUTOHSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

int TCustomEdit::SelStart()
{
    DWORD s = 0, e = 0;
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int v) { Perform(EM_SETSEL, static_cast<WPARAM>(v), v); }

int TCustomEdit::SelLength()
{
    DWORD s = 0, e = 0;
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(e - s);
}

void TCustomEdit::SetSelLength(int v)
{
    int s = SelStart();
    Perform(EM_SETSEL, static_cast<WPARAM>(s), s + v);
}

std::string TCustomEdit::SelText()
{
    std::string t = Text();
    int s = SelStart(), n = SelLength();
    return s <= static_cast<int>(t.size()) ? t.substr(static_cast<size_t>(s), static_cast<size_t>(n)) : std::string();
}

void TCustomEdit::SetSelText(const std::string& s) { Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(s.c_str())); }

void TCustomEdit::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == EN_CHANGE && OnChange) OnChange(this);
        return;
    }
    TWinControl::WndProc(Message);
}

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.WinClassName = "TPwMemo";
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
}

// ---- label ----

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 65;
    FHeight = 13;
}

void TLabel::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwLabel";
    Params.SubclassOf = "STATIC";
    Params.Style |= SS_LEFT;
}

// ---- list box ----

std::string TListBoxStrings::Get(int Index) const
{
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    return FItems[static_cast<size_t>(Index)];
}

void TListBoxStrings::Clear()
{
    FItems.clear();
    FListBox->FItemIndex = -1;
    if (FListBox->HandleAllocated()) FListBox->Perform(LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::Delete(int Index)
{
    if (Index < 0 || Index >= GetCount()) Error("List index out of bounds (%d)", Index);
    FItems.erase(FItems.begin() + Index);
    if (FListBox->HandleAllocated()) FListBox->Perform(LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TListBoxStrings::Insert(int Index, const std::string& S)
{
    if (Index < 0 || Index > GetCount()) Error("List index out of bounds (%d)", Index);
    FItems.insert(FItems.begin() + Index, S);
    if (FListBox->HandleAllocated()) FListBox->InsertItem(Index, S);
}

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this))
{
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    SetTabStop(true);
}

TCustomListBox::~TCustomListBox()
{
    FDeleting = true;
    DestroyComponents();
    if (FHandle) DestroyHandle();
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwListBox";
    Params.SubclassOf = "LISTBOX";
    Params.Unicode = true; // items show in their own code page, whatever the system's
    Params.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(LB_SETITEMHEIGHT, 0, FItemHeight);
    FillWindow();
}

void TCustomListBox::FillWindow()
{
    Perform(LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < FItems->FItems.size(); ++i) InsertItem(static_cast<int>(i), FItems->FItems[i]);
    if (FItemIndex >= 0) Perform(LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
}

void TCustomListBox::InsertItem(int Index, const std::string& S)
{
    std::wstring w = StringToWide(S, FCodePage);
    Perform(LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(w.c_str()));
}

void TCustomListBox::SetCodePage(unsigned CodePage)
{
    if (CodePage == FCodePage) return;
    FCodePage = CodePage;
    if (FHandle) {
        FItemIndex = ItemIndex();
        FillWindow();
    }
}

void TCustomListBox::DestroyWnd()
{
    FItemIndex = ItemIndex();
    TWinControl::DestroyWnd();
}

int TCustomListBox::ItemIndex()
{
    if (FHandle) FItemIndex = static_cast<int>(Perform(LB_GETCURSEL, 0, 0));
    return FItemIndex;
}

void TCustomListBox::SetItemIndex(int i)
{
    FItemIndex = i;
    if (FHandle) Perform(LB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void TCustomListBox::SetItemHeight(int h)
{
    FItemHeight = h;
    if (FHandle) Perform(LB_SETITEMHEIGHT, 0, h);
}

void TCustomListBox::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE:
            FItemIndex = static_cast<int>(Perform(LB_GETCURSEL, 0, 0));
            Click();
            break;
        case LBN_DBLCLK:
            if (OnDblClick) OnDblClick(this);
            break;
        default: break;
        }
        return;
    }
    TWinControl::WndProc(Message);
}

// ---- button ----

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 75;
    FHeight = 25;
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwButton";
    Params.SubclassOf = "BUTTON";
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v)
{
    FDefault = v;
    if (FHandle) Perform(BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click()
{
    if (!FVisible || !FEnabled) return;
    TControl::Click();
}

void TButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == BN_CLICKED) Click();
        return;
    }
    TWinControl::WndProc(Message);
}

} // namespace pw
