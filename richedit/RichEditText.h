// Typed calls on a rich edit 2.0 window: its text as UTF-16 and positions as it counts them
// (one character per paragraph mark). Everything outside this folder that needs the window's
// text, selection or geometry asks here instead of sending messages of its own. Each call
// takes any rich edit window (the document editor, a dialog's box, a hidden probe); text
// crosses unconverted even where the document editor converts for its ANSI callers.
#pragma once
#include "WinApi.h"

#include <richedit.h>
#include <string>

namespace pw {

class TWinControl;

// A stretch of characters, Start up to (not including) End.
struct TCharRange {
    int Start = 0;
    int End = 0;
    int Length() const { return End - Start; }
};

// A hidden rich edit 2.0 window holding Text, for finding out once how this system's control
// behaves; the window goes with the probe. Handle() is null when the window could not be made.
class TRichEditProbe {
public:
    explicit TRichEditProbe(const wchar_t* Text);
    ~TRichEditProbe();
    TRichEditProbe(const TRichEditProbe&) = delete;
    TRichEditProbe& operator=(const TRichEditProbe&) = delete;
    HWND Handle() const { return FHandle; }
    // The window's content as its writer gives it (empty when the writer failed).
    std::string StreamOut(DWORD Format = SF_RTF);

private:
    HWND FHandle;
};

namespace redit {

// Characters in the window (UTF-16 units, a paragraph mark counted once).
int TextLength(TWinControl* Editor);
// The whole text, or nothing when the window has none or does not answer.
std::wstring Text(TWinControl* Editor);
// The text of [From, To), clamped to the text.
std::wstring TextRange(TWinControl* Editor, int From, int To);

TCharRange Selection(TWinControl* Editor);
void Select(TWinControl* Editor, int From, int To);
// Replaces the selection; CanUndo puts the replacement on the window's undo list.
void ReplaceSelection(TWinControl* Editor, const std::wstring& Text, bool CanUndo);

// The same for any edit window, a plain edit control or memo included (the messages both
// kinds answer); text in the window's ANSI code page.
TCharRange EditSelection(TWinControl* Edit);
void SelectText(TWinControl* Edit, int From, int To);
void ReplaceSelectionA(TWinControl* Edit, const std::string& Text, bool CanUndo);

// The client point of the top left of a character (the one after the end: where the next
// character would stand).
POINT PositionOf(TWinControl* Editor, int Char);
// The character nearest to a client point.
int CharAt(TWinControl* Editor, POINT Point);
// The line (as the window wraps it) that holds a character; the first character of a line,
// or -1 past the last line.
int LineOf(TWinControl* Editor, int Char);
int LineStart(TWinControl* Editor, int Line);
// The window's word-break answer (a WB_ code) for a position.
int WordBreak(TWinControl* Editor, int Code, int Pos);

// The window's content as its writer gives it (Format: SF_RTF, SF_TEXT, with SFF_SELECTION
// for the selection only); an error that stopped the writer is raised, a failed write gives
// nothing.
std::string StreamOut(TWinControl* Editor, DWORD Format = SF_RTF);

// Looks for What from From (FR_ flags: FR_DOWN, FR_MATCHCASE, FR_WHOLEWORD); false when it is
// not there.
bool FindText(TWinControl* Editor, const std::wstring& What, int From, DWORD Flags, TCharRange& Found);

// A character format with nothing in it but its size and Mask.
CHARFORMAT2W BlankCharFormat(DWORD Mask = 0);
// The format of the selection (Scope SCF_SELECTION) or of new text (SCF_DEFAULT), asked with
// Mask (0: as the window fills it).
CHARFORMAT2W CharFormat(TWinControl* Editor, DWORD Scope = SCF_SELECTION, DWORD Mask = 0);
void SetCharFormat(TWinControl* Editor, DWORD Scope, const CHARFORMAT2W& Format);
// The format as an ANSI rich edit window gives it.
CHARFORMAT2A CharFormatA(TWinControl* Editor, DWORD Scope, DWORD Mask);

} // namespace redit
} // namespace pw
