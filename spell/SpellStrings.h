// Messages and captions of the spelling layer, by their string table identifiers
// (Spell.rc, linked into every program that uses the spelling layer).
#pragma once
#include <string>

namespace pw {

enum : int {
    sPossibleAbbreviation = 65296, sSentenceCapitalization = 65297, sExtraSpaces = 65298, sMissingSpace = 65299,
    sInitialNumerals = 65300, sRepeatedWord = 65301, sMessageCaption = 65302, sSpellingErrorNo = 65303,
    sErrorLoadingDll = 65304, sErrorUnloadingDll = 65305, sStartCaption = 65306, sVariantsCaption = 65317,
    sDeleteCaption = 65318, sChangeCaption = 65319, sChangeAllCaption = 65320, sSkipCaption = 65321,
    sSkipAllCaption = 65322, sCancelCaption = 65323, sUndoEditCaption = 65324, sUnknownWord = 65325,
    sIllegalHyphenation = 65326, sCapitalizationError = 65327,
};

// The string with the identifier from the program's string table (LoadStringA).
std::string SpellString(int Id);

} // namespace pw
