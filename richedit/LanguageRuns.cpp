#include "LanguageRuns.h"

#include "Graphics.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "RichEditText.h"
#include "RichTextLexer.h"
#include "Streams.h"
#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>
#include <string_view>

namespace pw {

namespace {

const char* const Tag = "{\\*\\pwlangs ";
constexpr std::string_view TagWord = "pwlangs";

// Selection, event mask and redraw are put back when the scan or the marking is done.
// A scan that only moves the selection changes nothing on screen: it need not repaint, but
// what was waiting to be painted before it still is afterwards (turning redraw off throws
// the window's update region away).
struct TQuietSelection {
    TCustomRichEdit98* R;
    CHARRANGE Saved = {0, 0};
    LRESULT Mask;
    bool Repaint;
    TRegionHandle Pending;
    int PendingKind = NULLREGION;
    explicit TQuietSelection(TCustomRichEdit98* r, bool ARepaint = true)
        : R(r), Repaint(ARepaint), Pending(CreateRectRgn(0, 0, 0, 0))
    {
        if (!Repaint && R->HandleAllocated() && Pending) PendingKind = GetUpdateRgn(R->Handle(), Pending.Get(), FALSE);
        R->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        Mask = R->Perform(EM_SETEVENTMASK, 0, 0);
        R->Perform(WM_SETREDRAW, 0, 0);
    }
    ~TQuietSelection()
    {
        R->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        R->Perform(WM_SETREDRAW, 1, 0);
        R->Perform(EM_SETEVENTMASK, 0, Mask);
        if (!R->HandleAllocated()) return;
        if (Repaint) InvalidateRect(R->Handle(), nullptr, TRUE);
        else if (PendingKind != NULLREGION && PendingKind != ERROR) InvalidateRgn(R->Handle(), Pending.Get(), TRUE);
    }
};

// Sets the language of the selection (SCF_SELECTION) or of the default format (SCF_DEFAULT).
void SetLanguageFormat(TCustomRichEdit98* RichEdit, WPARAM Which, unsigned Language)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_LCID);
    f.lcid = Language;
    redit::SetCharFormat(RichEdit, static_cast<DWORD>(Which), f);
}

// The language of [From, To) when it is one language throughout, else -1.
long UniformLanguage(TCustomRichEdit98* RichEdit, long From, long To)
{
    redit::Select(RichEdit, From, To);
    CHARFORMAT2W f = redit::CharFormat(RichEdit, SCF_SELECTION);
    return (f.dwMask & CFM_LCID) ? static_cast<long>(LOWORD(f.lcid)) : -1;
}

