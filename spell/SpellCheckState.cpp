// One check's text side: the work copy, the range, piece building with its cached boundaries,
// reading text and languages, and the changes made to the control and the copy alike.
#include "SpellCheckState.h"

#include "Controls.h"
#include "RichEdit.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "RichEditText.h"
#include "SpellChecker.h"
#include "Speller.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "WordBreak.h"

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

std::wstring WindowTextA(HWND H)
{
    int n = GetWindowTextLengthA(H);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(H, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return StringToWide(s, CP_ACP);
}

bool IsBlank(wchar_t C) { return C == L' ' || C == L'\t' || C == 0xA0; }

} // namespace

// ---- preparing a check ----

void TSpellCheckState::Start(TWinControl* AControl, TComponent* Notified, const TCheckSettings& Settings)
{
    FSettings = Settings;
    FControl = AControl;
    FRichEdit = dynamic_cast<TCustomRichEdit*>(AControl) != nullptr;
    MakeWorkCopy(Notified);
    TCharRange selection = redit::EditSelection(FControl);
    FRangeStart = selection.Start;
    FRangeEnd = selection.End;
    if (FRangeStart == FRangeEnd) FRangeEnd = static_cast<int>(FWorkText.size());
    else FindRangeEnd();
    FindRangeStart();
    if (FSettings.HTMLSupport) SkipTagsBeforeStart();
    FCurPos = FRangeStart;
    FCurLen = 0;
    FNextParaEnd = FNextTag = FNextLangChange = 0;
    FFirstPiece = true;
    FPieceSpeller = nullptr;
}

void TSpellCheckState::MakeWorkCopy(TComponent* Notified)
{
    FreeWorkCopy();
    const TControlClass* cls = NearestControlClass(FControl);
    while (cls && !cls->Create) cls = ParentControlClass(cls);
    auto* parent = dynamic_cast<TWinControl*>(FControl->Owner());
    if (!cls || !parent) throw ESpellError(Format("You can't spell check %s.", FControl->Name().c_str()));
    FWorkCopy = cls->Create(FControl->Owner());
    FWorkCopy->FreeNotification(Notified);
    FWorkCopy->SetVisible(false);
    FWorkCopy->SetParent(parent);
    if (auto* r98 = dynamic_cast<TCustomRichEdit98*>(FControl)) {
        // The copy gets the text as UTF-16; the language of every character is kept as the
        // control's runs. (Going through RTF would cost far more: some rich edit readers need
        // hundreds of megabytes for one paragraph of tens of thousands of characters; and
        // marking each run in the copy costs the window time that grows with its position.)
        auto* w98 = static_cast<TCustomRichEdit98*>(FWorkCopy);
        w98->SetLanguage(r98->Language());
        std::wstring text = redit::Text(r98);
        // The copy is never shown: without wrapping, a long paragraph stays one cheap line.
        w98->SetWordWrap(false);
        w98->HandleNeeded();
        // The walk reads the text, not the window: the window gets it only when an error is
        // shown or a change is made (filling it is most of a clean check's time).
        FWorkText = text;
        FControlText = std::move(text);
        FCopyPending = true;
        FRuns = ReadLanguageRuns(r98);
        FRunsValid = true;
        return;
    } else if (auto* re = dynamic_cast<TCustomRichEdit*>(FControl)) {
        TMemoryStream m;
        re->StreamOutTo(m, SF_RTF);
        m.SetPosition(0);
        static_cast<TCustomRichEdit*>(FWorkCopy)->StreamInFrom(m, SF_RTF);
    } else {
        FWorkCopy->SetText(FControl->Text());
    }
    TextsChanged();
}

void TSpellCheckState::FreeWorkCopy()
{
    TWinControl* w = FWorkCopy;
    FWorkCopy = nullptr;
    FCopyPending = false;
    FWorkText.clear();
    FControlText.clear();
    FRuns.clear();
    FRunsValid = false;
    if (w) delete w;
}

void TSpellCheckState::FindRangeStart()
{
    int left = redit::WordBreak(FControl, WB_LEFTBREAK, FRangeStart);
    if (left > 0) FRangeStart = redit::WordBreak(FControl, WB_RIGHT, left);
    else if (left == 0) FRangeStart = 0;
}

// The piece of a word before the end of the selection would be checked, reported and changed
// as a word of its own ("sa" of "sat" changed to "sat" gave "satt").
void TSpellCheckState::FindRangeEnd()
{
    int length = static_cast<int>(FWorkText.size());
    if (FRangeEnd <= 0 || FRangeEnd >= length) return;
    if (redit::WordBreak(FControl, WB_ISDELIMITER, FRangeEnd - 1) || redit::WordBreak(FControl, WB_ISDELIMITER, FRangeEnd))
        return;
    int right = redit::WordBreak(FControl, WB_RIGHTBREAK, FRangeEnd);
    if (right > FRangeEnd) FRangeEnd = std::min(right, length);
}

void TSpellCheckState::SkipTagsBeforeStart()
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

