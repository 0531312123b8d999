#include "SpellerDialog.h"

#include "ProtectedRichEdit.h"
#include "RichEditText.h"
#include "SpellChecker.h"
#include "SpellStrings.h"
#include "StdCtrls.h"
#include "TextAttributes98.h"

#include <algorithm>
#include <cstring>

namespace pw {

namespace {

// A button whose caption is kept as UTF-16, so that text outside the ANSI code page shows.
class TWideCaptionButton : public TButton {
public:
    TWideCaptionButton(TComponent* AOwner, std::wstring ACaption) : TButton(AOwner), FWide(std::move(ACaption)) {}
    const std::wstring& WideCaption() const { return FWide; }
protected:
    void CreateParams(TCreateParams& Params) override
    {
        TButton::CreateParams(Params);
        Params.WinClassName = "TPwWideButton";
        Params.Unicode = true;
    }
    void CreateWnd() override
    {
        TButton::CreateWnd();
        if (FHandle) SetWindowTextW(FHandle, FWide.c_str());
    }
private:
    std::wstring FWide;
};

constexpr int FormClientWidth = 310, FormClientHeight = 262;

void SetFormat(TProtectedRichEdit* Box, DWORD Scope, DWORD Mask, DWORD Effects, COLORREF Color, BYTE Charset = 0)
{
    CHARFORMAT2W f = redit::BlankCharFormat(Mask);
    f.dwEffects = Effects;
    f.crTextColor = Color;
    f.bCharSet = Charset;
    redit::SetCharFormat(Box, Scope, f);
}

void Select(TProtectedRichEdit* Box, int Start, int End) { redit::Select(Box, Start, End); }

// The box shows a few lines around the error: of a very long line (a paragraph of tens of
// thousands of characters) only the part from a blank well before the error to a blank well
// after it, which is all the box can show near the error and keeps the box quick.
void TrimContext(std::string& Line, int& ErrorStart, int ErrorLength)
{
    const int reach = 1000;
    int n = static_cast<int>(Line.size());
    if (n <= 2 * reach + ErrorLength) return;
    int from = std::max(0, ErrorStart - reach);
    if (from > 0) {
        size_t blank = Line.find(' ', static_cast<size_t>(from));
        if (blank != std::string::npos && static_cast<int>(blank) < ErrorStart) from = static_cast<int>(blank) + 1;
    }
    int to = std::min(n, ErrorStart + ErrorLength + reach);
    if (to < n) {
        size_t blank = Line.rfind(' ', static_cast<size_t>(to));
        if (blank != std::string::npos && static_cast<int>(blank) >= ErrorStart + ErrorLength)
            to = static_cast<int>(blank);
    }
    Line = Line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    ErrorStart -= from;
}

} // namespace

TVerdictView VerdictView(TSpellReturnCode Code)
{
    using V = TVerdictDisplay;
    switch (Code) {
    case srUnknownWord:
    case srChangeOnce: return {V::vdErrorMessage, sUnknownWord}; // IsMisspelledWord
    case srIllegalHyphenation: return {V::vdErrorMessage, sIllegalHyphenation};
    case srCapitalization: return {V::vdErrorMessage, sCapitalizationError};
    case srSentenceCapitalization: return {V::vdErrorMessage, sSentenceCapitalization};
    case srExtraSpaces: return {V::vdErrorMessage, sExtraSpaces};
    case srPossibleAbbreviation: return {V::vdSpaceMessage, sPossibleAbbreviation};
    case srMissingSpace: return {V::vdSpaceMessage, sMissingSpace};
    case srInitialNumerals: return {V::vdSpaceMessage, sInitialNumerals};
    case srRepeatedWord: return {V::vdRepeatedWord, sRepeatedWord};
    default: return {V::vdNone, 0};
    }
}

TSpellerDialog2::TSpellerDialog2(TSpellChecker* AChecker) : TForm(AChecker->Owner()), FChecker(AChecker)
{
    FChecker->FreeNotification(this);
    SetName("SpellerDialog2");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poScreenCenter);
    SetVisible(false);
    Font()->SetName("Arial");
    Font()->SetHeight(-10);
    Font()->SetCharset(DEFAULT_CHARSET);
    // "Проверка орфографии" in code page 1251; the driver sets the caption before showing.
    SetCaption("\xCF\xF0\xEE\xE2\xE5\xF0\xEA\xE0 \xEE\xF0\xF4\xEE\xE3\xF0\xE0\xF4\xE8\xE8");
    RECT r = {0, 0, FormClientWidth, FormClientHeight};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, FALSE,
                       WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_TOPMOST);
    SetBounds(0, 0, r.right - r.left, r.bottom - r.top);
    CreateControls();
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
    OnDestroy = [this](TObject* s) { FormDestroy(s); };
}

