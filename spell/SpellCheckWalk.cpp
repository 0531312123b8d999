// The interactive check: preparing the range and the work copy, building pieces, handing
// them to the engines, and applying the dialog's changes to the control and the copy.
#include "SpellChecker.h"

#include "Forms.h"
#include "RichEdit.h"
#include "RichEdit98.h"
#include "LanguageRuns.h"
#include "RichEditStrings98.h"
#include "SpellStrings.h"
#include "SpellerDialog.h"
#include "StdCtrls.h"
#include "Streams.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace pw {

const TControlClass* NearestControlClass(TControl* AControl);
const TControlClass* ParentControlClass(const TControlClass* C);

namespace {

// The character format records as the driver reads them: the locale at byte 100 of the
// Unicode record and at byte 68 of the ANSI one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(CHARFORMAT2W) == 116 && offsetof(CHARFORMAT2W, lcid) == 100);
static_assert(sizeof(CHARFORMAT2A) == 84 && offsetof(CHARFORMAT2A, lcid) == 68);
#pragma GCC diagnostic pop

// The engines take at most this many characters at once (their length field is 16 bits).
constexpr int MaxPieceLength = 65535;

std::wstring WindowTextA(HWND H)
{
    int n = GetWindowTextLengthA(H);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(H, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return StringToWide(s, CP_ACP);
}

// The whole text of a rich edit 2.0 window as it counts positions (one character per
// paragraph mark), or nothing when the window does not answer.
std::wstring RichText20(TWinControl* C)
{
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    LRESULT n = C->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX gt = {static_cast<DWORD>((n + 1) * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT got = C->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(got, n))));
    return w;
}

bool IsBlank(wchar_t C) { return C == L' ' || C == L'\t' || C == 0xA0; }

// A caption format with one "%s" for the language name ("%%" stands for a percent sign).
std::string FormatCaption(const std::string& Format, const std::string& Name)
{
    std::string r;
    bool used = false;
    for (size_t i = 0; i < Format.size(); ++i) {
        if (Format[i] == '%' && i + 1 < Format.size()) {
            if (Format[i + 1] == '%') { r += '%'; ++i; continue; }
            if (Format[i + 1] == 's' && !used) { r += Name; used = true; ++i; continue; }
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
    CheckClass(AControl);
    if (FControl && FControl != AControl) FControl->RemoveFreeNotification(this);
    FControl = AControl;
    FControl->FreeNotification(this);
    FRichEdit = dynamic_cast<TCustomRichEdit*>(AControl) != nullptr;
    FSpeller = nullptr;
    MakeWorkCopy();
    DWORD selStart = 0, selEnd = 0;
    FControl->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    FRangeStart = static_cast<int>(selStart);
    FRangeEnd = static_cast<int>(selEnd);
    if (FRangeStart == FRangeEnd) FRangeEnd = static_cast<int>(FWorkText.size());
    FindRangeStart();
    if (FHTMLSupport) SkipTagsBeforeStart();
    FCurPos = FRangeStart;
    FCurLen = 0;
    FNextParaEnd = FNextTag = FNextLangChange = 0;
    FFirstPiece = true;
    FPieceSpeller = nullptr;
    CheckNext();
}

void TSpellChecker::MakeWorkCopy()
{
    FreeWorkCopy();
    FRunsValid = false;
    const TControlClass* cls = NearestControlClass(FControl);
    while (cls && !cls->Create) cls = ParentControlClass(cls);
    auto* parent = dynamic_cast<TWinControl*>(FControl->Owner());
    if (!cls || !parent) throw ESpellError(Format("You can't spell check %s.", FControl->Name().c_str()));
    FWorkCopy = cls->Create(FControl->Owner());
    FWorkCopy->FreeNotification(this);
    FWorkCopy->SetVisible(false);
    FWorkCopy->SetParent(parent);
    if (auto* r98 = dynamic_cast<TCustomRichEdit98*>(FControl)) {
        // The text as UTF-16 and the language of every character: all the driver reads from
        // the copy. (Going through RTF would cost far more: some rich edit readers need
        // hundreds of megabytes for one paragraph of tens of thousands of characters.)
        auto* w98 = static_cast<TCustomRichEdit98*>(FWorkCopy);
        w98->SetLanguage(r98->Language());
        std::wstring text = RichText20(r98);
        // The copy is never shown: without wrapping, a long paragraph stays one cheap line.
        w98->HandleNeeded();
        w98->Perform(EM_SETTARGETDEVICE, 0, 1);
        {
            TWideModeGuard wide(w98);
            w98->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        FRuns = ReadLanguageRuns(r98);
        ApplyLanguageRuns(w98, FRuns);
        FRunsValid = true;
    } else if (auto* re = dynamic_cast<TCustomRichEdit*>(FControl)) {
        TMemoryStream m;
        re->StreamOutTo(m, SF_RTF);
        m.SetPosition(0);
        static_cast<TCustomRichEdit*>(FWorkCopy)->StreamInFrom(m, SF_RTF);
    } else {
        FWorkCopy->SetText(FControl->Text());
    }
    RefreshWorkText();
}

void TSpellChecker::RefreshWorkText()
{
    FWorkText = FWideText ? RichText20(FWorkCopy) : WindowTextA(FWorkCopy->Handle());
}

void TSpellChecker::FindRangeStart()
{
    LRESULT left = FControl->Perform(EM_FINDWORDBREAK, WB_LEFTBREAK, FRangeStart);
    if (left > 0) FRangeStart = static_cast<int>(FControl->Perform(EM_FINDWORDBREAK, WB_RIGHT, left));
    else if (left == 0) FRangeStart = 0;
}

void TSpellChecker::SkipTagsBeforeStart()
{
    for (int p = 0;;) {
        int lt = FindChar(L'<', p);
        if (lt >= FRangeEnd || lt > FRangeStart) return;
        int end = lt + MeasureTag(lt);
        if (end > FRangeStart) {
            FRangeStart = std::min(end, FRangeEnd);
            return;
        }
        p = end;
    }
}

// ---- checking ----

void TSpellChecker::CheckNext()
{
    if (!FControl || !FWorkCopy) {
        Finish();
        return;
    }
    FReturnCode = 0;
    // The control's text is read once per step, not once per piece: the pieces of one step
    // change it only through ChangeText, which reads it again.
    FControlText = RichText20(FControl);
    do {
        if (!CheckPiece()) {
            Finish();
            return;
        }
    } while (FReturnCode == 0 || FReturnCode == 2);
    ShowError();
}

bool TSpellChecker::CheckPiece()
{
    int start = 0, end = 0;
    BuildPiece(FCurPos + FCurLen, start, end);
    if (start == end) return false;
    TLanguage lang = LanguageAt(start);
    FSpeller = SpellerFor(lang);
    std::string text = ReadText(start, end, static_cast<unsigned>(LanguageCodePage(lang)));
    int pos = 0, len = 0;
    TSpellReturnCode code = 0;
    if (FSpeller) {
        int n = static_cast<int>(text.size());
        code = StartsAfresh(start) ? FSpeller->CheckText(text.c_str(), n, pos, len)
                                   : FSpeller->ContinueCheckText(text.c_str(), n, pos, len);
    }
    FFirstPiece = false;
    FPieceSpeller = FSpeller;
    if (code) {
        FCurPos = start + pos;
        FCurLen = len;
        SelectIn(FControl, FCurPos, FCurLen);
        SelectIn(FWorkCopy, FCurPos, FCurLen);
        FSpeller->GetLastWord(FBadWord);
    } else {
        FCurPos = end;
        FCurLen = 0;
    }
    if (code == 2) {
        std::string replacement;
        FSpeller->GetReplacement(replacement);
        ChangeText(replacement);
    }
    FReturnCode = code;
    return true;
}

// Whether the engine starts afresh with this piece: after a paragraph mark; also where the
// check itself starts at the beginning of a paragraph or a sentence, and where the piece's
// engine is not the previous piece's and a sentence ended before it. Otherwise the piece continues the text the
// engine saw last.
bool TSpellChecker::StartsAfresh(int Start) const
{
    if (FNewParagraph) return true;
    int before = Start - 1;
    while (before >= 0 && IsBlank(FWorkText[static_cast<size_t>(before)])) --before;
    wchar_t c = before >= 0 ? FWorkText[static_cast<size_t>(before)] : L'\r';
    bool ended = c == L'\r' || c == L'\n' || c == L'\v' || c == L'.' || c == L'!' || c == L'?';
    return ended && (FFirstPiece || FSpeller != FPieceSpeller);
}

void TSpellChecker::ShowError()
{
    if (!FDialog) return;
    FDialog->SetCaption(FormatCaption(FCaption, LanguageName(SpellerLanguage())));
    switch (FReturnCode) {
    case 1: FDialog->ShowErrorMessage(SpellString(sUnknownWord)); break;
    case 3: {
        FDialog->ShowErrorMessage(SpellString(sUnknownWord));
        std::string r;
        FSpeller->GetReplacement(r);
        TStrings* items = FDialog->Variants->Items();
        if (!r.empty() && items->IndexOf(r) < 0) {
            items->Insert(0, r);
            FDialog->SelectFirstVariant();
        }
        break;
    }
    case 4: FDialog->ShowErrorMessage(SpellString(sIllegalHyphenation)); break;
    case 5: FDialog->ShowErrorMessage(SpellString(sCapitalizationError)); break;
    case 6: FDialog->ShowSpaceMessage(SpellString(sPossibleAbbreviation)); break;
    case 10: FDialog->ShowErrorMessage(SpellString(sSentenceCapitalization)); break;
    case 11: FDialog->ShowRepeatedWord(); break;
    case 12: FDialog->ShowErrorMessage(SpellString(sExtraSpaces)); break;
    case 13: FDialog->ShowSpaceMessage(SpellString(sMissingSpace)); break;
    case 14: FDialog->ShowSpaceMessage(SpellString(sInitialNumerals)); break;
    default: break;
    }
    if (FDialog->Visible()) return;
    if (FModalDialog) FDialog->ShowModal();
    else FDialog->Show();
}

// ---- pieces ----

void TSpellChecker::BuildPiece(int P, int& Start, int& End)
{
    FNewParagraph = false;
    int length = static_cast<int>(FWorkText.size());
    while (P < FRangeEnd && P < length) {
        wchar_t c = FWorkText[static_cast<size_t>(P)];
        if (FHTMLSupport && c == L'<') P += MeasureTag(P);
        else if (c == 13) { FNewParagraph = true; ++P; }
        else if (c == 10) ++P;
        else break;
    }
    if (P >= FRangeEnd || P >= length) {
        Start = End = FRangeEnd;
        return;
    }
    Start = P;
    if (!FRichEdit || Start >= FNextParaEnd) FNextParaEnd = FindChar(L'\r', Start);
    if (!FRichEdit || Start >= FNextTag) FNextTag = FHTMLSupport ? FindChar(L'<', Start) : FRangeEnd;
    if (Start >= FNextLangChange) FNextLangChange = FPerCharLanguage ? FindLanguageChange(Start) : FRangeEnd;
    End = LimitPiece(Start, std::min({FNextParaEnd, FNextTag, FNextLangChange}));
}

int TSpellChecker::FindChar(wchar_t Ch, int Start)
{
    int limit = std::min(FRangeEnd, static_cast<int>(FWorkText.size()));
    for (int i = std::max(Start, 0); i < limit; ++i)
        if (FWorkText[static_cast<size_t>(i)] == Ch) return i;
    return FRangeEnd;
}

// The first character after Start in another language than the given one (FRangeEnd when
// there is none), from the work copy's language runs; Start when they are not known.
int TSpellChecker::FirstOtherLanguage(int Start, TLanguage Language)
{
    if (!FRunsValid) {
        auto* w98 = dynamic_cast<TCustomRichEdit98*>(FWorkCopy);
        if (!w98) return Start;
        FRuns = ReadLanguageRuns(w98);
        FRunsValid = true;
    }
    auto it = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<long>(Start),
                               [](long p, const TLanguageRun& r) { return p < r.End; });
    for (; it != FRuns.end(); ++it)
        if (it->Language != Language && it->End > Start) return std::max(static_cast<int>(it->Start), Start + 1);
    return FRangeEnd;
}

int TSpellChecker::FindLanguageChange(int Start)
{
    TLanguage first = LanguageAt(Start);
    // Word starts before the first character of another language are all in this one: the
    // walk from word start to word start may begin just before that character.
    int other = FirstOtherLanguage(Start, first);
    if (other >= FRangeEnd) return FRangeEnd;
    for (int pos = std::max(Start, other - 1); pos < FRangeEnd;) {
        int next = static_cast<int>(FWorkCopy->Perform(EM_FINDWORDBREAK, WB_RIGHT, pos));
        if (next < pos) break;
        if (next == pos) ++next;
        pos = next;
        if (pos >= FRangeEnd) break;
        if (LanguageAt(pos) != first) return pos;
    }
    return FRangeEnd;
}

// A piece longer than the engines take is cut after the last blank that keeps it short enough
// (or, in one unbroken run of letters, at the limit itself).
int TSpellChecker::LimitPiece(int Start, int End)
{
    if (End - Start <= MaxPieceLength) return End;
    int limit = Start + MaxPieceLength;
    for (int i = limit; i > Start; --i)
        if (IsBlank(FWorkText[static_cast<size_t>(i - 1)])) return i;
    return limit;
}

int TSpellChecker::MeasureTag(int P)
{
    int limit = std::min(FRangeEnd, static_cast<int>(FWorkText.size()));
    auto at = [&](int i, const wchar_t* s) {
        size_t n = std::wcslen(s);
        return i + static_cast<int>(n) <= limit && FWorkText.compare(static_cast<size_t>(i), n, s) == 0;
    };
    const wchar_t* close = at(P, L"<!--") ? L"-->" : at(P, L"<%") ? L"%>" : L">";
    bool nested = std::wcscmp(close, L"%>") != 0;
    int i = P + (close[0] == L'-' ? 4 : close[0] == L'%' ? 2 : 1);
    while (i < limit) {
        if (at(i, close)) return i + static_cast<int>(std::wcslen(close)) - P;
        if (nested && FWorkText[static_cast<size_t>(i)] == L'<') i += MeasureTag(i);
        else ++i;
    }
    return std::max(limit - P, 1);
}

TLanguage TSpellChecker::LanguageAt(int Pos)
{
    if (!FPerCharLanguage) return FLanguage;
    SelectIn(FWorkCopy, Pos, 1);
    if (FWideText) {
        CHARFORMAT2W f;
        std::memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        f.dwMask = CFM_LCID;
        FWorkCopy->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        return static_cast<TLanguage>(LOWORD(f.lcid));
    }
    CHARFORMAT2A f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    f.dwMask = CFM_LCID;
    FWorkCopy->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    return static_cast<TLanguage>(LOWORD(f.lcid));
}

std::string TSpellChecker::ReadText(int A, int B, unsigned CodePage)
{
    const std::wstring& wide = FControlText;
    if (wide.empty()) {
        int n = static_cast<int>(FWorkText.size());
        A = std::min(A, n);
        B = std::min(B, n);
        return WideToString(FWorkText.substr(static_cast<size_t>(A), static_cast<size_t>(B - A)), CP_ACP);
    }
    int n = static_cast<int>(wide.size());
    A = std::min(A, n);
    B = std::min(B, n);
    std::string out(static_cast<size_t>(B - A) + 1, '\0');
    int got = B > A ? WideCharToMultiByte(CodePage, 0, wide.data() + A, B - A, out.data(), B - A, nullptr, nullptr)
                    : 0;
    out.resize(static_cast<size_t>(std::max(got, 0)));
    return out;
}

// ---- changes ----

void TSpellChecker::SelectIn(TWinControl* C, int Pos, int Len)
{
    if (C) C->Perform(EM_SETSEL, static_cast<WPARAM>(Pos), static_cast<LPARAM>(Pos + Len));
}

void TSpellChecker::ReplaceSelection(TWinControl* C, const std::string& Text, int Pos, int Len)
{
    if (!C) return;
    SelectIn(C, Pos, Len);
    if (auto* r98 = dynamic_cast<TCustomRichEdit98*>(C)) {
        // The words come in the code page of the engine's language, whatever the control's is.
        std::wstring w = StringToWide(Text, static_cast<unsigned>(LanguageCodePage(FSpeller ? FSpeller->Language : FLanguage)));
        TWideModeGuard wide(r98);
        r98->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(w.c_str()));
    } else {
        C->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(Text.c_str()));
    }
}

void TSpellChecker::ChangeText(const std::string& NewWord)
{
    ReplaceSelection(FControl, NewWord, FCurPos, FCurLen);
    ReplaceSelection(FWorkCopy, NewWord, FCurPos, FCurLen);
    if (FWorkCopy) RefreshWorkText();
    if (FControl) FControlText = RichText20(FControl);
    FRunsValid = false;
    if (OnChangeText) OnChangeText(this, FCurPos, FCurLen, NewWord);
    unsigned cp = FWideText ? static_cast<unsigned>(LanguageCodePage(SpellerLanguage() ? SpellerLanguage() : FLanguage))
                            : CP_ACP;
    int d = static_cast<int>(StringToWide(NewWord, cp).size()) - FCurLen;
    if (d != 0) {
        FCurLen += d;
        Shift(d);
    }
}

void TSpellChecker::Shift(int Delta)
{
    FRangeEnd += Delta;
    FNextParaEnd += Delta;
    FNextTag += Delta;
    FNextLangChange += Delta;
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
    int pos = FCurPos, len = FCurLen + 1;
    size_t after = static_cast<size_t>(FCurPos + FCurLen);
    bool blankAfter = after < FWorkText.size() && IsBlank(FWorkText[after]);
    if (!blankAfter && FCurPos > 0 && IsBlank(FWorkText[static_cast<size_t>(FCurPos - 1)])) pos = FCurPos - 1;
    if (!blankAfter && pos == FCurPos) len = FCurLen;  // nothing blank on either side
    ReplaceSelection(FControl, "", pos, len);
    ReplaceSelection(FWorkCopy, "", pos, len);
    if (FWorkCopy) RefreshWorkText();
    if (FControl) FControlText = RichText20(FControl);
    FRunsValid = false;
    if (OnChangeText) OnChangeText(this, pos, len, std::string());
    Shift(-len);
    FCurPos = pos;
    FCurLen = 0;
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
        FSpeller->AddToCustomDict(FBadWord);
        if (OnWordAccepted) OnWordAccepted(this, FBadWord, FSpeller->Language);
    }
    FCurLen = 0;
}

