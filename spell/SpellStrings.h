// Messages and captions of the spelling layer, by their string table identifiers.
#pragma once
#include <string>

namespace pw {

enum : int {
    sPossibleAbbreviation = 65296, sSentenceCapitalization = 65297, sExtraSpaces = 65298, sMissingSpace = 65299,
    sInitialNumerals = 65300, sRepeatedWord = 65301, sSpellingErrorNo = 65303, sErrorLoadingDll = 65304,
    sErrorUnloadingDll = 65305, sUnknownWord = 65325, sIllegalHyphenation = 65326, sCapitalizationError = 65327,
};

// The string with the identifier: from the program's string table, or the built-in text.
std::string SpellString(int Id);

} // namespace pw