// Whether the control's character format reports a selection of mixed languages as mixed
// (some rich edits keep the language bit in the mask whatever the selection holds).
bool MaskShowsMixedLanguages()
{
    static const bool reliable = [] {
        TRichEditProbe probe(L"ab");
        HWND h = probe.Handle();
        if (!h) return false;
        for (long i = 0; i < 2; ++i) {
            CHARRANGE cr = {i, i + 1};
            SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
            CHARFORMAT2W f = redit::BlankCharFormat(CFM_LCID);
            f.lcid = i == 0 ? 1033 : 1049;
            SendMessageW(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        }
        CHARRANGE all = {0, 2};
        SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        CHARFORMAT2W f = redit::BlankCharFormat();
        SendMessageW(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        return (f.dwMask & CFM_LCID) == 0;
    }();
    return reliable;
}

// The runs as the control's own RTF writer records them (\lang at each run), counting the
// characters as the control counts them: every character whose value the RTF gives must stand
// at its position in the control's text. False when the count is uncertain (a double-byte
// code page, pictures, objects, fields, tables) or does not match.
bool RunsFromWriter(const std::string& RTF, const std::wstring& Text, std::vector<TLanguageRun>& Runs,
                    std::vector<long>& Unsure)
{
    if (RTF.compare(0, 5, "{\\rtf") != 0) return false;
    const long length = static_cast<long>(Text.size());
    struct TState {
        long Lang;
        bool Skip;
    };
    std::vector<TState> stack;
    TState st{-1, false};
    long pos = 0, unicodeSkip = 1, pendingSkip = 0, defaultLang = 0;
    bool mismatch = false, groupOpened = false;
    std::vector<TLanguageRun> runs;
    auto language = [&] { return static_cast<unsigned>(st.Lang < 0 ? defaultLang : st.Lang); };
    // One character of the text; Expected is its value when the RTF gives it (0 otherwise).
    auto put = [&](wchar_t Expected) {
        if (st.Skip) return;
        if (pendingSkip > 0) { // the stand-in characters after \u
            --pendingSkip;
            return;
        }
        if (Expected && (pos >= length || Text[static_cast<size_t>(pos)] != Expected) &&
            !(Expected == L'\r' && pos == length))
            mismatch = true;
        unsigned lang = language();
        if (!runs.empty() && runs.back().Language == lang && runs.back().End == pos) ++runs.back().End;
        else runs.push_back(TLanguageRun{pos, pos + 1, lang});
        ++pos;
    };
    auto plain = [](char c) { return static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'\0'; };
    TRichTextLexer lexer(RTF);
    TRichTextTokenInfo t;
    while (!mismatch && lexer.Next(t)) {
        bool opened = std::exchange(groupOpened, false);
        switch (t.Kind) {
        case TRichTextToken::rtGroupOpen:
            stack.push_back(st);
            groupOpened = true;
            break;
        case TRichTextToken::rtGroupClose:
            if (stack.empty()) goto end;
            st = stack.back();
            stack.pop_back();
            if (stack.empty()) goto end; // the document's own group has ended
            break;
        case TRichTextToken::rtText: {
            std::string_view d = t.Data;
            // The stand-ins after \u, or a skipped group: a character at a time.
            while (!d.empty() && (st.Skip || pendingSkip > 0)) {
                put(plain(d.front()));
                d.remove_prefix(1);
            }
            const long count = static_cast<long>(d.size());
            if (count == 0) break;
            if (pos + count > length) {
                // Past the text's end: counted one by one, as the end allows.
                for (char c : d) put(plain(c));
                break;
            }
            // A stretch of plain text: its characters are confirmed and counted together.
            for (long k = 0; k < count; ++k) {
                unsigned char b = static_cast<unsigned char>(d[static_cast<size_t>(k)]);
                if (b < 0x80 && b != 0 && Text[static_cast<size_t>(pos + k)] != static_cast<wchar_t>(b)) return false;
            }
            unsigned lang = language();
            if (!runs.empty() && runs.back().Language == lang && runs.back().End == pos) runs.back().End += count;
            else runs.push_back(TLanguageRun{pos, pos + count, lang});
            pos += count;
            break;
        }
        case TRichTextToken::rtControlSymbol:
            if (!t.Complete) goto end; // a backslash that ends the document
            if (t.Symbol == '*' && opened) st.Skip = true;
            else if (t.Symbol == '\\' || t.Symbol == '{' || t.Symbol == '}') put(static_cast<wchar_t>(t.Symbol));
            else if (t.Symbol == '~' || t.Symbol == '_' || t.Symbol == '-') put(0);
            break;
        case TRichTextToken::rtHexCharacter: put(0); break;
        case TRichTextToken::rtBinary: return false;
        case TRichTextToken::rtControlWord: {
            std::string_view word = t.Word;
            bool hasNumber = t.HasParameter;
            long number = t.Parameter;
            if (word == "lang" && hasNumber) st.Lang = number;
            else if (word == "deflang" && hasNumber) defaultLang = number;
            else if (word == "ansicpg" && hasNumber &&
                     (number == 932 || number == 936 || number == 949 || number == 950))
                return false;
            else if (word == "uc" && hasNumber) unicodeSkip = number;
            else if (word == "u" && hasNumber) {
                put(static_cast<wchar_t>(number < 0 ? number + 65536 : number));
                if (!st.Skip) pendingSkip = unicodeSkip;
            } else if (word == "par" || word == "tab") {
                // Some writers give paragraph marks and tabs no format of their own: they come
                // under the language of the text before them.
                if (!st.Skip && pendingSkip == 0) Unsure.push_back(pos);
                put(word == "par" ? L'\r' : L'\t');
            } else if (word == "line" || word == "emdash" || word == "endash" || word == "emspace" ||
                       word == "enspace" || word == "bullet" || word == "lquote" || word == "rquote" ||
                       word == "ldblquote" || word == "rdblquote" || word == "page" || word == "sect")
                put(0);
            else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info") st.Skip = true;
            else if (word == "pict" || word == "object" || word == "field" || word == "bin" || word == "row" ||
                     word == "cell" || word == "trowd" || word == "plain")
                return false;
            break;
        }
        }
    }
end:
    // The writer ends the last paragraph with a mark that the text does not count.
    if (mismatch || (pos != length && pos != length + 1)) return false;
    while (!runs.empty() && runs.back().Start >= length) runs.pop_back();
    if (!runs.empty()) runs.back().End = std::min(runs.back().End, length);
    Runs = std::move(runs);
    return true;
}

// Where an unsure character ends a run and the next run has another language, it may belong
// to either or to neither: the control is asked (once for each such place).
void SettleUnsure(TCustomRichEdit98* RichEdit, std::vector<TLanguageRun>& Runs, const std::vector<long>& Unsure)
{
    std::vector<TLanguageRun> out;
    out.reserve(Runs.size());
    auto add = [&](long from, long to, unsigned lang) {
        if (to <= from) return;
        if (!out.empty() && out.back().Language == lang && out.back().End == from) out.back().End = to;
        else out.push_back(TLanguageRun{from, to, lang});
    };
    size_t u = 0;
    for (size_t k = 0; k < Runs.size(); ++k) {
        const TLanguageRun& run = Runs[k];
        while (u < Unsure.size() && Unsure[u] < run.End - 1) ++u;
        bool ask = u < Unsure.size() && Unsure[u] == run.End - 1 && k + 1 < Runs.size();
        long lang = ask ? UniformLanguage(RichEdit, run.End - 1, run.End) : -1;
        if (lang < 0 || static_cast<unsigned>(lang) == run.Language) {
            add(run.Start, run.End, run.Language);
            continue;
        }
        add(run.Start, run.End - 1, run.Language);
        add(run.End - 1, run.End, static_cast<unsigned>(lang));
    }
    Runs = std::move(out);
}

// A few runs spread over the text, asked of the control itself: the writer's languages are
// the control's. A short piece asks only its first and last run (each question moves the
// selection, which costs more the further into a long text it goes).
bool SampleConfirms(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs, bool Piece = false)
{
    if (Runs.empty()) return true;
    const size_t picks[] = {0, Runs.size() / 3, 2 * Runs.size() / 3, Runs.size() - 1};
    for (size_t i = 0; i < 4; ++i) {
        size_t k = picks[i];
        if (Piece && (i == 1 || i == 2 || (i == 3 && k == 0))) continue;
        const TLanguageRun& run = Runs[k];
        if (UniformLanguage(RichEdit, run.Start, run.Start + 1) != static_cast<long>(run.Language)) return false;
    }
    return true;
}

// Runs found one character at a time, for controls whose mask cannot tell.
std::vector<TLanguageRun> ScanEachCharacter(TCustomRichEdit98* RichEdit, long From, long To)
{
    std::vector<TLanguageRun> runs;
    for (long pos = From; pos < To; ++pos) {
        unsigned lang = static_cast<unsigned>(std::max(0L, UniformLanguage(RichEdit, pos, pos + 1)));
        if (!runs.empty() && runs.back().Language == lang) runs.back().End = pos + 1;
        else runs.push_back(TLanguageRun{pos, pos + 1, lang});
    }
    return runs;
}

// Runs asked of a control whose mask tells mixed languages: gallop while the language holds.
std::vector<TLanguageRun> GallopRuns(TCustomRichEdit98* RichEdit, long From, long To);

// Appends Value in decimal, as printf's %ld and %u write it.
void AppendNumber(std::string& Out, long long Value)
{
    char digits[24];
    int n = 0;
    unsigned long long v =
        Value < 0 ? 0ULL - static_cast<unsigned long long>(Value) : static_cast<unsigned long long>(Value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (Value < 0) Out += '-';
    while (n) Out += digits[--n];
}

} // namespace

std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit)
{
    if (!RichEdit->HandleAllocated()) return {};
    return ReadLanguageRuns(RichEdit, MaskShowsMixedLanguages() ? std::string() : redit::StreamOut(RichEdit));
}

std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF)
{
    std::vector<TLanguageRun> runs;
    if (!RichEdit->HandleAllocated()) return runs;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    if (!MaskShowsMixedLanguages()) {
        // The writer's record of the runs, when the text confirms its count and the control
        // its languages; otherwise every character is asked (slow: one selection each).
        std::vector<long> unsure;
        if (RunsFromWriter(RTF, redit::Text(RichEdit), runs, unsure)) {
            SettleUnsure(RichEdit, runs, unsure);
            if (SampleConfirms(RichEdit, runs)) return runs;
        }
        return ScanEachCharacter(RichEdit, 0, length);
    }
    return GallopRuns(RichEdit, 0, length);
}

