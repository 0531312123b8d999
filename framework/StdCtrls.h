// Standard controls: combo box (with owner-drawn variable items), edit and memo (the plain
// text controls the spell checker can walk), label, list box and push button.
#pragma once
#include "Controls.h"
#include "StringList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox;
class TWindowSubclass;

// The items of a combo box: kept by the object and mirrored into the window.
class TComboBoxStrings : public TStrings {
public:
    explicit TComboBoxStrings(TCustomComboBox* Owner) : FCombo(Owner) {}
    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
    int Add(const std::string& S) override;
    int IndexOf(const std::string& S) const override;
private:
    friend class TCustomComboBox;
    struct Item {
        std::string S;
        TObject* O;
    };
    TCustomComboBox* FCombo;
    std::vector<Item> FItems;
    void CheckIndex(int Index) const;
};

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const RECT& Rect, UINT State, HDC DC)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);
    ~TCustomComboBox() override;
    TStrings* Items() const { return FItems.get(); }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle s);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    int ItemIndex();
    void SetItemIndex(int i);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int h) { FItemHeight = h; }
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int n) { FDropDownCount = n; }
    bool DroppedDown();
    std::string Text() override;
    void SetText(const std::string& s) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The edit field of a combo box that has one (the keys typed there reach our key events).
    HWND EditHandle() const { return FEditHandle; }
    // True while OnChange runs for an item chosen in the list, false for typed text.
    bool ChoosingItem() const { return FChoosingItem; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void DrawItem(int Index, const RECT& Rect, UINT State, HDC DC);

private:
    friend class TComboBoxStrings;
    std::unique_ptr<TComboBoxStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    bool FSorted = false;
    int FItemIndex = -1;
    int FItemHeight = 16;
    int FDropDownCount = 8;
    HWND FEditHandle = nullptr;
    std::unique_ptr<TWindowSubclass> FEditSubclass;
    bool FWritingEdit = false;
    bool FChoosingItem = false;
    void HookEdit();
    void UnhookEdit();
    void SelectionChanged();
    void EditWndProc(TMessage& Message);
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

// A single-line edit window.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    int SelStart();
    void SetSelStart(int v);
    int SelLength();
    void SetSelLength(int v);
    std::string SelText();
    void SetSelText(const std::string& s);
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;
protected:
    void CreateParams(TCreateParams& Params) override;
};

// A multi-line plain text edit window.
class TCustomMemo : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
protected:
    void CreateParams(TCreateParams& Params) override;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

// A static text, wrapped at blanks to fit its width.
class TLabel : public TWinControl {
public:
    explicit TLabel(TComponent* AOwner);
protected:
    void CreateParams(TCreateParams& Params) override;
};

class TCustomListBox;

// The items of a list box: kept by the object and mirrored into the window.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TCustomListBox* Owner) : FListBox(Owner) {}
    std::string Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
private:
    friend class TCustomListBox;
    TCustomListBox* FListBox;
    std::vector<std::string> FItems;
};

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;
    TStrings* Items() const { return FItems.get(); }
    int ItemIndex();
    void SetItemIndex(int i);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int h);
    // The code page of the items' text (the system's ANSI one unless set).
    unsigned CodePage() const { return FCodePage; }
    void SetCodePage(unsigned CodePage);
    TNotifyEvent OnDblClick;
    void WndProc(TMessage& Message) override;
protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
private:
    friend class TListBoxStrings;
    std::unique_ptr<TListBoxStrings> FItems;
    int FItemIndex = -1;
    int FItemHeight = 13;
    unsigned FCodePage = CP_ACP;
    void FillWindow();
    void InsertItem(int Index, const std::string& S);
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

// A push button; the default one answers Enter and the cancel one Esc in its form.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Acts as a click of the user: runs OnClick when the button is visible and enabled.
    void Click() override;
    void WndProc(TMessage& Message) override;
protected:
    void CreateParams(TCreateParams& Params) override;
private:
    bool FDefault = false;
    bool FCancel = false;
};

} // namespace pw
