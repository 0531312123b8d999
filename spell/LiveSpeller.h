// Spelling as you type: the words of an editor that their language's engine rejects, found in
// idle time and underlined with a red wavy line drawn over the control's own painting. The
// speller listens to its editor and its checker itself; it follows the text with a mirror of
// it (TextMirror.h), knows its languages from a cache of runs (LanguageRunCache.h) and keeps
// its marks in an overlay that draws them when the editor paints (MarkOverlay.h). Here the
// work is scheduled in idle time and done: paragraphs checked, visible ones first.
#pragma once
#include "Classes.h"
#include "Events.h"
#include "LanguageRunCache.h"
#include "Languages.h"
#include "MarkOverlay.h"
#include "TextMirror.h"
#include "WinApi.h"

#include <set>
#include <string>
#include <vector>

namespace pw {

class TCustomRichEdit98;
class TSpellChecker;

class TLiveSpeller : public TComponent, private TTextFollower {
public:
    TLiveSpeller(TComponent* AOwner, TCustomRichEdit98* AEditor, TSpellChecker* AChecker);
    ~TLiveSpeller() override;

    // Off: every mark goes and nothing is checked until it is on again.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    // What the editor tells (the speller hears it through the editor's events): its text
    // changed, its selection moved, text was marked with another language (or a document was
    // loaded): everything is checked again. After an edit only the text around the caret is
    // read at once; the rest is read again in later slices, so that an edit elsewhere (an
    // undo, a replacement, a stream) is found all the same.
    void TextChanged();
    void SelectionChanged();
    void LanguagesChanged();

    // Checks for at most about BudgetMs milliseconds, visible paragraphs first; true while
    // work is left. The idle timer calls it; tests and benchmarks may call it directly.
    bool RunSlice(double BudgetMs = 10.0);
    // Runs slices until everything is checked.
    void CheckAll();
    bool WorkLeft() const;

    // The marks shown now (the word being typed is left out until the caret leaves it).
    std::vector<TSpellMark> Marks() const;
    // The mark over Pos (between its first character and just after its last), if any.
    bool MarkAt(int Pos, TSpellMark& Mark) const;
    // Longest slice so far, in milliseconds.
    double LongestSliceMs() const { return FLongestSlice; }

    // Milliseconds without changes before changed text is checked again.
    static constexpr unsigned SettleDelay = 250;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomRichEdit98* FEditor;
    TSpellChecker* FChecker;
    bool FEnabled = true;
    TTextMirror FText;
    TLanguageRunCache FRuns;
    TMarkOverlay FOverlay;
    size_t FCursor = 0; // where the background walk goes on
    std::set<TLanguage> FNoEngine;
    double FLongestSlice = 0;
    UINT_PTR FTimer = 0;
    unsigned FTimerPeriod = 0;
    // The editor's edits, selection and languages, and the words its checker accepts: heard
    // until the speller, the editor or the checker goes.
    TSubscription FChangeHeard, FSelectionHeard, FLanguagesHeard, FWordAcceptedHeard;

    void Schedule(unsigned Delay);
    void StopTimer();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);

    bool KeepsLanguages(int ChangeFrom, int ChangeEnd, int Delta) const override;
    void ParagraphsReplaced(const TParagraphsReplaced& Change) override;
    void TextRetaken() override;

    TCharRange VisibleRange();
    size_t NextParagraph(TCharRange View);
    void CheckParagraph(TLiveParagraph& P, bool InView);
    void CheckSegment(int From, int To, TLanguage Language, std::vector<TSpellMark>& Out);
    void PaintMarks(HDC DC);
    // A word now accepted in a language (added to the dictionary, skipped everywhere): its
    // marks in that language go.
    void WordAccepted(TLanguage Language, const std::string& Word);
    void Clear();
};

} // namespace pw
