#include "Suggest.h"

#include "Text.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <unordered_set>

namespace pwspell {

namespace {

std::vector<std::u32string> SplitFields(const std::u32string& line)
{
    std::vector<std::u32string> out;
    for (size_t p = 0; p < line.size();) {
        while (p < line.size() && (line[p] == U' ' || line[p] == U'\t')) ++p;
        size_t e = p;
        while (e < line.size() && line[e] != U' ' && line[e] != U'\t') ++e;
        if (e > p) out.push_back(line.substr(p, e - p));
        p = e;
    }
    return out;
}

int ToNumber(const std::u32string& s)
{
    int n = 0;
    for (char32_t c : s) {
        if (c < U'0' || c > U'9') return -1;
        n = std::min(n * 10 + static_cast<int>(c - U'0'), 1000000);
    }
    return s.empty() ? -1 : n;
}

// A rule of the phonetic table: "search replacement". The search is letters, a group of
// letters in parentheses standing for one of them, then optionally dashes (that many letters
// at the end are looked at but left for the next rule), "<" (the replacement goes back into
// the word instead of out), "^" (only at the start of a word), "$" (only at its end) and a
// priority digit. "_" as the replacement is nothing.
SuggestOptions::PhoneRule ParsePhoneRule(const std::u32string& from, const std::u32string& to)
{
    SuggestOptions::PhoneRule r;
    for (size_t p = 0; p < from.size(); ++p) {
        char32_t c = from[p];
        if (r.Match.empty()) r.Match.push_back(std::u32string(1, ToUpper(c)));
        else if (c == U'(') {
            size_t e = from.find(U')', p);
            if (e == std::u32string::npos) e = from.size();
            r.Match.push_back(Upper(from.substr(p + 1, e - p - 1)));
            p = e;
        } else if (c == U'-') ++r.Keep;
        else if (c == U'<') r.Again = true;
        else if (c == U'^') r.AtStart = true;
        else if (c == U'$') r.AtEnd = true;
        else if (c >= U'0' && c <= U'9') r.Priority = static_cast<int>(c - U'0');
        else r.Match.push_back(std::u32string(1, ToUpper(c)));
    }
    r.Keep = std::min(r.Keep, r.Match.empty() ? 0 : r.Match.size() - 1);
    if (to != U"_") r.To = Upper(to);
    return r;
}

bool Letter(char32_t c) { return IsUpper(c) || IsLower(c); }

// The base letter of a Latin letter with a diacritic (in lower case); 0 when there is none.
char32_t BaseLetter(char32_t c)
{
    static const char Latin1[] = "aaaaaa?ceeeeiiiidnooooo?ouuuuy?y";  // U+00E0..U+00FF
    static const char ExtendedA[] = "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkkllllllllllnnnnnnnnnoooooo??rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";  // U+0100..U+017F
    if (c >= 0xE0 && c <= 0xFF) return Latin1[c - 0xE0] == '?' ? 0 : static_cast<char32_t>(Latin1[c - 0xE0]);
    if (c >= 0x100 && c <= 0x17F) return ExtendedA[c - 0x100] == '?' ? 0 : static_cast<char32_t>(ExtendedA[c - 0x100]);
    return 0;
}

// A vowel of the Latin alphabet, with or without a diacritic, in either case.
bool LatinVowel(char32_t c)
{
    c = ToLower(c);
    char32_t b = BaseLetter(c);
    return std::u32string_view(U"aeiouy").find(b ? b : c) != std::u32string_view::npos;
}

bool PhoneMatches(const SuggestOptions::PhoneRule& r, const std::u32string& w, size_t at)
{
    if (at + r.Match.size() > w.size()) return false;
    for (size_t k = 0; k < r.Match.size(); ++k)
        if (r.Match[k].find(w[at + k]) == std::u32string::npos) return false;
    if (r.AtStart && at > 0 && Letter(w[at - 1])) return false;
    size_t end = at + r.Match.size();
    return !r.AtEnd || end == w.size() || !Letter(w[end]);
}

} // namespace

bool SuggestOptions::Parse(const std::vector<std::u32string>& f, const std::vector<std::u32string>& lines, size_t& i)
{
    const std::u32string& k = f[0];
    int n = f.size() > 1 ? ToNumber(f[1]) : -1;
    if (k == U"MAXNGRAMSUGS") MaxNgram = n;
    else if (k == U"MAXCPDSUGS") MaxCompound = n;
    else if (k == U"MAXDIFF") MaxDiff = n < 0 ? -1 : std::min(n, 10);
    else if (k == U"NOSPLITSUGS") NoSplit = true;
    else if (k == U"ONLYMAXDIFF") OnlyMaxDiff = true;
    else if (k == U"SUGSWITHDOTS") WithDots = true;
    else if (k == U"PHONE") {
        for (int j = 0; j < n && i + 1 < lines.size(); ++j) {
            std::vector<std::u32string> g = SplitFields(lines[++i]);
            if (g.size() < 3 || g[0] != U"PHONE") continue;
            Phone.push_back(ParsePhoneRule(g[1], g[2]));
            if (!Phone.back().Match.empty())
                for (char32_t c : Phone.back().Match[0]) PhoneByFirst[c].push_back(Phone.size() - 1);
        }
    } else return false;
    return true;
}

// The word as it sounds, by the phonetic table: at each place the first rule that matches
// there is used; a rule of two or more letters gives way when a rule of higher priority
// matches from its last letter on. Letters no rule matches stand for themselves; a letter
// written twice running counts once.
std::u32string Phonetic(const SuggestOptions& Options, std::u32string_view Word)
{
    std::u32string w = Upper(Word), out;
    auto put = [&](char32_t c) { if (out.empty() || out.back() != c) out += c; };
    bool putBack = false;  // the letters at i came from a "<" rule: no second one there
    for (size_t i = 0; i < w.size();) {
        const SuggestOptions::PhoneRule* used = nullptr;
        auto rules = Options.PhoneByFirst.find(w[i]);
        if (rules != Options.PhoneByFirst.end())
            for (size_t idx : rules->second) {
                const SuggestOptions::PhoneRule& r = Options.Phone[idx];
                if ((putBack && r.Again) || !PhoneMatches(r, w, i)) continue;
                size_t consumed = r.Match.size() - r.Keep;
                bool yields = false;
                if (r.Keep == 0 && consumed > 1) {
                    size_t last = i + consumed - 1;
                    auto next = Options.PhoneByFirst.find(w[last]);
                    if (next != Options.PhoneByFirst.end())
                        for (size_t j : next->second) {
                            const SuggestOptions::PhoneRule& f = Options.Phone[j];
                            if (!f.AtStart && f.Match.size() > 1 && f.Priority > r.Priority && PhoneMatches(f, w, last)) {
                                yields = true;
                                break;
                            }
                        }
                }
                if (yields) continue;
                used = &r;
                if (r.Again) {
                    w = w.substr(0, i) + r.To + w.substr(i + consumed);
                    putBack = true;
                } else {
                    for (char32_t c : r.To) put(c);
                    i += consumed;
                    putBack = false;
                }
                break;
            }
        if (!used) {
            put(w[i]);
            ++i;
            putBack = false;
        }
    }
    return out;
}

namespace {

struct Collector {
    const Dictionary& D;
    std::vector<std::u32string> Out;
    std::unordered_set<std::u32string> Seen;
    size_t Max;
    CaseKind Case;
    bool Compound;  // compounds count as words
    bool Exact = false;  // candidates count only as written
    bool TypedInitial = false;  // the misspelling begins with a capital
    bool Full() const { return Out.size() >= Max; }
    void Try(const std::u32string& candidate)
    {
        std::u32string shown;
        if (Accepts(candidate, shown)) Add(shown);
    }
    // Whether a candidate (tried once) is a word to offer, and how it is shown.
    bool Accepts(const std::u32string& candidate, std::u32string& shown)
    {
        if (Full() || candidate.empty() || !Seen.insert(candidate).second) return false;
        if (D.IsForbidden(candidate) || D.IsNoSuggest(candidate)) return false;
        if (D.CheckSuggestion(candidate, Compound, Exact)) {
            shown = Shown(candidate);
            return !shown.empty();
        }
        if (Exact) return false;
        shown = Cased(candidate);
        return shown != candidate && D.CheckSuggestion(shown, Compound);
    }
    // Two words, each of them correct, written with the separator between them (none with
    // NOSPLITSUGS).
    void TryPair(const std::u32string& first, const std::u32string& second, char32_t separator)
    {
        if (D.Suggesting().NoSplit) return;
        if (Full() || !D.CheckSuggestion(first, Compound) || !D.CheckSuggestion(second, Compound)) return;
        Add(Cased(first + separator + second));
    }
    // A replacement that makes several words ("a lot", "one two three"): offered when the
    // dictionary has the whole phrase, or when, at one of its spaces, the word before that
    // space is correct and so is all that follows it (taken as one word or phrase). Splitting
    // words this way is the replacement table's own, so NOSPLITSUGS does not stop it.
    void TryPhrase(const std::u32string& phrase)
    {
        if (Full() || !Seen.insert(phrase).second) return;
        if (D.IsForbidden(phrase) || D.IsNoSuggest(phrase)) return;
        if (D.CheckSuggestion(phrase, Compound)) {
            Add(Cased(phrase));
            return;
        }
        for (size_t prev = 0, space = phrase.find(U' '); space != std::u32string::npos; prev = space + 1, space = phrase.find(U' ', prev)) {
            if (space == prev || space + 1 == phrase.size()) continue;
            if (D.CheckSuggestion(phrase.substr(prev, space - prev), Compound) && D.CheckSuggestion(phrase.substr(space + 1), Compound)) {
                Add(Cased(phrase));
                return;
            }
        }
    }
    // A candidate in the case of the misspelling; a capitalised misspelling's candidates in
    // lower case get a capital even when it is taken as typed ("Ahouse" gives "House").
    std::u32string Cased(const std::u32string& candidate) const
    {
        if (Case == CaseKind::None) return TypedInitial && CaseOf(candidate) == CaseKind::Lower ? Capitalized(candidate, D.Turkic()) : candidate;
        return Case == CaseKind::AllCaps ? Upper(candidate, D.Turkic()) : Case == CaseKind::Initial ? Capitalized(candidate, D.Turkic()) : candidate;
    }
    // How a word of the dictionary is offered: in the case of the misspelling, unless that is
    // no word (KEEPCASE, or forbidden in that case); then as the dictionary has it if that is
    // in lower case or capitalised ("FOO" gives "foo", "BAR" gives "Bar"), else not at all.
    std::u32string Shown(const std::u32string& candidate) const
    {
        std::u32string s = Cased(candidate);
        if (s == candidate || (!D.IsForbidden(s) && D.CheckSuggestion(s, Compound))) return s;
        const CaseKind f = CaseOf(candidate);
        return f == CaseKind::Lower || f == CaseKind::Initial ? candidate : std::u32string();
    }
    void Add(const std::u32string& shown)
    {
        std::u32string out = D.OutputConvert(shown);
        if (std::find(Out.begin(), Out.end(), out) == Out.end()) Out.push_back(out);
    }
};

// The replacement table; "^" at the start of an entry ties it to the start of the word, "$"
// at its end to the end of the word.
void Replacements(Collector& c, const std::u32string& w)
{
    for (const auto& [entry, to] : c.D.Replacements()) {
        std::u32string_view from = entry;
        bool atStart = !from.empty() && from.front() == U'^', atEnd = from.size() > 1 && from.back() == U'$';
        if (atStart) from.remove_prefix(1);
        if (atEnd) from.remove_suffix(1);
        if (from.empty() || from.size() > w.size()) continue;
        for (size_t at = atEnd ? w.size() - from.size() : w.find(from); at != std::u32string::npos;
             at = atEnd ? std::u32string::npos : w.find(from, at + 1)) {
            if ((atStart && at != 0) || (atEnd && w.compare(at, from.size(), from) != 0)) break;
            std::u32string t = w.substr(0, at) + to + w.substr(at + from.size());
            if (t.find(U' ') == std::u32string::npos) c.Try(t);
            else c.TryPhrase(t);  // "alot" to "a lot": words of their own
        }
    }
}

// The members of a class of similar characters (MAP): single letters, and letters in
// parentheses standing together ("ß(ss)", "(ae)æä").
std::vector<std::u32string> MapMembers(const std::u32string& group)
{
    std::vector<std::u32string> out;
    for (size_t p = 0; p < group.size(); ++p) {
        if (group[p] == U'(') {
            size_t e = group.find(U')', p);
            if (e == std::u32string::npos) e = group.size();
            if (e > p + 1) out.push_back(group.substr(p + 1, e - p - 1));
            p = e;
        } else if (group[p] != U'|') out.emplace_back(1, group[p]);
    }
    return out;
}

// Letters changed for similar ones (MAP): a member of a class (a letter or a sequence of them)
// for any other of its class, or up to three members each for one of its own case ("deja" to
// "déjà", "czesc" to "część", "Strasse" to "Straße"). The words found are offered in the order
// of the table: the earliest change decides, each by the member's place in its class (so
// "dobe" gives "době" before "ďobe").
void SimilarCharacters(Collector& c, const std::u32string& w, const std::vector<std::u32string>& groups)
{
    if (groups.empty() || c.Full()) return;
    const size_t n = w.size();
    std::vector<std::vector<std::u32string>> classes;
    classes.reserve(groups.size());
    for (const std::u32string& g : groups) classes.push_back(MapMembers(g));
    // What can change at each place: the members found there of the first class (in the
    // order of the table) that has one there; later classes do not count at that place.
    struct Here { const std::vector<std::u32string>* Class; size_t Member; };
    std::vector<std::vector<Here>> at(n);
    std::vector<size_t> key(n, 0), own(n, 0);
    bool any = false;
    for (size_t i = 0; i < n; ++i)
        for (const auto& cls : classes) {
            for (size_t k = 0; k < cls.size(); ++k)
                if (w.compare(i, cls[k].size(), cls[k]) == 0) {
                    if (at[i].empty()) key[i] = own[i] = k;
                    at[i].push_back({&cls, k});
                    any = true;
                }
            if (!at[i].empty()) break;
        }
    if (!any) return;
    struct Found { int Changes; std::vector<size_t> Key; std::u32string Shown; };
    std::vector<Found> found;
    int changes = 0;
    // The changes chosen so far: place, letters replaced, replacement.
    struct Change { size_t At, Length; const std::u32string* To; };
    std::vector<Change> chosen;
    std::u32string t;
    // Beyond one change, a budget of candidates (long words with many such letters).
    constexpr size_t Budget = 1500;
    size_t tried = 0;
    auto search = [&](auto& self, size_t from, int left, bool single) -> void {
        if (left == 0) {
            if (!single && ++tried > Budget) return;
            t.clear();
            size_t p = 0;
            for (const Change& ch : chosen) {
                t.append(w, p, ch.At - p);
                t += *ch.To;
                p = ch.At + ch.Length;
            }
            t.append(w, p, n - p);
            std::u32string shown;
            if (c.Accepts(t, shown)) found.push_back({changes, key, shown});
            return;
        }
        for (size_t j = from; j < n; ++j)
            for (const Here& h : at[j]) {
                const std::vector<std::u32string>& cls = *h.Class;
                const std::u32string& mine = cls[h.Member];
                for (size_t k = 0; k < cls.size(); ++k) {
                    const std::u32string& o = cls[k];
                    if (k == h.Member || o == mine || (!single && (IsUpper(o[0]) != IsUpper(w[j]) || IsLower(o[0]) != IsLower(w[j])))) continue;
                    chosen.push_back({j, mine.size(), &o});
                    key[j] = k;
                    self(self, j + mine.size(), left - 1, single);
                    chosen.pop_back();
                    key[j] = own[j];
                    if (!single && tried > Budget) return;
                }
            }
    };
    for (changes = 1; changes <= 3; ++changes) search(search, 0, changes, changes == 1);
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.Changes < b.Changes || (a.Changes == b.Changes && a.Key < b.Key); });
    for (const Found& f : found) c.Add(f.Shown);
}

