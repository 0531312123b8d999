// The dotted guide line drawn across an editor while a ruler drag is in progress. The editor's
// device context is taken when the drag starts and released when it ends, so a window that is
// re-created or destroyed in between leaves nothing stale behind; the line is drawn in
// not-xor mode and erased by drawing it once more, so it leaves no trace.
#pragma once
#include "WinApi.h"

namespace pw {

class TGuideLine {
public:
    TGuideLine() = default;
    TGuideLine(const TGuideLine&) = delete;
    TGuideLine& operator=(const TGuideLine&) = delete;
    ~TGuideLine() { End(); }

    // Takes the window's DC and draws the line at x, from y 1 to the window's client height.
    void Begin(HWND Window, HPEN Pen, int X);
    // Erases the line where it is and draws it at x.
    void MoveTo(int X);
    // Erases the line and gives the DC back.
    void End();
    bool Active() const { return FDC != nullptr; }
    int X() const { return FX; }

private:
    HWND FWindow = nullptr;
    HDC FDC = nullptr;
    HPEN FPen = nullptr;
    int FX = 0;
    int FSavedDC = 0;
    void Draw(int X);
};

} // namespace pw
