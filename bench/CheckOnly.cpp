// Checks the words of a text with the engine core alone, for a profiler: no other engine runs
// in the process, so an instruction count (valgrind --tool=callgrind) is the engine's own.
// Words are runs of letters (any byte of a multi-byte character counts as one) and apostrophes.
// Usage: proofing_check DICT_BASE TEXT MAX_WORDS [shuffle]
#include "Dictionary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s DICT_BASE TEXT MAX_WORDS [shuffle]\n", argv[0]);
        return 2;
    }
    pwspell::Dictionary d;
    std::string base = argv[1];
    d.LoadFiles(base + ".aff", base + ".dic");
    std::ifstream f(argv[2]);
    std::vector<std::string> words;
    size_t max = std::stoul(argv[3]);
    for (std::string line; words.size() < max && std::getline(f, line);) {
        std::string w;
        for (size_t i = 0; i <= line.size(); ++i) {
            unsigned char c = i < line.size() ? static_cast<unsigned char>(line[i]) : ' ';
            if (c >= 0x80 || std::isalpha(c) || c == '\'') {
                w += static_cast<char>(c);
            } else if (!w.empty()) {
                words.push_back(w);
                w.clear();
            }
        }
    }
    if (argc > 4) std::shuffle(words.begin(), words.end(), std::mt19937(1));
    size_t correct = 0;
    for (const std::string& w : words) correct += d.Check(w);
    std::printf("%zu words, %zu correct\n", words.size(), correct);
    return 0;
}
