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

} // namespace pw::menus97
