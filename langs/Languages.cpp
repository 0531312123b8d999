#include "Languages.h"

#include "WinApi.h"

#include <cstdlib>

namespace pw {

std::string LanguageName(TLanguage Language)
{
    char buf[255] = {};
    if (GetLocaleInfoA(MAKELCID(Language, SORT_DEFAULT), LOCALE_SLANGUAGE, buf, sizeof buf) == 0) return {};
    return buf;
}

int LanguageCodePage(TLanguage Language)
{
    // The buffer starts empty: a failed call leaves it untouched, and an empty text is not
    // a number, so an unknown language gives the system code page rather than stale data.
    char buf[6] = {};
    if (GetLocaleInfoA(MAKELCID(Language, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf) == 0)
        return static_cast<int>(GetACP());
    char* end = nullptr;
    long v = std::strtol(buf, &end, 10);
    if (end == buf || *end != '\0') return static_cast<int>(GetACP());
    return static_cast<int>(v);
}

unsigned char LanguageCharset(TLanguage Language)
{
    switch (LanguageCodePage(Language)) {
    case 1250: return EASTEUROPE_CHARSET; // 238
    case 1251: return RUSSIAN_CHARSET; // 204
    case 1252: return ANSI_CHARSET; // 0
    case 1253: return GREEK_CHARSET; // 161
    case 1254: return TURKISH_CHARSET; // 162
    case 1255: return HEBREW_CHARSET; // 177
    case 1256: return ARABIC_CHARSET; // 178
    case 1257: return BALTIC_CHARSET; // 186
    case 1258: return VIETNAMESE_CHARSET; // 163
    default: return DEFAULT_CHARSET;
    }
}

} // namespace pw
