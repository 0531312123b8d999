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

#include <iconv.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <memory>
#include <set>
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

// BENCH_CPU=1: the process's processor time instead of the clock's, for a machine shared
// with other work (whose processes then do not count, though they still share the caches).
template <class F>
double Seconds(F f)
{
    static const bool cpu = std::getenv("BENCH_CPU") != nullptr;
    if (cpu) {
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        f();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        return double(b.tv_sec - a.tv_sec) + 1e-9 * double(b.tv_nsec - a.tv_nsec);
    }
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// How many times the sweep times each load and each checking run (BENCH_REPEAT, 1 when not
// given): the best time counts, as small dictionaries load in a few milliseconds.
int Repeats()
{
    const char* r = std::getenv("BENCH_REPEAT");
    return r && std::atoi(r) > 1 ? std::atoi(r) : 1;
}

template <class F>
double BestSeconds(F f)
{
    double best = Seconds(f);
    for (int i = 1; i < Repeats(); ++i) best = std::min(best, Seconds(f));
    return best;
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

// UTF-8 to a dictionary's own encoding, as Hunspell takes its words; empty when a character
// has no place in it.
class Encoder {
public:
    explicit Encoder(const std::string& encoding)
    {
        std::string e = encoding;
        if (e.rfind("ISO8859", 0) == 0) e = "ISO-8859" + e.substr(7);
        if (e != "UTF-8") FIconv = iconv_open(e.c_str(), "UTF-8");
    }
    ~Encoder() { if (FIconv != (iconv_t)-1) iconv_close(FIconv); }
    std::string operator()(const std::string& w) const
    {
        if (FIconv == (iconv_t)-1) return w;
        std::string in = w, out(w.size() * 4 + 4, '\0');
        char *ip = in.data(), *op = out.data();
        size_t il = in.size(), ol = out.size();
        iconv(FIconv, nullptr, nullptr, nullptr, nullptr);
        if (iconv(FIconv, &ip, &il, &op, &ol) == (size_t)-1) return {};
        out.resize(out.size() - ol);
        return out;
    }

private:
    iconv_t FIconv = (iconv_t)-1;
};

// Every Nth stem of the dictionary file (the text before its flags), in UTF-8.
std::vector<std::string> Stems(const std::string& dicPath, const std::string& encoding, size_t want)
{
    std::ifstream f(dicPath, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(f, l);) lines.push_back(l);
    std::string from = encoding.rfind("ISO8859", 0) == 0 ? "ISO-8859" + encoding.substr(7) : encoding;
    iconv_t cd = iconv_open("UTF-8", from.c_str());
    std::vector<std::string> out;
    size_t step = std::max<size_t>(1, lines.size() / want);
    for (size_t i = 1; i < lines.size(); i += step) {
        std::string w = lines[i].substr(0, lines[i].find_first_of("/\t \r"));
        if (w.empty() || w[0] == '#') continue;
        if (cd != (iconv_t)-1 && encoding != "UTF-8") {
            std::string o(w.size() * 4 + 4, '\0');
            char *ip = w.data(), *op = o.data();
            size_t il = w.size(), ol = o.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == (size_t)-1) continue;
            o.resize(o.size() - ol);
            w = o;
        }
        out.push_back(w);
    }
    if (cd != (iconv_t)-1) iconv_close(cd);
    return out;
}

// A copy of each word with its middle letter replaced by one of the language's letters.
std::vector<std::string> Changed(const std::vector<std::string>& words, const std::u32string& letters)
{
    std::vector<std::string> out;
    std::u32string abc = letters.empty() ? std::u32string(U"eaiotnsr") : letters;
    for (size_t i = 0; i < words.size(); ++i) {
        std::u32string u = pwspell::FromUtf8(words[i]);
        if (u.size() < 2) continue;
        char32_t c = abc[i % abc.size()];
        size_t m = u.size() / 2;
        if (c == u[m] || c == U'-' || c == U'\'') continue;
        u[m] = c;
        out.push_back(pwspell::ToUtf8(u));
    }
    return out;
}

struct Verdicts {
    size_t Distinct = 0, Differ = 0;
    double Weight = 0, WeightAgree = 0;
    std::vector<std::string> Examples;
};

std::string Sweep1(const std::string& dir, const std::string& name, const std::string& textDir, size_t maxWords)
{
    const std::string base = dir + "/" + name;
    char line[512];
    // Both files are read once before anything is timed: the engine loading first would
    // otherwise pay alone for a file cache that is cold (milliseconds, more than a small
    // dictionary takes to load).
    for (const char* ext : {".aff", ".dic"}) {
        std::ifstream f(base + ext, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
    }
    pwspell::Dictionary ours;
    double loadOurs;
    try {
        loadOurs = Seconds([&] { ours.LoadFiles(base + ".aff", base + ".dic"); });
        for (int i = 1; i < Repeats(); ++i) {
            pwspell::Dictionary again;  // freed outside the timing
            loadOurs = std::min(loadOurs, Seconds([&] { again.LoadFiles(base + ".aff", base + ".dic"); }));
        }
    } catch (const pwspell::DictionaryError& e) {
        std::snprintf(line, sizeof line, "%-10s does not load: %s", name.c_str(), e.what());
        return line;
    }
    std::unique_ptr<Hunspell> theirs;
    double loadTheirs = 0;
    for (int i = 0; i < Repeats(); ++i) {
        theirs.reset();
        double t = Seconds([&] { theirs = std::make_unique<Hunspell>((base + ".aff").c_str(), (base + ".dic").c_str()); });
        loadTheirs = i == 0 ? t : std::min(loadTheirs, t);
    }
    Encoder enc(theirs->get_dic_encoding());
    // The prose of the language: the dictionary's full name, then its language alone.
    std::vector<std::string> prose;
    std::string lang = name.substr(0, name.find_first_of("_-"));
    for (std::string t : {name, lang, lang == "nb" || lang == "nn" ? std::string("nb") : std::string()}) {
        if (t.empty() || !std::filesystem::exists(textDir + "/" + t + ".txt")) continue;
        std::vector<std::string> words = Words(textDir + "/" + t + ".txt", maxWords);
        words.resize(words.size() - words.size() / 4);  // without Words' own changed copies
        if (words.size() > prose.size()) prose = std::move(words);
        // A locale of its own with a few messages (nb_NO) gives way to the language's prose.
        if (prose.size() >= 5000) break;
    }
    std::vector<std::string> stems = Stems(base + ".dic", theirs->get_dic_encoding(), 15000);
    std::vector<std::string> changes = Changed(stems, ours.TryChars());
    std::vector<std::string> proseChanges = Changed(prose, ours.TryChars());
    std::vector<std::string> all = prose;
    for (auto* v : {&proseChanges, &stems, &changes}) all.insert(all.end(), v->begin(), v->end());
    std::vector<std::string> encoded(all.size());
    for (size_t i = 0; i < all.size(); ++i) encoded[i] = enc(all[i]);
    std::vector<char> a(all.size()), b(all.size());
    double tOurs = BestSeconds([&] { for (size_t i = 0; i < all.size(); ++i) a[i] = ours.Check(all[i]); });
    double tTheirs = BestSeconds([&] {
        for (size_t i = 0; i < all.size(); ++i) b[i] = !encoded[i].empty() && theirs->spell(encoded[i]);
    });
    // Agreement on prose (weighted by occurrences) and on stems and changes (distinct words).
    Verdicts p, s;
    const char* diffs = std::getenv("BENCH_DIFFS");
    const size_t listed = diffs && std::atoi(diffs) > 1 ? std::atoi(diffs) : 12;
    std::map<std::string, std::pair<size_t, bool>> seen;
    for (size_t i = 0; i < all.size(); ++i) {
        bool isProse = i < prose.size() + proseChanges.size();
        Verdicts& v = isProse ? p : s;
        auto [it, fresh] = seen.emplace(all[i], std::make_pair(size_t(0), isProse));
        v.Weight += 1;
        if (a[i] == b[i]) v.WeightAgree += 1;
        if (!fresh) continue;
        ++v.Distinct;
        if (a[i] != b[i]) {
            ++v.Differ;
            if (v.Examples.size() < listed) v.Examples.push_back(all[i] + (a[i] ? "+" : "-"));
        }
    }
    double loadNu = 0, tNu = 0;
#ifdef WITH_NUSPELL
    try {
        nuspell::Dictionary nu;
        for (int i = 0; i < Repeats(); ++i) {
            nuspell::Dictionary again;
            double t = Seconds([&] { again.load_aff_dic(base + ".aff"); });
            loadNu = i == 0 ? t : std::min(loadNu, t);
            if (i == 0) nu = std::move(again);
        }
        tNu = BestSeconds([&] { for (size_t i = 0; i < all.size(); ++i) b[i] = nu.spell(all[i]); });
    } catch (const std::exception&) {
        loadNu = tNu = -1;
    }
#endif
    auto pct = [](const Verdicts& v) { return v.Weight ? 100.0 * v.WeightAgree / v.Weight : 100.0; };
    std::snprintf(line, sizeof line,
                  "%-10s | %7zu | %6.3f %6.3f %6.3f | %5.2f | %6.0f %6.0f %6.0f | %5.2f | %7.3f%% %6zu %4zu | %7.3f%% %6zu %4zu",
                  name.c_str(), ours.StemCount(), loadOurs, loadTheirs, loadNu, loadOurs / loadTheirs,
                  all.size() / tOurs / 1000, all.size() / tTheirs / 1000, tNu > 0 ? all.size() / tNu / 1000 : 0.0,
                  tTheirs / tOurs, pct(p), p.Distinct, p.Differ, pct(s), s.Distinct, s.Differ);
    std::string out = line;
    if (std::getenv("BENCH_DIFFS"))
        for (const Verdicts* v : {&p, &s})
            if (!v->Examples.empty()) {
                out += "\n    ";
                out += v == &p ? "prose:" : "stems:";
                for (const std::string& e : v->Examples) out += " " + e;
            }
    return out;
}

// The misspelling and correction pairs of an autocorrect word list (DocumentList.xml:
// block-list:abbreviated-name="wrong" block-list:name="right"), entities decoded.
std::vector<std::pair<std::string, std::string>> AutocorrectPairs(const std::string& text)
{
    auto decode = [](const std::string& v) {
        std::string out;
        for (size_t i = 0; i < v.size(); ++i) {
            size_t semi = v[i] == '&' ? v.find(';', i) : std::string::npos;
            if (semi == std::string::npos) { out += v[i]; continue; }
            std::string e = v.substr(i + 1, semi - i - 1);
            char32_t c = 0;
            if (e == "amp") c = '&';
            else if (e == "lt") c = '<';
            else if (e == "gt") c = '>';
            else if (e == "quot") c = '"';
            else if (e == "apos") c = '\'';
            else if (e.size() > 2 && e[0] == '#' && e[1] == 'x') c = std::strtoul(e.c_str() + 2, nullptr, 16);
            else if (e.size() > 1 && e[0] == '#') c = std::strtoul(e.c_str() + 1, nullptr, 10);
            if (!c) { out += v[i]; continue; }
            out += pwspell::ToUtf8(std::u32string(1, c));
            i = semi;
        }
        return out;
    };
    auto attribute = [&](size_t from, size_t end, const std::string& name) {
        size_t a = text.find(" " + name + "=\"", from);
        if (a == std::string::npos || a > end) return std::string();
        a += name.size() + 3;
        return decode(text.substr(a, text.find('"', a) - a));
    };
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t at = text.find("<block-list:block "); at != std::string::npos; at = text.find("<block-list:block ", at + 1)) {
        size_t end = text.find('>', at);
        std::string wrong = attribute(at, end, "block-list:abbreviated-name"), right = attribute(at, end, "block-list:name");
        if (!wrong.empty() && !right.empty()) out.emplace_back(wrong, right);
    }
    return out;
}

// Whether a word is letters only (and apostrophes or hyphens inside).
bool PlainWord(const std::string& w)
{
    std::u32string u = pwspell::FromUtf8(w);
    if (u.size() < 2) return false;
    for (size_t i = 0; i < u.size(); ++i) {
        char32_t c = u[i];
        bool inner = (c == U'\'' || c == 0x2019 || c == U'-') && i > 0 && i + 1 < u.size();
        if (!inner && !pwspell::IsUpper(c) && !pwspell::IsLower(c)) return false;
    }
    return true;
}

// Real misspellings: codespell's list (one "wrong->right" a line) or an autocorrect list
// (DocumentList.xml). How often each engine puts the right word first and in its list (ours
// with the look-alike batch), and how fast.
int Misspellings(const std::string& listPath, const std::string& base, size_t want)
{
    pwspell::Dictionary ours;
    ours.LoadFiles(base + ".aff", base + ".dic");
    Hunspell theirs((base + ".aff").c_str(), (base + ".dic").c_str());
    Encoder enc(theirs.get_dic_encoding());
    std::ifstream f(listPath, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::vector<std::pair<std::string, std::string>> pairs;
    const bool autocorrect = listPath.size() > 4 && listPath.substr(listPath.size() - 4) == ".xml";
    if (autocorrect) {
        pairs = AutocorrectPairs(ss.str());
    } else {
        for (std::string l; std::getline(ss, l);) {
            size_t arrow = l.find("->");
            if (arrow != std::string::npos) pairs.emplace_back(l.substr(0, arrow), l.substr(arrow + 2));
        }
    }
    // Cases: a misspelling Hunspell rejects, with one correction, a word Hunspell accepts. (An
    // autocorrect list also has symbols, abbreviations and phrases: only words to words count.)
    std::vector<std::pair<std::string, std::string>> cases;
    std::set<std::string> seen;
    for (const auto& [wrong, right] : pairs) {
        if (right.find_first_of(", ") != std::string::npos) continue;
        if (autocorrect && (!PlainWord(wrong) || !PlainWord(right) || !seen.insert(wrong).second)) continue;
        std::string w = enc(wrong), r = enc(right);
        if (w.empty() || r.empty() || !theirs.spell(r) || theirs.spell(w)) continue;
        cases.emplace_back(wrong, right);
    }
    size_t step = std::max<size_t>(1, cases.size() / want);
    struct Score { int First = 0, Listed = 0; double Total = 0, Worst = 0; } a, b, c;
#ifdef WITH_NUSPELL
    // Nuspell as a third opinion on the same cases (it takes UTF-8 whatever the dictionary's
    // encoding).
    std::unique_ptr<nuspell::Dictionary> nu;
    try {
        nu = std::make_unique<nuspell::Dictionary>();
        nu->load_aff_dic(base + ".aff");
    } catch (const std::exception&) {
        nu.reset();
    }
#endif
    int n = 0;
    // BENCH_MISSES: the cases Hunspell gets and we miss; BENCH_CASES: every case.
    bool misses = std::getenv("BENCH_MISSES") != nullptr, every = std::getenv("BENCH_CASES") != nullptr;
    for (size_t i = 0; i < cases.size(); i += step, ++n) {
        const auto& [wrong, right] = cases[i];
        std::u32string w = pwspell::FromUtf8(wrong), r = pwspell::FromUtf8(right);
        std::vector<std::u32string> mine;
        double da = Seconds([&] {
            mine = pwspell::SuggestEdits(ours, w, 10);
            std::vector<std::u32string> more = pwspell::SuggestSimilar(ours, w, 5, mine);
            mine.insert(mine.end(), more.begin(), more.end());
        });
        std::vector<std::string> hs;
        std::string wrongThere = enc(wrong), rightThere = enc(right);
        double db = Seconds([&] { hs = theirs.suggest(wrongThere); });
        bool mf = !mine.empty() && mine[0] == r, ml = std::find(mine.begin(), mine.end(), r) != mine.end();
        bool hf = !hs.empty() && hs[0] == rightThere, hl = std::find(hs.begin(), hs.end(), rightThere) != hs.end();
#ifdef WITH_NUSPELL
        if (nu) {
            std::vector<std::string> ns;
            double dc = Seconds([&] { nu->suggest(wrong, ns); });
            c.First += !ns.empty() && ns[0] == right;
            c.Listed += std::find(ns.begin(), ns.end(), right) != ns.end();
            c.Total += dc;
            c.Worst = std::max(c.Worst, dc);
        }
#endif
        a.First += mf; a.Listed += ml; a.Total += da; a.Worst = std::max(a.Worst, da);
        b.First += hf; b.Listed += hl; b.Total += db; b.Worst = std::max(b.Worst, db);
        if (every || (misses && ((hf && !mf) || (hl && !ml)))) {
            std::string o, t;
            for (size_t k = 0; k < mine.size() && k < 6; ++k) o += (k ? ", " : "") + pwspell::ToUtf8(mine[k]);
            for (size_t k = 0; k < hs.size() && k < 6; ++k) t += (k ? ", " : "") + hs[k];
            std::printf("  %s -> %s: ours%s %s; hunspell%s %s\n", wrong.c_str(), right.c_str(), every ? (mf ? "+" : ml ? "~" : "-") : "",
                        o.c_str(), every ? (hf ? "+" : hl ? "~" : "-") : "", t.c_str());
        }
    }
    std::printf("%s, %d misspellings: ours first %.1f%% listed %.1f%% mean %.1f ms worst %.0f ms; "
                "hunspell first %.1f%% listed %.1f%% mean %.1f ms worst %.0f ms\n",
                base.c_str(), n, 100.0 * a.First / n, 100.0 * a.Listed / n, 1000 * a.Total / n, 1000 * a.Worst,
                100.0 * b.First / n, 100.0 * b.Listed / n, 1000 * b.Total / n, 1000 * b.Worst);
#ifdef WITH_NUSPELL
    if (nu)
        std::printf("  nuspell first %.1f%% listed %.1f%% mean %.1f ms worst %.0f ms\n", 100.0 * c.First / n,
                    100.0 * c.Listed / n, 1000 * c.Total / n, 1000 * c.Worst);
#endif
    return 0;
}

// Every dictionary of the folder, one line each. Duplicates (links to one file) once.
int Sweep(const std::string& textDir, const std::string& dir, size_t maxWords, const std::string& only)
{
    std::set<std::string> names, files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        if (e.path().extension() != ".aff") continue;
        std::string n = e.path().stem().string();
        // BENCH_ONLY: names beginning with one of its comma-separated prefixes.
        bool wanted = only.empty();
        for (size_t p = 0; !wanted && p <= only.size();) {
            size_t e = std::min(only.find(',', p), only.size());
            if (e > p && n.compare(0, e - p, only, p, e - p) == 0) wanted = true;
            p = e + 1;
        }
        if (!wanted) continue;
        if (!std::filesystem::exists(dir + "/" + n + ".dic")) continue;
        names.insert(n);
    }
    std::printf("dictionary |  stems  | load s: ours hun nu | ratio | check k words/s: ours hun nu | speed | prose: agreement distinct differ | stems and changes: agreement distinct differ\n");
    for (const std::string& n : names) {
        std::string real = std::filesystem::canonical(dir + "/" + n + ".dic").string();
        if (!files.insert(real).second) continue;
        std::printf("%s\n", Sweep1(dir, n, textDir, maxWords).c_str());
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--sweep")
        return Sweep(argv[2], argc > 3 ? argv[3] : "/usr/share/hunspell", argc > 4 ? std::stoul(argv[4]) : 60000,
                     std::getenv("BENCH_ONLY") ? std::getenv("BENCH_ONLY") : "");
    if (argc >= 4 && std::string(argv[1]) == "--misspellings")
        return Misspellings(argv[2], argv[3], argc > 4 ? std::stoul(argv[4]) : 1000);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DICT_BASE WORDLIST [MAX_WORDS]\n"
                             "       %s --sweep TEXT_DIR [DICT_DIR [MAX_WORDS]]\n"
                             "       %s --misspellings LIST DICT_BASE [CASES]\n", argv[0], argv[0], argv[0]);
        return 2;
    }
    std::string base = argv[1];
    size_t max = argc > 3 ? std::stoul(argv[3]) : 200000;
    std::vector<std::string> words = Words(argv[2], max);
    // BENCH_SHUFFLE=1: the same words in a fixed random order (no run of a text's words
    // sharing stems and endings keeps the tables in the cache).
    if (std::getenv("BENCH_SHUFFLE")) std::shuffle(words.begin(), words.end(), std::mt19937(20261210));
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