std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit, long From, long To)
{
    std::vector<TLanguageRun> runs;
    if (!RichEdit->HandleAllocated()) return runs;
    long length = RichEdit->GetTextLen();
    From = std::clamp(From, 0L, length);
    To = std::clamp(To, From, length);
    if (From == To) return runs;
    TQuietSelection quiet(RichEdit, false);
    if (MaskShowsMixedLanguages()) return GallopRuns(RichEdit, From, To);
    // The writer's record of the piece alone, counted against the piece's own text.
    std::wstring text = redit::TextRange(RichEdit, From, To);
    redit::Select(RichEdit, From, To);
    std::string rtf = redit::StreamOut(RichEdit, SF_RTF | SFF_SELECTION);
    std::vector<long> unsure;
    if (RunsFromWriter(rtf, text, runs, unsure)) {
        for (TLanguageRun& r : runs) {
            r.Start += From;
            r.End += From;
        }
        for (long& u : unsure) u += From;
        SettleUnsure(RichEdit, runs, unsure);
        if (SampleConfirms(RichEdit, runs, true)) return runs;
    }
    return ScanEachCharacter(RichEdit, From, To);
}

namespace {

std::vector<TLanguageRun> GallopRuns(TCustomRichEdit98* RichEdit, long From, long To)
{
    std::vector<TLanguageRun> runs;
    for (long pos = From; pos < To;) {
        long lang = UniformLanguage(RichEdit, pos, pos + 1);
        // Gallop while the language holds, then halve the step back to the exact end.
        long good = pos + 1, step = 1;
        while (good < To) {
            long next = std::min(To, good + step);
            if (UniformLanguage(RichEdit, pos, next) == lang) {
                good = next;
                step *= 2;
            } else if (step > 1) {
                step /= 2;
            } else {
                break;
            }
        }
        runs.push_back(TLanguageRun{pos, good, static_cast<unsigned>(lang < 0 ? 0 : lang)});
        pos = good;
    }
    return runs;
}

} // namespace

