// UTF-8 and UTF-32 conversion and the letter case rules the checker needs.
#pragma once
#include <string>
#include <string_view>

namespace pwspell {

std::u32string FromUtf8(std::string_view s);
// Decodes into Out, which has room for at least s.size() characters; gives the count.
size_t DecodeUtf8(std::string_view s, char32_t* Out);
std::string ToUtf8(const std::u32string& s);
char32_t ToLower(char32_t c);
char32_t ToUpper(char32_t c);
// With Turkic, I and dotless i, dotted capital I and i are the pairs (Turkish, Azerbaijani,
// Crimean Tatar).
char32_t ToLower(char32_t c, bool Turkic);
char32_t ToUpper(char32_t c, bool Turkic);
bool IsUpper(char32_t c);
bool IsLower(char32_t c);
std::u32string Lower(std::u32string_view s, bool Turkic = false);
std::u32string Upper(std::u32string_view s, bool Turkic = false);
// First letter upper, the rest lower.
std::u32string Capitalized(std::u32string_view s, bool Turkic = false);

enum class CaseKind { Lower, Initial, AllCaps, Mixed, None };
CaseKind CaseOf(std::u32string_view s);

} // namespace pwspell
