// The text of an editor as spelling as you type knows it: a copy split into paragraphs that
// follows the editor's edits. After an edit only the text around the carets is read and
// compared at once; the whole text is read again a piece at a time in later slices, to confirm
// what was assumed or to take in a text not known at all. What keeps state along the text is
// told of every stretch of paragraphs the copy replaces.
#pragma once
#include "RichEditText.h"

#include <string>
#include <vector>

namespace pw {

class TCustomRichEdit98;

// Milliseconds on a steady clock: what the slices of spelling as you type measure with.
double SliceClockMs();
// The least a piece read from the editor holds (of text or of language runs), however little
// time a slice has left.
constexpr int LeastReadPiece = 4096;

struct TLiveParagraph {
    int Start;
    int Length; // without its paragraph mark
    bool Checked;
    int CheckedTo; // a long paragraph is checked in steps: how far it is
    bool Languages; // its language runs are known
};

// Paragraphs of the copy replaced by others, after the characters ChangeFrom up to ChangeEnd
// of the old text changed: the paragraphs from From up to the end of the last of them (OldTo
// before the edit, To now); everything after them moved by Delta.
struct TParagraphsReplaced {
    int From;
    int OldTo;
    int To;
    int ChangeFrom;
    int ChangeEnd;
    int Delta;
};

// What keeps state along the text (the languages, the marks, where checking goes on).
class TTextFollower {
public:
    // Whether the paragraphs that replace a changed stretch keep the languages known of the
    // ones before (text typed into a run known).
    virtual bool KeepsLanguages(int ChangeFrom, int ChangeEnd, int Delta) const = 0;
    virtual void ParagraphsReplaced(const TParagraphsReplaced& Change) = 0;
    // What was on the screen may be other than the text now known: all of it is drawn again.
    virtual void TextRetaken() = 0;

protected:
    ~TTextFollower() = default;
};

class TTextMirror {
public:
    TTextMirror(TCustomRichEdit98* AEditor, TTextFollower& AFollower) : FEditor(AEditor), FFollower(AFollower) {}
    TTextMirror(const TTextMirror&) = delete;
    TTextMirror& operator=(const TTextMirror&) = delete;

    void SetEditor(TCustomRichEdit98* AEditor) { FEditor = AEditor; }
    // Nothing known: the next Follow reads the whole text.
    void Clear();

    // The editor's text changed, leaving the selection Carets.
    void Edited(TCharRange Carets);
    bool Stale() const { return FStale; }
    // Takes in the edits told since the last time: the text around their carets now, the rest
    // assumed unchanged until the reading in later slices confirms it.
    void Follow();
    // Reads the whole text again in pieces (the languages changed, or a document came in):
    // when its length or the text of View differs, nothing is known before it is read;
    // otherwise the copy stands meanwhile.
    void Reread(TCharRange View);

    bool Reading() const { return FReading != TReading::None; }
    // The text is being read with nothing known of it yet.
    bool Renewing() const { return FReading == TReading::Renew; }
    // One piece of the reading, sized to what is left of BudgetMs since Start; the text read
    // to its end is compared and followed.
    void ReadStep(double Start, double BudgetMs);

    const std::wstring& Text() const { return FText; }
    int Length() const { return static_cast<int>(FText.size()); }
    std::vector<TLiveParagraph>& Paragraphs() { return FParagraphs; }
    const std::vector<TLiveParagraph>& Paragraphs() const { return FParagraphs; }
    // The paragraph whose text or closing mark holds Pos.
    size_t ParagraphAt(int Pos) const;

private:
    // The whole text read a piece at a time: to confirm what the edit tracker assumed of an
    // edit (checking goes on meanwhile), or to take in a text not known at all (checking and
    // marks wait for it).
    enum class TReading { None, Confirm, Renew };

    TCustomRichEdit98* FEditor;
    TTextFollower& FFollower;
    std::wstring FText;
    std::vector<TLiveParagraph> FParagraphs;
    bool FStale = true; // the control's text has changed since FText was read
    int FEditFrom = -1; // the carets after the edits not yet followed
    int FEditTo = -1;
    TReading FReading = TReading::None;
    std::wstring FFresh; // what the reading has read so far
    int FFreshLength = 0; // the length of the text it reads
    double FTextCost = 0.00005; // milliseconds per character of reading text, as measured

    void StartReading(TReading Kind);
    void TakeText(std::wstring Fresh);
    void Replaced(int From, int OldEnd, int Delta);
    static std::vector<TLiveParagraph> Split(const std::wstring& Text, int From, int To);
};

} // namespace pw
