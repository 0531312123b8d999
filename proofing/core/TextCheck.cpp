#include "TextCheck.h"

#include "Text.h"

#include <algorithm>

namespace pwspell {

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool IsSentenceEnd(char32_t c) { return c == U'.' || c == U'!' || c == U'?'; }
bool IsApostrophe(char32_t c) { return c == U'\'' || c == 0x2019; }

bool IsRoman(const std::u32string& w)
{
    return !w.empty() && std::all_of(w.begin(), w.end(), [](char32_t c) {
        return std::u32string(U"IVXLCDMivxlcdm").find(c) != std::u32string::npos;
    });
}

} // namespace

bool TextChecker::IsWordChar(char32_t c) const
{
    if (IsUpper(c) || IsLower(c) || IsDigit(c)) return true;
    if (c == U'.' || c == U'-') return false;
    if (FDict.WordChars().find(c) != std::u32string::npos) return true;
    // Letters of scripts without case, but not the typographic marks of the upper ranges.
    static const std::u32string marks = U"\u00A0\u00AB\u00BB\u2013\u2014\u2019\u201C\u201D\u2026";
    return c >= 0x80 && marks.find(c) == std::u32string::npos && !(c >= 0x2000 && c < 0x2070);
}

bool TextChecker::WordIsCorrect(const std::u32string& w, unsigned Options) const
{
    if (IgnoreAlways.count(w) || UserWords.count(w) || UserWords.count(Lower(w))) return true;
    bool digits = std::any_of(w.begin(), w.end(), IsDigit);
    if (digits && (Options & optIgnoreMixedDigits)) return true;
    if ((Options & optIgnoreAllCaps) && w.size() > 1 && CaseOf(w) == CaseKind::AllCaps) return true;
    if ((Options & optIgnoreRomanNumerals) && IsRoman(w)) return true;
    return FDict.Check(w);
}

TextProblem TextChecker::CheckWord(const std::u32string& w, bool DotFollows, size_t at, unsigned Options,
                                   TextState& st) const
{
    TextProblem p;
    p.Position = at;
    p.Length = w.size();
    if (auto it = ChangeAlways.find(w); it != ChangeAlways.end()) {
        p.Code = rcReturnedChange;
        p.Replacement = it->second;
        return p;
    }
    if (auto it = ChangeOnce.find(w); it != ChangeOnce.end()) {
        p.Code = rcChangeOnce;
        p.Replacement = it->second;
        return p;
    }
    if ((Options & optFindInitialNumerals) && !(Options & optIgnoreMixedDigits) && IsDigit(w[0]) &&
        std::any_of(w.begin(), w.end(), [](char32_t c) { return IsUpper(c) || IsLower(c); })) {
        p.Code = rcInitialNumeral;
        return p;
    }
    // An abbreviation ("etc.", "Dr.", "Ph.D.") is a word with its full stop, which the
    // text keeps outside the word.
    if (!WordIsCorrect(w, Options) && !(DotFollows && FDict.Check(w + U"."))) {
        // Known only with other capitals: "paris" for "Paris".
        for (const std::u32string& form : {Capitalized(w), Upper(w)})
            if (form != w && FDict.Check(form) && CaseOf(form) != CaseOf(w)) {
                p.Code = rcCapitalization;
                p.Replacement = form;
                return p;
            }
        p.Code = rcUnknown;
        return p;
    }
    if ((Options & optFindRepeatWord) && !st.PreviousWord.empty() && Lower(st.PreviousWord) == Lower(w)) {
        p.Code = rcRepeatWord;
        return p;
    }
    if ((Options & optFindUncappedSentences) && st.SentenceStart && IsLower(w[0])) {
        p.Code = rcSentenceCap;
        p.Replacement = w;
        p.Replacement[0] = ToUpper(w[0]);
        return p;
    }
    return p;
}

TextProblem TextChecker::Check(const std::u32string& t, unsigned Options, TextState& st) const
{
    size_t i = 0, n = t.size();
    while (i < n) {
        char32_t c = t[i];
        if (c == U' ') {
            size_t s = i;
            while (i < n && t[i] == U' ') ++i;
            if ((Options & optFindExtraSpaces) && i - s > 1 && s > 0 && i < n && t[i] != U'\r' && t[i] != U'\n') {
                TextProblem p;
                p.Code = rcExtraSpaces;
                p.Position = s + 1;
                p.Length = i - s - 1;
                return p;
            }
            continue;
        }
        if (IsWordChar(c)) {
            size_t s = i;
            while (i < n && (IsWordChar(t[i]) ||
                             ((t[i] == U'-' || IsApostrophe(t[i]) || t[i] == U'.') && i + 1 < n && IsWordChar(t[i + 1]) &&
                              (t[i] != U'.' || FDict.WordChars().find(U'.') != std::u32string::npos))))
                ++i;
            std::u32string w = t.substr(s, i - s);
            TextProblem p = CheckWord(w, i < n && t[i] == U'.', s, Options, st);
            // A reported word counts as passed: the caller goes on after it, and what follows
            // must be judged as following it (no sentence starts again there).
            st.PreviousWord = w;
            st.SentenceStart = false;
            if (p.Code != rcOk) return p;
            continue;
        }
        if (IsSentenceEnd(c)) {
            st.SentenceStart = true;
            st.PreviousWord.clear();
            if ((Options & optFindMissingSpaces) && i + 1 < n && (IsUpper(t[i + 1]))) {
                TextProblem p;
                p.Code = rcMissingSpace;
                p.Position = i;
                p.Length = 2;
                return p;
            }
        } else if (c == U'\r' || c == U'\n' || c == U'\v') {
            st.PreviousWord.clear();
        } else if (c != U'\t' && c != 0xA0) {
            st.PreviousWord.clear();
        }
        ++i;
    }
    return TextProblem{};
}

} // namespace pwspell
