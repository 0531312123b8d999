// Checking running text: words, sentences, spacing and the instance's word lists, stopping
// at the first problem.
#pragma once
#include "Dictionary.h"

#include <map>
#include <set>
#include <string>

namespace pwspell {

enum : unsigned {
    optSuggestFromUserDict = 0x1, optIgnoreAllCaps = 0x2, optIgnoreMixedDigits = 0x4, optIgnoreRomanNumerals = 0x8,
    optFindUncappedSentences = 0x10, optFindMissingSpaces = 0x20, optFindRepeatWord = 0x40, optFindExtraSpaces = 0x80,
    optFindInitialNumerals = 0x800,
};

enum : int {
    rcOk = 0, rcUnknown = 1, rcReturnedChange = 2, rcChangeOnce = 3, rcCapitalization = 5, rcSentenceCap = 10,
    rcRepeatWord = 11, rcExtraSpaces = 12, rcMissingSpace = 13, rcInitialNumeral = 14,
};

struct TextProblem {
    int Code = rcOk;
    size_t Position = 0;
    size_t Length = 0;
    std::u32string Replacement;
};

// What carries over from one piece of text to the next.
struct TextState {
    bool SentenceStart = true;
    std::u32string PreviousWord;
};

class TextChecker {
public:
    explicit TextChecker(const Dictionary& Dict) : FDict(Dict) {}
    TextProblem Check(const std::u32string& Text, unsigned Options, TextState& State) const;
    bool WordIsCorrect(const std::u32string& Word, unsigned Options) const;

    std::set<std::u32string> IgnoreAlways;
    std::set<std::u32string> UserWords;
    std::map<std::u32string, std::u32string> ChangeOnce;
    std::map<std::u32string, std::u32string> ChangeAlways;

private:
    const Dictionary& FDict;
    bool IsWordChar(char32_t c) const;
    TextProblem CheckWord(const std::u32string& Word, bool DotFollows, size_t At, unsigned Options, TextState& State) const;
};

} // namespace pwspell