void TSpellCheckState::BuildPiece(int P, int& Start, int& End)
{
    FNewParagraph = false;
    int length = static_cast<int>(FWorkText.size());
    while (P < FRangeEnd && P < length) {
        wchar_t c = FWorkText[static_cast<size_t>(P)];
        if (FSettings.HTMLSupport && c == L'<') P += MeasureTag(P);
        else if (c == 13) {
            FNewParagraph = true;
            ++P;
        } else if (c == 10) ++P;
        else break;
    }
    if (P >= FRangeEnd || P >= length) {
        Start = End = FRangeEnd;
        return;
    }
    Start = P;
    if (!FRichEdit || Start >= FNextParaEnd) FNextParaEnd = FindChar(L'\r', Start);
    if (!FRichEdit || Start >= FNextTag) FNextTag = FSettings.HTMLSupport ? FindChar(L'<', Start) : FRangeEnd;
    if (Start >= FNextLangChange) FNextLangChange = FSettings.PerCharLanguage ? FindLanguageChange(Start) : FRangeEnd;
    End = LimitPiece(Start, std::min({FNextParaEnd, FNextTag, FNextLangChange}));
}

int TSpellCheckState::FindChar(wchar_t Ch, int Start)
{
    int limit = std::min(FRangeEnd, static_cast<int>(FWorkText.size()));
    for (int i = std::max(Start, 0); i < limit; ++i)
        if (FWorkText[static_cast<size_t>(i)] == Ch) return i;
    return FRangeEnd;
}

// The language runs of the checked text, read from the control again after a change (every
// change is made in the control and the copy alike); false when the control cannot give them
// (it is no rich edit 2.0 control).
bool TSpellCheckState::RunsKnown()
{
    if (FRunsValid) return true;
    auto* r98 = dynamic_cast<TCustomRichEdit98*>(FControl);
    if (!r98 || !dynamic_cast<TCustomRichEdit98*>(FWorkCopy)) return false;
    FRuns = ReadLanguageRuns(r98);
    FRunsValid = true;
    return true;
}

// The first character after Start in another language than the given one (FRangeEnd when
// there is none), from the work copy's language runs; Start when they are not known.
int TSpellCheckState::FirstOtherLanguage(int Start, TLanguage Language)
{
    if (!RunsKnown()) return Start;
    auto it = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<long>(Start),
                               [](long p, const TLanguageRun& r) { return p < r.End; });
    for (; it != FRuns.end(); ++it)
        if (it->Language != Language && it->End > Start) return std::max(static_cast<int>(it->Start), Start + 1);
    return FRangeEnd;
}

// The next word start after Pos in the work copy. A rich edit 2.0 copy answers word breaks
// from its own text (the same rule as its EM_FINDWORDBREAK, without asking the window for the
// text around Pos each time).
int TSpellCheckState::NextWordStart(int Pos)
{
    if (!dynamic_cast<TCustomRichEdit98*>(FWorkCopy)) return redit::WordBreak(FWorkCopy, WB_RIGHT, Pos);
    const int reach = 4096;
    int length = static_cast<int>(FWorkText.size());
    int from = std::max(0, Pos - reach), to = std::min(length, Pos + reach);
    if (to <= from) return Pos;
    std::wstring around = FWorkText.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
    return static_cast<int>(FindWordBreak(around, WB_RIGHT, Pos - from)) + from;
}

int TSpellCheckState::FindLanguageChange(int Start)
{
    TLanguage first = LanguageAt(Start);
    // Word starts before the first character of another language are all in this one: the
    // walk from word start to word start may begin just before that character.
    int other = FirstOtherLanguage(Start, first);
    if (other >= FRangeEnd) return FRangeEnd;
    for (int pos = std::max(Start, other - 1); pos < FRangeEnd;) {
        int next = NextWordStart(pos);
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
int TSpellCheckState::LimitPiece(int Start, int End)
{
    if (End - Start <= MaxSpellTextLength) return End;
    int limit = Start + MaxSpellTextLength;
    for (int i = limit; i > Start; --i)
        if (IsBlank(FWorkText[static_cast<size_t>(i - 1)])) return i;
    return limit;
}

int TSpellCheckState::MeasureTag(int P)
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

TLanguage TSpellCheckState::LanguageAt(int Pos)
{
    if (!FSettings.PerCharLanguage) return FSettings.Language;
    // From the work copy's runs where it gives them: selecting in a long document costs the
    // window time that grows with the text, once per piece.
    if (RunsKnown() && !FRuns.empty()) {
        auto it = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<long>(Pos),
                                   [](long p, const TLanguageRun& r) { return p < r.End; });
        if (it == FRuns.end()) return static_cast<TLanguage>(FRuns.back().Language);
        if (it->Start <= Pos) return static_cast<TLanguage>(it->Language);
    }
    SelectIn(FWorkCopy, Pos, 1);
    LCID lcid = FSettings.WideText ? redit::CharFormat(FWorkCopy, SCF_SELECTION, CFM_LCID).lcid
                                   : redit::CharFormatA(FWorkCopy, SCF_SELECTION, CFM_LCID).lcid;
    return static_cast<TLanguage>(LOWORD(lcid));
}

std::string TSpellCheckState::ReadText(int A, int B, unsigned CodePage)
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
    int got = B > A ? WideCharToMultiByte(CodePage, 0, wide.data() + A, B - A, out.data(), B - A, nullptr, nullptr) : 0;
    out.resize(static_cast<size_t>(std::max(got, 0)));
    return out;
}

