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
    Joined() = default;
    Joined(std::u32string_view a, std::u32string_view b) { Set(a, b); }
    PW_ALWAYS_INLINE void Set(std::u32string_view a, std::u32string_view b)
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

// The homonyms of a stem, looked up when first asked for: rules in a row that strip the same
// letters share the stem, and most are turned down before it is needed.
class Dictionary::StemLookup {
public:
    explicit StemLookup(const Dictionary& d) : FDictionary(d) {}
    void Reset(View Stem) { FStem = Stem; FDone = false; }
    // The stem with its homonyms already looked up.
    void Reset(View Stem, const HomonymList* Found)
    {
        FStem = Stem;
        FFound = Found;
        FDone = true;
    }
    const HomonymList* Get()
    {
        if (!FDone) { FFound = FDictionary.Lookup(FStem); FDone = true; }
        return FFound;
    }
private:
    const Dictionary& FDictionary;
    View FStem;
    bool FDone = false;
    const HomonymList* FFound = nullptr;
};

// The suffix rules whose text is the last A letters of the word, and the prefix rules whose
// text is its first Len letters (a bit test first turns down most endings).
const std::vector<size_t>* Dictionary::SuffixesEnding(View w, size_t a) const
{
    if (a >= FSuffixStarts.size() || !(FSuffixStarts[a] & LetterBit(a ? w[w.size() - a] : 0))) return nullptr;
    return FSuffixByAppend.Find(w.substr(w.size() - a));
}

const std::vector<size_t>* Dictionary::PrefixesStarting(View w, size_t len) const
{
    if (len >= FPrefixEnds.size() || !(FPrefixEnds[len] & LetterBit(len ? w[len - 1] : 0))) return nullptr;
    return FPrefixByAppend.Find(w.substr(0, len));
}

namespace {

// Whether the letter is in the character class of a condition.
inline bool InClass(const AffixEntry::CharClass& cc, char32_t c)
{
    if (cc.Any) return true;
    // Most classes are a single letter.
    bool in = cc.Chars.size() == 1 ? cc.Chars[0] == c : cc.Chars.find(c) != std::u32string::npos;
    return in != cc.Negated;
}

} // namespace

bool Dictionary::ConditionMatchesEnd(const AffixEntry& e, View stem)
{
    if (e.Condition.size() > stem.size()) return false;
    size_t base = stem.size() - e.Condition.size();
    for (size_t i = 0; i < e.Condition.size(); ++i)
        if (!InClass(e.Condition[i], stem[base + i])) return false;
    return true;
}

bool Dictionary::ConditionMatchesStart(const AffixEntry& e, View stem)
{
    if (e.Condition.size() > stem.size()) return false;
    for (size_t i = 0; i < e.Condition.size(); ++i)
        if (!InClass(e.Condition[i], stem[i])) return false;
    return true;
}

bool Dictionary::RootOk(const Homonym& h, int CaseMode) const
{
    if (Has(h.Flags, FForbidden)) return false;
    if ((CaseMode & ForSuggestion) && Has(h.Flags, FNoSuggest)) return false;
    int casing = CaseMode & ~(ForSuggestion | SharpCapital);
    if (casing != AsTyped && !(CaseMode & SharpCapital) && Has(h.Flags, FKeepCase)) return false;
    return casing == FoldedCapitals || !Has(h.Flags, OnlyUpperCase);
}

// Whether a suffix rule may stand with the prefix (null: none): both combine, and a suffix
// that needs another affix ends a word only behind a prefix that does not need one itself.
bool Dictionary::SuffixTakesPrefix(const AffixEntry& e, const AffixEntry* prefix)
{
    if (prefix && !(e.Cross && prefix->Cross)) return false;
    return !e.NeedAffix || (prefix && !prefix->NeedAffix);
}

// The suffix rule e on Stem (the word with the rule's text taken off and its stripped letters
// put back; Stems, its homonyms), with any of the prefixes.
bool Dictionary::SuffixMatches(const AffixEntry& e, View stem, StemLookup& stems, int folded, Prefixes prefixes) const
{
    if (!ConditionMatchesEnd(e, stem)) return false;
    bool any = false;
    for (const AffixEntry* prefix : prefixes) {
        if (!SuffixTakesPrefix(e, prefix)) continue;
        any = true;
        // The two halves of a circumfix come together or not at all (the suffix half may be
        // the inner one of two suffixes).
        bool prefixCircumfix = prefix && prefix->Circumfix;
        if (e.Circumfix != prefixCircumfix) continue;
        const HomonymList* hs = stems.Get();
        if (!hs) continue;
        for (const Homonym& h : *hs) {
            // Each affix is allowed by the stem or by the continuation of the other one.
            if (!Has(h.Flags, e.Id) && !(prefix && Has(prefix->Continuation, e.Id))) continue;
            if (prefix && !Has(h.Flags, prefix->Id) && !Has(e.Continuation, prefix->Id)) continue;
            if (!RootOk(h, folded) || Has(h.Flags, FOnlyInCompound)) continue;
            return true;
        }
    }
    // With complex prefixes the second affix is a prefix: one suffix only.
    return any && !FComplexPrefixes && InnerSuffixAllows(e, stem, folded, prefixes);
}

// Twofold suffixes: the stem may carry an inner suffix whose continuation allows Outer.
template <class F>
bool Dictionary::AnyInnerSuffix(const AffixEntry& outer, View stem, F visit) const
{
    if (outer.Inner < 0) return false;
    const InnerSuffixes& in = FSuffixByContinuation[static_cast<size_t>(outer.Inner)];
    size_t longest = std::min(in.Longest, stem.size());
    for (size_t b = 0; b <= longest; ++b) {
        if (!(in.Starts[b] & LetterBit(b ? stem[stem.size() - b] : 0))) continue;
        if (const auto* rules = in.ByAppend.Find(stem.substr(stem.size() - b)))
            for (size_t i : *rules)
                if (visit(FSuffixes[i])) return true;
    }
    return false;
}

