// The marks of spelling as you type and their red waves over an editor. The marks are kept
// here; when one appears or goes, the editor's window is told to repaint where its wave is or
// was, and the waves are drawn only when the editor paints, after its own painting. The
// document is not touched: nothing of the marks is saved, undone or copied.
#pragma once
#include "TextMirror.h"
#include "WinApi.h"

#include <functional>
#include <vector>

namespace pw {

class TCustomRichEdit98;

// A marked word: its first character and its length, in the editor's positions.
struct TSpellMark {
    int Start;
    int Length;
    int End() const { return Start + Length; }
};

class TMarkOverlay {
public:
    explicit TMarkOverlay(TCustomRichEdit98* AEditor) : FEditor(AEditor) {}
    TMarkOverlay(const TMarkOverlay&) = delete;
    TMarkOverlay& operator=(const TMarkOverlay&) = delete;

    void SetEditor(TCustomRichEdit98* AEditor) { FEditor = AEditor; }

    // Every mark goes, without repainting (the caller repaints as much as it changed).
    void Clear() { FMarks.clear(); }
    // Marks found by a check, in order; their waves are painted when InView.
    void Add(const std::vector<TSpellMark>& Found, bool InView);
    // The marks that start From up to To go.
    void Remove(int From, int To);
    // The marks that Drop chooses go.
    void RemoveIf(const std::function<bool(const TSpellMark&)>& Drop);
    // Paragraphs of the text were replaced: their marks go (their lines are repainted) and
    // the marks after them move with their words.
    void Replaced(const TParagraphsReplaced& Change, int TextLength);

    // The caret after the last edit: the word typed there keeps its mark hidden (-1: none).
    int TypingAt() const { return FTypingAt; }
    void SetTypingAt(int Pos);
    // The marks shown (the word being typed left out).
    std::vector<TSpellMark> Shown() const;
    // The mark shown over Pos (between its first character and just after its last).
    bool MarkAt(int Pos, TSpellMark& Mark) const;

    // The whole window is painted again (the waves with it).
    void InvalidateAll();
    // Draws the waves of the marks that start From up to To on DC, a DC of the editor's
    // window that it is painting. The DC is left as it was.
    void Paint(HDC DC, int From, int To);

private:
    TCustomRichEdit98* FEditor;
    std::vector<TSpellMark> FMarks; // first to last, none overlapping
    int FTypingAt = -1;

    bool Hidden(const TSpellMark& M) const { return HiddenAt(M, FTypingAt); }
    static bool HiddenAt(const TSpellMark& M, int TypingAt)
    {
        return TypingAt >= 0 && TypingAt >= M.Start && TypingAt <= M.End();
    }
    bool MarkRect(const TSpellMark& M, RECT& R, int& Baseline);
    void InvalidateMark(const TSpellMark& M, bool Erase);
    void EraseLines(int From, int To, int TextLength);
};

} // namespace pw