TSpellerDialog2::~TSpellerDialog2()
{
    if (FChecker) {
        FChecker->RemoveFreeNotification(this);
        FChecker->DialogDestroyed(this);
        FChecker = nullptr;
    }
}

TButton* TSpellerDialog2::AddButtonControl(const char* Name, int Left, int Top, int Width, int Height, int TabOrder,
                                           void (TSpellerDialog2::*Handler)(TObject*))
{
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(this);
    b->SetBounds(Left, Top, Width, Height);
    b->SetTabOrder(TabOrder);
    b->SetFont(Font());
    b->OnClick = [this, Handler](TObject* s) { (this->*Handler)(s); };
    return b;
}

void TSpellerDialog2::CreateControls()
{
    using D = TSpellerDialog2;
    InfoMsg = new TLabel(this);
    InfoMsg->SetName("InfoMsg");
    InfoMsg->SetParent(this);
    InfoMsg->SetBounds(4, 4, 302, 13);
    InfoMsg->SetFont(Font());
    InfoMsg->SetCaption("\xCD\xE5\xF2 \xE2 \xF1\xEB\xEE\xE2\xE0\xF0\xE5"); // "Нет в словаре", code page 1251
    Misspelling = new TProtectedRichEdit(this);
    Misspelling->SetName("Misspelling");
    Misspelling->SetParent(this);
    Misspelling->SetBounds(4, 20, 302, 73);
    Misspelling->SetHideSelection(false);
    Misspelling->SetScrollBars(TScrollStyle::ssVertical);
    Misspelling->SetTabOrder(0);
    Misspelling->OnChange = [this](TObject* s) { MisspellingChange(s); };
    Misspelling->OnProtectChange = [this](TObject* s, int a, int b, bool& allow) {
        MisspellingProtectChange(s, a, b, allow);
    };
    Label2 = new TLabel(this);
    Label2->SetName("Label2");
    Label2->SetParent(this);
    Label2->SetBounds(4, 106, 302, 13);
    Label2->SetFont(Font());
    Variants = new TListBox(this);
    Variants->SetName("Variants");
    Variants->SetParent(this);
    Variants->SetBounds(4, 122, 196, 102);
    Variants->SetItemHeight(13);
    Variants->SetTabOrder(1);
    Variants->SetFont(Font());
    Variants->OnDblClick = [this](TObject* s) { ChangeButtonClick(s); };
    ChangeButton = AddButtonControl("ChangeButton", 207, 122, 99, 20, 2, &D::ChangeButtonClick);
    ChangeButton->SetDefault(true);
    ChangeAllButton = AddButtonControl("ChangeAllButton", 207, 146, 99, 21, 3, &D::ChangeAllButtonClick);
    SkipButton = AddButtonControl("SkipButton", 207, 179, 99, 20, 4, &D::SkipButtonClick);
    SkipAllButton = AddButtonControl("SkipAllButton", 207, 203, 99, 20, 5, &D::SkipAllButtonClick);
    auto* add = new TWideCaptionButton(this, L"\x0414\x043E\x0431\x0430\x0432\x0438\x0442\x044C"); // "Добавить"
    add->SetName("AddButton");
    add->SetParent(this);
    add->SetBounds(207, 236, 99, 20);
    add->SetTabOrder(6);
    add->SetFont(Font());
    add->OnClick = [this](TObject* s) { AddButtonClick(s); };
    AddButton = add;
    CancelButton = AddButtonControl("CancelButton", 4, 236, 70, 20, 7, &D::CancelButtonClick);
    CancelButton->SetCancel(true);
    CancelEdit = AddButtonControl("CancelEdit", 81, 236, 119, 20, 8, &D::CancelEditClick);
    CancelEdit->SetVisible(false);
    DelButton = AddButtonControl("DelButton", 207, 122, 99, 20, 9, &D::DelButtonClick);
    StartButton = AddButtonControl("StartButton", 207, 122, 99, 20, 10, &D::StartButtonClick);
    StartButton->SetVisible(false);
}