bool Dictionary::InnerSuffixAllows(const AffixEntry& Outer, View stem, int folded, Prefixes prefixes) const
{
    Joined root;
    StemLookup roots(*this);
    const std::u32string* strip = nullptr;
    size_t taken = 0;
    return AnyInnerSuffix(Outer, stem, [&](const AffixEntry& inner) {
        if (!strip || taken != inner.Append.size() || *strip != inner.Strip) {
            strip = &inner.Strip;
            taken = inner.Append.size();
            root.Set(stem.substr(0, stem.size() - taken), inner.Strip);
            roots.Reset(root.View());
        }
        if (root.View().empty() || !ConditionMatchesEnd(inner, root.View())) return false;
        const auto* hs = roots.Get();
        if (!hs) return false;
        for (const Homonym& h : *hs) {
            if (!Has(h.Flags, inner.Id) || !RootOk(h, folded) || Has(h.Flags, FOnlyInCompound)) continue;
            for (const AffixEntry* prefix : prefixes) {
                if (!SuffixTakesPrefix(Outer, prefix)) continue;
                bool prefixCircumfix = prefix && prefix->Circumfix;
                if ((Outer.Circumfix || inner.Circumfix) != prefixCircumfix) continue;
                if (!prefix || Has(h.Flags, prefix->Id) || Has(inner.Continuation, prefix->Id) || Has(Outer.Continuation, prefix->Id))
                    return true;
            }
        }
        return false;
    });
}

bool Dictionary::CheckSuffixed(View w, int folded, Prefixes prefixes) const
{
    // Without FULLSTRIP a rule leaves at least one letter of the stem in the word.
    if (w.empty() && !FFullStrip) return false;
    size_t longest = std::min(FLongestSuffix, FFullStrip ? w.size() : w.size() - 1);
    // The hash state of each beginning of the word a rule may keep, the shortest first: a stem
    // is looked up from it and the letters the rule puts back, without being copied together.
    size_t shortest = w.size() - longest;
    uint64_t inlineStates[32];
    std::vector<uint64_t> heapStates;
    uint64_t* states = inlineStates;
    if (longest + 1 > std::size(inlineStates)) {
        heapStates.resize(longest + 1);
        states = heapStates.data();
    }
    bool hashed = false;  // the states are worked out at the first look-up (most words need none)
    // The word's ending reversed, hashed a letter further for each length tried: the groups
    // are keyed by their appended text reversed.
    char32_t inlineEnding[32];
    std::u32string heapEnding;
    char32_t* ending = inlineEnding;
    if (longest > std::size(inlineEnding)) {
        heapEnding.resize(longest);
        ending = heapEnding.data();
    }
    uint64_t endingState = HashStart;
    Joined stem;
    StemLookup stems(*this);
    for (size_t a = 0; a <= longest; ++a) {
        if (a) {
            ending[a - 1] = w[w.size() - a];
            endingState = HashAdd(endingState, ending[a - 1]);
        }
        if (a >= FSuffixStarts.size() || !(FSuffixStarts[a] & LetterBit(a ? w[w.size() - a] : 0))) continue;
        const auto* groups = FSuffixGroups.FindHashed(View(ending, a), endingState);
        if (!groups) continue;
        View kept = w.substr(0, w.size() - a);
        for (const SuffixGroup& g : *groups) {
            const std::u32string& strip = FSuffixes[g.StripRule].Strip;
            if (kept.empty() && strip.empty()) continue;
            if (!hashed) {
                states[0] = HashAdd(HashStart, w.substr(0, shortest));
                for (size_t k = 1; k <= longest; ++k) states[k] = HashAdd(states[k - 1], w[shortest + k - 1]);
                hashed = true;
            }
            const HomonymList* found = FWords.FindJoined(kept, strip, states[longest - a]);
            // Without its stem in the dictionary a rule can only stand on an inner suffix.
            if (!found && !g.AnyInner) continue;
            stem.Set(kept, strip);
            stems.Reset(stem.View(), found);
            for (uint32_t i : g.Rules) {
                const AffixEntry& e = FSuffixes[i];
                if (!found && e.Inner < 0) continue;
                if (SuffixMatches(e, stem.View(), stems, folded, prefixes)) return true;
            }
        }
    }
    return false;
}

