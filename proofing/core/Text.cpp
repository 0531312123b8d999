#include "Text.h"

namespace pwspell {

std::u32string FromUtf8(const std::string& s)
{
    std::u32string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else { r += U'\xFFFD'; ++i; continue; }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + static_cast<size_t>(k) >= s.size()) { ok = false; break; }
            unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((d & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { r += U'\xFFFD'; ++i; continue; }
        r += cp;
        i += static_cast<size_t>(extra) + 1;
    }
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

std::u32string Lower(const std::u32string& s)
{
    std::u32string r = s;
    for (char32_t& c : r) c = ToLower(c);
    return r;
}

std::u32string Upper(const std::u32string& s)
{
    std::u32string r = s;
    for (char32_t& c : r) c = ToUpper(c);
    return r;
}

std::u32string Capitalized(const std::u32string& s)
{
    std::u32string r = Lower(s);
    if (!r.empty()) r[0] = ToUpper(r[0]);
    return r;
}

CaseKind CaseOf(const std::u32string& s)
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