// A letter replaced by the key to its left or right on the keyboard (KEY rows).
void NeighbourKeys(Collector& c, const std::u32string& w, const std::vector<std::u32string>& rows)
{
    for (size_t i = 0; i < w.size(); ++i)
        for (const std::u32string& row : rows)
            for (size_t at = row.find(w[i]); at != std::u32string::npos; at = row.find(w[i], at + 1)) {
                std::u32string t = w;
                if (at > 0) {
                    t[i] = row[at - 1];
                    c.Try(t);
                }
                if (at + 1 < row.size()) {
                    t[i] = row[at + 1];
                    c.Try(t);
                }
            }
}

// The typing slips, in the order in which they most often explain a misspelling: letters
// swapped (next to each other, then a little apart), the word with a capital, a consonant
// typed twice, a neighbouring key, a letter too many,
// one missing, one moved, one wrong, a pair of letters typed twice, the wrong letter doubled;
// two words run together come last of all.
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
    c.Try(Capitalized(w, c.D.Turkic()));  // a word known only with a capital
    for (size_t i = n; i-- > 1;)  // a consonant typed twice ("minnél"); a double vowel is often right
        if (w[i] == w[i - 1] && !LatinVowel(w[i])) c.Try(w.substr(0, i) + w.substr(i + 1));
    // The dictionary's own keyboard is good evidence; the common one (without KEY) is a guess
    // for many languages, tried after a letter too many or missing.
    const bool ownKeys = c.D.KeyRowsGiven();
    if (ownKeys) NeighbourKeys(c, w, c.D.KeyRows());
    // Positions are tried from the end of the word (slips cluster there), and the letters
    // to try in their order of frequency before positions.
    for (size_t i = n; i-- > 0;) c.Try(w.substr(0, i) + w.substr(i + 1));  // a letter too many
    // Capitals among the letters to try only start a word: a capital inside one is hardly
    // ever the slip (and half the candidates of a long list of letters to try).
    const bool innerCapitals = CaseOf(w) == CaseKind::Mixed;
    for (char32_t ch : tryChars)  // a missing letter
        for (size_t i = n + 1; i-- > 0;)
            if (i == 0 || innerCapitals || !IsUpper(ch)) c.Try(w.substr(0, i) + ch + w.substr(i));
    if (!ownKeys) NeighbourKeys(c, w, c.D.KeyRows());
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
            if (ch == w[i] || (i > 0 && !innerCapitals && IsUpper(ch))) continue;
            std::u32string t = w;
            t[i] = ch;
            c.Try(t);
        }
    for (size_t i = 0; i + 3 < n; ++i)  // a pair of letters typed twice: "vacacation"
        if (w[i] == w[i + 2] && w[i + 1] == w[i + 3]) c.Try(w.substr(0, i) + w.substr(i + 2));
    for (size_t i = 0; i + 1 < n; ++i) {  // the wrong letter doubled: "tommorow", "neccesary"
        if (w[i] != w[i + 1]) continue;
        std::u32string once = w.substr(0, i) + w.substr(i + 1);
        for (size_t j = 0; j < once.size(); ++j)
            if (j != i && Letter(once[j]) && (j == 0 || once[j - 1] != once[j]) && (j + 1 == once.size() || once[j + 1] != once[j]))
                c.Try(once.substr(0, j + 1) + once.substr(j));
    }
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
    // The misspelling in lower case, when only that is a word ("KG" for "kg" of KEEPCASE).
    if (!c.Exact && (c.Case == CaseKind::AllCaps || c.Case == CaseKind::Initial)) c.Try(w);
    {
        // A word known only in capitals ("odf" for "ODF"), as the dictionary has it.
        const bool exact = c.Exact;
        const CaseKind k = c.Case;
        c.Exact = true;
        c.Case = CaseKind::None;
        c.Try(Upper(w, c.D.Turkic()));
        c.Exact = exact;
        c.Case = k;
    }
    Replacements(c, w);
    SimilarCharacters(c, w, c.D.MapClasses());
    Edits(c, w);
}

} // namespace

