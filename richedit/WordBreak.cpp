#include "WordBreak.h"

#include "WinApi.h"

#include <richedit.h>

namespace pw {

namespace {

enum TCharClass { ccWord = 0, ccBlank = 1, ccBreak = 2, ccPunct = 3 };

TCharClass ClassOf(wchar_t c)
{
    if (c == L' ' || c == L'\t' || c == 0x00A0) return ccBlank;
    if (c == L'\r' || c == L'\n' || c == 0x000B || c == 0x000C) return ccBreak;
    if (c == L'\'' || c == 0x2019 || c == L'_' || IsCharAlphaNumericW(c)) return ccWord;
    return ccPunct;
}

bool IsWhite(wchar_t c) { TCharClass k = ClassOf(c); return k == ccBlank || k == ccBreak; }

long Size(const std::wstring& t) { return static_cast<long>(t.size()); }

// Start of the run of same-class characters that ends at Pos (Pos itself excluded).
long RunStartLeft(const std::wstring& t, long p)
{
    if (p <= 0) return 0;
    TCharClass k = ClassOf(t[static_cast<size_t>(p - 1)]);
    while (p > 0 && ClassOf(t[static_cast<size_t>(p - 1)]) == k) --p;
    return p;
}

long SkipBlanksRight(const std::wstring& t, long p)
{
    while (p < Size(t) && ClassOf(t[static_cast<size_t>(p)]) == ccBlank) ++p;
    return p;
}

long MoveWordRight(const std::wstring& t, long p)
{
    if (p >= Size(t)) return Size(t);
    TCharClass k = ClassOf(t[static_cast<size_t>(p)]);
    if (k == ccBreak) {
        // A line end is a stop of its own (CR LF counts once).
        if (t[static_cast<size_t>(p)] == L'\r' && p + 1 < Size(t) && t[static_cast<size_t>(p + 1)] == L'\n') ++p;
        return p + 1;
    }
    if (k != ccBlank)
        while (p < Size(t) && ClassOf(t[static_cast<size_t>(p)]) == k) ++p;
    return SkipBlanksRight(t, p);
}

long MoveWordLeft(const std::wstring& t, long p)
{
    if (p > Size(t)) p = Size(t);
    while (p > 0 && ClassOf(t[static_cast<size_t>(p - 1)]) == ccBlank) --p;
    if (p > 0 && ClassOf(t[static_cast<size_t>(p - 1)]) == ccBreak) return p - 1;
    return RunStartLeft(t, p);
}

} // namespace

int WordBreakClassify(wchar_t Ch)
{
    switch (ClassOf(Ch)) {
    case ccBlank: return WBF_ISWHITE | ccBlank;
    case ccBreak: return WBF_ISWHITE | WBF_BREAKLINE | ccBreak;
    case ccPunct: return WBF_BREAKAFTER | ccPunct;
    default: return ccWord;
    }
}

long FindWordBreak(const std::wstring& Text, int Code, long Pos)
{
    const std::wstring& t = Text;
    long n = Size(t);
    long p = Pos < 0 ? 0 : (Pos > n ? n : Pos);
    switch (Code) {
    case WB_CLASSIFY:
        return p < n ? WordBreakClassify(t[static_cast<size_t>(p)]) : 0;
    case WB_ISDELIMITER:
        return p < n && IsWhite(t[static_cast<size_t>(p)]) ? 1 : 0;
    case WB_LEFT:
        // Beginning of the blank-delimited word that holds or ends at the position.
        while (p > 0 && !IsWhite(t[static_cast<size_t>(p - 1)])) --p;
        return p;
    case WB_RIGHT:
        while (p < n && !IsWhite(t[static_cast<size_t>(p)])) ++p;
        while (p < n && IsWhite(t[static_cast<size_t>(p)])) ++p;
        return p;
    case WB_MOVEWORDLEFT:
        return MoveWordLeft(t, p);
    case WB_MOVEWORDRIGHT:
        return MoveWordRight(t, p);
    case WB_LEFTBREAK:
        // End of the previous word: back over this run, then over the blanks before it.
        p = (p > 0 && !IsWhite(t[static_cast<size_t>(p - 1)])) ? RunStartLeft(t, p) : p;
        while (p > 0 && IsWhite(t[static_cast<size_t>(p - 1)])) --p;
        return p;
    case WB_RIGHTBREAK:
        // End of this word together with the blanks that follow it.
        if (p < n && !IsWhite(t[static_cast<size_t>(p)])) {
            TCharClass k = ClassOf(t[static_cast<size_t>(p)]);
            while (p < n && ClassOf(t[static_cast<size_t>(p)]) == k) ++p;
        }
        return SkipBlanksRight(t, p);
    default:
        return 0;
    }
}

} // namespace pw
