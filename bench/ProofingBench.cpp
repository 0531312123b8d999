// Compares the engine core with Hunspell on the same words: verdict agreement and checking
// speed. Usage: proofing_bench DICT_BASE WORDLIST [MAX_WORDS]
// The word list is text; its words (runs of letters and apostrophes) are checked, and so are
// copies with one letter changed, so that both verdicts occur.
#include "Dictionary.h"
#include "Text.h"

#include <hunspell/hunspell.hxx>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const std::string& path, size_t max)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::u32string text = pwspell::FromUtf8(ss.str());
    std::vector<std::string> out;
    std::u32string w;
    auto flush = [&] {
        if (w.size() > 1) out.push_back(pwspell::ToUtf8(w));
        w.clear();
    };
    for (char32_t c : text) {
        bool letter = pwspell::IsUpper(c) || pwspell::IsLower(c) || c == U'\'' || c >= 0xC0;
        if (letter && c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c < 0x2100)) w += c;
        else flush();
        if (out.size() >= max) break;
    }
    flush();
    size_t n = out.size();
    for (size_t i = 0; i < n; i += 3) {  // one-letter changes
        std::u32string u = pwspell::FromUtf8(out[i]);
        u[u.size() / 2] = u[u.size() / 2] == U'e' ? U'a' : U'e';
        out.push_back(pwspell::ToUtf8(u));
    }
    return out;
}

template <class F>
double Seconds(F f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DICT_BASE WORDLIST [MAX_WORDS]\n", argv[0]);
        return 2;
    }
    std::string base = argv[1];
    size_t max = argc > 3 ? std::stoul(argv[3]) : 200000;
    std::vector<std::string> words = Words(argv[2], max);
    pwspell::Dictionary ours;
    double loadOurs = Seconds([&] { ours.LoadFiles(base + ".aff", base + ".dic"); });
    Hunspell* theirs = nullptr;
    double loadTheirs = Seconds([&] { theirs = new Hunspell((base + ".aff").c_str(), (base + ".dic").c_str()); });
    std::vector<char> a(words.size()), b(words.size());
    double tOurs = Seconds([&] { for (size_t i = 0; i < words.size(); ++i) a[i] = ours.Check(words[i]); });
    double tTheirs = Seconds([&] { for (size_t i = 0; i < words.size(); ++i) b[i] = theirs->spell(words[i]); });
    size_t agree = 0, shown = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        if (a[i] == b[i]) ++agree;
        else if (shown++ < 15) std::printf("  differs: %s (ours %d, hunspell %d)\n", words[i].c_str(), a[i], b[i]);
    }
    std::printf("%s: %zu words; agreement %.2f%%; load ours %.2fs hunspell %.2fs; "
                "check ours %.0f words/s hunspell %.0f words/s (ratio %.2f)\n",
                base.c_str(), words.size(), 100.0 * agree / words.size(), loadOurs, loadTheirs,
                words.size() / tOurs, words.size() / tTheirs, tTheirs / tOurs);
    delete theirs;
    return 0;
}