void TSpellerDialog2::FormCreate(TObject*)
{
    Label2->SetCaption(SpellString(sVariantsCaption));
    ChangeButton->SetCaption(SpellString(sChangeCaption));
    ChangeAllButton->SetCaption(SpellString(sChangeAllCaption));
    SkipButton->SetCaption(SpellString(sSkipCaption));
    SkipAllButton->SetCaption(SpellString(sSkipAllCaption));
    CancelButton->SetCaption(SpellString(sCancelCaption));
    CancelEdit->SetCaption(SpellString(sUndoEditCaption));
    DelButton->SetCaption(SpellString(sDeleteCaption));
    StartButton->SetCaption(SpellString(sStartCaption));
}

void TSpellerDialog2::FormDestroy(TObject*)
{
    if (FChecker) FChecker->DialogDestroyed(this);
}

void TSpellerDialog2::Notification(TComponent* AComponent, TOperation Operation)
{
    TForm::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FChecker) FChecker = nullptr;
}

void TSpellerDialog2::CreateParams(TCreateParams& Params)
{
    TForm::CreateParams(Params);
    // Owned by the window of the form the driver belongs to: an owned window stays above its
    // owner whatever the window manager makes of the topmost style.
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (owner && owner->HandleAllocated()) Params.WndParent = owner->Handle();
}

void TSpellerDialog2::CreateWnd()
{
    TForm::CreateWnd();
    // Tab, Enter and Esc move and act as in a dialog box.
    if (FHandle && Application) Application->AddModelessDialog(FHandle);
}

void TSpellerDialog2::DestroyWnd()
{
    if (FHandle && Application) Application->RemoveModelessDialog(FHandle);
    TForm::DestroyWnd();
}

void TSpellerDialog2::WndProc(TMessage& Message)
{
    // Enter and Esc arrive from the dialog navigation as IDOK and IDCANCEL without a sender.
    if (Message.Msg == WM_COMMAND && Message.LParam == 0 && HIWORD(Message.WParam) <= 1) {
        if (LOWORD(Message.WParam) == IDOK) {
            ClickButton(ChangeButton);
            return;
        }
        if (LOWORD(Message.WParam) == IDCANCEL) {
            ClickButton(CancelButton);
            return;
        }
    }
    if (Message.Msg == WM_CLOSE && FChecker) {
        // Closing the window is cancelling the check.
        CancelButtonClick(this);
        return;
    }
    TForm::WndProc(Message);
}

void TSpellerDialog2::ClickButton(TButton* Button)
{
    if (Button->Visible() && Button->Enabled()) Button->Click();
}

// ---- the displays ----

void TSpellerDialog2::ShowVerdict(TSpellReturnCode Code)
{
    TVerdictView view = VerdictView(Code);
    switch (view.Display) {
    case TVerdictDisplay::vdErrorMessage: ShowErrorMessage(SpellString(view.Message)); break;
    case TVerdictDisplay::vdSpaceMessage: ShowSpaceMessage(SpellString(view.Message)); break;
    case TVerdictDisplay::vdRepeatedWord: ShowRepeatedWord(SpellString(view.Message)); break;
    case TVerdictDisplay::vdNone: break;
    }
}

