// Paragraph indents as the control's RTF writer records them, put right before they are saved.
#pragma once
#include <string>

namespace pw {

// Some rich edit writers put the paragraph's first-line indent in \fi and its hanging offset
// in \li, where RTF wants \li for the left edge of the following lines and \fi for the first
// line relative to it. Gives the RTF with such paragraphs written the standard way, when the
// control's writer is one of those (probed once); otherwise the RTF unchanged.
std::string RepairParagraphIndents(const std::string& RTF);
// The rewriting itself: each paragraph's \li and \fi (among the control words from its \pard
// up to the first blank) written the standard way.
std::string SwapWrittenIndents(const std::string& RTF);

} // namespace pw
