// Small drawing pieces shared by the menu stylers' sources.
#pragma once
#include "Graphics.h"
#include "WinApi.h"

namespace pw::menus97 {

// Command ids of the system and of the MDI window list start here.
constexpr UINT FirstSystemCommand = 60000;

// The framework's DC and canvas scopes, under the names the stylers' sources use.
using pw::TCanvasAttach;
using pw::TWindowDC;

inline void FillSolid(HDC DC, const RECT& R, TColor Color)
{
    TBrushHandle brush(CreateSolidBrush(ColorRef(Color)));
    FillRect(DC, &R, brush.Get());
}

inline void Line(HDC DC, int X0, int Y0, int X1, int Y1, TColor Color)
{
    TPenHandle pen(CreatePen(PS_SOLID, 1, ColorRef(Color)));
    TSelectGuard sel(DC, pen.Get());
    MoveToEx(DC, X0, Y0, nullptr);
    LineTo(DC, X1, Y1);
}

// A one-pixel frame on the outer pixels of R: left and top in TopLeft, right and bottom in
// BottomRight.
inline void Frame3D(HDC DC, const RECT& R, TColor TopLeft, TColor BottomRight)
{
    Line(DC, R.left, R.bottom - 1, R.left, R.top, TopLeft);
    Line(DC, R.left, R.top, R.right - 1, R.top, TopLeft);
    Line(DC, R.right - 1, R.top, R.right - 1, R.bottom - 1, BottomRight);
    Line(DC, R.right - 1, R.bottom - 1, R.left - 1, R.bottom - 1, BottomRight);
}

} // namespace pw::menus97