namespace {

// Whether the replacement table (with the "ph:" misspellings) or the similar characters mend
// the word: the dictionary's own answer, after which words that merely look alike are not
// offered.
bool ByTables(const Dictionary& Dict, const std::u32string& Word)
{
    if (Dict.Replacements().empty() && Dict.MapClasses().empty()) return false;
    const CaseKind k = CaseOf(Word);
    Collector c{Dict, {}, {}, 1, k, false};
    c.TypedInitial = k == CaseKind::Initial;
    std::u32string w = k == CaseKind::AllCaps || k == CaseKind::Initial ? Lower(Word, Dict.Turkic()) : Word;
    if (k == CaseKind::Initial) {
        c.Case = CaseKind::None;
        c.Exact = true;
        Replacements(c, Word);
        SimilarCharacters(c, Word, Dict.MapClasses());
        c.Case = k;
        c.Exact = false;
    }
    Replacements(c, w);
    SimilarCharacters(c, w, Dict.MapClasses());
    return !c.Out.empty();
}

// A word joined by hyphens with one piece misspelt: the suggestions for that piece, in place.
std::vector<std::u32string> HyphenPieces(const Dictionary& Dict, const std::u32string& Word, size_t Max)
{
    std::vector<std::u32string> out;
    size_t wrongAt = std::u32string::npos, wrongEnd = 0;
    for (size_t p = 0; p <= Word.size();) {
        size_t e = std::min(Word.find(U'-', p), Word.size());
        if (e > p && !Dict.Check(std::u32string_view(Word).substr(p, e - p))) {
            if (wrongAt != std::u32string::npos) return out;  // more than one
            wrongAt = p;
            wrongEnd = e;
        }
        p = e + 1;
    }
    if (wrongAt == std::u32string::npos) return out;
    std::u32string piece = Word.substr(wrongAt, wrongEnd - wrongAt);
    std::vector<std::u32string> fixes = SuggestEdits(Dict, piece, Max);
    if (fixes.empty()) fixes = SuggestSimilar(Dict, piece, Max, {});
    for (const std::u32string& f : fixes) {
        if (f.find(U' ') != std::u32string::npos) continue;
        std::u32string whole = Word.substr(0, wrongAt) + f + Word.substr(wrongEnd);
        if (Dict.Check(whole) && std::find(out.begin(), out.end(), whole) == out.end()) out.push_back(whole);
    }
    return out;
}

// Longer than any word the dictionary can hold, and room for a hyphenated phrase: a longer text
// gets no suggestions. Every edit of it is as long and is tried in vain, at a cost that grows
// with the square of its length (3,200 letters took 17 s).
constexpr size_t LongestMisspelling = 3 * Dictionary::MaxWordLength;

} // namespace

