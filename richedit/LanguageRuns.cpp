#include "LanguageRuns.h"

#include "RichEdit98.h"
#include "Streams.h"
#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace pw {

namespace {

const char* const Tag = "{\\*\\pwlangs ";

// Selection, event mask and redraw are put back when the scan or the marking is done.
struct TQuietSelection {
    TCustomRichEdit98* R;
    CHARRANGE Saved = {0, 0};
    LRESULT Mask;
    explicit TQuietSelection(TCustomRichEdit98* r) : R(r)
    {
        R->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        Mask = R->Perform(EM_SETEVENTMASK, 0, 0);
        R->Perform(WM_SETREDRAW, 0, 0);
    }
    ~TQuietSelection()
    {
        R->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        R->Perform(WM_SETREDRAW, 1, 0);
        R->Perform(EM_SETEVENTMASK, 0, Mask);
        if (R->HandleAllocated()) InvalidateRect(R->Handle(), nullptr, TRUE);
    }
};

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
std::string StreamOutRTF(HWND Window, TCustomRichEdit98* Control)
{
    TCollected out;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&out), 0, CollectBytes};
    if (Control) Control->Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    else SendMessageW(Window, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    out.Guard.RaiseKept();
    if (es.dwError != 0) out.Bytes.clear();
    return out.Bytes;
}

// The runs as the control's own RTF writer records them (\lang at each run), counting the
// characters of the text as the control counts them. False when the RTF holds anything whose
// count is uncertain (a double-byte code page, pictures, objects, fields, tables).
bool RunsFromWriter(TCustomRichEdit98* r, long Length, std::vector<TLanguageRun>& Runs)
{
    std::string rtf = StreamOutRTF(nullptr, r);
    if (rtf.compare(0, 5, "{\\rtf") != 0) return false;
    struct TState { long Lang; bool Skip; };
    std::vector<TState> stack;
    TState st{-1, false};
    long pos = 0, unicodeSkip = 1, pendingSkip = 0;
    std::vector<TLanguageRun> runs;
    auto put = [&](long n) {
        if (st.Skip) return;
        if (pendingSkip > 0) {  // the stand-in characters after \u
            --pendingSkip;
            return;
        }
        if (st.Lang < 0) st.Lang = 0;
        if (!runs.empty() && runs.back().Language == static_cast<unsigned>(st.Lang) && runs.back().End == pos)
            runs.back().End += n;
        else
            runs.push_back(TLanguageRun{pos, pos + n, static_cast<unsigned>(st.Lang)});
        pos += n;
    };
    const size_t n = rtf.size();
    for (size_t i = 0; i < n;) {
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
            put(1);
            ++i;
            continue;
        }
        // A control symbol or word.
        if (++i >= n) break;
        char s = rtf[i];
        if (!std::isalpha(static_cast<unsigned char>(s))) {
            ++i;
            if (s == '\\' || s == '{' || s == '}' || s == '~' || s == '_' || s == '-') put(1);
            else if (s == '\'') {
                i += 2;
                put(1);
            }
            continue;
        }
        size_t start = i;
        while (i < n && std::isalpha(static_cast<unsigned char>(rtf[i]))) ++i;
        std::string word = rtf.substr(start, i - start);
        bool hasNumber = false;
        long number = 0;
        if (i < n && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) {
            size_t numStart = i++;
            while (i < n && std::isdigit(static_cast<unsigned char>(rtf[i]))) ++i;
            number = std::strtol(rtf.c_str() + numStart, nullptr, 10);
            hasNumber = true;
        }
        if (i < n && rtf[i] == ' ') ++i;
        if (word == "lang" && hasNumber) st.Lang = number;
        else if (word == "ansicpg" && hasNumber && (number == 932 || number == 936 || number == 949 || number == 950))
            return false;
        else if (word == "uc" && hasNumber) unicodeSkip = number;
        else if (word == "u" && hasNumber) {
            put(1);
            if (!st.Skip) pendingSkip = unicodeSkip;
        } else if (word == "par" || word == "tab" || word == "line" || word == "emdash" || word == "endash" ||
                   word == "emspace" || word == "enspace" || word == "bullet" || word == "lquote" || word == "rquote" ||
                   word == "ldblquote" || word == "rdblquote" || word == "page" || word == "sect")
            put(1);
        else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info")
            st.Skip = true;
        else if (word == "pict" || word == "object" || word == "field" || word == "bin" || word == "row" ||
                 word == "cell" || word == "trowd" || word == "plain")
            return false;
    }
    // The writer ends the last paragraph with a mark that the text does not count.
    if (pos != Length && pos != Length + 1) return false;
    while (!runs.empty() && runs.back().Start >= Length) runs.pop_back();
    if (!runs.empty()) runs.back().End = std::min(runs.back().End, Length);
    Runs = std::move(runs);
    return true;
}