std::string TSpellChecker::GetLineAt(int Pos, int& LineStart)
{
    unsigned cp = FWideText ? static_cast<unsigned>(LanguageCodePage(SpellerLanguage() ? SpellerLanguage() : FLanguage))
                            : CP_ACP;
    std::string text = WideToString(FWorkText, cp);
    int n = static_cast<int>(text.size());
    Pos = std::clamp(Pos, 0, n);
    int start = Pos;
    while (start > 0 && text[static_cast<size_t>(start - 1)] != '\r' && text[static_cast<size_t>(start - 1)] != '\n')
        --start;
    int end = Pos;
    while (end < n && text[static_cast<size_t>(end)] != '\r' && text[static_cast<size_t>(end)] != '\n') ++end;
    LineStart = start;
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

void TSpellChecker::Finish()
{
    FReturnCode = 0;
    if (FDialog) {
        FDialog->Hide();
        FDialog->Close();
    }
    FreeWorkCopy();
    if (!FShowFinishMessage || FFinishMessage.empty() || !Application) return;
    TForm* main = Application->MainForm();
    HWND owner = main && main->HandleAllocated() ? main->Handle() : nullptr;
    Application->MessageBox(FFinishMessage, SpellString(sMessageCaption), MB_ICONINFORMATION, owner);
}

} // namespace pw