void TSpellerDialog2::MarkError(int Start, int Length)
{
    Select(Misspelling, Start, Start + Length);
    SetFormat(Misspelling, SCF_SELECTION, CFM_PROTECTED | CFM_COLOR, 0, RGB(255, 0, 0));
}

void TSpellerDialog2::Context()
{
    HandleNeeded();
    Misspelling->SetEnabled(true);
    FUpdating = true;
    Misspelling->Clear();
    TLanguage lang = FChecker->SpellerLanguage();
    if (lang) Misspelling->SetLanguage(lang);
    SetFormat(Misspelling, SCF_DEFAULT, CFM_CHARSET, 0, 0, LanguageCharset(lang ? lang : FChecker->Language()));
    int lineStart = 0;
    std::string line = FChecker->GetLineAt(FChecker->CurPos(), lineStart);
    FErrorStart = FChecker->CurPos() - lineStart;
    TrimContext(line, FErrorStart, FChecker->CurLen());
    Misspelling->SetText(line);
    Select(Misspelling, 0, -1);
    SetFormat(Misspelling, SCF_SELECTION, CFM_PROTECTED | CFM_COLOR, CFE_PROTECTED, GetSysColor(COLOR_WINDOWTEXT));
    MarkError(FErrorStart, FChecker->CurLen());
    Select(Misspelling, FErrorStart, FErrorStart);
    FUpdating = false;
    // A display means the check is running: the restart command is not needed.
    StartButton->Hide();
}

void TSpellerDialog2::ShowErrorMessage(const std::string& Message)
{
    Context();
    InfoMsg->SetCaption(Message);
    InfoMsg->SetEnabled(true);
    StartButton->Hide();
    CancelEdit->Hide();
    DelButton->Hide();
    ChangeButton->Show();
    SkipButton->SetEnabled(true);
    TSpellReturnCode code = FChecker->ReturnCode();
    bool addable = code == srUnknownWord && FChecker->BadWord().size() <= 64;
    SkipAllButton->SetEnabled(addable);
    AddButton->SetEnabled(addable);
    Variants->Font()->SetCharset(LanguageCharset(FChecker->SpellerLanguage()));
    Variants->SetCodePage(static_cast<unsigned>(LanguageCodePage(FChecker->SpellerLanguage())));
    FillVariants(code);
    SelectFirstVariant();
}

void TSpellerDialog2::FillVariants(TSpellReturnCode Code)
{
    TStrings* items = Variants->Items();
    const std::string& bad = FChecker->BadWord();
    if (Code == srSentenceCapitalization) {
        items->Clear();
        std::string word = bad;
        if (!word.empty()) {
            char up[4] = {};
            LCMapStringA(FChecker->Language(), LCMAP_UPPERCASE, word.data(), 1, up, 2);
            word[0] = up[0];
        }
        items->Add(word);
    } else if (Code == srExtraSpaces) {
        items->Clear();
        std::string word = bad;
        if (word.size() > 2) {
            std::string head = word.substr(0, word.size() - 2), tail = word.substr(word.size() - 2);
            while (!head.empty() && head.back() == ' ') head.pop_back();
            word = head + tail;
        }
        items->Add(word);
    } else {
        FChecker->GetVariants(bad, items, FChecker->SpellerLanguage());
    }
}

void TSpellerDialog2::SelectFirstVariant()
{
    bool any = Variants->Items()->Count() > 0;
    Variants->SetItemIndex(any ? 0 : -1);
    TSpellReturnCode code = srNoErrors;
    if (FChecker) code = FChecker->ReturnCode();
    ChangeButton->SetEnabled(any);
    Variants->SetEnabled(any);
    Label2->SetEnabled(any);
    ChangeAllButton->SetEnabled(any && (code == srUnknownWord || code == srChangeOnce));
}

