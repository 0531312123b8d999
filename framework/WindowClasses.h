// The window classes of the controls and the binding of a window to its control: each class
// of ours is registered once, with one procedure that finds the window's control and hands it
// the message.
#pragma once
#include "Controls.h"

namespace pw {

// Registers the class the parameters name (once; later calls only refresh what the class passes
// on to) and gives the procedure of the class it copies, or DefWindowProc.
WNDPROC RegisterControlClass(const TCreateParams& p);

} // namespace pw
