#include "SpellStrings.h"

#include "WinApi.h"

namespace pw {

std::string SpellString(int Id)
{
    char buf[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(Id), buf, sizeof buf) > 0) return buf;
    switch (Id) {
    case sPossibleAbbreviation: return "Possible abbreviation";
    case sSentenceCapitalization: return "Sentence capitalization error";
    case sExtraSpaces: return "Extra spaces";
    case sMissingSpace: return "Missing space";
    case sInitialNumerals: return "Numerals in start of word";
    case sRepeatedWord: return "Repeated word";
    case sSpellingErrorNo: return "Spelling error No %d";
    case sErrorLoadingDll: return "Error loading Spell DLL %s";
    case sErrorUnloadingDll: return "Error unloading Spell DLL %s";
    case sUnknownWord: return "Unknown word";
    case sIllegalHyphenation: return "Illegal hyphenations";
    case sCapitalizationError: return "Capitalization error";
    default: return {};
    }
}

} // namespace pw