std::vector<std::u32string> SuggestEdits(const Dictionary& Dict, const std::u32string& Word, size_t Max)
{
    if (Word.size() > LongestMisspelling) return {};
    size_t dots = 0;
    while (dots < Word.size() && Word[Word.size() - 1 - dots] == U'.') ++dots;
    if (dots && dots < Word.size()) {
        // Dots after the word: suggestions for the word (with the dots under SUGSWITHDOTS).
        std::vector<std::u32string> out = SuggestEdits(Dict, Word.substr(0, Word.size() - dots), Max);
        if (Dict.Suggesting().WithDots)
            for (std::u32string& o : out) o.append(dots, U'.');
        return out;
    }
    size_t dash = Word.find(U'-');
    if (dash != std::u32string::npos && dash > 0 && Word.back() != U'-') {
        std::vector<std::u32string> pieces = HyphenPieces(Dict, Word, Max);
        if (!pieces.empty()) {
            // Then the whole word's own edits, after the mended pieces.
            std::vector<std::u32string> rest = SuggestWhole(Dict, Word, Max);
            for (const std::u32string& r : rest)
                if (pieces.size() < Max && std::find(pieces.begin(), pieces.end(), r) == pieces.end()) pieces.push_back(r);
            return pieces;
        }
    }
    return SuggestWhole(Dict, Word, Max);
}

