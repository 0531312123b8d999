// Language identifiers, their names, code pages and character sets, and text conversion.
#pragma once
#include "SysUtils.h" // StringToWide and WideToString, the conversions of the languages' code pages

#include <cstdint>
#include <string>

namespace pw {

// A Windows language identifier: primary language in the low 10 bits, sub-language above.
using TLanguage = uint16_t;

// The value that stands for "no language selected".
constexpr TLanguage NoLanguage = 0x0800;

// Localized name of the language in the running system's language.
std::string LanguageName(TLanguage Language);
// Default ANSI code page of the language; the system's ANSI code page when unknown.
int LanguageCodePage(TLanguage Language);
// Font character set for the language's code page.
unsigned char LanguageCharset(TLanguage Language);

} // namespace pw
