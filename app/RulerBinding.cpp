#include "RulerBinding.h"

#include "Graphics.h"
#include "WinApi.h"

#include <cmath>

namespace pw {

int ScreenPixelsPerInchX()
{
    TWindowDC screen(nullptr);
    int ppi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return ppi > 0 ? ppi : 96;
}

double ScreenPixelsPerPoint() { return ScreenPixelsPerInchX() / 72.0; }

int RoundHalfEven(double v)
{
    // The default rounding mode of the floating-point unit rounds ties to even.
    return static_cast<int>(std::nearbyint(v));
}

int TabDistForResolution(int PixelsPerInch)
{
    int d = RoundHalfEven(PixelsPerInch * 0.0984251968503937);
    return d < 1 ? 1 : d;
}

double StartIndentFor(int First, int MarginLeft, double P) { return (First - MarginLeft) / P + 4; }

double IndentOffsetFor(int First, int Left, double P) { return (Left - First) / P; }

double RightIndentFor(int Right, int RulerWidth, int MarginRight, double P)
{
    return (RulerWidth - MarginRight - Right - 4) / P;
}

int RightMarkerFor(double RightIndent, int RulerWidth, int MarginRight, double P)
{
    return RoundHalfEven(RulerWidth - MarginRight - RightIndent * P - 4);
}

TIndentMarkers MarkersFor(const TParagraphIndents& Paragraph, int RulerWidth, int MarginLeft, int MarginRight, double P)
{
    TIndentMarkers m;
    m.First = RoundHalfEven((Paragraph.StartIndent - 4) * P + MarginLeft);
    m.Left = RoundHalfEven((Paragraph.StartIndent - 4 + Paragraph.IndentOffset) * P + MarginLeft);
    m.Right = RightMarkerFor(Paragraph.RightIndent, RulerWidth, MarginRight, P);
    return m;
}

} // namespace pw
