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
    bool Full() const { return Out.size() >= Max; }
    void Try(const std::u32string& candidate)
    {
        if (Full() || candidate.empty() || Seen.count(candidate)) return;
        Seen.insert(candidate);
        std::u32string shown = Case == CaseKind::AllCaps ? Upper(candidate)
                             : Case == CaseKind::Initial ? Capitalized(candidate) : candidate;
        if (D.IsForbidden(candidate) || D.IsNoSuggest(candidate)) return;
        size_t space = candidate.find(U' ');
        bool ok = space == std::u32string::npos
                      ? D.CheckSuggestion(candidate) || D.CheckSuggestion(shown)
                      : D.CheckSuggestion(candidate.substr(0, space)) && D.CheckSuggestion(candidate.substr(space + 1));
        if (!ok) return;
        shown = D.OutputConvert(shown);
        if (std::find(Out.begin(), Out.end(), shown) == Out.end()) Out.push_back(shown);
    }
};

void Replacements(Collector& c, const std::u32string& w)
{
    for (const auto& [from, to] : c.D.Replacements()) {
        if (from.empty()) continue;
        for (size_t at = w.find(from); at != std::u32string::npos; at = w.find(from, at + 1))
            c.Try(w.substr(0, at) + to + w.substr(at + from.size()));
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

void Edits(Collector& c, const std::u32string& w)
{
    const std::u32string& tryChars = c.D.TryChars().empty() ? std::u32string(U"etaoinshrdlucmfwypvbgkqjxz") : c.D.TryChars();
    for (size_t i = 0; i + 1 < w.size(); ++i) {  // swapped neighbours
        std::u32string t = w;
        std::swap(t[i], t[i + 1]);
        c.Try(t);
    }
    for (size_t i = 0; i + 1 < w.size(); ++i)  // a doubled letter
        if (w[i] == w[i + 1]) c.Try(w.substr(0, i) + w.substr(i + 1));
    for (size_t i = 0; i <= w.size(); ++i)  // missing letter
        for (char32_t ch : tryChars) c.Try(w.substr(0, i) + ch + w.substr(i));
    for (size_t i = 0; i < w.size(); ++i)  // wrong letter
        for (char32_t ch : tryChars) {
            if (ch == w[i]) continue;
            std::u32string t = w;
            t[i] = ch;
            c.Try(t);
        }
    for (size_t i = 0; i < w.size(); ++i) c.Try(w.substr(0, i) + w.substr(i + 1));  // extra letter
    for (size_t i = 1; i + 1 < w.size(); ++i) c.Try(w.substr(0, i) + U" " + w.substr(i));  // two words
}

} // namespace

std::vector<std::u32string> SuggestEdits(const Dictionary& Dict, const std::u32string& Word, size_t Max)
{
    Collector c{Dict, {}, {}, Max, CaseOf(Word)};
    std::u32string w = (c.Case == CaseKind::Initial || c.Case == CaseKind::AllCaps) ? Lower(Word) : Word;
    c.Try(Capitalized(w));  // a word known only with a capital
    Replacements(c, w);
    SimilarCharacters(c, w, Dict.MapClasses());
    for (size_t i = 0; i + 1 < w.size(); ++i)  // a letter typed twice
        if (w[i] == w[i + 1]) c.Try(w.substr(0, i) + w.substr(i + 1));
    SimilarCharacters(c, w, Dict.KeyRows());
    Edits(c, w);
    if (c.Out.size() > Max) c.Out.resize(Max);
    return c.Out;
}

std::vector<std::u32string> SuggestSimilar(const Dictionary& Dict, const std::u32string& Word, size_t Max,
                                           const std::vector<std::u32string>& Exclude)
{
    // Score: letter pairs in common, less the difference in length.
    std::u32string w = Lower(Word);
    auto pairs = [](const std::u32string& s) {
        std::vector<uint64_t> p;
        for (size_t i = 0; i + 1 < s.size(); ++i) p.push_back((uint64_t(s[i]) << 32) | s[i + 1]);
        std::sort(p.begin(), p.end());
        return p;
    };
    std::vector<uint64_t> mine = pairs(w);
    std::vector<std::pair<int, std::u32string>> best;
    Dict.ForEachStem([&](std::u32string_view stem) {
        if (stem.size() + 3 < w.size() || stem.size() > w.size() + 3) return;
        std::vector<uint64_t> theirs = pairs(Lower(stem));
        std::vector<uint64_t> common;
        std::set_intersection(mine.begin(), mine.end(), theirs.begin(), theirs.end(), std::back_inserter(common));
        int score = 2 * static_cast<int>(common.size()) - std::abs(static_cast<int>(stem.size()) - static_cast<int>(w.size()));
        if (score <= static_cast<int>(mine.size()) / 2) return;
        best.emplace_back(score, std::u32string(stem));
    });
    std::sort(best.begin(), best.end(), [](const auto& a, const auto& b) { return a.first > b.first || (a.first == b.first && a.second < b.second); });
    std::vector<std::u32string> out;
    CaseKind k = CaseOf(Word);
    for (const auto& [score, stem] : best) {
        if (out.size() >= Max) break;
        if (!Dict.CheckSuggestion(stem)) continue;
        std::u32string shown = Dict.OutputConvert(k == CaseKind::AllCaps ? Upper(stem) : k == CaseKind::Initial ? Capitalized(stem) : stem);
        if (std::find(Exclude.begin(), Exclude.end(), shown) != Exclude.end()) continue;
        if (std::find(out.begin(), out.end(), shown) == out.end()) out.push_back(shown);
    }
    return out;
}

} // namespace pwspell