std::vector<std::u32string> SuggestWhole(const Dictionary& Dict, const std::u32string& Word, size_t Max)
{
    const CaseKind k = CaseOf(Word);
    if (k == CaseKind::Lower && Dict.ForcesCapitals()) {
        // A compound that is one only with a capital (its last part has FORCEUCASE): the
        // capital is all it lacks, and the only suggestion.
        std::u32string capital = Capitalized(Word, Dict.Turkic());
        if (Dict.CheckSuggestion(capital, true) && !Dict.CheckSuggestion(capital, false) && !Dict.CheckSuggestion(Word, true))
            return {Dict.OutputConvert(capital)};
    }
    // Words of their own first; compounds after them when few such words explain the
    // misspelling (at most MAXCPDSUGS of them).
    constexpr size_t FewWords = 4;
    std::vector<std::u32string> plain;
    for (bool compound : {false, true}) {
        Collector c{Dict, {}, {}, Max, k, compound};
        c.TypedInitial = k == CaseKind::Initial;
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
        if (!compound) {
            plain = std::move(c.Out);
            if (plain.size() >= std::min(FewWords, Max) || !Dict.HasCompounds() || Dict.Suggesting().MaxCompound == 0) return plain;
            continue;
        }
        int room = Dict.Suggesting().MaxCompound >= 0 ? Dict.Suggesting().MaxCompound : static_cast<int>(Max);
        for (const std::u32string& x : c.Out)
            if (plain.size() < Max && room > 0 && std::find(plain.begin(), plain.end(), x) == plain.end()) {
                plain.push_back(x);
                --room;
            }
    }
    return plain;
}

