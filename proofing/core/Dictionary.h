// A Hunspell-format dictionary: the affix rules (.aff) and the stems (.dic), and the check of
// a word against them. Stems are stored once; affixes are stripped while checking, never
// expanded into every form.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "Text.h"
#include "TextTable.h"

namespace pwspell {

using Flag = char32_t;
using FlagSet = std::vector<Flag>;  // sorted

class DictionaryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct AffixEntry {
    Flag Id = 0;
    bool Cross = false;
    std::u32string Strip;
    std::u32string Append;
    FlagSet Continuation;
    // The condition as a sequence of character classes, each a set of characters (or its
    // complement); an empty condition matches anything.
    struct CharClass { std::u32string Chars; bool Negated = false; bool Any = false; };
    std::vector<CharClass> Condition;
    // Filled in once the whole affix file is read: whether the continuation holds the flags
    // of ONLYINCOMPOUND, NEEDAFFIX and CIRCUMFIX, and the rules that may stand inside this
    // one (those whose continuation holds its flag; an index of the dictionary's, -1: none).
    bool OnlyInCompound = false, NeedAffix = false, Circumfix = false;
    int32_t Inner = -1;
};

// ICONV and OCONV: text replaced by other text, the longest entry matching at each place.
class ConversionTable {
public:
    void Add(const std::u32string& From, const std::u32string& To);
    bool Empty() const { return FEntries.empty(); }
    // Whether an entry matches somewhere in the word (most words of a dictionary with a table
    // of decomposed accents hold none of them).
    bool Touches(std::u32string_view w) const;
    // The word with the table applied; characters in Ignore are dropped.
    std::u32string Apply(std::u32string_view w, const std::u32string& Ignore) const;

private:
    // The entry matching at w[i], the longest first; null when none does.
    const std::pair<std::u32string, std::u32string>* MatchAt(std::u32string_view w, size_t i) const;
    std::vector<std::pair<std::u32string, std::u32string>> FEntries;
    std::vector<std::vector<uint32_t>> FBuckets;   // entries by first character, longest first
    std::vector<uint32_t> FLow;                     // bucket + 1 of a first character below 0x300
    std::unordered_map<char32_t, uint32_t> FHigh;   // bucket of any other first character
};

// The suggestion stage's settings from the affix file (read by Suggest.cpp).
struct SuggestOptions {
    // PHONE: a phonetic transcription, rules of a search pattern and its replacement.
    struct PhoneRule {
        std::vector<std::u32string> Match;  // the characters each position may be
        size_t Keep = 0;                    // positions at the end matched but not replaced ("-")
        bool Again = false;                 // the replacement goes back into the word ("<")
        bool AtStart = false, AtEnd = false;  // "^", "$"
        int Priority = 5;
        std::u32string To;
    };
    std::vector<PhoneRule> Phone;
    std::unordered_map<char32_t, std::vector<size_t>> PhoneByFirst;  // rules by their first character
    int MaxNgram = -1, MaxCompound = -1, MaxDiff = -1;  // MAXNGRAMSUGS, MAXCPDSUGS, MAXDIFF (-1: not given)
    bool NoSplit = false, OnlyMaxDiff = false, WithDots = false;  // NOSPLITSUGS, ONLYMAXDIFF, SUGSWITHDOTS
    // Takes the line (and the table lines after it) when it is one of these options.
    bool Parse(const std::vector<std::u32string>& Fields, const std::vector<std::u32string>& Lines, size_t& I);
};

class Dictionary {
public:
    Dictionary() = default;
    Dictionary(const Dictionary&) = delete;  // stems refer to the flag sets of their own pool
    Dictionary& operator=(const Dictionary&) = delete;
    Dictionary(Dictionary&&) = default;
    // Loads Aff and Dic text (the files' bytes). Raises DictionaryError on malformed input
    // or an encoding that is not supported.
    // The names are those the error messages give (with the line).
    void Load(const std::string& AffText, const std::string& DicText, const std::string& AffName = "affix file",
              const std::string& DicName = "dictionary");
    void LoadFiles(const std::string& AffPath, const std::string& DicPath);