void TSpellCheckState::FillWorkCopy()
{
    if (!FCopyPending || !FWorkCopy) return;
    FCopyPending = false;
    redit::ReplaceSelection(FWorkCopy, FWorkText, false);
}

void TSpellCheckState::SelectIn(TWinControl* C, int Pos, int Len)
{
    if (C && C == FWorkCopy) FillWorkCopy();
    if (C) redit::SelectText(C, Pos, Pos + Len);
}

void TSpellCheckState::Shift(int Delta)
{
    FRangeEnd += Delta;
    FNextParaEnd += Delta;
    FNextTag += Delta;
    FNextLangChange += Delta;
}

// ---- the pieces of a step ----

void TSpellCheckState::BeginStep()
{
    // The control's text is read once per step, not once per piece: the pieces of one step
    // change it only through ReplaceError and Remove, which read it again.
    FControlText = redit::Text(FControl);
}

bool TSpellCheckState::NextPiece(int& Start, int& End)
{
    BuildPiece(FCurPos + FCurLen, Start, End);
    return Start != End;
}

// Whether the engine starts afresh with this piece: after a paragraph mark; also where the
// check itself starts at the beginning of a paragraph or a sentence, and where the piece's
// engine is not the previous piece's and a sentence ended before it. Otherwise the piece
// continues the text the engine saw last.
bool TSpellCheckState::StartsAfresh(int Start, const TAbstractSpeller* Speller) const
{
    if (FNewParagraph) return true;
    int before = Start - 1;
    while (before >= 0 && IsBlank(FWorkText[static_cast<size_t>(before)])) --before;
    wchar_t c = before >= 0 ? FWorkText[static_cast<size_t>(before)] : L'\r';
    bool ended = c == L'\r' || c == L'\n' || c == L'\v' || c == L'.' || c == L'!' || c == L'?';
    return ended && (FFirstPiece || Speller != FPieceSpeller);
}

void TSpellCheckState::PieceChecked(const TAbstractSpeller* Speller)
{
    FFirstPiece = false;
    FPieceSpeller = Speller;
}

void TSpellCheckState::SetError(int Pos, int Len)
{
    FCurPos = Pos;
    FCurLen = Len;
    SelectIn(FControl, FCurPos, FCurLen);
    SelectIn(FWorkCopy, FCurPos, FCurLen);
}

void TSpellCheckState::SetClean(int End)
{
    FCurPos = End;
    FCurLen = 0;
}

// ---- changes ----

void TSpellCheckState::ReplaceSelection(TWinControl* C, const std::string& Text, unsigned CodePage, int Pos, int Len)
{
    if (!C) return;
    SelectIn(C, Pos, Len);
    if (auto* r98 = dynamic_cast<TCustomRichEdit98*>(C)) {
        // The words come in the code page of the engine's language, whatever the control's is.
        redit::ReplaceSelection(r98, StringToWide(Text, CodePage), true);
    } else {
        redit::ReplaceSelectionA(C, Text, true);
    }
}

void TSpellCheckState::TextsChanged()
{
    if (FWorkCopy) FWorkText = FSettings.WideText ? redit::Text(FWorkCopy) : WindowTextA(FWorkCopy->Handle());
    if (FControl) FControlText = redit::Text(FControl);
    FRunsValid = false;
}

void TSpellCheckState::ReplaceError(const std::string& NewWord, unsigned CodePage)
{
    ReplaceSelection(FControl, NewWord, CodePage, FCurPos, FCurLen);
    ReplaceSelection(FWorkCopy, NewWord, CodePage, FCurPos, FCurLen);
    TextsChanged();
    int d = static_cast<int>(StringToWide(NewWord, FSettings.WideText ? CodePage : CP_ACP).size()) - FCurLen;
    if (d != 0) {
        FCurLen += d;
        Shift(d);
    }
}

void TSpellCheckState::Remove(int Pos, int Len)
{
    ReplaceSelection(FControl, "", CP_ACP, Pos, Len);
    ReplaceSelection(FWorkCopy, "", CP_ACP, Pos, Len);
    TextsChanged();
    Shift(-Len);
    FCurPos = Pos;
    FCurLen = 0;
}

bool TSpellCheckState::BlankAt(int Pos) const
{
    return Pos >= 0 && Pos < static_cast<int>(FWorkText.size()) && IsBlank(FWorkText[static_cast<size_t>(Pos)]);
}

std::string TSpellCheckState::LineAt(int Pos, int& LineStart, unsigned CodePage) const
{
    std::string text = WideToString(FWorkText, FSettings.WideText ? CodePage : CP_ACP);
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

} // namespace pw