void TSpellerDialog2::ShowSpaceMessage(const std::string& Message)
{
    Context();
    InfoMsg->SetCaption(Message);
    InfoMsg->SetEnabled(true);
    CancelEdit->Hide();
    DelButton->Hide();
    ChangeButton->Show();
    SkipButton->SetEnabled(true);
    SkipAllButton->SetEnabled(false);
    AddButton->SetEnabled(false);
    Variants->Items()->Clear();
    ChangeButton->SetEnabled(false);
    ChangeAllButton->SetEnabled(false);
    Variants->SetEnabled(false);
}

void TSpellerDialog2::ShowRepeatedWord(const std::string& Message)
{
    Context();
    InfoMsg->SetCaption(Message);
    InfoMsg->SetEnabled(true);
    CancelEdit->Hide();
    DelButton->Show();
    DelButton->SetEnabled(true);
    ChangeButton->Hide();
    ChangeAllButton->SetEnabled(false);
    SkipButton->Show();
    SkipButton->SetEnabled(true);
    SkipAllButton->SetEnabled(false);
    AddButton->SetEnabled(false);
    // Nothing to choose from: an earlier error's suggestions must not stay on offer.
    Variants->Items()->Clear();
    Variants->SetEnabled(false);
}

// ---- the line box ----

void TSpellerDialog2::MisspellingProtectChange(TObject*, int, int, bool& AllowChange) { AllowChange = FUpdating; }

void TSpellerDialog2::MisspellingChange(TObject*)
{
    if (FUpdating) return;
    CancelEdit->Show();
    ChangeButton->Show();
    ChangeButton->SetEnabled(true);
    ChangeAllButton->SetEnabled(false);
    SkipAllButton->SetEnabled(false);
    AddButton->SetEnabled(false);
    DelButton->Hide();
    Variants->SetEnabled(false);
}

void TSpellerDialog2::FindEditedWord(int& Start, int& End)
{
    int length = Misspelling->GetTextLen();
    std::string text = Misspelling->Text();
    int lineEnd = length;
    for (int i = 0; i < length && i < static_cast<int>(text.size()); ++i)
        if (text[static_cast<size_t>(i)] == '\r' || text[static_cast<size_t>(i)] == '\n') {
            lineEnd = i;
            break;
        }
    Start = 0;
    while (Start < lineEnd && Misspelling->CharProtected(Start)) ++Start;
    if (Start >= lineEnd) {
        // Nothing unprotected is left: the word was emptied where the error began.
        Start = End = std::min(FErrorStart, lineEnd);
        return;
    }
    End = Start;
    while (End < lineEnd && !Misspelling->CharProtected(End)) ++End;
}

// ---- commands ----

void TSpellerDialog2::ChangeButtonClick(TObject*)
{
    if (!FChecker) return;
    if (CancelEdit->Visible()) {
        int start = 0, end = 0;
        FindEditedWord(start, end);
        Select(Misspelling, start, end);
        FChecker->ChangeText(Misspelling->SelText());
    } else {
        int i = Variants->ItemIndex();
        if (i < 0) return;
        std::string word = Variants->Items()->Strings(i);
        if (FChecker->ReturnCode() == srUnknownWord) FChecker->ChangeOnceText(word);
        else FChecker->ChangeText(word);
    }
    FChecker->CheckNext();
}

void TSpellerDialog2::ChangeAllButtonClick(TObject*)
{
    int i = Variants->ItemIndex();
    if (!FChecker || i < 0) return;
    FChecker->ChangeAllText(Variants->Items()->Strings(i));
    FChecker->CheckNext();
}

void TSpellerDialog2::SkipButtonClick(TObject*)
{
    if (FChecker) FChecker->CheckNext();
}

void TSpellerDialog2::SkipAllButtonClick(TObject*)
{
    if (!FChecker) return;
    FChecker->SkipAllWord();
    FChecker->CheckNext();
}

void TSpellerDialog2::AddButtonClick(TObject*)
{
    if (!FChecker) return;
    FChecker->AddBadWord();
    FChecker->CheckNext();
}