void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs)
{
    if (!RichEdit->HandleAllocated() || Runs.empty()) return;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    for (const TLanguageRun& run : Runs) {
        if (run.Start >= length || run.End <= run.Start) continue;
        CHARRANGE cr = {run.Start, std::min(run.End, length)};
        RichEdit->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        SetLanguageFormat(RichEdit, SCF_SELECTION, run.Language);
    }
}

std::string WithLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF)
{
    size_t close = RTF.rfind('}');
    if (close == std::string::npos) return RTF;
    std::vector<TLanguageRun> runs = ReadLanguageRuns(RichEdit, RTF);
    std::string out;
    out.reserve(RTF.size() + std::strlen(Tag) + 1 + runs.size() * 24);
    out.append(RTF, 0, close);
    out += Tag;
    for (const TLanguageRun& r : runs) {
        AppendNumber(out, r.Start);
        out += ' ';
        AppendNumber(out, r.End);
        out += ' ';
        AppendNumber(out, static_cast<long long>(r.Language));
        out += ';';
    }
    out += "}";
    out.append(RTF, close, std::string::npos);
    return out;
}

std::vector<TLanguageRun> ParseLanguageRuns(const std::string& RTF)
{
    return ParseLanguageRuns(RTF.data(), RTF.size());
}

std::vector<TLanguageRun> ParseLanguageRuns(const char* RTF, size_t Size)
{
    // The text of the last {\*\pwlangs ...} group: "start end language;" for each run.
    std::string record;
    bool found = false;
    TRichTextLexer lexer(RTF, Size);
    TRichTextTokenInfo t;
    int stage = 0; // 1: after {, 2: after {\*
    while (lexer.Next(t)) {
        if (t.Kind == TRichTextToken::rtGroupOpen) stage = 1;
        else if (stage == 1 && t.Kind == TRichTextToken::rtControlSymbol && t.Symbol == '*') stage = 2;
        else if (stage == 2 && t.Kind == TRichTextToken::rtControlWord && t.Word == TagWord) {
            stage = 0;
            found = true;
            record.clear();
            while (lexer.Next(t) && t.Kind == TRichTextToken::rtText) record.append(t.Data);
        } else {
            stage = 0;
        }
    }
    std::vector<TLanguageRun> runs;
    if (!found) return runs;
    std::istringstream in(record);
    TLanguageRun r;
    char sep;
    while (in >> r.Start >> r.End >> r.Language >> sep) {
        if (sep != ';' || r.Start < 0 || r.End < r.Start || r.Language > 0xFFFF) break;
        runs.push_back(r);
    }
    return runs;
}

