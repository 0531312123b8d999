// Compares the engine core with Hunspell on the same words: verdict agreement and checking
// speed. Usage: proofing_bench DICT_BASE WORDLIST [MAX_WORDS]
// The word list is text; its words (runs of letters and apostrophes) are checked, and so are
// copies with one letter changed, so that both verdicts occur.
#include "Dictionary.h"
#include "Suggest.h"
#include "Text.h"

#include <hunspell/hunspell.hxx>
#ifdef WITH_NUSPELL
#include <nuspell/dictionary.hxx>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// Every distinct token of the text as a text layer hands it over: runs between spaces, with
// the punctuation around them removed but hyphens, digits, inner dots and apostrophes kept.
std::vector<std::string> Tokens(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::u32string text = pwspell::FromUtf8(ss.str());
    std::vector<std::string> out;
    std::u32string w;
    auto inner = [](char32_t c) { return c == U'-' || c == U'.' || c == U'\'' || c == 0x2019; };
    auto flush = [&] {
        while (!w.empty() && inner(w.back()) && w.back() != U'.') w.pop_back();
        size_t lead = 0;
        while (lead < w.size() && inner(w[lead])) ++lead;
        if (w.size() > lead) out.push_back(pwspell::ToUtf8(w.substr(lead)));
        w.clear();
    };
    for (char32_t c : text) {
        bool keep = pwspell::IsUpper(c) || pwspell::IsLower(c) || (c >= U'0' && c <= U'9') || inner(c) || (c >= 0xC0 && c < 0x2000 && c != 0xD7 && c != 0xF7);
        if (keep) w += c;
        else flush();
    }
    flush();
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

template <class F>
double Seconds(F f)
{
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// One-typo misspellings of correct words: how often each engine puts the word first or in its
// list, and how long a suggestion takes.
void SuggestionBench(const pwspell::Dictionary& ours, Hunspell& theirs, const std::vector<std::string>& words)
{
    struct Score { int First = 0, Listed = 0; double Total = 0, Worst = 0; };
    Score a, b;
    int cases = 0;
    for (size_t i = 0; i < words.size() && cases < 200; i += 7) {
        std::u32string w = pwspell::FromUtf8(words[i]);
        if (w.size() < 4 || !theirs.spell(words[i])) continue;
        std::u32string typo = w;
        size_t k = w.size() / 2;
        switch (cases % 4) {
        case 0: typo.erase(k, 1); break;
        case 1: std::swap(typo[k], typo[k - 1]); break;
        case 2: typo[k] = typo[k] == U'e' ? U'a' : U'e'; break;
        default: typo.insert(k, 1, typo[k]); break;
        }
        std::string t = pwspell::ToUtf8(typo);
        if (theirs.spell(t)) continue;
        ++cases;
        std::vector<std::u32string> mine;
        double da = Seconds([&] {
            mine = pwspell::SuggestEdits(ours, typo, 12);
            if (mine.empty()) mine = pwspell::SuggestSimilar(ours, typo, 8, {});
        });
        std::vector<std::string> hs;
        double db = Seconds([&] { hs = theirs.suggest(t); });
        auto score = [&](Score& s, bool first, bool listed, double d) {
            s.First += first;
            s.Listed += listed;
            s.Total += d;
            s.Worst = std::max(s.Worst, d);
        };
        if (std::getenv("BENCH_MISSES") && (mine.empty() || mine[0] != w) && !hs.empty() && hs[0] == words[i])
            std::printf("  miss: %s -> ours %s, hunspell %s\n", t.c_str(),
                        mine.empty() ? "-" : pwspell::ToUtf8(mine[0]).c_str(), hs[0].c_str());
        score(a, !mine.empty() && mine[0] == w, std::find(mine.begin(), mine.end(), w) != mine.end(), da);
        score(b, !hs.empty() && hs[0] == words[i], std::find(hs.begin(), hs.end(), words[i]) != hs.end(), db);
    }
    if (!cases) return;
    std::printf("suggestions, %d one-typo words: ours first %.0f%% listed %.0f%% mean %.1f ms worst %.1f ms; "
                "hunspell first %.0f%% listed %.0f%% mean %.1f ms worst %.1f ms\n",
                cases, 100.0 * a.First / cases, 100.0 * a.Listed / cases, 1000 * a.Total / cases, 1000 * a.Worst,
                100.0 * b.First / cases, 100.0 * b.Listed / cases, 1000 * b.Total / cases, 1000 * b.Worst);
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
    std::vector<std::string> tokens = Tokens(argv[2]);
    size_t same = 0;
    shown = 0;
    for (const std::string& t : tokens) {
        bool x = ours.Check(t), y = theirs->spell(t);
        same += x == y;
        if (x != y && shown++ < 10) std::printf("  token differs: %s (ours %d, hunspell %d)\n", t.c_str(), x, y);
    }
    std::printf("distinct raw tokens (with digits, hyphens, dots): %zu; agreement %.2f%%\n", tokens.size(),
                tokens.empty() ? 100.0 : 100.0 * same / tokens.size());
#ifdef WITH_NUSPELL
    nuspell::Dictionary nu;
    nu.load_aff_dic(base + ".aff");
    double tNu = Seconds([&] { for (size_t i = 0; i < words.size(); ++i) b[i] = nu.spell(words[i]); });
    std::printf("nuspell checks %.0f words/s (ours/nuspell speed ratio %.2f)\n", words.size() / tNu, tNu / tOurs);
#endif
    SuggestionBench(ours, *theirs, words);
    delete theirs;
    return 0;
}