// Twofold prefixes (COMPLEXPREFIXES): the stem may begin with an inner prefix whose
// continuation allows Outer, and may end with a suffix the inner prefix combines with.
bool Dictionary::InnerPrefixAllows(const AffixEntry& outer, View stem, int folded) const
{
    if (outer.Inner < 0) return false;
    const InnerSuffixes& in = FPrefixByContinuation[static_cast<size_t>(outer.Inner)];
    size_t longest = std::min(in.Longest, stem.size() - 1);
    for (size_t len = 1; len <= longest; ++len) {
        const auto* rules = in.ByAppend.Find(stem.substr(0, len));
        if (!rules) continue;
        for (size_t i : *rules) {
            const AffixEntry& inner = FPrefixes[i];
            if (inner.OnlyInCompound) continue;
            Joined root(inner.Strip, stem.substr(len));
            if (root.View().empty() || !ConditionMatchesStart(inner, root.View())) continue;
            if (const auto* hs = Lookup(root.View()))
                for (const Homonym& h : *hs)
                    if (Has(h.Flags, inner.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
            const AffixEntry* one[] = {&inner};
            if (inner.Cross && outer.Cross && CheckSuffixed(root.View(), folded, one)) return true;
        }
    }
    return false;
}

bool Dictionary::CheckPrefixed(View w, int folded) const
{
    // Without FULLSTRIP a rule leaves at least one letter of the stem in the word.
    if (w.empty() && !FFullStrip) return false;
    size_t longest = std::min(FLongestPrefix, FFullStrip ? w.size() : w.size() - 1);
    Joined stem;
    StemLookup stems(*this);
    // The prefixes that leave the same stem and combine with suffixes: the suffixes are
    // tried once for all of them.
    const AffixEntry* crossed[32];
    size_t nCrossed = 0;
    auto suffixed = [&] {
        bool found = nCrossed && CheckSuffixed(stem.View(), folded, Prefixes(crossed, nCrossed));
        nCrossed = 0;
        return found;
    };
    for (size_t len = 0; len <= longest; ++len) {
        const auto* rules = PrefixesStarting(w, len);
        if (!rules) continue;
        const std::u32string* strip = nullptr;
        for (size_t i : *rules) {
            const AffixEntry& p = FPrefixes[i];
            if (p.OnlyInCompound) continue;
            if (!strip || *strip != p.Strip) {
                if (suffixed()) return true;
                strip = &p.Strip;
                stem.Set(p.Strip, w.substr(len));
                stems.Reset(stem.View());
            }
            if (stem.View().empty() || !ConditionMatchesStart(p, stem.View())) continue;
            // A prefix that needs another affix stands only with a suffix. (A circumfix prefix
            // may stand alone: only the suffix half insists on its partner.)
            if (!p.NeedAffix)
                if (const auto* hs = stems.Get())
                    for (const Homonym& h : *hs)
                        if (Has(h.Flags, p.Id) && RootOk(h, folded) && !Has(h.Flags, FOnlyInCompound)) return true;
            if (FComplexPrefixes && InnerPrefixAllows(p, stem.View(), folded)) return true;
            if (p.Cross) {
                if (nCrossed == std::size(crossed) && suffixed()) return true;
                crossed[nCrossed++] = &p;
            }
        }
        if (suffixed()) return true;
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
    return CheckSuffixed(w, folded, NoPrefix) || CheckPrefixed(w, folded);
}

bool Dictionary::CompoundFlagFits(const FlagSet& f, int position) const
{
    Flag specific = position == Begin ? FCompoundBegin : position == Middle ? FCompoundMiddle : FCompoundEnd;
    return Has(f, FCompoundFlag) || Has(f, specific);
}

// A stem standing for a compound part: not forbidden, not one that needs an affix, not the
// form kept for words in capitals.
bool Dictionary::PartStemOk(const Homonym& h, int position) const
{
    // A stem with the compound forbid flag may only end a compound.
    return !Has(h.Flags, FForbidden) && !Has(h.Flags, OnlyUpperCase) &&
           (position == End || !FCompoundForbid || !Has(h.Flags, FCompoundForbid));
}

// A part made of a stem and a suffix. Suffixes end compounds; inside one, only those with
// the permit flag may stand. The stem or the suffix carries the flag of the position.
// With Prefix, the part is what follows that prefix: both affixes must allow the other.
const FlagSet* Dictionary::SuffixedPart(View part, int position, int* syllables, const AffixEntry* prefix,
                                        size_t minAppend) const
{
    // The rules by their text and stripped letters, as for whole words: a stem is looked up
    // once for a group, hashed from the part's beginning. Parts before the last take only
    // the rules with the permit flag.
    const PartSuffixes& table = position == End ? FLastPartSuffixes : FInnerPartSuffixes;
    const bool own = table.Own;
    const auto& allGroups = own ? table.Groups : FSuffixGroups;
    const auto& starts = own ? table.Starts : FSuffixStarts;
    if (part.empty()) return nullptr;
    size_t longest = std::min(own ? table.Longest : FLongestSuffix, part.size() - 1);
    size_t shortest = part.size() - longest;
    uint64_t inlineStates[32];
    std::vector<uint64_t> heapStates;
    uint64_t* states = inlineStates;
    char32_t inlineEnding[32];
    std::u32string heapEnding;
    char32_t* ending = inlineEnding;
    if (longest + 1 > std::size(inlineStates)) {
        heapStates.resize(longest + 1);
        states = heapStates.data();
        heapEnding.resize(longest + 1);
        ending = heapEnding.data();
    }
    bool hashed = false;
    uint64_t endingState = HashStart;
    Joined stem;
    for (size_t a = 0; a <= longest; ++a) {
        if (a) {
            ending[a - 1] = part[part.size() - a];
            endingState = HashAdd(endingState, ending[a - 1]);
        }
        if (a < minAppend || a >= starts.size() || !(starts[a] & LetterBit(a ? part[part.size() - a] : 0))) continue;
        const auto* groups = allGroups.FindHashed(View(ending, a), endingState);
        if (!groups) continue;
        View kept = part.substr(0, part.size() - a);
        // The first rule (in the affix file's order) that lets the part stand decides, as
        // its stem's flags are those returned.
        uint32_t best = UINT32_MAX;
        const FlagSet* found = nullptr;
        int foundSyllables = 0;
        for (const SuffixGroup& g : *groups) {
            if (g.Rules.front() > best) continue;
            const std::u32string& strip = FSuffixes[g.StripRule].Strip;
            if (kept.empty() && strip.empty()) continue;
            if (!hashed) {
                states[0] = HashAdd(HashStart, part.substr(0, shortest));
                for (size_t k = 1; k <= longest; ++k) states[k] = HashAdd(states[k - 1], part[shortest + k - 1]);
                hashed = true;
            }
            const HomonymList* hs = FWords.FindJoined(kept, strip, states[longest - a]);
            // Without its stem a rule can only stand on an inner suffix (on the last part).
            if (!hs && !(position == End && g.AnyInner)) continue;
            stem.Set(kept, strip);
            for (uint32_t i : g.Rules) {
                if (i > best) break;
                const AffixEntry& e = FSuffixes[i];
                // The forbid flag keeps a suffixed word out of the places before the last, like
                // its lack of the permit flag; at the end it only bars a part with a prefix too.
                if (position != End && !Has(e.Continuation, FCompoundPermit)) continue;
                if ((position != End || prefix) && Has(e.Continuation, FCompoundForbid)) continue;
                // A suffix that exists only inside compounds (a linking s) never ends one; an empty
                // one that only lends its flags may.
                if (position == End && e.OnlyInCompound && !e.Append.empty()) continue;
                if (prefix && !(e.Cross && prefix->Cross)) continue;
                if (e.Circumfix != (prefix && prefix->Circumfix)) continue;  // both halves or neither
                if (!ConditionMatchesEnd(e, stem.View())) continue;
                bool affixFits = CompoundFlagFits(e.Continuation, position) || (prefix && CompoundFlagFits(prefix->Continuation, position));
                const FlagSet* f = nullptr;
                if (hs)
                    for (const Homonym& h : *hs)
                        if (Has(h.Flags, e.Id) && PartStemOk(h, position) && (affixFits || CompoundFlagFits(h.Flags, position)) &&
                            (!prefix || Has(h.Flags, prefix->Id) || Has(e.Continuation, prefix->Id))) {
                            f = &h.Flags;
                            if (syllables) foundSyllables = Syllables(stem.View());
                            break;
                        }
                if (!f && position == End && e.Inner >= 0)
                    f = InnerSuffixedPart(e, stem.View(), affixFits, syllables ? &foundSyllables : nullptr, prefix);
                if (f) {
                    best = i;
                    found = f;
                    break;
                }
            }
        }
        if (found) {
            if (syllables) *syllables = foundSyllables;
            return found;
        }
    }
    return nullptr;
}

// The last part of a compound with two suffixes.
const FlagSet* Dictionary::InnerSuffixedPart(const AffixEntry& outer, View stem, bool outerFits, int* syllables,
                                             const AffixEntry* prefix) const
{
    const FlagSet* found = nullptr;
    AnyInnerSuffix(outer, stem, [&](const AffixEntry& inner) {
        if (Has(inner.Continuation, FCompoundForbid)) return false;
        if (prefix && !inner.Cross) return false;
        Joined root(stem.substr(0, stem.size() - inner.Append.size()), inner.Strip);
        if (root.View().empty() || !ConditionMatchesEnd(inner, root.View())) return false;
        bool fits = outerFits || CompoundFlagFits(inner.Continuation, End);
        if (const auto* hs = Lookup(root.View()))
            for (const Homonym& h : *hs)
                if (Has(h.Flags, inner.Id) && PartStemOk(h, End) && (fits || CompoundFlagFits(h.Flags, End)) &&
                    (!prefix || Has(h.Flags, prefix->Id) || Has(inner.Continuation, prefix->Id) || Has(outer.Continuation, prefix->Id))) {
                    found = &h.Flags;
                    if (syllables) *syllables = Syllables(root.View());
                    return true;
                }
        return false;
    });
    return found;
}

// A part made of a prefix and a stem: prefixes begin compounds; elsewhere only those with
// the permit flag.
const FlagSet* Dictionary::PrefixedPart(View part, int position, int* syllables) const
{
    size_t longest = std::min(FLongestPrefix, part.size() - 1);
    for (size_t len = 1; len <= longest; ++len) {
        const auto* rules = PrefixesStarting(part, len);
        if (!rules) continue;
        for (size_t i : *rules) {
            const AffixEntry& p = FPrefixes[i];
            if (position != Begin && !Has(p.Continuation, FCompoundPermit)) continue;
            if (Has(p.Continuation, FCompoundForbid)) continue;
            Joined stem(p.Strip, part.substr(len));
            if (stem.View().empty() || !ConditionMatchesStart(p, stem.View())) continue;
            bool affixFits = CompoundFlagFits(p.Continuation, position);
            if (const auto* hs = Lookup(stem.View()))
                for (const Homonym& h : *hs)
                    if (Has(h.Flags, p.Id) && PartStemOk(h, position) && (affixFits || CompoundFlagFits(h.Flags, position)))
                        return &h.Flags;
            // A prefix and a suffix on the same part.
            if (p.Cross && stem.View().size() > 1)
                if (const FlagSet* f = SuffixedPart(stem.View(), position, syllables, &p)) {
                    if (syllables) *syllables += Syllables(p.Append);
                    return f;
                }
        }
    }
    return nullptr;
}

// The flags of the stem that lets the part stand at its position in a compound, or null.
// Syllables: the syllables of its stem (suffixes do not count).
const FlagSet* Dictionary::CompoundPart(View part, int position, int* syllables) const
{
    if (syllables) *syllables = Syllables(part);
    if (const auto* hs = Lookup(part))
        for (const Homonym& h : *hs)
            if (PartStemOk(h, position) && !Has(h.Flags, FNeedAffix) && CompoundFlagFits(h.Flags, position)) return &h.Flags;
    if (const FlagSet* f = SuffixedPart(part, position, syllables)) return f;
    if (syllables) *syllables = Syllables(part);
    return PrefixedPart(part, position, syllables);
}

int Dictionary::Syllables(View w) const
{
    if (FCompoundVowels.empty()) return 0;
    int n = 0;
    for (char32_t c : w)
        if (FCompoundVowels.find(c) != std::u32string::npos || FCompoundVowels.find(ToLower(c, FTurkic)) != std::u32string::npos) ++n;
    return n;
}

// Whether a compound of so many words (a part marked as a compound itself counts twice) and
// syllables may stand: more words than the most allowed need the syllable rule (Hungarian:
// at most so many syllables).
bool Dictionary::CompoundSizeOk(int words, int syllables) const
{
    if (!FCompoundWordMax || words <= static_cast<int>(FCompoundWordMax)) return true;
    if (!FCompoundSyllableMax) return false;
    return !FHungarian || syllables <= static_cast<int>(FCompoundSyllableMax);
}

// The rules for two neighbouring parts: no doubled part, no capital or three equal letters
// at the joint, no forbidden pattern.
bool Dictionary::JointOk(View left, View right, const FlagSet& lf, const FlagSet& rf, bool simplified,
                         const CompoundPattern* skip) const
{
    char32_t a = left.back(), b = right.front();
    if (FCheckCompoundCase && a != U'-' && b != U'-' && (!IsLower(a) || !IsLower(b))) return false;
    if (FCheckCompoundTriple && !simplified && a == b &&
        ((left.size() >= 2 && left[left.size() - 2] == a) || (right.size() >= 2 && right[1] == b)))
        return false;
    for (const CompoundPattern& p : FCompoundPatterns)
        if (&p != skip && PatternMatches(p, left, right, lf, rf)) return false;
    // Two parts that the dictionary has as a pair of words are written apart.
    if (FWordPairs) {
        std::u32string pair(left);
        pair += U' ';
        pair += right;
        if (Lookup(pair)) return false;
    }
    return true;
}

// Whether the joint of Left and Right is the pattern's: the ends, the flags, and for the
// pattern "0", a first part that is a stem as it stands.
bool Dictionary::PatternMatches(const CompoundPattern& p, View left, View right, const FlagSet& lf, const FlagSet& rf) const
{
    if (!left.ends_with(p.End) || !right.starts_with(p.Begin)) return false;
    if ((p.EndFlag && !Has(lf, p.EndFlag)) || (p.BeginFlag && !Has(rf, p.BeginFlag))) return false;
    if (p.Unmodified) {
        const auto* hs = Lookup(left);
        return hs && std::any_of(hs->begin(), hs->end(), [&](const Homonym& h) { return &h.Flags == &lf; });
    }
    return true;
}

// LooksLikeMisspelling's verdicts on pieces of one word (the word, its parts from one on to
// the end, two neighbouring parts), each worked out once: the parts of a word are tried in
// many ways, and each compound found asks again.
class Dictionary::RepMemo {
public:
    RepMemo(const Dictionary& d, View w) : FDictionary(d), FWord(w) {}
    // Whether A followed by B looks like a misspelling (B may be empty).
    bool Looks(View a, View b = View())
    {
        if (!FDictionary.FCheckCompoundRep) return false;
        auto at = [&](View v) { return reinterpret_cast<uintptr_t>(v.data()); };
        uintptr_t begin = at(FWord), end = begin + FWord.size() * sizeof(char32_t);
        bool inWord = at(a) >= begin && at(a) + a.size() * sizeof(char32_t) <= end &&
                      (b.empty() || at(b) == at(a) + a.size() * sizeof(char32_t)) &&
                      at(a) + (a.size() + b.size()) * sizeof(char32_t) <= end;
        if (!inWord) return Work(a, b);
        uint32_t from = static_cast<uint32_t>((at(a) - begin) / sizeof(char32_t)), to = from + static_cast<uint32_t>(a.size() + b.size());
        for (const Known& k : FKnown)
            if (k.From == from && k.To == to) return k.Looks;
        bool looks = Work(a, b);
        FKnown.push_back(Known{from, to, looks});
        return looks;
    }

private:
    bool Work(View a, View b) const
    {
        if (b.empty()) return FDictionary.LooksLikeMisspelling(a);
        return FDictionary.LooksLikeMisspelling(std::u32string(a) + std::u32string(b));
    }
    struct Known { uint32_t From, To; bool Looks; };
    const Dictionary& FDictionary;
    View FWord;
    std::vector<Known> FKnown;
};

// A last joint written in the simpler form of a pattern: the part before it (Start to At)
// with the pattern's End restored and the last part with its Begin restored.
bool Dictionary::ReplacedJointFits(View w, size_t start, size_t at, int parts, const FlagSet* prevFlags, View prev,
                                   bool simplified, int words, int syllables, RepMemo& rep) const
{
    for (const CompoundPattern& p : FCompoundPatterns) {
        if (p.Replacement.empty() || w.substr(at).size() <= p.Replacement.size() || !w.substr(at).starts_with(p.Replacement))
            continue;
        std::u32string left(w.substr(start, at - start)), right(p.Begin);
        left += p.End;
        right += w.substr(at + p.Replacement.size());
        if (right.size() < FCompoundMin) continue;
        const FlagSet* lf = CompoundPart(left, parts == 0 ? Begin : Middle);
        if (!lf || (parts > 0 && !JointOk(prev, left, *prevFlags, *lf, simplified))) continue;
        int restSyllables = 0;
        const FlagSet* rf = CompoundPart(right, End, &restSyllables);
        if (!rf || !PatternMatches(p, left, right, *lf, *rf) || !JointOk(left, right, *lf, *rf, false, &p)) continue;
        if (FCheckCompoundDup && left == right) continue;
        if (!CompoundSizeOk(words + (Has(*lf, FCompoundRoot) ? 2 : 1) + (Has(*rf, FCompoundRoot) ? 2 : 1),
                            syllables + Syllables(left) + restSyllables))
            continue;
        if (!rep.Looks(w)) return true;
    }
    return false;
}

// Whether a replacement from the table turns the word into a plain word: then it is that
// word misspelt, not a compound.
bool Dictionary::LooksLikeMisspelling(View w) const
{
    if (!FCheckCompoundRep) return false;
    for (const auto& [from, to] : FRep) {
        if (from.empty()) continue;
        for (size_t at = w.find(from); at != View::npos; at = w.find(from, at + 1)) {
            std::u32string t = std::u32string(w.substr(0, at)) + to + std::u32string(w.substr(at + from.size()));
            if (CheckExact(t, AsTyped)) return true;
        }
    }
    return false;
}

bool Dictionary::CheckCompound(View w, bool Capital) const
{
    if (!FCompoundFlag && !FCompoundBegin) return false;
    RepMemo rep(*this, w);
    return CompoundFrom(w, 0, 0, nullptr, View(), Capital, false, 0, 0, rep);
}

// The parts from Start on, after Parts parts (the last of them Prev, with its stem's flags).
// With simplified triples, "xx" + "xy" is written "xxy": the next part reuses a letter
// (Simplified: the joint with Prev did so).
// Words and Syllables: those of the parts before Start.
bool Dictionary::CompoundFrom(View w, size_t start, int parts, const FlagSet* prevFlags, View prev, bool capital,
                              bool simplified, int words, int syllables, RepMemo& rep) const
{
    if (parts + 2 > std::max<int>(10, static_cast<int>(FCompoundWordMax))) return false;
    // At least two more words follow (and syllables only add up).
    if (!CompoundSizeOk(words + 2, syllables)) return false;
    // Under CHECKCOMPOUNDREP a replacement may not turn two neighbouring parts, nor the parts
    // from here to the end, into a word (checked only for a compound found, being slow).
    int runOk = -1;
    auto repOk = [&](View part) {
        if (!FCheckCompoundRep) return true;
        if (runOk < 0) runOk = parts == 0 || !rep.Looks(w.substr(start));
        return runOk && (parts == 0 || !rep.Looks(prev, part));
    };
    for (size_t i = start + FCompoundMin; i + FCompoundMin <= w.size() + 1 && i < w.size(); ++i) {
        View part = w.substr(start, i - start);
        if (FHasReplacements && ReplacedJointFits(w, start, i, parts, prevFlags, prev, simplified, words, syllables, rep)) return true;
        const FlagSet* pf = CompoundPart(part, parts == 0 ? Begin : Middle);
        if (!pf || (parts > 0 && !JointOk(prev, part, *prevFlags, *pf, simplified))) continue;
        int partWords = words + (Has(*pf, FCompoundRoot) ? 2 : 1), partSyllables = syllables + Syllables(part);
        for (size_t next : {i, i - 1}) {
            bool shared = next != i;
            if (shared && !(FSimplifiedTriple && i - start >= 2 && w[i - 1] == w[i - 2])) continue;
            View rest = w.substr(next);
            if (rest.size() < FCompoundMin) continue;
            // The last part's own letters (without the one it shares) are at least the minimum.
            if (w.size() - i >= FCompoundMin && EndPartFits(w, part, *pf, rest, shared, capital, partWords, partSyllables, rep) &&
                repOk(part))
                return true;
            if (CompoundFrom(w, next, parts + 1, pf, part, capital, shared, partWords, partSyllables, rep) && repOk(part))
                return true;
        }
    }
    return false;
}

bool Dictionary::EndPartFits(View w, View part, const FlagSet& pf, View rest, bool simplified, bool capital, int words,
                             int syllables, RepMemo& rep) const
{
    int restSyllables = 0;
    const FlagSet* rf = CompoundPart(rest, End, &restSyllables);
    if (!rf || !JointOk(part, rest, pf, *rf, simplified)) return false;
    // A stem may not follow itself as the last part (earlier joints may repeat one: "barbarfoo"),
    // unless the last part is also another stem with a suffix ("kats" + "kat"-"s").
    if (FCheckCompoundDup && part == rest && !SuffixedPart(rest, End, nullptr, nullptr, 1)) return false;
    if (!CompoundSizeOk(words + (Has(*rf, FCompoundRoot) ? 2 : 1), syllables + restSyllables)) return false;
    // No doubled stem either: the part again with a suffix ("bar" + "bars").
    if (FCheckCompoundDup && rest.size() > part.size() && rest.starts_with(part) && SuffixedFormOf(rest, part)) return false;
    if (FForceUcase && Has(*rf, FForceUcase) && !capital) return false;
    if (rep.Looks(w)) return false;
    return !FCheckCompoundRep || !rep.Looks(part, rest);
}

// Whether Form is Stem with one of its suffixes (one that strips nothing) and not a stem of its own.
bool Dictionary::SuffixedFormOf(View form, View stem) const
{
    if (Lookup(form)) return false;
    const auto* rules = SuffixesEnding(form, form.size() - stem.size());
    const auto* hs = Lookup(stem);
    if (!rules || !hs) return false;
    for (size_t i : *rules) {
        const AffixEntry& e = FSuffixes[i];
        if (!e.Strip.empty() || !ConditionMatchesEnd(e, stem)) continue;
        for (const Homonym& h : *hs)
            if (Has(h.Flags, e.Id)) return true;
    }
    return false;
}

// The stems of a word's parts (from one place to another), each looked up once for all
// compound rules and all their tokens. With the rules' flags as bits, each part's bits are
// worked out instead, for all parts from one place at once.
class Dictionary::PartStems {
public:
    PartStems(const Dictionary& d, View w) : FDictionary(d), FWord(w), FSide(w.size() + 1)
    {
        if (d.FRuleFlags.empty()) FFound.assign(FSide * FSide, Unknown());
        else FMasks.assign(FSide * FSide + FSide, 0);  // the rows, then each row's bits together (and 1, once done)
    }
    View Word() const { return FWord; }
    const HomonymList* Get(size_t from, size_t to)
    {
        const HomonymList*& found = FFound[from * FSide + to];
        if (found == Unknown()) found = FDictionary.Lookup(FWord.substr(from, to - from));
        return found;
    }
    // For each end, the bits of the rules' flags that a stem from From to there carries (not
    // counting forbidden ones).
    const uint64_t* Masks(size_t from)
    {
        uint64_t* row = &FMasks[from * FSide];
        uint64_t& any = FMasks[FSide * FSide + from];
        if (any) return row;
        any = 1;
        const FlagSet& ruleFlags = FDictionary.FRuleFlags;
        uint64_t state = HashStart;
        for (size_t end = from; end < FSide; ++end) {
            if (end > from) state = HashAdd(state, FWord[end - 1]);
            if (end < from + FDictionary.FCompoundMin) continue;
            const HomonymList* hs = FDictionary.FWords.FindHashed(FWord.substr(from, end - from), state);
            if (!hs) continue;
            uint64_t bits = 0;
            for (const Homonym& h : *hs) {
                if (Has(h.Flags, FDictionary.FForbidden)) continue;
                // Both sets sorted: one walk through them.
                size_t k = 0;
                for (Flag f : h.Flags) {
                    while (k < ruleFlags.size() && ruleFlags[k] < f) ++k;
                    if (k == ruleFlags.size()) break;
                    if (ruleFlags[k] == f) bits |= uint64_t(1) << k;
                }
            }
            row[end] = bits;
            any |= bits << 1;
        }
        return row;
    }
    // The bits of all stems from From on, shifted up by one (Masks first).
    uint64_t Any(size_t from) const { return FMasks[FSide * FSide + from] >> 1; }
private:
    // A mark for a part not yet looked up (no list has this address).
    const HomonymList* Unknown() const { return reinterpret_cast<const HomonymList*>(this); }
    const Dictionary& FDictionary;
    View FWord;
    size_t FSide;
    std::vector<const HomonymList*> FFound;
    std::vector<uint64_t> FMasks;
};

bool Dictionary::StemHasFlag(const HomonymList* hs, Flag f) const
{
    if (hs)
        for (const Homonym& h : *hs)
            if (Has(h.Flags, f) && !Has(h.Flags, FForbidden)) return true;
    return false;
}

// The last part of a compound rule may carry a suffix of its stem.
bool Dictionary::SuffixedStemHasFlag(View part, Flag f) const
{
    size_t longest = std::min(FLongestSuffix, part.size() - 1);
    for (size_t a = 1; a <= longest; ++a) {
        const auto* rules = SuffixesEnding(part, a);
        if (!rules) continue;
        for (size_t i : *rules) {
            const AffixEntry& e = FSuffixes[i];
            if (Has(e.Continuation, FNeedAffix) || Has(e.Continuation, FCompoundForbid)) continue;
            Joined stem(part.substr(0, part.size() - a), e.Strip);
            if (stem.View().empty() || !ConditionMatchesEnd(e, stem.View())) continue;
            if (const auto* hs = Lookup(stem.View()))
                for (const Homonym& h : *hs)
                    if (Has(h.Flags, f) && Has(h.Flags, e.Id) && !Has(h.Flags, FForbidden)) return true;
        }
    }
    return false;
}

// A compound rule: each token a flag with an optional '*' (any number) or '?' (at most one).
bool Dictionary::MatchRule(PartStems& stems, size_t pos, const std::vector<FlagSet>& rule, size_t t, int parts) const
{
    View w = stems.Word();
    if (t == rule.size()) return pos == w.size() && parts >= 2;
    Flag flag = rule[t][0], q = rule[t][1];
    if (q != 0 && MatchRule(stems, pos, rule, t + 1, parts)) return true;
    if (!FRuleFlags.empty()) {
        uint64_t bit = FCompoundRuleBits[static_cast<size_t>(&rule - FCompoundRules.data())][t];
        const uint64_t* masks = stems.Masks(pos);
        // No stem from here on has the flag: only the last part with a suffix may.
        if (!(stems.Any(pos) & bit)) {
            size_t end = w.size();
            return end >= pos + FCompoundMin && parts > 0 && SuffixedStemHasFlag(w.substr(pos), flag) &&
                   MatchRule(stems, end, rule, q == U'*' ? t : t + 1, parts + 1);
        }
        for (size_t end = pos + FCompoundMin; end <= w.size(); ++end) {
            if (!(masks[end] & bit) && !(end == w.size() && parts > 0 && SuffixedStemHasFlag(w.substr(pos), flag))) continue;
            if (MatchRule(stems, end, rule, q == U'*' ? t : t + 1, parts + 1)) return true;
        }
        return false;
    }
    for (size_t end = pos + FCompoundMin; end <= w.size(); ++end) {
        View part = w.substr(pos, end - pos);
        if (!StemHasFlag(stems.Get(pos, end), flag) && !(end == w.size() && parts > 0 && SuffixedStemHasFlag(part, flag)))
            continue;
        if (MatchRule(stems, end, rule, q == U'*' ? t : t + 1, parts + 1)) return true;
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

bool Dictionary::CheckCased(View w, CaseKind k, bool AllowCompound, int Mode) const
{
    if (CheckExact(w, Mode | AsTyped)) return true;
    if (k == CaseKind::Initial || k == CaseKind::AllCaps) {
        // The lower-case form, on the stack at the lengths checked.
        char32_t buffer[MaxWordLength + 2];
        std::u32string heap;
        View lower;
        if (w.size() <= std::size(buffer)) {
            for (size_t i = 0; i < w.size(); ++i) buffer[i] = ToLower(w[i], FTurkic);
            lower = View(buffer, w.size());
        } else {
            heap = Lower(w, FTurkic);
            lower = heap;
        }
        int folded = k == CaseKind::AllCaps ? FoldedCapitals
                     : FCheckSharps && lower.find(U'\u00DF') != View::npos ? Folded | SharpCapital
                                                                           : Folded;
        if (CheckExact(lower, Mode | folded)) return true;
        if (k == CaseKind::AllCaps && CheckExact(Capitalized(w, FTurkic), Mode | FoldedCapitals)) return true;
        if (k == CaseKind::AllCaps && FCheckSharps) {
            for (size_t at = lower.find(U"ss"); at != View::npos; at = lower.find(U"ss", at + 1)) {
                std::u32string s = std::u32string(lower.substr(0, at)) + U"\u00DF" + std::u32string(lower.substr(at + 2));
                // Words with sharp s may be written with SS in capitals, even those that keep their case.
                if (CheckExact(s, Mode) || CheckExact(Capitalized(s, FTurkic), Mode)) return true;
            }
        }
    }
    if (AllowCompound && w.size() <= 64) {
        bool capital = k == CaseKind::Initial || k == CaseKind::AllCaps;
        // A forbidden word bars its capitalised and upper-case forms from being read as
        // compounds too ("BARBAZ" for a forbidden "barbaz" or "Barbaz").
        if (CasedCompound(w, k, capital))
            return !FForbidden || !capital ||
                   !(IsForbidden(Lower(w, FTurkic)) || (k == CaseKind::AllCaps && IsForbidden(Capitalized(w, FTurkic))));
    }
    return false;
}

bool Dictionary::CasedCompound(View w, CaseKind k, bool capital) const
{
    // A word beginning as no stem with a rule's flag matches no compound rule.
    bool ruleStart = !FRuleStarts.empty() && !w.empty() &&
                     (FRuleStarts.count(w[0]) || (capital && FRuleStarts.count(ToLower(w[0], FTurkic))));
    if (ruleStart) {
        std::u32string lower = capital ? Lower(w, FTurkic) : std::u32string();
        PartStems asTyped(*this, w), lowered(*this, lower);
        for (const auto& rule : FCompoundRules)
            if (MatchRule(asTyped, 0, rule, 0, 0) || (capital && MatchRule(lowered, 0, rule, 0, 0))) return true;
    }
    if (CheckCompound(w, capital)) return true;
    bool compounds = FCompoundFlag || FCompoundBegin;  // (else no other case makes one)
    if (compounds && capital && CheckCompound(Lower(w, FTurkic), true)) return true;
    if (compounds && k == CaseKind::AllCaps && CheckCompound(Capitalized(w, FTurkic), true)) return true;
    // Compounds in capitals with SS for sharp s: each SS read either way.
    if (compounds && k == CaseKind::AllCaps && FCheckSharps) {
        std::u32string lower = Lower(w, FTurkic);
        if (lower.find(U"ss") != View::npos && SharpCompound(lower, 0, 0)) return true;
    }
    return false;
}

// Whether the lower-case word, with some of its "ss" from From on read as sharp s (at least
// one), is a compound in capitals.
bool Dictionary::SharpCompound(const std::u32string& w, size_t from, int depth) const
{
    if (depth >= 5) return false;
    for (size_t at = w.find(U"ss", from); at != View::npos; at = w.find(U"ss", at + 1)) {
        std::u32string s = w.substr(0, at) + U'\u00DF' + w.substr(at + 2);
        if (CheckCompound(s, true) || CheckCompound(Capitalized(s, FTurkic), true)) return true;
        if (SharpCompound(s, at + 1, depth + 1)) return true;
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
    if (ConvertsSomething(Word)) {
        converted = Convert(Word);
        w = converted;
    }
    return Spell(w, AsTyped);
}

bool Dictionary::CheckSuggestion(View Word, bool AllowCompound, bool ExactCase) const
{
    std::u32string converted;
    View w = Word;
    if (ConvertsSomething(Word)) {
        converted = Convert(Word);
        w = converted;
    }
    // A suggestion must be a word of its own: breaking it up at hyphens does not count, or
    // every inserted hyphen would make a "word" of two fragments.
    if (w.empty() || w.size() > MaxWordLength || IsForbidden(w)) return false;
    if (ExactCase) return CheckExact(w, ForSuggestion | AsTyped) || (AllowCompound && w.size() <= 64 && CheckCompound(w, CaseOf(w) == CaseKind::Initial));
    return CheckCased(w, CaseOf(w), AllowCompound, ForSuggestion);
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
    // (A full stop is neither capital nor small: the word with one has the same case.)
    CaseKind k = CaseOf(w);
    // A word with a character beyond the 16-bit range (or a capital sharp s) counts only as
    // written: Hunspell does not change the case of such characters, and a word that also
    // has a capital it could change is not broken up either.
    bool asWritten = false;
    auto caseless = [](char32_t c) { return c > 0xFFFF || c == 0x1E9E; };
    if (k != CaseKind::Lower && k != CaseKind::None && std::any_of(w.begin(), w.end(), caseless)) {
        asWritten = std::any_of(w.begin(), w.end(), [&](char32_t c) { return !caseless(c) && IsUpper(c); });
        k = asWritten ? CaseKind::Mixed : CaseKind::Lower;
    }
    if (CheckCased(w, k, true, Mode)) return true;
    if (dots && CheckCased(Word.substr(0, w.size() + 1), k, true, Mode)) return true;
    if (asWritten) return false;
    // Most words hold no letter that a break begins with (words in capitals are broken up in
    // another case, below).
    if (k != CaseKind::AllCaps && std::none_of(w.begin(), w.end(), [&](char32_t c) { return FBreakStarts.find(c) != View::npos; }))
        return false;
    // Nor is a forbidden word passed in capitals by breaking it up ("FOO-BAZ").
    if (FForbidden && (k == CaseKind::Initial || k == CaseKind::AllCaps) &&
        (IsForbidden(Lower(w, FTurkic)) || (k == CaseKind::AllCaps && IsForbidden(Capitalized(w, FTurkic)))))
        return false;
    // Hyphenated chains of ten or more never pass.
    size_t breaks = 0;
    for (const std::u32string& b : FBreak)
        for (size_t at = b.empty() ? View::npos : w.find(b); at != View::npos; at = w.find(b, at + b.size())) ++breaks;
    if (breaks >= 10) return false;
    // Words in capitals are broken up with only their first letter in capitals.
    return k == CaseKind::AllCaps ? CheckBreaks(Capitalized(w, FTurkic), Mode) : CheckBreaks(w, Mode);
}

} // namespace pwspell
