#include "Text.h"

namespace pwspell {

size_t DecodeUtf8(std::string_view s, char32_t* out)
{
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { out[n++] = c; ++i; continue; }
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

char32_t ToLower(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A: mostly upper/lower pairs on even/odd code points.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 1) ? c + 1 : c;
        if (c == 0x130) return U'i';
        if (c == 0x178) return 0xFF;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;                 // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

char32_t ToUpper(char32_t c)
{
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? c - 1 : c;
        if (c == 0x131) return U'I';
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

bool IsUpper(char32_t c) { return ToLower(c) != c; }
bool IsLower(char32_t c) { return ToUpper(c) != c; }

std::u32string Lower(std::u32string_view s)
{
    std::u32string r(s);
    for (char32_t& c : r) c = ToLower(c);
    return r;
}

std::u32string Upper(std::u32string_view s)
{
    std::u32string r(s);
    for (char32_t& c : r) c = ToUpper(c);
    return r;
}

std::u32string Capitalized(std::u32string_view s)
{
    std::u32string r = Lower(s);
    if (!r.empty()) r[0] = ToUpper(r[0]);
    return r;
}

CaseKind CaseOf(std::u32string_view s)
{
    size_t upper = 0, lower = 0;
    for (char32_t c : s) {
        if (IsUpper(c)) ++upper;
        else if (IsLower(c)) ++lower;
    }
    if (upper == 0) return lower ? CaseKind::Lower : CaseKind::None;
    if (lower == 0) return CaseKind::AllCaps;
    if (upper == 1 && IsUpper(s[0])) return CaseKind::Initial;
    return CaseKind::Mixed;
}

} // namespace pwspell
