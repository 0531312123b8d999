#include "ProtectedRichEdit.h"

#include "RichEditText.h"

namespace pw {

bool TProtectedRichEdit::CharProtected(int Pos)
{
    TCharRange saved = redit::Selection(this);
    redit::Select(this, Pos, Pos + 1);
    CHARFORMAT2W f = redit::CharFormat(this, SCF_SELECTION, CFM_PROTECTED);
    redit::Select(this, saved.Start, saved.End);
    return (f.dwEffects & CFE_PROTECTED) != 0;
}

bool TProtectedRichEdit::RangeProtected(int Start, int End)
{
    if (Start == End) return CharProtected(Start > 0 ? Start - 1 : 0);
    for (int i = Start; i < End; ++i)
        if (CharProtected(i)) return true;
    return false;
}

bool TProtectedRichEdit::KeyEditRange(WPARAM Key, int& Start, int& End)
{
    bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    int length = GetTextLen();
    if (Key == VK_DELETE && Start == End) {
        if (shift) return false; // cut of nothing
        if (Start >= length) return false;
        End = ctrl ? redit::WordBreak(this, WB_MOVEWORDRIGHT, Start) : Start + 1;
        return true;
    }
    if (Key == VK_DELETE) return true;
    if (Key == VK_BACK && ctrl && Start == End) {
        Start = redit::WordBreak(this, WB_MOVEWORDLEFT, Start);
        return Start < End;
    }
    if (Key == VK_BACK && Start == End) {
        if (Start == 0) return false;
        --Start;
        return true;
    }
    if (Key == VK_BACK) return true;
    if (Key == VK_INSERT && shift) return true; // paste
    if (ctrl && (Key == 'V' || Key == 'X' || Key == 'Z' || Key == 'Y')) {
        if (Key == 'Z' || Key == 'Y') {
            Start = 0;
            End = length;
        }
        return Key != 'X' || Start != End;
    }
    return false;
}

bool TProtectedRichEdit::EditRange(const TMessage& Message, int& Start, int& End)
{
    switch (Message.Msg) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO: break;
    default: return false; // not an edit; also keeps the selection queries below from recursing
    }
    TCharRange r = redit::Selection(this);
    Start = r.Start;
    End = r.End;
    switch (Message.Msg) {
    case WM_CHAR:
        if (Message.WParam == VK_BACK) {
            if (Start == End) {
                if (Start == 0) return false;
                --Start;
            }
            return true;
        }
        return (Message.WParam >= 32 && Message.WParam != 127) || Message.WParam == VK_RETURN ||
            Message.WParam == VK_TAB;
    case WM_KEYDOWN: return KeyEditRange(Message.WParam, Start, End);
    case WM_PASTE: return true;
    case WM_CUT:
    case WM_CLEAR: return Start != End;
    case WM_UNDO:
    case EM_UNDO:
    case EM_REDO:
        Start = 0;
        End = GetTextLen();
        return true;
    default: return false;
    }
}

bool TProtectedRichEdit::Allowed(int Start, int End)
{
    if (!RangeProtected(Start, End)) return true;
    bool allow = false;
    if (OnProtectChange) OnProtectChange(this, Start, End, allow);
    return allow;
}

void TProtectedRichEdit::WndProc(TMessage& Message)
{
    int start = 0, end = 0;
    if (HandleAllocated() && !ReadOnly() && EditRange(Message, start, end) && !Allowed(start, end)) {
        if (Message.Msg == WM_CHAR || Message.Msg == WM_KEYDOWN) MessageBeep(MB_OK);
        Message.Result = 0;
        return;
    }
    TRichEdit98::WndProc(Message);
}

} // namespace pw