namespace {

// The longest common subsequence of two words, in characters.
size_t CommonSubsequence(std::u32string_view a, std::u32string_view b)
{
    if (a.size() > 64 || b.size() > 64) return 0;
    size_t row[65] = {}, prev[65] = {};
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j)
            row[j] = a[i - 1] == b[j - 1] ? prev[j - 1] + 1 : std::max(prev[j], row[j - 1]);
        std::copy(row, row + b.size() + 1, prev);
    }
    return prev[b.size()];
}

// Pieces of N letters of A found anywhere in B.
int CommonPieces(std::u32string_view a, std::u32string_view b, size_t n)
{
    int found = 0;
    for (size_t i = 0; i + n <= a.size(); ++i)
        if (b.find(a.substr(i, n)) != std::u32string_view::npos) ++found;
    return found;
}

// The word (in lower case) with its letters' diacritics and ligatures taken off: how it looks
// to a reader comparing shapes ("œnologie" and "oenologie", "később" and "kesobb").
std::u32string Plain(std::u32string_view w)
{
    std::u32string out;
    out.reserve(w.size() + 2);
    for (char32_t c : w) {
        if (c == 0xE6) out += U"ae";
        else if (c == 0x153) out += U"oe";
        else if (c == 0xDF) out += U"ss";
        else if (char32_t b = BaseLetter(c)) out += b;
        else out += c;
    }
    return out;
}

// How alike a dictionary word looks to the misspelling (both in lower case): letters in
// order, pieces of two and three letters, the same beginning, the same length.
int Likeness(std::u32string_view typed, std::u32string_view form)
{
    int lcs = static_cast<int>(CommonSubsequence(typed, form));
    int lead = 0;
    while (lead < static_cast<int>(std::min(typed.size(), form.size())) && typed[lead] == form[lead]) ++lead;
    int diff = std::abs(static_cast<int>(typed.size()) - static_cast<int>(form.size()));
    // Letters of the word that the misspelling lacks count against the word: one whose letters
    // are all there in order ("approach" for "approche") is likelier than a longer form that
    // needs letters added as well ("approached").
    int missing = static_cast<int>(form.size()) - lcs;
    int score = 3 * lcs - 2 * diff - 3 * missing + std::min(lead, 3) + CommonPieces(typed, form, 2) + CommonPieces(form, typed, 2) +
                2 * CommonPieces(typed, form, 3);
    // The same letters in another order: a strong hint.
    if (typed.size() == form.size() && lcs + 2 >= static_cast<int>(typed.size())) {
        std::u32string x(typed), y(form);
        std::sort(x.begin(), x.end());
        std::sort(y.begin(), y.end());
        if (x == y) score += 6;
    }
    return score;
}

} // namespace

