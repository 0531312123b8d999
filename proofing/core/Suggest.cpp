#include "Suggest.h"

#include "Text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <unordered_set>

namespace pwspell {

namespace {

struct Collector {
    const Dictionary& D;
    std::vector<std::u32string> Out;
    std::unordered_set<std::u32string> Seen;
    size_t Max;
    CaseKind Case;
    bool Compound;  // compounds count as words
    bool Exact = false;  // candidates count only as written
    bool Full() const { return Out.size() >= Max; }
    void Try(const std::u32string& candidate)
    {
        if (Full() || candidate.empty() || Seen.count(candidate)) return;
        Seen.insert(candidate);
        if (D.IsForbidden(candidate) || D.IsNoSuggest(candidate)) return;
        std::u32string shown = Shown(candidate);
        if (!D.CheckSuggestion(candidate, Compound, Exact) && (Exact || !D.CheckSuggestion(shown, Compound))) return;
        Add(shown);
    }
    // Two words, each of them correct, written with the separator between them.
    void TryPair(const std::u32string& first, const std::u32string& second, char32_t separator)
    {
        if (Full() || !D.CheckSuggestion(first, Compound) || !D.CheckSuggestion(second, Compound)) return;
        Add(Shown(first + separator + second));
    }
    std::u32string Shown(const std::u32string& candidate) const
    {
        return Case == CaseKind::AllCaps ? Upper(candidate, D.Turkic()) : Case == CaseKind::Initial ? Capitalized(candidate, D.Turkic()) : candidate;
    }
    void Add(const std::u32string& shown)
    {
        std::u32string out = D.OutputConvert(shown);
        if (std::find(Out.begin(), Out.end(), out) == Out.end()) Out.push_back(out);
    }
};

void Replacements(Collector& c, const std::u32string& w)
{
    for (const auto& [from, to] : c.D.Replacements()) {
        if (from.empty()) continue;
        for (size_t at = w.find(from); at != std::u32string::npos; at = w.find(from, at + 1)) {
            std::u32string t = w.substr(0, at) + to + w.substr(at + from.size());
            size_t space = t.find(U' ');  // "alot" to "a lot": two words
            if (space == std::u32string::npos) c.Try(t);
            else c.TryPair(t.substr(0, space), t.substr(space + 1), U' ');
        }
    }
}

void SimilarCharacters(Collector& c, const std::u32string& w, const std::vector<std::u32string>& groups)
{
    for (size_t i = 0; i < w.size(); ++i)
        for (const std::u32string& g : groups) {
            if (g.find(w[i]) == std::u32string::npos) continue;
            for (char32_t other : g)
                if (other != w[i] && other != U'|') {
                    std::u32string t = w;
                    t[i] = other;
                    c.Try(t);
                }
        }
}

// The typing slips, in the order in which they most often explain a misspelling: letters
// swapped (next to each other, then a little apart), a neighbouring key, a letter too many,
// one missing, one moved, one wrong, a pair of letters typed twice, two words run together.
void Edits(Collector& c, const std::u32string& w)
{
    const std::u32string& tryChars = c.D.TryChars().empty() ? std::u32string(U"etaoinshrdlucmfwypvbgkqjxz") : c.D.TryChars();
    const size_t n = w.size();
    for (size_t i = 0; i + 1 < n; ++i) {  // swapped neighbours
        std::u32string t = w;
        std::swap(t[i], t[i + 1]);
        c.Try(t);
    }
    for (size_t i = 0; i < n; ++i)  // swapped a little apart
        for (size_t j = i + 2; j < n && j <= i + 4; ++j) {
            std::u32string t = w;
            std::swap(t[i], t[j]);
            c.Try(t);
        }
    SimilarCharacters(c, w, c.D.KeyRows());
    // Positions are tried from the end of the word (slips cluster there), and the letters
    // to try in their order of frequency before positions.
    for (size_t i = n; i-- > 0;) c.Try(w.substr(0, i) + w.substr(i + 1));  // a letter too many
    for (char32_t ch : tryChars)  // a missing letter
        for (size_t i = n + 1; i-- > 0;) c.Try(w.substr(0, i) + ch + w.substr(i));
    for (size_t i = 0; i < n; ++i)  // a letter typed too early or too late
        for (size_t j = i + 2; j < n + 1 && j <= i + 4; ++j) {
            std::u32string later = w.substr(0, i) + w.substr(i + 1, j - i - 1) + w[i] + w.substr(j);
            c.Try(later);
            if (j < n) {
                std::u32string earlier = w.substr(0, i) + w[j] + w.substr(i, j - i) + w.substr(j + 1);
                c.Try(earlier);
            }
        }
    for (char32_t ch : tryChars)  // a wrong letter
        for (size_t i = n; i-- > 0;) {
            if (ch == w[i]) continue;
            std::u32string t = w;
            t[i] = ch;
            c.Try(t);
        }
    for (size_t i = 0; i + 3 < n; ++i)  // a pair of letters typed twice: "vacacation"
        if (w[i] == w[i + 2] && w[i + 1] == w[i + 3]) c.Try(w.substr(0, i) + w.substr(i + 2));
}

// Two words run together: the last resort, after every single slip in every case.
void TwoWords(Collector& c, const std::u32string& w)
{
    const std::u32string& tryChars = c.D.TryChars();
    bool dash = tryChars.find(U'-') != std::u32string::npos;
    for (size_t i = 1; i < w.size(); ++i) {
        c.TryPair(w.substr(0, i), w.substr(i), U' ');
        if (dash) c.TryPair(w.substr(0, i), w.substr(i), U'-');
    }
}

} // namespace

namespace {

void AllEdits(Collector& c, const std::u32string& w)
{
    c.Try(Capitalized(w, c.D.Turkic()));  // a word known only with a capital
    Replacements(c, w);
    SimilarCharacters(c, w, c.D.MapClasses());
    Edits(c, w);
}

} // namespace

std::vector<std::u32string> SuggestEdits(const Dictionary& Dict, const std::u32string& Word, size_t Max)
{
    const CaseKind k = CaseOf(Word);
    // Words of their own first; compounds only when no such word explains the misspelling.
    for (bool compound : {false, true}) {
        Collector c{Dict, {}, {}, Max, k, compound};
        if (k == CaseKind::Initial) {
            // As typed first (a capitalised noun), then as the same word in lower case.
            c.Case = CaseKind::None;
            c.Exact = true;
            AllEdits(c, Word);
            c.Case = k;
            c.Exact = false;
            AllEdits(c, Lower(Word, Dict.Turkic()));
            TwoWords(c, Lower(Word, Dict.Turkic()));
        } else {
            std::u32string w = k == CaseKind::AllCaps ? Lower(Word, Dict.Turkic()) : Word;
            AllEdits(c, w);
            TwoWords(c, w);
        }
        if (c.Out.size() > Max) c.Out.resize(Max);
        if (!c.Out.empty() || compound || !Dict.HasCompounds()) return c.Out;
    }
    return {};
}

std::vector<std::u32string> SuggestSimilar(const Dictionary& Dict, const std::u32string& Word, size_t Max,
                                           const std::vector<std::u32string>& Exclude)
{
    // Score: letter pairs in common, less the difference in length. Every stem of the
    // dictionary is scored, so this runs without allocating: pairs go to a small array.
    std::u32string w = Lower(Word, Dict.Turkic());
    constexpr size_t MaxPairs = 64;
    auto pairs = [](std::u32string_view s, uint64_t* out) {
        size_t n = 0;
        for (size_t i = 0; i + 1 < s.size() && n < MaxPairs; ++i)
            out[n++] = (uint64_t(ToLower(s[i])) << 32) | ToLower(s[i + 1]);
        std::sort(out, out + n);
        return n;
    };
    uint64_t mine[MaxPairs], theirs[MaxPairs];
    const size_t mineCount = pairs(w, mine);
    std::vector<std::pair<int, std::u32string>> best;
    Dict.ForEachStem([&](std::u32string_view stem) {
        if (stem.size() + 3 < w.size() || stem.size() > w.size() + 3) return;
        size_t theirCount = pairs(stem, theirs), common = 0;
        for (size_t a = 0, b = 0; a < mineCount && b < theirCount;) {
            if (mine[a] < theirs[b]) ++a;
            else if (theirs[b] < mine[a]) ++b;
            else { ++common; ++a; ++b; }
        }
        int score = 2 * static_cast<int>(common) - std::abs(static_cast<int>(stem.size()) - static_cast<int>(w.size()));
        if (score <= static_cast<int>(mineCount) / 2) return;
        best.emplace_back(score, std::u32string(stem));
    });
    std::sort(best.begin(), best.end(), [](const auto& a, const auto& b) { return a.first > b.first || (a.first == b.first && a.second < b.second); });
    std::vector<std::u32string> out;
    CaseKind k = CaseOf(Word);
    for (const auto& [score, stem] : best) {
        if (out.size() >= Max) break;
        if (!Dict.CheckSuggestion(stem)) continue;
        std::u32string shown = Dict.OutputConvert(k == CaseKind::AllCaps ? Upper(stem, Dict.Turkic()) : k == CaseKind::Initial ? Capitalized(stem, Dict.Turkic()) : stem);
        if (std::find(Exclude.begin(), Exclude.end(), shown) != Exclude.end()) continue;
        if (std::find(out.begin(), out.end(), shown) == out.end()) out.push_back(shown);
    }
    return out;
}

} // namespace pwspell