// Runs found one character at a time, for controls whose mask cannot tell.
std::vector<TLanguageRun> ScanEachCharacter(TCustomRichEdit98* r, long length)
{
    std::vector<TLanguageRun> runs;
    for (long pos = 0; pos < length; ++pos) {
        unsigned lang = static_cast<unsigned>(std::max(0L, UniformLanguage(r, pos, pos + 1)));
        if (!runs.empty() && runs.back().Language == lang) runs.back().End = pos + 1;
        else runs.push_back(TLanguageRun{pos, pos + 1, lang});
    }
    return runs;
}

} // namespace

std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit)
{
    std::vector<TLanguageRun> runs;
    if (!RichEdit->HandleAllocated()) return runs;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    if (!MaskShowsMixedLanguages()) {
        // The writer's record of the runs, when each run's first character confirms it;
        // otherwise every character is asked (slow: one selection per character).
        if (RunsFromWriter(RichEdit, length, runs) &&
            std::all_of(runs.begin(), runs.end(), [&](const TLanguageRun& run) {
                return UniformLanguage(RichEdit, run.Start, run.Start + 1) == static_cast<long>(run.Language) &&
                       UniformLanguage(RichEdit, run.End - 1, run.End) == static_cast<long>(run.Language);
            }))
            return runs;
        return ScanEachCharacter(RichEdit, length);
    }
    for (long pos = 0; pos < length;) {
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

void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs)
{
    if (!RichEdit->HandleAllocated() || Runs.empty()) return;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    for (const TLanguageRun& run : Runs) {
        if (run.Start >= length || run.End <= run.Start) continue;
        CHARRANGE cr = {run.Start, std::min(run.End, length)};
        RichEdit->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        CHARFORMAT2W f;
        std::memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        f.dwMask = CFM_LCID;
        f.lcid = run.Language;
        RichEdit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    }
}

std::string WithLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF)
{
    size_t close = RTF.rfind('}');
    if (close == std::string::npos) return RTF;
    std::string group = Tag;
    for (const TLanguageRun& r : ReadLanguageRuns(RichEdit))
        group += Format("%ld %ld %u;", r.Start, r.End, r.Language);
    group += "}";
    return RTF.substr(0, close) + group + RTF.substr(close);
}

std::vector<TLanguageRun> ParseLanguageRuns(const std::string& RTF)
{
    std::vector<TLanguageRun> runs;
    size_t at = RTF.rfind(Tag);
    if (at == std::string::npos) return runs;
    size_t end = RTF.find('}', at);
    std::istringstream in(RTF.substr(at + std::strlen(Tag), end == std::string::npos ? std::string::npos : end - at - std::strlen(Tag)));
    TLanguageRun r;
    char sep;
    while (in >> r.Start >> r.End >> r.Language >> sep) {
        if (sep != ';' || r.Start < 0 || r.End < r.Start || r.Language > 0xFFFF) break;
        runs.push_back(r);
    }
    return runs;
}

void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const TMemoryStream& RTF)
{
    ApplyLanguageRuns(RichEdit, ParseLanguageRuns(std::string(RTF.Memory(), RTF.Data().size())));
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

// Finds control word Word followed by a signed number inside [From, To); gives its position.
size_t FindNumberWord(const std::string& s, const char* Word, size_t From, size_t To, long& Value)
{
    size_t n = std::strlen(Word);
    for (size_t at = s.find(Word, From); at != std::string::npos && at < To; at = s.find(Word, at + 1)) {
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
    size_t pos = 0;
    for (size_t at = RTF.find("\\pard", pos); at != std::string::npos; at = RTF.find("\\pard", pos)) {
        // The paragraph's control words run up to the first blank.
        size_t end = RTF.find(' ', at);
        if (end == std::string::npos) end = RTF.size();
        long offset = 0, start = 0;
        size_t li = FindNumberWord(RTF, "\\li", at, end, offset);
        size_t fi = FindNumberWord(RTF, "\\fi", at, end, start);
        std::string words = RTF.substr(at, end - at);
        if (li != std::string::npos || fi != std::string::npos) {
            // Drop both and write them the standard way.
            std::string cleaned;
            for (size_t i = at; i < end;) {
                if ((i == li && li != std::string::npos) || (i == fi && fi != std::string::npos)) {
                    i = NumberEnd(RTF, i + 3);
                    continue;
                }
                cleaned += RTF[i++];
            }
            words = cleaned + Format("\\fi%ld\\li%ld", -offset, start + offset);
        }
        out += RTF.substr(pos, at - pos) + words;
        pos = end;
    }
    return out + RTF.substr(pos);
}

std::string RepairParagraphIndents(const std::string& RTF)
{
    return WriterSwapsIndents() ? SwapWrittenIndents(RTF) : RTF;
}

} // namespace pw
