// The font faces installed on the machine, as the font list of the main frame shows them.
#pragma once
#include "StringList.h"

namespace pw {

// Fills List (sorted, each face once) with every face name of the screen's fonts; the
// object of each line is 2 for a TrueType face and 1 for any other.
void EnumerateFontFaces(TStringList& List);

} // namespace pw
