// The language runs of an editor's text as spelling as you type knows them: read a few
// paragraphs at a time, as many as a slice has time for, and moved along with typing, so that
// a keystroke does not have them read again.
#pragma once
#include "LanguageRuns.h"
#include "Languages.h"
#include "TextMirror.h"

#include <vector>

namespace pw {

class TCustomRichEdit98;

class TLanguageRunCache {
public:
    explicit TLanguageRunCache(TCustomRichEdit98* AEditor) : FEditor(AEditor) {}
    TLanguageRunCache(const TLanguageRunCache&) = delete;
    TLanguageRunCache& operator=(const TLanguageRunCache&) = delete;

    void SetEditor(TCustomRichEdit98* AEditor) { FEditor = AEditor; }
    void Clear() { FRuns.clear(); }

    // The run of the character before Pos (of the first character at the start).
    const TLanguageRun* RunBefore(int Pos) const;
    // Whether text that replaced From up to OldEnd was typed into a known run: a character at
    // most, with a run before it.
    bool Typed(int From, int OldEnd, int Delta) const
    {
        return OldEnd + Delta - From <= 1 && RunBefore(From) != nullptr;
    }
    // Text From up to OldEnd was replaced, the rest moved by Delta: what came in takes the
    // language of the character before it, as the control does with typed text.
    void ShiftRuns(int From, int OldEnd, int Delta);
    // Reads the runs of the paragraphs from First on whose languages are not known: all of
    // those in view and as many more as BudgetMs allows; marks them known.
    void ReadRuns(std::vector<TLiveParagraph>& Paragraphs, size_t First, int TextLength, TCharRange View,
                  double BudgetMs);
    // Milliseconds the last reading took.
    double LastReadMs() const { return FRunsLast; }

    // The language of the character at Pos (0 where no run is known there); End is lowered to
    // where that language ends.
    TLanguage LanguageFrom(int Pos, int& End) const;
    // The language of the run that holds Pos (0 where none does).
    TLanguage LanguageAt(int Pos) const;

private:
    TCustomRichEdit98* FEditor;
    std::vector<TLanguageRun> FRuns;
    double FRunsCost = 0.0002; // milliseconds per character of reading language runs
    double FRunsLast = 0; // milliseconds the last reading of runs took
};

} // namespace pw
