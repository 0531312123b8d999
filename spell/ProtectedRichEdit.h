// A rich edit 2.0 control that keeps the user's edits away from protected text itself,
// asking OnProtectChange first, so that protection holds even where the host control
// stores CFE_PROTECTED without enforcing it.
#pragma once
#include "RichEdit98.h"

namespace pw {

class TProtectedRichEdit : public TRichEdit98 {
public:
    using TRichEdit98::TRichEdit98;
    // Whether any character of [Start, End) is protected; for an empty range, whether text
    // typed at Start would be (it takes the format of the character before it).
    bool RangeProtected(int Start, int End);
    // Whether the character at Pos is protected.
    bool CharProtected(int Pos);
    void WndProc(TMessage& Message) override;
private:
    // The range a user command is about to change, or false when it changes nothing.
    bool EditRange(const TMessage& Message, int& Start, int& End);
    bool KeyEditRange(WPARAM Key, int& Start, int& End);
    bool Allowed(int Start, int End);
};

} // namespace pw
