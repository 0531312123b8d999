// Checking a word: exact stems, affix stripping, letter case, breaks and compounds. Words are
// passed as views; the few words built on the way (a stem with its stripped letters put back,
// a lower-case form) live in stack buffers.
#include "Dictionary.h"
#include "Text.h"

#include <algorithm>

namespace pwspell {

namespace {

// Two pieces of text joined, on the stack when they fit.
class Joined {
public:
    Joined(std::u32string_view a, std::u32string_view b)
    {
        size_t n = a.size() + b.size();
        char32_t* p = FBuffer;
        if (n > Capacity) {
            FHeap.resize(n);
            p = FHeap.data();
        }
        std::copy(a.begin(), a.end(), p);
        std::copy(b.begin(), b.end(), p + a.size());
        FView = std::u32string_view(p, n);
    }
    Joined(const Joined&) = delete;
    Joined& operator=(const Joined&) = delete;
    std::u32string_view View() const { return FView; }

private:
    static constexpr size_t Capacity = 128;
    char32_t FBuffer[Capacity];
    std::u32string FHeap;
    std::u32string_view FView;
};

bool IsNumber(std::u32string_view w)
{
    bool digit = false;
    for (size_t i = 0; i < w.size(); ++i) {
        char32_t c = w[i];
        if (c >= U'0' && c <= U'9') { digit = true; continue; }
        // Separators stand between digits, one at a time.
        if ((c == U'.' || c == U',' || c == U'-') && i > 0 && i + 1 < w.size() && w[i - 1] >= U'0' && w[i - 1] <= U'9')
            continue;
        return false;
    }
    return digit;
}

} // namespace

bool Dictionary::ConditionMatchesEnd(const AffixEntry& e, View stem)
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

bool Dictionary::ConditionMatchesStart(const AffixEntry& e, View stem)
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

bool Dictionary::RootOk(const Homonym& h, int CaseMode) const
{
    if (Has(h.Flags, FForbidden)) return false;
    if ((CaseMode & ForSuggestion) && Has(h.Flags, FNoSuggest)) return false;
    int casing = CaseMode & ~ForSuggestion;
    if (casing != AsTyped && Has(h.Flags, FKeepCase)) return false;
    return casing == FoldedCapitals || !Has(h.Flags, OnlyUpperCase);
}

bool Dictionary::SuffixMatches(const AffixEntry& e, View w, int folded, const AffixEntry* prefix) const
{
    size_t a = e.Append.size();
    if (a == w.size() && !FFullStrip && e.Strip.empty()) return false;
    if (prefix && !(e.Cross && prefix->Cross)) return false;
    // A suffix that needs another affix ends a word only behind a prefix; one that belongs
    // inside compounds never does.
    if (Has(e.Continuation, FOnlyInCompound)) return false;
    if (Has(e.Continuation, FNeedAffix) && (!prefix || Has(prefix->Continuation, FNeedAffix))) return false;
    // The two halves of a circumfix come together or not at all.
    bool circumfix = Has(e.Continuation, FCircumfix);
    if (circumfix != (prefix && Has(prefix->Continuation, FCircumfix))) return false;
    Joined stem(w.substr(0, w.size() - a), e.Strip);
    if (stem.View().empty() || !ConditionMatchesEnd(e, stem.View())) return false;
    if (const auto* hs = Lookup(stem.View())) {
        for (const Homonym& h : *hs) {
            if (!RootOk(h, folded) || Has(h.Flags, FOnlyInCompound)) continue;
            // Each affix is allowed by the stem or by the continuation of the other one.
            if (!Has(h.Flags, e.Id) && !(prefix && Has(prefix->Continuation, e.Id))) continue;
            if (prefix && !Has(h.Flags, prefix->Id) && !Has(e.Continuation, prefix->Id)) continue;
            return true;
        }
    }
    return !prefix && InnerSuffixAllows(e, stem.View(), folded);
}

// Twofold suffixes: the stem may carry an inner suffix whose continuation allows Outer.
bool Dictionary::InnerSuffixAllows(const AffixEntry& Outer, View stem, int folded) const
{
    auto it = FSuffixByContinuation.find(Outer.Id);
    if (it == FSuffixByContinuation.end()) return false;
    for (size_t i : it->second) {
        const AffixEntry& inner = FSuffixes[i];
        size_t b = inner.Append.size();
        if (b > stem.size() || !stem.ends_with(inner.Append)) continue;
        Joined root(stem.substr(0, stem.size() - b), inner.Strip);
        if (root.View().empty() || !ConditionMatchesEnd(inner, root.View())) continue;
        if (const auto* hs = Lookup(root.View()))
            for (const Homonym& h : *hs)
                if (Has(h.Flags, inner.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
    }
    return false;
}

bool Dictionary::CheckSuffixed(View w, int folded, const AffixEntry* prefix) const
{
    size_t longest = std::min(FLongestSuffix, w.size());
    for (size_t a = 0; a <= longest; ++a) {
        const auto* rules = FSuffixByAppend.Find(w.substr(w.size() - a));
        if (!rules) continue;
        for (size_t i : *rules)
            if (SuffixMatches(FSuffixes[i], w, folded, prefix)) return true;
    }
    return false;
}

bool Dictionary::PrefixMatches(const AffixEntry& p, View w, int folded) const
{
    size_t a = p.Append.size();
    if (a == w.size() && !FFullStrip && p.Strip.empty()) return false;
    if (Has(p.Continuation, FOnlyInCompound)) return false;
    Joined stem(p.Strip, w.substr(a));
    if (stem.View().empty() || !ConditionMatchesStart(p, stem.View())) return false;
    // A prefix that needs another affix stands only with a suffix. (A circumfix prefix may
    // stand alone: only the suffix half insists on its partner.)
    if (!Has(p.Continuation, FNeedAffix))
        if (const auto* hs = Lookup(stem.View()))
            for (const Homonym& h : *hs)
                if (Has(h.Flags, p.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
    return p.Cross && CheckSuffixed(stem.View(), folded, &p);
}

bool Dictionary::CheckPrefixed(View w, int folded) const
{
    size_t longest = std::min(FLongestPrefix, w.size());
    for (size_t len = 0; len <= longest; ++len) {
        const auto* rules = FPrefixByAppend.Find(w.substr(0, len));
        if (!rules) continue;
        for (size_t i : *rules)
            if (PrefixMatches(FPrefixes[i], w, folded)) return true;
    }
    return false;
}

bool Dictionary::CheckExact(View w, int folded) const
{
    // The first homonym that may stand alone decides, even when its case rules reject the word.
    if (const auto* hs = Lookup(w))
        for (const Homonym& h : *hs) {
            if (Has(h.Flags, FNeedAffix) || Has(h.Flags, FOnlyInCompound)) continue;
            if ((folded & ~ForSuggestion) != FoldedCapitals && Has(h.Flags, OnlyUpperCase)) continue;
            return RootOk(h, folded);
        }
    return CheckSuffixed(w, folded, nullptr) || CheckPrefixed(w, folded);
}

bool Dictionary::CompoundPartOk(View part, int position) const
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
        const auto* rules = FSuffixByAppend.Find(part.substr(part.size() - a));
        if (!rules) continue;
        for (size_t i : *rules) {
            const AffixEntry& e = FSuffixes[i];
            // Inside a compound only affixes that say so may stand before the next part.
            if (position < 2 && !allowed(e.Continuation)) continue;
            Joined stem(part.substr(0, part.size() - a), e.Strip);
            if (stem.View().empty() || !ConditionMatchesEnd(e, stem.View())) continue;
            if (const auto* hs = Lookup(stem.View()))
                for (const Homonym& h : *hs)
                    if (Has(h.Flags, e.Id) && !Has(h.Flags, FForbidden) && (allowed(h.Flags) || allowed(e.Continuation)))
                        return true;
        }
    }
    return false;
}

bool Dictionary::CheckCompound(View w, size_t start, int parts) const
{
    if (!FCompoundFlag && !FCompoundBegin) return false;
    if (parts > 8) return false;
    for (size_t i = start + FCompoundMin; i + FCompoundMin <= w.size(); ++i) {
        if (!CompoundPartOk(w.substr(start, i - start), parts == 0 ? 0 : 1)) continue;
        // Parts after the first are written in lower case inside the word.
        View rest = w.substr(i);
        if (CompoundPartOk(rest, 2)) return true;
        if (!rest.empty() && IsLower(rest[0])) {
            char32_t first[1] = {ToUpper(rest[0], FTurkic)};
            Joined cap(View(first, 1), rest.substr(1));
            if (CompoundPartOk(cap.View(), 2)) return true;
        }
        if (CheckCompound(w, i, parts + 1)) return true;
    }
    return false;
}

bool Dictionary::StemHasFlag(View stem, Flag f) const
{
    if (const auto* hs = Lookup(stem))
        for (const Homonym& h : *hs)
            if (Has(h.Flags, f) && !Has(h.Flags, FForbidden)) return true;
    return false;
}

// A compound rule: each token a flag with an optional '*' (any number) or '?' (at most one).
bool Dictionary::MatchRule(View w, size_t pos, const std::vector<FlagSet>& rule, size_t t, int parts) const
{
    if (t == rule.size()) return pos == w.size() && parts >= 2;
    Flag flag = rule[t][0], q = rule[t][1];
    if (q != 0 && MatchRule(w, pos, rule, t + 1, parts)) return true;
    for (size_t end = pos + FCompoundMin; end <= w.size(); ++end) {
        if (!StemHasFlag(w.substr(pos, end - pos), flag)) continue;
        if (MatchRule(w, end, rule, q == U'*' ? t : t + 1, parts + 1)) return true;
    }
    return false;
}

// Words joined by break patterns: each side must be a word of its own (checked in full, so
// numbers, trailing dots and further breaks count).
bool Dictionary::CheckBreaks(View w, int Mode) const
{
    for (const std::u32string& b : FBreak) {
        if (b.size() < 2) continue;
        if (b[0] == U'^' && w.size() >= b.size() && w.starts_with(View(b).substr(1)) && Spell(w.substr(b.size() - 1), Mode))
            return true;
        if (b.back() == U'$' && w.size() >= b.size() && w.ends_with(View(b).substr(0, b.size() - 1)) &&
            Spell(w.substr(0, w.size() - b.size() + 1), Mode))
            return true;
    }
    for (const std::u32string& b : FBreak) {
        size_t first = w.find(b);
        if (b.empty() || first == 0 || first == View::npos || first + b.size() >= w.size()) continue;
        // At the second occurrence first, so that dictionary words holding a break are found.
        size_t second = w.find(b, first + 1);
        for (size_t at : {second, first}) {
            if (at == View::npos || at + b.size() >= w.size()) continue;
            if (Spell(w.substr(at + b.size()), Mode) && Spell(w.substr(0, at), Mode)) return true;
        }
    }
    return false;
}

bool Dictionary::CheckCased(View w, bool AllowCompound, int Mode) const
{
    if (CheckExact(w, Mode | AsTyped)) return true;
    CaseKind k = CaseOf(w);
    if (k == CaseKind::Initial || k == CaseKind::AllCaps) {
        std::u32string lower = Lower(w, FTurkic);
        if (CheckExact(lower, Mode | (k == CaseKind::AllCaps ? FoldedCapitals : Folded))) return true;
        if (k == CaseKind::AllCaps && CheckExact(Capitalized(w, FTurkic), Mode | FoldedCapitals)) return true;
        if (k == CaseKind::AllCaps && FCheckSharps) {
            for (size_t at = lower.find(U"ss"); at != std::u32string::npos; at = lower.find(U"ss", at + 1)) {
                std::u32string s = lower.substr(0, at) + U"\u00DF" + lower.substr(at + 2);
                // Words with sharp s may be written with SS in capitals, even those that keep their case.
                if (CheckExact(s, Mode) || CheckExact(Capitalized(s, FTurkic), Mode)) return true;
            }
        }
    }
    if (AllowCompound && w.size() <= 64) {
        for (const auto& rule : FCompoundRules)
            if (MatchRule(w, 0, rule, 0, 0)) return true;
        if (CheckCompound(w, 0, 0)) return true;
        if ((k == CaseKind::Initial || k == CaseKind::AllCaps) && CheckCompound(Lower(w, FTurkic), 0, 0)) return true;
        if (k == CaseKind::AllCaps && CheckCompound(Capitalized(w, FTurkic), 0, 0)) return true;
    }
    return false;
}

bool Dictionary::Check(const std::string& Word) const
{
    // Short words are decoded on the stack.
    char32_t buffer[256];
    if (Word.size() > std::size(buffer)) return Check(View(FromUtf8(Word)));
    return Check(View(buffer, DecodeUtf8(Word, buffer)));
}

bool Dictionary::Check(View Word) const
{
    std::u32string converted;
    View w = Word;
    if (!FConvertStarts.empty() && std::any_of(Word.begin(), Word.end(), [&](char32_t c) { return FConvertStarts.find(c) != std::u32string::npos; })) {
        converted = Convert(Word);
        w = converted;
    }
    return Spell(w, AsTyped);
}

bool Dictionary::CheckSuggestion(View Word, bool AllowCompound, bool ExactCase) const
{
    std::u32string converted;
    View w = Word;
    if (!FConvertStarts.empty()) {
        converted = Convert(Word);
        w = converted;
    }
    // A suggestion must be a word of its own: breaking it up at hyphens does not count, or
    // every inserted hyphen would make a "word" of two fragments.
    if (w.empty() || w.size() > MaxWordLength || IsForbidden(w)) return false;
    if (ExactCase) return CheckExact(w, ForSuggestion | AsTyped) || (AllowCompound && w.size() <= 64 && CheckCompound(w, 0, 0));
    return CheckCased(w, AllowCompound, ForSuggestion);
}

bool Dictionary::Spell(View Word, int Mode) const
{
    // Trailing full stops: the word without them, then with one (an abbreviation).
    size_t dots = 0;
    while (dots < Word.size() && Word[Word.size() - 1 - dots] == U'.') ++dots;
    View w = Word.substr(0, Word.size() - dots);
    if (w.empty()) return true;
    if (IsNumber(w)) return true;
    if (w.size() > MaxWordLength) return false;
    if (IsForbidden(w)) return false;
    if (CheckCased(w, true, Mode)) return true;
    if (dots && CheckCased(Word.substr(0, w.size() + 1), true, Mode)) return true;
    // Hyphenated chains of ten or more never pass.
    size_t breaks = 0;
    for (const std::u32string& b : FBreak)
        for (size_t at = b.empty() ? View::npos : w.find(b); at != View::npos; at = w.find(b, at + b.size())) ++breaks;
    if (breaks >= 10) return false;
    // Words in capitals are broken up with only their first letter in capitals.
    return CaseOf(w) == CaseKind::AllCaps ? CheckBreaks(Capitalized(w, FTurkic), Mode) : CheckBreaks(w, Mode);
}

} // namespace pwspell
