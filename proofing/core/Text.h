// UTF-8 and UTF-32 conversion and the letter case rules the checker needs.
#pragma once
#include <string>

namespace pwspell {

std::u32string FromUtf8(const std::string& s);
std::string ToUtf8(const std::u32string& s);
char32_t ToLower(char32_t c);
char32_t ToUpper(char32_t c);
bool IsUpper(char32_t c);
bool IsLower(char32_t c);
std::u32string Lower(const std::u32string& s);
std::u32string Upper(const std::u32string& s);
// First letter upper, the rest lower.
std::u32string Capitalized(const std::u32string& s);

enum class CaseKind { Lower, Initial, AllCaps, Mixed, None };
CaseKind CaseOf(const std::u32string& s);

} // namespace pwspell
