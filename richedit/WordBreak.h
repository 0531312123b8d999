// Word breaking of rich edit text, answered by the control itself so that every platform
// gives the same positions.
#pragma once
#include <string>

namespace pw {

// Character classes with their word-break flags, as the rich edit reports them.
int WordBreakClassify(wchar_t Ch);

// Answers one EM_FINDWORDBREAK code for position Pos of Text (positions 0 .. size).
// Gives a position, or for WB_ISDELIMITER 1/0, or for WB_CLASSIFY the class and flags.
long FindWordBreak(const std::wstring& Text, int Code, long Pos);

} // namespace pw