void TSpellerDialog2::DelButtonClick(TObject*)
{
    if (!FChecker) return;
    FChecker->DeleteRepeated();
    FChecker->CheckNext();
}

void TSpellerDialog2::CancelButtonClick(TObject*)
{
    if (FChecker) FChecker->Finish();
    else Hide();
}

void TSpellerDialog2::CancelEditClick(TObject*)
{
    if (!FChecker) return;
    int start = 0, end = 0;
    FindEditedWord(start, end);
    FUpdating = true;
    Select(Misspelling, start, end);
    Misspelling->SetSelText(FChecker->BadWord());
    MarkError(start, static_cast<int>(StringToWide(FChecker->BadWord(), Misspelling->CodePage()).size()));
    Select(Misspelling, start, start);
    FUpdating = false;
    RestoreCommands(FChecker->ReturnCode());
    CancelEdit->Hide();
}

void TSpellerDialog2::RestoreCommands(TSpellReturnCode Code)
{
    bool selected = Variants->Items()->Count() > 0 && Variants->ItemIndex() >= 0;
    switch (VerdictView(Code).Display) {
    case TVerdictDisplay::vdErrorMessage:
        DelButton->Hide();
        ChangeButton->Show();
        SkipButton->SetEnabled(true);
        SkipAllButton->SetEnabled(Code == srUnknownWord);
        AddButton->SetEnabled(Code == srUnknownWord);
        ChangeAllButton->SetEnabled(selected && (Code == srUnknownWord || Code == srChangeOnce));
        ChangeButton->SetEnabled(selected);
        Variants->SetEnabled(selected);
        break;
    case TVerdictDisplay::vdSpaceMessage:
        DelButton->Hide();
        ChangeButton->Show();
        SkipButton->SetEnabled(true);
        for (TControl* c : {static_cast<TControl*>(SkipAllButton), static_cast<TControl*>(AddButton),
                            static_cast<TControl*>(ChangeButton), static_cast<TControl*>(ChangeAllButton),
                            static_cast<TControl*>(Variants)})
            c->SetEnabled(false);
        break;
    case TVerdictDisplay::vdRepeatedWord:
        DelButton->Show();
        ChangeButton->Hide();
        ChangeAllButton->SetEnabled(false);
        SkipButton->Show();
        SkipAllButton->SetEnabled(false);
        AddButton->SetEnabled(false);
        break;
    case TVerdictDisplay::vdNone: break;
    }
}

void TSpellerDialog2::FormDeactivate(TObject*)
{
    StartButton->Show();
    for (TControl* c :
         {static_cast<TControl*>(DelButton), static_cast<TControl*>(ChangeButton),
          static_cast<TControl*>(ChangeAllButton), static_cast<TControl*>(SkipButton),
          static_cast<TControl*>(SkipAllButton), static_cast<TControl*>(AddButton), static_cast<TControl*>(Misspelling),
          static_cast<TControl*>(Variants), static_cast<TControl*>(InfoMsg), static_cast<TControl*>(Label2)})
        c->SetEnabled(false);
    Variants->Items()->Clear();
    FUpdating = true;
    Misspelling->Clear();
    FUpdating = false;
}

void TSpellerDialog2::StartButtonClick(TObject*)
{
    StartButton->Hide();
    TWinControl* control = FChecker ? FChecker->Control() : nullptr;
    auto* form = control ? dynamic_cast<TForm*>(control->Owner()) : nullptr;
    if (!form || form->FormStyle() != TFormStyle::fsMDIChild) Abort();
    auto* frame = dynamic_cast<TForm*>(form->Owner());
    TForm* active = frame ? frame->ActiveMDIChild() : nullptr;
    TComponent* target = active ? active->FindComponent(control->Name()) : nullptr;
    auto* edit = dynamic_cast<TWinControl*>(target);
    if (!edit || !(dynamic_cast<TCustomMemo*>(edit) || dynamic_cast<TCustomRichEdit*>(edit))) Abort();
    FChecker->CheckControl(edit);
}

} // namespace pw
