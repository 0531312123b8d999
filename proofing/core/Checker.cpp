// Checking a word: exact stems, affix stripping, letter case, breaks and compounds.
#include "Dictionary.h"
#include "Text.h"

#include <algorithm>

namespace pwspell {

bool Dictionary::ConditionMatchesEnd(const AffixEntry& e, std::u32string_view stem)
{
    if (e.Condition.size() > stem.size()) return false;
    size_t base = stem.size() - e.Condition.size();
    for (size_t i = 0; i < e.Condition.size(); ++i) {
        const auto& cc = e.Condition[i];
        if (cc.Any) continue;
        bool in = cc.Chars.find(stem[base + i]) != std::u32string::npos;
        if (in == cc.Negated) return false;
    }
    return true;
}

bool Dictionary::ConditionMatchesStart(const AffixEntry& e, const std::u32string& stem)
{
    if (e.Condition.size() > stem.size()) return false;
    for (size_t i = 0; i < e.Condition.size(); ++i) {
        const auto& cc = e.Condition[i];
        if (cc.Any) continue;
        bool in = cc.Chars.find(stem[i]) != std::u32string::npos;
        if (in == cc.Negated) return false;
    }
    return true;
}

bool Dictionary::RootOk(const Homonym& h, bool CaseFolded) const
{
    if (Has(h.Flags, FForbidden)) return false;
    if (CaseFolded && Has(h.Flags, FKeepCase)) return false;
    return true;
}

bool Dictionary::SuffixMatches(const AffixEntry& e, const std::u32string& w, bool folded, const AffixEntry* prefix) const
{
    size_t a = e.Append.size();
    if (a == w.size() && !FFullStrip && e.Strip.empty()) return false;
    if (prefix && !(e.Cross && prefix->Cross)) return false;
    // A suffix that needs another affix, or belongs inside compounds, cannot end a word alone.
    if (Has(e.Continuation, FNeedAffix) || Has(e.Continuation, FOnlyInCompound)) return false;
    if (Has(e.Continuation, FCircumfix) && (!prefix || !Has(prefix->Continuation, FCircumfix))) return false;
    std::u32string built;
    std::u32string_view stem = std::u32string_view(w).substr(0, w.size() - a);
    if (!e.Strip.empty()) {
        built = std::u32string(stem) + e.Strip;
        stem = built;
    }
    if (stem.empty() || !ConditionMatchesEnd(e, stem)) return false;
    if (const auto* hs = Lookup(stem)) {
        for (const Homonym& h : *hs) {
            if (!Has(h.Flags, e.Id) || !RootOk(h, folded) || Has(h.Flags, FOnlyInCompound)) continue;
            if (prefix && !Has(h.Flags, prefix->Id) && !Has(e.Continuation, prefix->Id)) continue;
            return true;
        }
    }
    return !prefix && InnerSuffixAllows(e, std::u32string(stem), folded);
}

// Twofold suffixes: the stem may carry an inner suffix whose continuation allows Outer.
bool Dictionary::InnerSuffixAllows(const AffixEntry& Outer, const std::u32string& stem, bool folded) const
{
    auto it = FSuffixByContinuation.find(Outer.Id);
    if (it == FSuffixByContinuation.end()) return false;
    for (size_t i : it->second) {
        const AffixEntry& inner = FSuffixes[i];
        size_t b = inner.Append.size();
        if (b > stem.size() || stem.compare(stem.size() - b, b, inner.Append) != 0) continue;
        std::u32string root = stem.substr(0, stem.size() - b) + inner.Strip;
        if (root.empty() || !ConditionMatchesEnd(inner, root)) continue;
        if (const auto* hs = Lookup(root))
            for (const Homonym& h : *hs)
                if (Has(h.Flags, inner.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
    }
    return false;
}

bool Dictionary::CheckSuffixed(const std::u32string& w, bool folded, const AffixEntry* prefix, int) const
{
    size_t longest = std::min(FLongestSuffix, w.size());
    for (size_t a = 0; a <= longest; ++a) {
        auto it = FSuffixByAppend.find(std::u32string_view(w).substr(w.size() - a));
        if (it == FSuffixByAppend.end()) continue;
        for (size_t i : it->second)
            if (SuffixMatches(FSuffixes[i], w, folded, prefix)) return true;
    }
    return false;
}

bool Dictionary::CheckPrefixed(const std::u32string& w, bool folded) const
{
    size_t longest = std::min(FLongestPrefix, w.size());
    for (size_t len = 0; len <= longest; ++len) {
        auto it = FPrefixByAppend.find(std::u32string_view(w).substr(0, len));
        if (it == FPrefixByAppend.end()) continue;
        for (size_t pi : it->second) {
        const AffixEntry& p = FPrefixes[pi];
        size_t a = p.Append.size();
        if (a == w.size() && !FFullStrip && p.Strip.empty()) continue;
        if (Has(p.Continuation, FOnlyInCompound)) continue;
        if (Has(p.Continuation, FNeedAffix) || Has(p.Continuation, FCircumfix)) {
            // Only with a suffix.
        } else {
            std::u32string stem = p.Strip + w.substr(a);
            if (!stem.empty() && ConditionMatchesStart(p, stem))
                if (const auto* hs = Lookup(stem))
                    for (const Homonym& h : *hs)
                        if (Has(h.Flags, p.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
        }
        std::u32string stem = p.Strip + w.substr(a);
        if (!stem.empty() && ConditionMatchesStart(p, stem) && CheckSuffixed(stem, folded, &p, 0)) return true;
        }
    }
    return false;
}

bool Dictionary::CheckExact(const std::u32string& w, bool folded) const
{
    if (const auto* hs = Lookup(w))
        for (const Homonym& h : *hs)
            if (RootOk(h, folded) && !Has(h.Flags, FNeedAffix) && !Has(h.Flags, FOnlyInCompound)) return true;
    return CheckSuffixed(w, folded, nullptr, 0) || CheckPrefixed(w, folded);
}

bool Dictionary::CompoundPartOk(const std::u32string& part, int position) const
{
    // position: 0 first, 1 middle, 2 last. A part may be a stem with the compound flag of its
    // position, or an affixed form whose stem or affix carries that flag.
    Flag specific = position == 0 ? FCompoundBegin : position == 1 ? FCompoundMiddle : FCompoundEnd;
    auto allowed = [&](const FlagSet& f) { return Has(f, FCompoundFlag) || Has(f, specific); };
    if (const auto* hs = Lookup(part))
        for (const Homonym& h : *hs)
            if (!Has(h.Flags, FForbidden) && allowed(h.Flags)) return true;
    size_t longest = std::min(FLongestSuffix, part.size() - 1);
    for (size_t a = 0; a <= longest; ++a) {
        auto it = FSuffixByAppend.find(std::u32string_view(part).substr(part.size() - a));
        if (it == FSuffixByAppend.end()) continue;
        for (size_t i : it->second) {
            const AffixEntry& e = FSuffixes[i];
            // Inside a compound only affixes that say so may stand before the next part.
            if (position < 2 && !allowed(e.Continuation)) continue;
            std::u32string stem = part.substr(0, part.size() - a) + e.Strip;
            if (stem.empty() || !ConditionMatchesEnd(e, stem)) continue;
            if (const auto* hs = Lookup(stem))
                for (const Homonym& h : *hs)
                    if (Has(h.Flags, e.Id) && !Has(h.Flags, FForbidden) && (allowed(h.Flags) || allowed(e.Continuation)))
                        return true;
        }
    }
    return false;
}

bool Dictionary::CheckCompound(const std::u32string& w, size_t start, int parts) const
{
    if (!FCompoundFlag && !FCompoundBegin) return false;
    if (parts > 8) return false;
    for (size_t i = start + FCompoundMin; i + FCompoundMin <= w.size(); ++i) {
        std::u32string first = w.substr(start, i - start);
        if (!CompoundPartOk(first, parts == 0 ? 0 : 1)) continue;
        // Parts after the first are written in lower case inside the word.
        std::u32string rest = w.substr(i);
        if (CompoundPartOk(rest, 2)) return true;
        if (!rest.empty() && IsLower(rest[0])) {
            std::u32string cap = rest;
            cap[0] = ToUpper(cap[0]);
            if (CompoundPartOk(cap, 2)) return true;
        }
        if (CheckCompound(w, i, parts + 1)) return true;
    }
    return false;
}

bool Dictionary::StemHasFlag(const std::u32string& stem, Flag f) const
{
    if (const auto* hs = Lookup(stem))
        for (const Homonym& h : *hs)
            if (Has(h.Flags, f) && !Has(h.Flags, FForbidden)) return true;
    return false;
}

// A compound rule: each token a flag with an optional '*' (any number) or '?' (at most one).
bool Dictionary::MatchRule(const std::u32string& w, size_t pos, const std::vector<FlagSet>& rule, size_t t,
                           int parts) const
{
    if (t == rule.size()) return pos == w.size() && parts >= 2;
    Flag flag = rule[t][0], q = rule[t][1];
    if (q != 0 && MatchRule(w, pos, rule, t + 1, parts)) return true;
    for (size_t end = pos + 1; end <= w.size(); ++end) {
        if (!StemHasFlag(w.substr(pos, end - pos), flag)) continue;
        if (MatchRule(w, end, rule, q == U'*' ? t : t + 1, parts + 1)) return true;
    }
    return false;
}

bool Dictionary::CheckBreaks(const std::u32string& w, int depth) const
{
    if (depth > 4) return false;
    for (const std::u32string& b : FBreak) {
        if (b.empty()) continue;
        if (b[0] == U'^') {
            std::u32string p = b.substr(1);
            if (!p.empty() && w.size() > p.size() && w.compare(0, p.size(), p) == 0)
                return CheckCased(w.substr(p.size()), true);
            continue;
        }
        if (b.back() == U'$') {
            std::u32string p = b.substr(0, b.size() - 1);
            if (!p.empty() && w.size() > p.size() && w.compare(w.size() - p.size(), p.size(), p) == 0)
                return CheckCased(w.substr(0, w.size() - p.size()), true);
            continue;
        }
        size_t at = w.find(b);
        if (at == std::u32string::npos || at == 0 || at + b.size() >= w.size()) continue;
        std::u32string left = w.substr(0, at), right = w.substr(at + b.size());
        if (CheckCased(left, true) && (CheckCased(right, true) || CheckBreaks(right, depth + 1))) return true;
    }
    return false;
}

bool Dictionary::CheckCased(const std::u32string& w, bool AllowCompound) const
{
    if (CheckExact(w, false)) return true;
    CaseKind k = CaseOf(w);
    if (k == CaseKind::Initial || k == CaseKind::AllCaps) {
        if (CheckExact(Lower(w), true)) return true;
        if (k == CaseKind::AllCaps && CheckExact(Capitalized(w), true)) return true;
        if (k == CaseKind::AllCaps && FCheckSharps) {
            std::u32string l = Lower(w);
            for (size_t at = l.find(U"ss"); at != std::u32string::npos; at = l.find(U"ss", at + 1)) {
                std::u32string s = l.substr(0, at) + U"\u00DF" + l.substr(at + 2);
                // Words with sharp s may be written with SS in capitals, even those that keep their case.
                if (CheckExact(s, false) || CheckExact(Capitalized(s), false)) return true;
            }
        }
    }
    if (AllowCompound) {
        for (const auto& rule : FCompoundRules)
            if (w.size() <= 64 && MatchRule(w, 0, rule, 0, 0)) return true;
        if (CheckCompound(w, 0, 0)) return true;
        if (k == CaseKind::Initial && CheckCompound(Lower(w), 0, 0)) return true;
    }
    return false;
}

bool Dictionary::Check(const std::string& Word) const { return Check(FromUtf8(Word)); }

bool Dictionary::Check(const std::u32string& Word) const
{
    std::u32string w = Convert(Word);
    if (w.empty()) return true;
    // Numbers (with their separators) are always right.
    if (std::all_of(w.begin(), w.end(), [](char32_t c) { return (c >= U'0' && c <= U'9') || c == U'.' || c == U',' || c == U'-'; })
        && std::any_of(w.begin(), w.end(), [](char32_t c) { return c >= U'0' && c <= U'9'; }))
        return true;
    if (IsForbidden(w)) return false;
    // A trailing full stop of an abbreviation.
    if (CheckCased(w, true)) return true;
    if (w.size() > 1 && w.back() == U'.' && CheckCased(w.substr(0, w.size() - 1), true)) return true;
    return CheckBreaks(w, 0);
}

} // namespace pwspell