unsigned MajorityLanguage(const std::vector<TLanguageRun>& Runs)
{
    std::map<unsigned, long> count;
    for (const TLanguageRun& r : Runs) count[r.Language] += r.End - r.Start;
    unsigned best = 0;
    long most = -1;
    for (const auto& [lang, n] : count)
        if (n > most) {
            best = lang;
            most = n;
        }
    return best;
}

void SetDefaultLanguage(TCustomRichEdit98* RichEdit, unsigned Language)
{
    SetLanguageFormat(RichEdit, SCF_DEFAULT, Language);
}

void ApplyLoadedLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs, unsigned Majority)
{
    if (!RichEdit->HandleAllocated() || Runs.empty()) return;
    // Text the reader gave the default language to needs no marking: only the other runs are
    // marked, each one costing the window time that grows with its position.
    auto first = std::find_if(Runs.begin(), Runs.end(), [&](const TLanguageRun& r) { return r.Language == Majority; });
    bool defaultHeld = false;
    if (first != Runs.end() && first->End > first->Start) {
        TQuietSelection quiet(RichEdit);
        defaultHeld = UniformLanguage(RichEdit, first->Start, first->Start + 1) == static_cast<long>(Majority);
    }
    if (!defaultHeld) {
        ApplyLanguageRuns(RichEdit, Runs);
        return;
    }
    std::vector<TLanguageRun> others;
    std::copy_if(Runs.begin(), Runs.end(), std::back_inserter(others),
                 [&](const TLanguageRun& r) { return r.Language != Majority; });
    ApplyLanguageRuns(RichEdit, others);
}

} // namespace pw
