// The state of one interactive check: the checked control and its hidden work copy, the
// texts and language runs read from them, the range, the cached piece boundaries and the
// current piece with its error. TSpellChecker drives it with the engines and the dialog; this
// class knows neither.
#pragma once
#include "LanguageRuns.h"
#include "Languages.h"

#include <string>
#include <vector>

namespace pw {

class TAbstractSpeller;
class TComponent;
class TWinControl;

// What a check needs to know of the driver's settings and of the control's class.
struct TCheckSettings {
    bool WideText = false;
    bool PerCharLanguage = false;
    bool HTMLSupport = false;
    TLanguage Language = 0;  // for controls that carry no per-character language
};

class TSpellCheckState {
public:
    TSpellCheckState() = default;
    TSpellCheckState(const TSpellCheckState&) = delete;
    TSpellCheckState& operator=(const TSpellCheckState&) = delete;
    ~TSpellCheckState() { FreeWorkCopy(); }

    // Makes the work copy of AControl (owned by its owner; Notified is told when it goes) and
    // takes the range from the start of the word at the caret, or over the selection.
    void Start(TWinControl* AControl, TComponent* Notified, const TCheckSettings& Settings);
    void FreeWorkCopy();
    // The control or the copy was destroyed by its owner.
    void ControlGone() { FControl = nullptr; }
    void WorkCopyGone() { FWorkCopy = nullptr; }

    // Reads the checked control's text once for the pieces of one check step.
    void BeginStep();
    // The next piece after the current error (or piece); false when the range is done.
    bool NextPiece(int& Start, int& End);
    TLanguage LanguageAt(int Pos);
    // Characters A up to B of the checked control in a code page, or of the work copy.
    std::string ReadText(int A, int B, unsigned CodePage);
    // Whether the engine starts afresh with the piece at Start (see the definition).
    bool StartsAfresh(int Start, const TAbstractSpeller* Speller) const;
    void PieceChecked(const TAbstractSpeller* Speller);
    // The engine found an error at Pos, Len (from the piece start): it is selected in both.
    void SetError(int Pos, int Len);
    // The piece up to End had no error.
    void SetClean(int End);
    // Replaces the current error by NewWord (in CodePage) in the control and the copy; the
    // range end, the error length and the boundaries move by the change in length.
    void ReplaceError(const std::string& NewWord, unsigned CodePage);
    // Removes Len characters at Pos from both; gives nothing back, the error becomes empty there.
    void Remove(int Pos, int Len);
    // Whether the character at Pos of the work copy is a blank (a space, tab or no-break space).
    bool BlankAt(int Pos) const;
    void SkipError() { FCurLen = 0; }
    // The line of the work copy around Pos in a code page, and where it starts.
    std::string LineAt(int Pos, int& LineStart, unsigned CodePage) const;

    TWinControl* Control() const { return FControl; }
    TWinControl* WorkCopy() const { return FWorkCopy; }
    bool Active() const { return FControl && FWorkCopy; }
    bool WideText() const { return FSettings.WideText; }
    int CurPos() const { return FCurPos; }
    int CurLen() const { return FCurLen; }
    int RangeStart() const { return FRangeStart; }
    int RangeEnd() const { return FRangeEnd; }
    int NextParaEnd() const { return FNextParaEnd; }
    int NextTag() const { return FNextTag; }
    int NextLangChange() const { return FNextLangChange; }
    bool NewParagraph() const { return FNewParagraph; }

private:
    TCheckSettings FSettings;
    TWinControl* FControl = nullptr;
    TWinControl* FWorkCopy = nullptr;
    bool FCopyPending = false;  // the copy's window does not have FWorkText yet
    int FNextParaEnd = 0, FNextTag = 0, FNextLangChange = 0;
    bool FNewParagraph = false;
    int FRangeStart = 0, FRangeEnd = 0;
    int FCurPos = 0, FCurLen = 0;
    bool FRichEdit = false;       // the control is a rich edit (boundaries are cached)
    bool FFirstPiece = false;     // no piece of this check has been checked yet
    const TAbstractSpeller* FPieceSpeller = nullptr;  // the engine of the previous piece
    std::wstring FWorkText;       // the work copy's text, kept equal to it by every change
    std::wstring FControlText;    // the checked control's text, read as each check step begins
    std::vector<TLanguageRun> FRuns;  // the checked text's language runs, while FRunsValid
    bool FRunsValid = false;

    void MakeWorkCopy(TComponent* Notified);
    void FindRangeStart();
    // A selection that ends inside a word is checked to the end of that word.
    void FindRangeEnd();
    void SkipTagsBeforeStart();
    void BuildPiece(int P, int& Start, int& End);
    int FindChar(wchar_t Ch, int Start);
    int FindLanguageChange(int Start);
    int FirstOtherLanguage(int Start, TLanguage Language);
    bool RunsKnown();
    int NextWordStart(int Pos);
    int LimitPiece(int Start, int End);
    int MeasureTag(int P);
    void ReplaceSelection(TWinControl* C, const std::string& Text, unsigned CodePage, int Pos, int Len);
    void FillWorkCopy();
    void SelectIn(TWinControl* C, int Pos, int Len);
    void TextsChanged();
    void Shift(int Delta);
};

} // namespace pw
