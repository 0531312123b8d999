#include "GuideLine.h"

namespace pw {

void TGuideLine::Begin(HWND Window, HPEN Pen, int X)
{
    End();
    if (!Window || !IsWindow(Window)) return;
    FDC = GetDCEx(Window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    if (!FDC) return;
    FWindow = Window;
    FPen = Pen;
    FSavedDC = SaveDC(FDC);
    SetROP2(FDC, R2_NOTXORPEN);
    SelectObject(FDC, FPen);
    FX = X;
    Draw(FX);
}

void TGuideLine::MoveTo(int X)
{
    if (!FDC || X == FX) return;
    Draw(FX);
    FX = X;
    Draw(FX);
}

void TGuideLine::End()
{
    if (!FDC) return;
    // A window destroyed during the drag took its drawing with it.
    if (IsWindow(FWindow)) Draw(FX);
    RestoreDC(FDC, FSavedDC);
    ReleaseDC(FWindow, FDC);
    FDC = nullptr;
    FWindow = nullptr;
}

void TGuideLine::Draw(int X)
{
    if (!IsWindow(FWindow)) return;
    RECT r;
    GetClientRect(FWindow, &r);
    MoveToEx(FDC, X, 1, nullptr);
    LineTo(FDC, X, r.bottom);
}

} // namespace pw
