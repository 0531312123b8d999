#include "Text.h"

#include <cstdint>
#include <iterator>

namespace pwspell {

size_t DecodeUtf8(std::string_view s, char32_t* out)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { out[n++] = c; ++i; continue; }
        // Two bytes (Latin letters with marks, Greek, Cyrillic...) the short way.
        if ((c & 0xE0) == 0xC0 && i + 1 < s.size() && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
            out[n++] = (static_cast<char32_t>(c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
            i += 2;
            continue;
        }
        // Three bytes (the scripts of India, Thai, most of the rest of the 16-bit range).
        if ((c & 0xF0) == 0xE0 && i + 2 < s.size() && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80 &&
            (static_cast<unsigned char>(s[i + 2]) & 0xC0) == 0x80) {
            out[n++] = (static_cast<char32_t>(c & 0x0F) << 12) |
                       (static_cast<char32_t>(static_cast<unsigned char>(s[i + 1]) & 0x3F) << 6) |
                       (static_cast<unsigned char>(s[i + 2]) & 0x3F);
            i += 3;
            continue;
        }
        char32_t cp;
        size_t extra;
        if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else { out[n++] = U'\xFFFD'; ++i; continue; }
        bool ok = i + extra < s.size();
        for (size_t k = 1; ok && k <= extra; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + k]);
            ok = (d & 0xC0) == 0x80;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { out[n++] = U'\xFFFD'; ++i; continue; }
        out[n++] = cp;
        i += extra + 1;
    }
    return n;
}

std::u32string FromUtf8(std::string_view s)
{
    std::u32string r(s.size(), U'\0');
    r.resize(DecodeUtf8(s, r.data()));
    return r;
}

std::string ToUtf8(const std::u32string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char32_t c : s) {
        if (c < 0x80) {
            r += static_cast<char>(c);
        } else if (c < 0x800) {
            r += static_cast<char>(0xC0 | (c >> 6));
            r += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            r += static_cast<char>(0xE0 | (c >> 12));
            r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            r += static_cast<char>(0xF0 | (c >> 18));
            r += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            r += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            r += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

namespace {

#include "CaseTable.inc"

char32_t Mapped(char32_t c, const int32_t* delta, const char32_t (*pairs)[2], size_t count)
{
    if (c < 0x2000) return static_cast<char32_t>(static_cast<int32_t>(c) + delta[c]);
    size_t lo = 0, hi = count;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (pairs[mid][0] < c) lo = mid + 1;
        else hi = mid;
    }
    return lo < count && pairs[lo][0] == c ? pairs[lo][1] : c;
}

} // namespace

char32_t ToLower(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return Mapped(c, LowerDelta, LowerPairs, std::size(LowerPairs));
}

char32_t ToUpper(char32_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    return Mapped(c, UpperDelta, UpperPairs, std::size(UpperPairs));
}

char32_t ToLower(char32_t c, bool Turkic)
{
    if (Turkic && c == U'I') return 0x131;
    return ToLower(c);
}

char32_t ToUpper(char32_t c, bool Turkic)
{
    if (Turkic && c == U'i') return 0x130;
    return ToUpper(c);
}

bool IsUpper(char32_t c) { return ToLower(c) != c; }
bool IsLower(char32_t c) { return ToUpper(c) != c; }

std::u32string Lower(std::u32string_view s, bool Turkic)
{
    std::u32string r(s);
    for (char32_t& c : r) c = ToLower(c, Turkic);
    return r;
}

std::u32string Upper(std::u32string_view s, bool Turkic)
{
    std::u32string r(s);
    for (char32_t& c : r) c = ToUpper(c, Turkic);
    return r;
}

std::u32string Capitalized(std::u32string_view s, bool Turkic)
{
    std::u32string r = Lower(s, Turkic);
    if (!r.empty()) r[0] = ToUpper(r[0], Turkic);
    return r;
}

CaseKind CaseOf(std::u32string_view s)
{
    size_t upper = 0, lower = 0;
    bool firstUpper = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        // Plain letters without the tables (most text is made of them).
        bool u = c < 0x80 ? c >= 'A' && c <= 'Z' : IsUpper(c);
        if (u) {
            ++upper;
            firstUpper |= i == 0;
        } else if (c < 0x80 ? c >= 'a' && c <= 'z' : IsLower(c)) {
            ++lower;
        }
    }
    if (upper == 0) return lower ? CaseKind::Lower : CaseKind::None;
    if (lower == 0) return CaseKind::AllCaps;
    if (upper == 1 && firstUpper) return CaseKind::Initial;
    return CaseKind::Mixed;
}

} // namespace pwspell