    // True when the word (UTF-8) is spelled correctly.
    bool Check(const std::string& Word) const;
    bool Check(std::u32string_view Word) const;
    bool Check(const std::u32string& Word) const { return Check(std::u32string_view(Word)); }
    bool Check(const char32_t* Word) const { return Check(std::u32string_view(Word)); }
    // Whether the word may be offered as a suggestion: correct through stems that are
    // neither forbidden nor marked as never suggested.
    // Whether a word may be suggested: a word of its own (or, when allowed, a compound); with
    // ExactCase, only as written (no lower-case entry stands for a capitalised word).
    bool CheckSuggestion(std::u32string_view Word, bool AllowCompound = true, bool ExactCase = false) const;
    bool HasCompounds() const { return FCompoundFlag || FCompoundBegin || !FCompoundRules.empty(); }
    bool ForcesCapitals() const { return FForceUcase != 0; }  // FORCEUCASE
    // Words longer than this (in characters) are never correct, unless they are numbers.
    static constexpr size_t MaxWordLength = 100;

    const std::u32string& WordChars() const { return FWordChars; }
    // Whether the language pairs I with dotless i (and dotted capital I with i).
    bool Turkic() const { return FTurkic; }
    const std::u32string& TryChars() const { return FTry; }
    const std::vector<std::pair<std::u32string, std::u32string>>& Replacements() const { return FRep; }
    const std::vector<std::u32string>& MapClasses() const { return FMap; }
    const std::vector<std::u32string>& KeyRows() const { return FKey; }
    bool KeyRowsGiven() const { return FKeyGiven; }  // by KEY (else the common keyboard's)
    const SuggestOptions& Suggesting() const { return FSuggest; }
    bool IsForbidden(std::u32string_view Word) const;
    // A word as it is shown to the user (the output conversion table applied).
    std::u32string OutputConvert(std::u32string_view Word) const;
    bool IsNoSuggest(std::u32string_view Word) const;
    size_t StemCount() const { return FWords.Size(); }
    // The stem and the words its affix flags make of it with one suffix or one prefix,
    // none longer than MaxLength. (Forms for suggestions; not checked.)
    void ForEachForm(std::u32string_view Stem, size_t MaxLength, const std::function<void(std::u32string_view)>& Visit) const;
    void ForEachStem(const std::function<void(std::u32string_view)>& Visit) const
    {
        FWords.ForEach([&](std::u32string_view w, const HomonymList&) { Visit(w); });
    }

private:
    // A stem's flag set lives once in the pool, shared by every stem with the same flags.
    struct Homonym { const FlagSet& Flags; };
    // A stem's homonyms: nearly always one, kept in place; with more, all in a vector.
    class HomonymList {
    public:
        const Homonym* begin() const { return FAll.empty() ? (FOne ? &*FOne : nullptr) : FAll.data(); }
        const Homonym* end() const { return FAll.empty() ? begin() + (FOne ? 1 : 0) : FAll.data() + FAll.size(); }
        void push_back(const Homonym& h)
        {
            if (!FOne) FOne.emplace(h);
            else if (FAll.empty()) { FAll.reserve(2); FAll.push_back(*FOne); FAll.push_back(h); }
            else FAll.push_back(h);
        }
    private:
        std::optional<Homonym> FOne;
        std::vector<Homonym> FAll;
    };
    struct FlagSetHash {
        size_t operator()(const FlagSet& f) const noexcept
        {
            size_t h = f.size();
            for (Flag x : f) h = (h ^ x) * 0x100000001B3ull;
            return h;
        }
    };
    std::unordered_set<FlagSet, FlagSetHash> FFlagPool;
    const FlagSet& Intern(FlagSet Flags) { return *FFlagPool.insert(std::move(Flags)).first; }
    TextTable<HomonymList> FWords;
    std::vector<AffixEntry> FPrefixes, FSuffixes;
    // Rules by their appended text, and suffix rules by each flag of their continuation.
    TextTable<std::vector<size_t>> FSuffixByAppend, FPrefixByAppend;
    // The suffix rules that may end a word (all but those only inside compounds), by their
    // appended text and then by the letters they strip: a stem is looked up once for a group,
    // and a group whose stem is missing is passed over whole unless one of its rules may stand
    // on an inner suffix.
    struct SuffixGroup {
        uint32_t StripRule = 0;  // a rule of the group, for its stripped letters
        bool AnyInner = false;
        std::vector<uint32_t> Rules;
    };
    TextTable<std::vector<SuffixGroup>> FSuffixGroups;  // keyed by the appended text reversed
    // The same for compound parts: the rules with the permit flag, which parts before the
    // last may carry (rules only inside compounds too), and those the last part may carry
    // (Own: unless FSuffixGroups holds just them). Starts: for each length, the letters the
    // texts begin with, as bits.
    struct PartSuffixes {
        TextTable<std::vector<SuffixGroup>> Groups;
        std::vector<uint64_t> Starts = std::vector<uint64_t>(1, 0);
        size_t Longest = 0;
        bool Own = true;
    };
    PartSuffixes FInnerPartSuffixes, FLastPartSuffixes;
    // Suffix rules that allow a further suffix: by that suffix's flag, then by their appended text.
    // (An affix rule's Inner is the index of its flag's.)
    // Starts (suffixes only): for each length, the letters the texts begin with, as bits.
    struct InnerSuffixes {
        TextTable<std::vector<size_t>> ByAppend;
        size_t Longest = 0;
        std::vector<uint64_t> Starts;
    };
    std::vector<InnerSuffixes> FSuffixByContinuation;
    std::vector<InnerSuffixes> FPrefixByContinuation;  // the same for prefixes, by their text
    std::unordered_map<Flag, std::vector<size_t>> FSuffixById, FPrefixById;
    // Calls Visit(rule) for each suffix rule allowing Outer whose appended text ends Stem.
    template <class F> bool AnyInnerSuffix(const AffixEntry& Outer, std::u32string_view Stem, F Visit) const;
    size_t FLongestSuffix = 0, FLongestPrefix = 0;
    // For each length, the letters (as bits, modulo 64) that the rules' texts of that length
    // begin with (suffixes) or end with (prefixes): most endings of a word are no rule's text,
    // and a bit test turns them down before a look-up.
    std::vector<uint64_t> FSuffixStarts = std::vector<uint64_t>(1, ~uint64_t(0)), FPrefixEnds = FSuffixStarts;
    static uint64_t LetterBit(char32_t c) { return uint64_t(1) << (c & 63); }
    const std::vector<size_t>* SuffixesEnding(std::u32string_view w, size_t a) const;
    const std::vector<size_t>* PrefixesStarting(std::u32string_view w, size_t len) const;
    void BuildIndexes();
    std::vector<FlagSet> FAliases;
    // The "ph:" fields of the morphological aliases (AM), by their number: a stem's common
    // misspellings, which become replacements to that stem.
    std::unordered_map<size_t, std::vector<std::u32string>> FSpokenAliases;
    void AddSpoken(std::u32string_view Field, const std::u32string& Word);
    std::vector<std::pair<std::u32string, std::u32string>> FRep;
    SuggestOptions FSuggest;
    ConversionTable FIconv, FOconv;
    std::vector<std::u32string> FMap, FKey, FBreak;
    std::u32string FBreakStarts;  // the letters a break's text begins with (behind a "^")
    std::vector<std::vector<FlagSet>> FCompoundRules;  // each rule: flag groups with a quantifier mark
    std::vector<std::u32string> FCompoundRuleText;
    // The letters a stem carrying a flag of a compound rule begins with: a word beginning with
    // any other letter matches no rule (its first part is such a stem, never a suffixed one).
    std::unordered_set<char32_t> FRuleStarts;
    // The flags of the compound rules, sorted, and each rule's tokens as bits of their flag's
    // place among them (both empty when there are 64 flags or more).
    FlagSet FRuleFlags;
    std::vector<std::vector<uint64_t>> FCompoundRuleBits;
    std::u32string FTry, FWordChars, FIgnore;
    bool ConvertsSomething(std::u32string_view w) const;
    enum class FlagType { Char, Long, Num, Utf8 } FFlagType = FlagType::Char;
    Flag FNeedAffix = 0, FForbidden = 0, FKeepCase = 0, FNoSuggest = 0, FOnlyInCompound = 0, FCircumfix = 0;
    Flag FCompoundFlag = 0, FCompoundBegin = 0, FCompoundMiddle = 0, FCompoundEnd = 0;
    Flag FCompoundPermit = 0, FCompoundForbid = 0, FForceUcase = 0;
    size_t FCompoundMin = 3, FCompoundWordMax = 0;
    // COMPOUNDSYLLABLE and COMPOUNDROOT: longer compounds by their syllables; stems that are compounds.
    size_t FCompoundSyllableMax = 0;
    std::u32string FCompoundVowels;
    Flag FCompoundRoot = 0;
    bool FHungarian = false;
    bool FCheckCompoundDup = false, FCheckCompoundCase = false, FCheckCompoundTriple = false;
    bool FCheckCompoundRep = false, FSimplifiedTriple = false;
    // A joint that compounds may not have: the first part ending in End (with the flag EndFlag
    // when given), the next beginning with Begin (and BeginFlag).
    // With a replacement, the joint may be written as that text instead (the last joint only);
    // End "0" stands for a first part that is a stem as it stands.
    struct CompoundPattern {
        std::u32string End; Flag EndFlag = 0; std::u32string Begin; Flag BeginFlag = 0;
        std::u32string Replacement; bool Unmodified = false;
    };
    std::vector<CompoundPattern> FCompoundPatterns;
    bool FHasReplacements = false;
    bool FWordPairs = false;  // some stem is two words ("a lot"): their compound is not a word
    bool FCheckSharps = false, FFullStrip = false, FTurkic = false;
    bool FBreakDefault = true;
    bool FKeyGiven = false;
    bool FUtf8 = false;  // the files are UTF-8
    bool FComplexPrefixes = false;

