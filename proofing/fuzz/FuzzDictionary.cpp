// Fuzz target: an affix file, a dictionary and words to check, all from the fuzzer's bytes.
// The input is split at the first two NUL bytes: aff, dic, then words separated by newlines.
#include "Dictionary.h"
#include "Suggest.h"
#include "TextCheck.h"
#include "Text.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string in(reinterpret_cast<const char*>(data), size);
    size_t a = in.find('\0');
    size_t b = a == std::string::npos ? std::string::npos : in.find('\0', a + 1);
    std::string aff = in.substr(0, a);
    std::string dic = a == std::string::npos ? "1\nword\n" : in.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    std::string words = b == std::string::npos ? "word" : in.substr(b + 1);
    pwspell::Dictionary d;
    try {
        d.Load(aff, dic);
    } catch (const pwspell::DictionaryError&) {
        return 0;
    }
    pwspell::TextChecker checker(d);
    pwspell::TextState state;
    std::u32string text = pwspell::FromUtf8(words);
    checker.Check(text, 0xFFFF, state);
    for (size_t p = 0, e; p < words.size(); p = e + 1) {
        e = words.find('\n', p);
        if (e == std::string::npos) e = words.size();
        std::u32string w = pwspell::FromUtf8(words.substr(p, e - p));
        if (w.size() > 40) continue;
        d.Check(w);
        std::vector<std::u32string> edits = pwspell::SuggestEdits(d, w, 5);
        pwspell::SuggestSimilar(d, w, 5, edits);
        pwspell::Phonetic(d.Suggesting(), w);
    }
    return 0;
}
