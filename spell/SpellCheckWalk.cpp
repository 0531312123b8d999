// The interactive check: the driver's side of it. It hands each piece of the check state to
// the engine of its language, shows each error in the dialog and applies the dialog's
// choices through the engines and the state.
#include "SpellChecker.h"

#include "Forms.h"
#include "SpellStrings.h"
#include "SpellerDialog.h"
#include "StdCtrls.h"

#include <algorithm>

namespace pw {

namespace {

// A caption format with one "%s" for the language name ("%%" stands for a percent sign).
std::string FormatCaption(const std::string& Format, const std::string& Name)
{
    std::string r;
    bool used = false;
    for (size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] == '%' && i + 1 < Format.size()) {
            if (Format[i + 1] == '%') {
                r += '%';
                ++i;
                continue;
            }
            if (Format[i + 1] == 's' && !used) {
                r += Name;
                used = true;
                ++i;
                continue;
            }
        }
        r += Format[i];
    }
    return r;
}

} // namespace

// ---- preparing a check ----

void TSpellChecker::CheckControl(TWinControl* AControl)
{
    if (!FDialog) {
        FDialog = new TSpellerDialog2(this);
        FDialog->AfterConstruction();
    }
    TCheckSettings settings = CheckClass(AControl);
    settings.HTMLSupport = FHTMLSupport;
    settings.Language = FLanguage;
    TWinControl* previous = FState.Control();
    if (previous && previous != AControl) previous->RemoveFreeNotification(this);
    AControl->FreeNotification(this);
    FSpeller = nullptr;
    FState.Start(AControl, this, settings);
    CheckNext();
}

// ---- checking ----

void TSpellChecker::CheckNext()
{
    if (!FState.Active()) {
        Finish();
        return;
    }
    FReturnCode = srNoErrors;
    FState.BeginStep();
    // A piece without errors, or with a change the check applies itself, asks nothing.
    do {
        if (!CheckPiece()) {
            Finish();
            return;
        }
    } while (FReturnCode == srNoErrors || FReturnCode == srChangeAlways);
    ShowError();
}

bool TSpellChecker::CheckPiece()
{
    int start = 0, end = 0;
    if (!FState.NextPiece(start, end)) return false;
    TLanguage lang = FState.LanguageAt(start);
    FSpeller = SpellerFor(lang);
    std::string text = FState.ReadText(start, end, static_cast<unsigned>(LanguageCodePage(lang)));
    int pos = 0, len = 0;
    TSpellReturnCode code = srNoErrors;
    if (FSpeller) {
        int n = static_cast<int>(text.size());
        code = FState.StartsAfresh(start, FSpeller) ? FSpeller->CheckText(text.c_str(), n, pos, len)
                                                    : FSpeller->ContinueCheckText(text.c_str(), n, pos, len);
    }
    FState.PieceChecked(FSpeller);
    if (code != srNoErrors) {
        FState.SetError(start + pos, len);
        FSpeller->GetLastWord(FBadWord);
    } else {
        FState.SetClean(end);
    }
    if (code == srChangeAlways) {
        std::string replacement;
        FSpeller->GetReplacement(replacement);
        ChangeText(replacement);
    }
    FReturnCode = code;
    return true;
}

void TSpellChecker::ShowError()
{
    if (!FDialog) return;
    FDialog->SetCaption(FormatCaption(FCaption, LanguageName(SpellerLanguage())));
    FDialog->ShowVerdict(FReturnCode);
    if (FReturnCode == srChangeOnce) {
        // The replacement of the change-once list is offered first.
        std::string r;
        if (FSpeller) FSpeller->GetReplacement(r);
        TStrings* items = FDialog->Variants->Items();
        if (!r.empty() && items->IndexOf(r) < 0) {
            items->Insert(0, r);
            FDialog->SelectFirstVariant();
        }
    }
    if (FDialog->Visible()) return;
    if (FModalDialog) FDialog->ShowModal();
    else FDialog->Show();
}

// ---- changes ----

// The words of the dialog and the engines are in the code page of the engine's language.
unsigned TSpellChecker::WordCodePage() const
{
    return static_cast<unsigned>(LanguageCodePage(FSpeller ? FSpeller->Language : FLanguage));
}

void TSpellChecker::ChangeText(const std::string& NewWord)
{
    int pos = FState.CurPos(), len = FState.CurLen();
    FState.ReplaceError(NewWord, WordCodePage());
    if (OnChangeText) OnChangeText(this, pos, len, NewWord);
}

void TSpellChecker::ChangeOnceText(const std::string& NewWord)
{
    if (FSpeller) FSpeller->ChangeOnce(FBadWord, NewWord);
    ChangeText(NewWord);
}

void TSpellChecker::ChangeAllText(const std::string& NewWord)
{
    if (FSpeller) FSpeller->ChangeAlways(FBadWord, NewWord);
    ChangeText(NewWord);
}

// Removes the repeated word with the blank after it; where no blank follows (the word ends
// a sentence), with the blank before it instead, so the punctuation stays with the text.
void TSpellChecker::DeleteRepeated()
{
    int curPos = FState.CurPos(), curLen = FState.CurLen();
    int pos = curPos, len = curLen + 1;
    bool blankAfter = FState.BlankAt(curPos + curLen);
    if (!blankAfter && FState.BlankAt(curPos - 1)) pos = curPos - 1;
    if (!blankAfter && pos == curPos) len = curLen; // nothing blank on either side
    FState.Remove(pos, len);
    if (OnChangeText) OnChangeText(this, pos, len, std::string());
}

void TSpellChecker::SkipAllWord()
{
    if (!FSpeller) return;
    FSpeller->IgnoreAlways(FBadWord);
    if (OnWordAccepted) OnWordAccepted(this, FBadWord, FSpeller->Language);
}

void TSpellChecker::AddBadWord()
{
    if (FSpeller) {
        AddToCustomDict(FSpeller, FBadWord);
        if (OnWordAccepted) OnWordAccepted(this, FBadWord, FSpeller->Language);
    }
    FState.SkipError();
}

std::string TSpellChecker::GetLineAt(int Pos, int& LineStart)
{
    unsigned cp = static_cast<unsigned>(LanguageCodePage(SpellerLanguage() ? SpellerLanguage() : FLanguage));
    return FState.LineAt(Pos, LineStart, cp);
}

void TSpellChecker::Finish()
{
    FReturnCode = srNoErrors;
    if (FDialog) {
        FDialog->Hide();
        FDialog->Close();
    }
    FState.FreeWorkCopy();
    if (!FShowFinishMessage || FFinishMessage.empty() || !Application) return;
    TForm* main = Application->MainForm();
    HWND owner = main && main->HandleAllocated() ? main->Handle() : nullptr;
    Application->MessageBox(FFinishMessage, SpellString(sMessageCaption), MB_ICONINFORMATION, owner);
}

} // namespace pw