std::vector<std::u32string> SuggestSimilar(const Dictionary& Dict, const std::u32string& Word, size_t Max,
                                           const std::vector<std::u32string>& Exclude)
{
    if (Word.size() > LongestMisspelling) return {};
    const SuggestOptions& opt = Dict.Suggesting();
    size_t dots = 0;
    while (dots < Word.size() && Word[Word.size() - 1 - dots] == U'.') ++dots;
    if (dots && dots < Word.size()) {
        std::vector<std::u32string> bare = Exclude;
        for (std::u32string& e : bare)
            while (!e.empty() && e.back() == U'.') e.pop_back();
        std::vector<std::u32string> out = SuggestSimilar(Dict, Word.substr(0, Word.size() - dots), Max, bare);
        if (opt.WithDots)
            for (std::u32string& o : out) o.append(dots, U'.');
        return out;
    }
    // MAXNGRAMSUGS bounds the words offered for their looks; words that sound the same (by the
    // phonetic table) come on top of those, and 0 leaves out both.
    const size_t byLooksMax = opt.MaxNgram >= 0 ? std::min(Max, static_cast<size_t>(opt.MaxNgram)) : Max;
    if (byLooksMax == 0 || ByTables(Dict, Word)) return {};
    // First every stem of the dictionary is scored by the letter pairs it shares with the word
    // (without allocating: pairs go to a small array); the best stems and the words their
    // affixes make are then ranked by a closer likeness.
    std::u32string w = Lower(Word, Dict.Turkic());
    constexpr size_t MaxPairs = 64;
    // Letters up to the Cyrillic block are folded by a table (most stems are all such letters).
    constexpr char32_t Tabled = 0x530;
    char32_t lowerOf[Tabled];
    for (char32_t c = 0; c < Tabled; ++c) lowerOf[c] = ToLower(c);
    auto fold = [&](char32_t c) { return c < Tabled ? lowerOf[c] : ToLower(c); };
    uint64_t mine[MaxPairs];
    size_t mineCount = 0;
    uint64_t filter[4] = {};  // a bit for each pair of the word, by a hash of it
    auto hash = [](uint64_t pair) { return static_cast<unsigned>((pair * 0x9E3779B97F4A7C15ull) >> 56); };
    for (size_t i = 0; i + 1 < w.size() && mineCount < MaxPairs; ++i) {
        uint64_t pair = (uint64_t(fold(w[i])) << 32) | fold(w[i + 1]);
        mine[mineCount++] = pair;
        filter[hash(pair) >> 6] |= 1ull << (hash(pair) & 63);
    }
    // The pairs of a stem that the word has too, each pair of the word counted once.
    // Counting stops (at 0) once the pairs left cannot make NEED.
    auto commonPairs = [&](std::u32string_view stem, size_t need) {
        size_t common = 0;
        uint64_t used = 0;
        char32_t prev = stem.empty() ? 0 : fold(stem[0]);
        for (size_t i = 1; i < stem.size(); ++i) {
            if (common + (stem.size() - i) < need) return size_t(0);
            char32_t cur = fold(stem[i]);
            uint64_t pair = (uint64_t(prev) << 32) | cur;
            prev = cur;
            unsigned h = hash(pair);
            if (!(filter[h >> 6] & (1ull << (h & 63)))) continue;
            for (size_t k = 0; k < mineCount; ++k)
                if (mine[k] == pair && !(used & (1ull << k))) {
                    used |= 1ull << k;
                    ++common;
                    break;
                }
        }
        return common;
    };
    constexpr size_t Keep = 120;
    // With a phonetic table, stems that sound like the word are taken however they are spelt.
    const bool phonetic = !opt.Phone.empty();
    const std::u32string sound = phonetic ? Phonetic(opt, w) : std::u32string();
    auto soundsAlike = [&](std::u32string_view form) {
        if (!phonetic || sound.empty()) return 0;
        std::u32string other = Phonetic(opt, form);
        if (other == sound) return 2;
        size_t longer = std::max(other.size(), sound.size());
        return longer > 2 && CommonSubsequence(other, sound) + 1 >= longer ? 1 : 0;
    };
    std::vector<std::pair<int, std::u32string_view>> stems;
    auto byScore = [](const auto& a, const auto& b) { return a.first > b.first || (a.first == b.first && a.second < b.second); };
    // A stem must score more than half the word's pairs and, once the best Keep are known, at
    // least the last of them (the list is cut back to those from time to time).
    int least = static_cast<int>(mineCount) / 2 + 1;
    size_t cutAt = 8 * Keep;
    Dict.ForEachStem([&](std::u32string_view stem) {
        if (stem.size() + 6 < w.size() || stem.size() > w.size() + 4) return;
        const int lengthGap = std::abs(static_cast<int>(stem.size()) - static_cast<int>(w.size())) / 2;
        // Without a phonetic table, the score tells how many pairs in common a stem needs.
        size_t common = commonPairs(stem, phonetic ? 0 : static_cast<size_t>((least + lengthGap + 1) / 2));
        int score = 2 * static_cast<int>(common) - lengthGap;
        if (phonetic) score += 1000 * soundsAlike(Lower(stem, Dict.Turkic()));
        if (score < least) return;
        stems.emplace_back(score, stem);
        if (stems.size() >= cutAt) {
            std::nth_element(stems.begin(), stems.begin() + (Keep - 1), stems.end(), byScore);
            least = std::max(least, stems[Keep - 1].first);
            stems.erase(std::remove_if(stems.begin() + Keep, stems.end(), [&](const auto& x) { return x.first < least; }), stems.end());
            cutAt = std::max(cutAt, 2 * stems.size());
        }
    });
    if (stems.size() > Keep) {
        std::nth_element(stems.begin(), stems.begin() + Keep, stems.end(), byScore);
        stems.resize(Keep);
    }
    std::vector<std::pair<int, std::u32string>> best;
    std::unordered_set<std::u32string> seen, sameSound;
    const int maxDiff = opt.MaxDiff >= 0 ? opt.MaxDiff : opt.OnlyMaxDiff ? 5 : 10;
    const std::u32string plainWord = Plain(w);
    const int selfLikeness = Likeness(w, w);
    // The likeliest stems are expanded first; with rich affixes (thousands of forms a stem) the
    // expansion stops after a budget of forms.
    std::sort(stems.begin(), stems.end(), byScore);
    constexpr size_t FormBudget = 1500;
    size_t forms = 0;
    for (const auto& [rough, stem] : stems) {
        if (forms > FormBudget) break;
        Dict.ForEachForm(stem, w.size() + 3, [&](std::u32string_view form) {
            ++forms;
            if (form.size() + 4 < w.size()) return;
            std::u32string f(form);
            if (!seen.insert(f).second) return;
            std::u32string lower = Lower(f, Dict.Turkic());
            // A proper noun is a little less likely than a common word for a word in lower case.
            // Letters count as written and, at half weight, without their diacritics.
            int likeness = (2 * Likeness(w, lower) + Likeness(plainWord, Plain(lower))) / 3, alike = soundsAlike(lower);
            int score = 4 * likeness - (lower != f && CaseOf(Word) == CaseKind::Lower ? 2 : 0) + 24 * alike;
            // MAXDIFF: how alike a word must look (to the word and to itself) to be offered;
            // 10 takes any, 0 only the closest. Without it nothing is dropped.
            bool good = maxDiff >= 10 || alike == 2 || likeness * 20 >= (10 - maxDiff) * (selfLikeness + Likeness(lower, lower));
            if (alike == 2) sameSound.insert(f);
            best.emplace_back(good ? score : -1000000 + score, std::move(f));
        });
    }
    std::sort(best.begin(), best.end(), byScore);
    std::vector<std::u32string> out;
    CaseKind k = CaseOf(Word);
    bool keptUnlike = opt.OnlyMaxDiff;  // one word below the bar is kept, unless ONLYMAXDIFF
    size_t byLooks = 0;
    for (const auto& [score, form] : best) {
        if (out.size() >= Max) break;
        const bool sounds = sameSound.count(form) != 0;
        if (!sounds && byLooks >= byLooksMax) continue;
        if (!Dict.CheckSuggestion(form)) continue;
        if (score < -500000) {
            if (keptUnlike || !out.empty()) break;
            keptUnlike = true;
        }
        // In the case of the misspelling; a word that is no word in that case (KEEPCASE,
        // forbidden) as the dictionary has it if that is in lower case or capitalised.
        std::u32string cased = k == CaseKind::AllCaps ? Upper(form, Dict.Turkic()) : k == CaseKind::Initial ? Capitalized(form, Dict.Turkic()) : form;
        if (cased != form && (Dict.IsForbidden(cased) || !Dict.CheckSuggestion(cased))) {
            const CaseKind f = CaseOf(form);
            if (f != CaseKind::Lower && f != CaseKind::Initial) continue;
            cased = form;
        }
        std::u32string shown = Dict.OutputConvert(cased);
        if (std::find(Exclude.begin(), Exclude.end(), shown) != Exclude.end()) continue;
        if (std::find(out.begin(), out.end(), shown) != out.end()) continue;
        out.push_back(shown);
        if (!sounds) ++byLooks;
    }
    return out;
}

} // namespace pwspell
