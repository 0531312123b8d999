// Suggestions for a misspelt word: first the cheap edits that usually find the intended word,
// then words of the dictionary that look alike.
#pragma once
#include "Dictionary.h"

#include <string>
#include <vector>

namespace pwspell {

// Cheap edits: replacement table, similar characters, keyboard neighbours, swaps, insertions,
// deletions, changed and doubled letters, two words. In the word's own letter case.
// Hyphenated words with one piece misspelt get that piece mended first.
std::vector<std::u32string> SuggestEdits(const Dictionary& Dict, const std::u32string& Word, size_t Max);
// The edits of the word as a whole.
std::vector<std::u32string> SuggestWhole(const Dictionary& Dict, const std::u32string& Word, size_t Max);
// The word as it sounds, by the dictionary's phonetic table (PHONE), in capitals.
std::u32string Phonetic(const SuggestOptions& Options, std::u32string_view Word);
// Stems of the dictionary that share the most letter pairs with the word.
std::vector<std::u32string> SuggestSimilar(const Dictionary& Dict, const std::u32string& Word, size_t Max,
                                           const std::vector<std::u32string>& Exclude);

} // namespace pwspell