    std::string FAffName, FDicName;
    void ParseAff(const std::vector<std::u32string>& Lines);
    void ParseAffLine(const std::vector<std::u32string>& Lines, size_t& I);
    CompoundPattern ParsePattern(const std::vector<std::u32string>& Fields) const;
    void ParseDic(std::string_view Bytes, const std::string& Encoding);
    void AddStem(const std::u32string& Word, const FlagSet& Flags);  // Flags: pooled
    std::unordered_map<const FlagSet*, const FlagSet*> FUpperOf;  // while the stems are read
    // The flags of the text, sorted (or in their order).
    FlagSet ParseFlags(std::u32string_view Text, bool Sorted = true) const;
    Flag ParseFlag(const std::u32string& Text) const;
    FlagSet FlagsOrAlias(std::u32string_view Text) const;
    void ParseAffixBlock(const std::vector<std::u32string>& Lines, size_t& I, bool Prefix);
    void ParseCondition(const std::u32string& Text, AffixEntry& Entry) const;

    // Whether the set holds the flag (never for 0, the flag an option has when not given).
    // Inline: most look-ups are of options a dictionary does not use.
    static bool Has(const FlagSet& f, Flag x)
    {
        if (!x) return false;
        // Sets are short: a scan up to the first flag not below X beats a binary search.
        if (f.size() <= 8) {
            for (Flag c : f)
                if (c >= x) return c == x;
            return false;
        }
        return std::binary_search(f.begin(), f.end(), x);
    }
    using View = std::u32string_view;
    // How a word being checked relates to the word as typed: the same, lower-cased, or
    // lower-cased from capitals (which also admits the hidden forms of mixed-case stems).
    // ForSuggestion is added when stems marked as never to be suggested do not count.
    // SharpCapital: lower-cased from a capitalised word with a sharp s, which a stem keeping
    // its case still admits under CHECKSHARPS.
    enum : int { AsTyped = 0, Folded = 1, FoldedCapitals = 2, ForSuggestion = 4, SharpCapital = 8 };
    static constexpr Flag OnlyUpperCase = 0xFFFFFFFF;
    const HomonymList* Lookup(View w) const;
    bool CheckCased(View w, CaseKind Case, bool AllowCompound, int Mode) const;
    bool CheckExact(View w, int CaseMode) const;
    bool RootOk(const Homonym& h, int CaseMode) const;
    // The prefixes a word is checked with for its suffixes: none (a single null), or the
    // prefixes that leave the same stem, any of which may do.
    using Prefixes = std::span<const AffixEntry* const>;
    static constexpr const AffixEntry* NoPrefix[1] = {nullptr};
    bool CheckSuffixed(View w, int CaseMode, Prefixes Prefix) const;
    class StemLookup;
    bool SuffixMatches(const AffixEntry& e, View Stem, StemLookup& Stems, int CaseMode, Prefixes Prefix) const;
    static bool SuffixTakesPrefix(const AffixEntry& e, const AffixEntry* Prefix);
    bool InnerSuffixAllows(const AffixEntry& Outer, View Stem, int CaseMode, Prefixes Prefix) const;
    bool CheckPrefixed(View w, int CaseMode) const;
    bool InnerPrefixAllows(const AffixEntry& Outer, View Stem, int CaseMode) const;
    enum : int { Begin = 0, Middle = 1, End = 2 };  // positions of compound parts
    bool CheckCompound(View w, bool Capital) const;
    bool CasedCompound(View w, CaseKind Case, bool Capital) const;
    bool SharpCompound(const std::u32string& w, size_t From, int Depth) const;
    class RepMemo;
    bool CompoundFrom(View w, size_t Start, int Parts, const FlagSet* PrevFlags, View Prev, bool Capital, bool Simplified,
                      int Words, int Syllables, RepMemo& Rep) const;
    bool EndPartFits(View w, View Part, const FlagSet& PartFlags, View Rest, bool Simplified, bool Capital, int Words,
                     int Syllables, RepMemo& Rep) const;
    const FlagSet* CompoundPart(View Part, int Position, int* Syllables = nullptr) const;
    const FlagSet* SuffixedPart(View Part, int Position, int* Syllables = nullptr, const AffixEntry* Prefix = nullptr,
                                size_t MinAppend = 0) const;
    const FlagSet* InnerSuffixedPart(const AffixEntry& Outer, View Stem, bool OuterFits, int* Syllables,
                                     const AffixEntry* Prefix = nullptr) const;
    int Syllables(View w) const;
    bool CompoundSizeOk(int Words, int Syllables) const;
    const FlagSet* PrefixedPart(View Part, int Position, int* Syllables = nullptr) const;
    bool CompoundFlagFits(const FlagSet& f, int Position) const;
    bool PartStemOk(const Homonym& h, int Position) const;
    bool JointOk(View Left, View Right, const FlagSet& LeftFlags, const FlagSet& RightFlags, bool Simplified,
                 const CompoundPattern* Skip = nullptr) const;
    bool PatternMatches(const CompoundPattern& p, View Left, View Right, const FlagSet& LeftFlags, const FlagSet& RightFlags) const;
    bool ReplacedJointFits(View w, size_t Start, size_t At, int Parts, const FlagSet* PrevFlags, View Prev, bool Simplified,
                           int Words, int Syllables, RepMemo& Rep) const;
    bool LooksLikeMisspelling(View w) const;
    class PartStems;
    bool MatchRule(PartStems& Word, size_t Pos, const std::vector<FlagSet>& Rule, size_t Token, int Parts) const;
    bool StemHasFlag(const HomonymList* Stems, Flag F) const;
    bool SuffixedFormOf(View Form, View Stem) const;
    bool SuffixedStemHasFlag(View Part, Flag F) const;
    bool Spell(View w, int Mode) const;
    bool CheckBreaks(View w, int Mode) const;
    static bool ConditionMatchesEnd(const AffixEntry& e, View stem);
    static bool ConditionMatchesStart(const AffixEntry& e, View stem);
    std::u32string Convert(View w) const;
};

} // namespace pwspell
