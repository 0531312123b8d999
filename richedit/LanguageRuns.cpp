#include "LanguageRuns.h"

#include "Graphics.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
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
void SetLanguageFormat(TCustomRichEdit98* r, WPARAM Which, unsigned Language)
{
    CHARFORMAT2W f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    f.dwMask = CFM_LCID;
    f.lcid = Language;
    r->Perform(EM_SETCHARFORMAT, Which, reinterpret_cast<LPARAM>(&f));
}

// The language of [From, To) when it is one language throughout, else -1.
long UniformLanguage(TCustomRichEdit98* r, long From, long To)
{
    CHARRANGE cr = {From, To};
    r->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    CHARFORMAT2W f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    r->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    return (f.dwMask & CFM_LCID) ? static_cast<long>(LOWORD(f.lcid)) : -1;
}

// Whether the control's character format reports a selection of mixed languages as mixed
// (some rich edits keep the language bit in the mask whatever the selection holds).
bool MaskShowsMixedLanguages()
{
    static const bool reliable = [] {
        HWND h = CreateWindowExW(0, L"RICHEDIT20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 50, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        if (!h) return false;
        SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ab"));
        CHARFORMAT2W f;
        for (long i = 0; i < 2; ++i) {
            CHARRANGE cr = {i, i + 1};
            SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
            std::memset(&f, 0, sizeof f);
            f.cbSize = sizeof f;
            f.dwMask = CFM_LCID;
            f.lcid = i == 0 ? 1033 : 1049;
            SendMessageW(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        }
        CHARRANGE all = {0, 2};
        SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
        std::memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        SendMessageW(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        DestroyWindow(h);
        return (f.dwMask & CFM_LCID) == 0;
    }();
    return reliable;
}

// Gathers what a stream-out writes.
struct TCollected {
    std::string Bytes;
    TStreamFirewall Guard;
};

DWORD CALLBACK CollectBytes(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done)
{
    auto* c = reinterpret_cast<TCollected*>(Cookie);
    *Done = 0;
    return c->Guard.Run([&]() -> DWORD {
        c->Bytes.append(reinterpret_cast<char*>(Buffer), static_cast<size_t>(Size));
        *Done = Size;
        return 0;
    }, 2);
}

// The control's RTF as its writer gives it; an error that stopped the writer is raised.
std::string StreamOutRTF(HWND Window, TCustomRichEdit98* Control, WPARAM Format = SF_RTF)
{
    TCollected out;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&out), 0, CollectBytes};
    if (Control) Control->Perform(EM_STREAMOUT, Format, reinterpret_cast<LPARAM>(&es));
    else SendMessageW(Window, EM_STREAMOUT, Format, reinterpret_cast<LPARAM>(&es));
    out.Guard.RaiseKept();
    if (es.dwError != 0) out.Bytes.clear();
    return out.Bytes;
}

// Bytes that end a stretch of plain text in RTF.
inline bool IsSpecial(char c) { return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n'; }

// As std::isalpha, without a call for the letters of ASCII.
inline bool IsLetter(char c)
{
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x80) return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    return std::isalpha(b) != 0;
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The runs as the control's own RTF writer records them (\lang at each run), counting the
// characters as the control counts them: every character whose value the RTF gives must stand
// at its position in the control's text. False when the count is uncertain (a double-byte
// code page, pictures, objects, fields, tables) or does not match.
bool RunsFromWriter(const std::string& rtf, const std::wstring& Text, std::vector<TLanguageRun>& Runs,
                    std::vector<long>& Unsure)
{
    if (rtf.compare(0, 5, "{\\rtf") != 0) return false;
    const long length = static_cast<long>(Text.size());
    struct TState { long Lang; bool Skip; };
    std::vector<TState> stack;
    TState st{-1, false};
    long pos = 0, unicodeSkip = 1, pendingSkip = 0, defaultLang = 0;
    bool mismatch = false;
    std::vector<TLanguageRun> runs;
    // One character of the text; Expected is its value when the RTF gives it (0 otherwise).
    auto put = [&](wchar_t Expected) {
        if (st.Skip) return;
        if (pendingSkip > 0) {  // the stand-in characters after \u
            --pendingSkip;
            return;
        }
        if (Expected && (pos >= length || Text[static_cast<size_t>(pos)] != Expected) &&
            !(Expected == L'\r' && pos == length))
            mismatch = true;
        unsigned lang = static_cast<unsigned>(st.Lang < 0 ? defaultLang : st.Lang);
        if (!runs.empty() && runs.back().Language == lang && runs.back().End == pos) ++runs.back().End;
        else runs.push_back(TLanguageRun{pos, pos + 1, lang});
        ++pos;
    };
    const size_t n = rtf.size();
    for (size_t i = 0; i < n && !mismatch;) {
        char c = rtf[i];
        if (c == '{') {
            stack.push_back(st);
            ++i;
            if (i + 1 < n && rtf[i] == '\\' && rtf[i + 1] == '*') st.Skip = true;
            continue;
        }
        if (c == '}') {
            if (stack.empty()) break;
            st = stack.back();
            stack.pop_back();
            ++i;
            if (stack.empty()) break;  // the document's own group has ended
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            if (st.Skip || pendingSkip > 0) {
                put(static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : 0);
                ++i;
                continue;
            }
            // A stretch of plain text: its characters are confirmed and counted together.
            size_t j = i;
            while (j < n && !IsSpecial(rtf[j])) ++j;
            const long count = static_cast<long>(j - i);
            if (pos + count > length) {
                // Past the text's end: counted one by one, as the end allows.
                for (; i < j; ++i) put(static_cast<unsigned char>(rtf[i]) < 0x80 ? static_cast<wchar_t>(rtf[i]) : 0);
                continue;
            }
            for (long k = 0; k < count; ++k) {
                unsigned char b = static_cast<unsigned char>(rtf[i + static_cast<size_t>(k)]);
                if (b < 0x80 && b != 0 && Text[static_cast<size_t>(pos + k)] != static_cast<wchar_t>(b)) return false;
            }
            unsigned lang = static_cast<unsigned>(st.Lang < 0 ? defaultLang : st.Lang);
            if (!runs.empty() && runs.back().Language == lang && runs.back().End == pos) runs.back().End += count;
            else runs.push_back(TLanguageRun{pos, pos + count, lang});
            pos += count;
            i = j;
            continue;
        }
        // A control symbol or word.
        if (++i >= n) break;
        char s = rtf[i];
        if (!IsLetter(s)) {
            ++i;
            if (s == '\\' || s == '{' || s == '}') put(static_cast<wchar_t>(s));
            else if (s == '~' || s == '_' || s == '-') put(0);
            else if (s == '\'') {
                i += 2;
                put(0);
            }
            continue;
        }
        size_t start = i;
        while (i < n && IsLetter(rtf[i])) ++i;
        std::string_view word(rtf.data() + start, i - start);
        bool hasNumber = false;
        long number = 0;
        if (i < n && (rtf[i] == '-' || IsDigit(rtf[i]))) {
            size_t numStart = i++;
            while (i < n && IsDigit(rtf[i])) ++i;
            number = std::strtol(rtf.c_str() + numStart, nullptr, 10);
            hasNumber = true;
        }
        if (i < n && rtf[i] == ' ') ++i;
        if (word == "lang" && hasNumber) st.Lang = number;
        else if (word == "deflang" && hasNumber) defaultLang = number;
        else if (word == "ansicpg" && hasNumber && (number == 932 || number == 936 || number == 949 || number == 950))
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
        }
        else if (word == "line" || word == "emdash" || word == "endash" || word == "emspace" || word == "enspace" ||
                 word == "bullet" || word == "lquote" || word == "rquote" || word == "ldblquote" || word == "rdblquote" ||
                 word == "page" || word == "sect")
            put(0);
        else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info")
            st.Skip = true;
        else if (word == "pict" || word == "object" || word == "field" || word == "bin" || word == "row" ||
                 word == "cell" || word == "trowd" || word == "plain")
            return false;
    }
    // The writer ends the last paragraph with a mark that the text does not count.
    if (mismatch || (pos != length && pos != length + 1)) return false;
    while (!runs.empty() && runs.back().Start >= length) runs.pop_back();
    if (!runs.empty()) runs.back().End = std::min(runs.back().End, length);
    Runs = std::move(runs);
    return true;
}

// Where an unsure character ends a run and the next run has another language, it may belong
// to either or to neither: the control is asked (once for each such place).
void SettleUnsure(TCustomRichEdit98* r, std::vector<TLanguageRun>& Runs, const std::vector<long>& Unsure)
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
        long lang = ask ? UniformLanguage(r, run.End - 1, run.End) : -1;
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
bool SampleConfirms(TCustomRichEdit98* r, const std::vector<TLanguageRun>& Runs, bool Piece = false)
{
    if (Runs.empty()) return true;
    const size_t picks[] = {0, Runs.size() / 3, 2 * Runs.size() / 3, Runs.size() - 1};
    for (size_t i = 0; i < 4; ++i) {
        size_t k = picks[i];
        if (Piece && (i == 1 || i == 2 || (i == 3 && k == 0))) continue;
        const TLanguageRun& run = Runs[k];
        if (UniformLanguage(r, run.Start, run.Start + 1) != static_cast<long>(run.Language)) return false;
    }
    return true;
}

// Runs found one character at a time, for controls whose mask cannot tell.
std::vector<TLanguageRun> ScanEachCharacter(TCustomRichEdit98* r, long From, long To)
{
    std::vector<TLanguageRun> runs;
    for (long pos = From; pos < To; ++pos) {
        unsigned lang = static_cast<unsigned>(std::max(0L, UniformLanguage(r, pos, pos + 1)));
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
    unsigned long long v = Value < 0 ? 0ULL - static_cast<unsigned long long>(Value) : static_cast<unsigned long long>(Value);
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
    return ReadLanguageRuns(RichEdit, MaskShowsMixedLanguages() ? std::string() : StreamOutRTF(nullptr, RichEdit));
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
        if (RunsFromWriter(RTF, ReadRichEditText(RichEdit), runs, unsure)) {
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
    std::vector<wchar_t> buf(static_cast<size_t>(To - From) + 1, L'\0');
    TEXTRANGEW tr = {{From, To}, buf.data()};
    {
        TWideModeGuard wide(RichEdit);
        RichEdit->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    }
    std::wstring text(buf.data(), static_cast<size_t>(To - From));
    CHARRANGE cr = {From, To};
    RichEdit->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    std::string rtf = StreamOutRTF(nullptr, RichEdit, SF_RTF | SFF_SELECTION);
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

std::vector<TLanguageRun> GallopRuns(TCustomRichEdit98* RichEdit, long From, long length)
{
    std::vector<TLanguageRun> runs;
    for (long pos = From; pos < length;) {
        long lang = UniformLanguage(RichEdit, pos, pos + 1);
        // Gallop while the language holds, then halve the step back to the exact end.
        long good = pos + 1, step = 1;
        while (good < length) {
            long next = std::min(length, good + step);
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

std::vector<TLanguageRun> ParseLanguageRuns(const std::string& RTF) { return ParseLanguageRuns(RTF.data(), RTF.size()); }

std::vector<TLanguageRun> ParseLanguageRuns(const char* RTF, size_t Size)
{
    std::vector<TLanguageRun> runs;
    std::string_view text(RTF, Size);
    size_t at = text.rfind(Tag);
    if (at == std::string_view::npos) return runs;
    at += std::strlen(Tag);
    size_t end = text.find('}', at);
    std::istringstream in(std::string(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at)));
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

namespace pw {

namespace {

bool WriterSwapsIndents()
{
    static const bool swaps = [] {
        HWND h = CreateWindowExW(0, L"RICHEDIT20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 50, 20, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        if (!h) return false;
        SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
        PARAFORMAT2 p;
        std::memset(&p, 0, sizeof p);
        p.cbSize = sizeof p;
        p.dwMask = PFM_STARTINDENT | PFM_OFFSET;
        p.dxStartIndent = 720;
        p.dxOffset = 360;
        SendMessageW(h, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
        std::string out = StreamOutRTF(h, nullptr);
        DestroyWindow(h);
        return out.find("\\li360") != std::string::npos && out.find("\\fi720") != std::string::npos;
    }();
    return swaps;
}

// Finds control word Word followed by a signed number starting inside [From, To); gives its
// position. Only the range is searched: a document without the word is not read to its end
// for every paragraph.
size_t FindNumberWord(const std::string& s, const char* Word, size_t From, size_t To, long& Value)
{
    size_t n = std::strlen(Word);
    std::string_view range(s.data(), std::min(s.size(), To + n - 1));
    for (size_t at = range.find(Word, From); at != std::string_view::npos; at = range.find(Word, at + 1)) {
        size_t p = at + n;
        if (p < s.size() && (s[p] == '-' || (s[p] >= '0' && s[p] <= '9'))) {
            Value = std::strtol(s.c_str() + p, nullptr, 10);
            return at;
        }
    }
    return std::string::npos;
}

size_t NumberEnd(const std::string& s, size_t p)
{
    if (p < s.size() && s[p] == '-') ++p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
    return p;
}

} // namespace

std::string SwapWrittenIndents(const std::string& RTF)
{
    std::string out;
    out.reserve(RTF.size() + 64);
    size_t pos = 0;
    for (size_t at = RTF.find("\\pard", pos); at != std::string::npos; at = RTF.find("\\pard", pos)) {
        // The paragraph's control words run up to the first blank.
        size_t end = RTF.find(' ', at);
        if (end == std::string::npos) end = RTF.size();
        long offset = 0, start = 0;
        size_t li = FindNumberWord(RTF, "\\li", at, end, offset);
        size_t fi = FindNumberWord(RTF, "\\fi", at, end, start);
        out.append(RTF, pos, at - pos);
        if (li != std::string::npos || fi != std::string::npos) {
            // Drop both and write them the standard way.
            for (size_t i = at; i < end;) {
                if ((i == li && li != std::string::npos) || (i == fi && fi != std::string::npos)) {
                    i = NumberEnd(RTF, i + 3);
                    continue;
                }
                out += RTF[i++];
            }
            out += Format("\\fi%ld\\li%ld", -offset, start + offset);
        } else {
            out.append(RTF, at, end - at);
        }
        pos = end;
    }
    out.append(RTF, std::min(pos, RTF.size()), std::string::npos);
    return out;
}

std::string RepairParagraphIndents(const std::string& RTF)
{
    return WriterSwapsIndents() ? SwapWrittenIndents(RTF) : RTF;
}

} // namespace pw
