// Spelling as you type: the words of an editor that their language's engine rejects, found in
// idle time and underlined with a red wavy line drawn over the control's own painting. The
// document is not touched: nothing of the marks is saved, undone or copied.
#pragma once
#include "Classes.h"
#include "LanguageRuns.h"
#include "Languages.h"
#include "WinApi.h"

#include <set>
#include <string>
#include <vector>

namespace pw {

class TCustomRichEdit98;
class TSpellChecker;

// A marked word: its first character and its length, in the editor's positions.
struct TSpellMark {
    int Start;
    int Length;
    int End() const { return Start + Length; }
};

class TLiveSpeller : public TComponent {
public:
    TLiveSpeller(TComponent* AOwner, TCustomRichEdit98* AEditor, TSpellChecker* AChecker);
    ~TLiveSpeller() override;

    // Off: every mark goes and nothing is checked until it is on again.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    // What the editor tells: its text changed, its selection moved, text was marked with
    // another language (or a document was loaded): everything is checked again. After an edit
    // only the text around the caret is read at once; the rest is read again in later slices,
    // so that an edit elsewhere (an undo, a replacement, a stream) is found all the same.
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
    // The mark over Pos (between its first character and just after its last), or nullptr.
    bool MarkAt(int Pos, TSpellMark& Mark) const;
    // Longest slice so far, in milliseconds.
    double LongestSliceMs() const { return FLongestSlice; }

    // Draws the marks in view on a DC of the editor's window.
    void PaintOverlay(HDC DC);

    // A word now accepted in a language (added to the dictionary, skipped everywhere): every
    // live speller drops its marks of that word in that language.
    static void WordAccepted(TLanguage Language, const std::string& Word);

    // Milliseconds without changes before changed text is checked again.
    static constexpr unsigned SettleDelay = 250;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TLocalMark {
        int Offset;  // from the paragraph's start
        int Length;
    };
    struct TParagraph {
        int Start;
        int Length;      // without its paragraph mark
        bool Checked;
        int CheckedTo;   // a long paragraph is checked in steps: how far it is
        bool Languages;  // its language runs are known
        std::vector<TLocalMark> Marks;
    };
    // The whole text read a piece at a time: to confirm what the edit tracker assumed of an
    // edit (checking goes on meanwhile), or to take in a text not known at all (checking and
    // marks wait for it).
    enum class TReading { None, Confirm, Renew };

    TCustomRichEdit98* FEditor;
    TSpellChecker* FChecker;
    bool FEnabled = true;
    std::wstring FText;
    std::vector<TParagraph> FParagraphs;
    std::vector<TLanguageRun> FRuns;
    bool FTextStale = true;      // the control's text has changed since FText was read
    int FEditFrom = -1;          // the carets after the edits not yet followed
    int FEditTo = -1;
    TReading FReading = TReading::None;
    std::wstring FFresh;         // what the reading has read so far
    int FFreshLength = 0;        // the length of the text it reads
    double FTextCost = 0.00005;  // milliseconds per character of reading text, as measured
    double FRunsCost = 0.0002;   // and of reading language runs
    double FRunsLast = 0;        // milliseconds the last reading of runs took
    size_t FCursor = 0;          // where the background walk goes on
    int FTypingAt = -1;          // caret after the last edit: its word stays unmarked there
    std::set<TLanguage> FNoEngine;
    double FLongestSlice = 0;
    UINT_PTR FTimer = 0;
    unsigned FTimerPeriod = 0;

    void Schedule(unsigned Delay);
    void StopTimer();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);

    int TextLength();
    std::wstring TextRange(int From, int To);
    void Synchronize();
    void StartReading(TReading Kind);
    void ReadStep(double Start, double BudgetMs);
    void TakeText(std::wstring Fresh);
    void Replaced(int From, int OldEnd, int Delta);
    void ReplaceParagraphs(int OldStart, int OldEnd, int Delta, bool KeepLanguages);
    void ShiftRuns(int From, int OldEnd, int Delta);
    const TLanguageRun* RunBefore(int Pos) const;
    void ReadRuns(size_t First, int VisibleFrom, int VisibleTo, double BudgetMs);
    static std::vector<TParagraph> Split(const std::wstring& Text, int From, int To);
    bool CheckParagraph(TParagraph& P);
    void CheckSegment(const TParagraph& P, int From, int To, TLanguage Language, std::vector<TLocalMark>& Out);
    size_t NextParagraph(int VisibleFrom, int VisibleTo);
    void VisibleRange(int& From, int& To);
    size_t ParagraphAt(int Pos) const;
    bool Hidden(const TSpellMark& M) const;
    void Redraw();
    void EraseMark(const TSpellMark& M);
    void EraseLines(int From, int To);
    bool MarkRect(const TSpellMark& M, RECT& R, int& Baseline);
    void DropWord(TLanguage Language, const std::wstring& Word);
    void Clear();
};

} // namespace pw
