// How the document window turns ruler positions (pixels) into paragraph indents (points) and
// back. The ruler's zero is its left margin edge; a marker's x is its left edge, 4 pixels left
// of its point.
#pragma once

namespace pw {

// Dots per inch of the screen across (LOGPIXELSX).
int ScreenPixelsPerInchX();
// Pixels per point of the screen: LOGPIXELSX / 72 (the screen's DC is taken and released).
double ScreenPixelsPerPoint();
// Nearest integer, ties to even.
int RoundHalfEven(double v);
// Pixels in 2.5 mm: small ticks mark quarter centimetres; at least 1.
int TabDistForResolution(int PixelsPerInch);

struct TParagraphIndents {
    double StartIndent;   // first line, points
    double IndentOffset;  // following lines relative to the first, points
    double RightIndent;   // points
};

struct TIndentMarkers {
    int First, Left, Right;
};

// What a dragged marker writes into the paragraph, with P pixels per point.
double StartIndentFor(int First, int MarginLeft, double P);
double IndentOffsetFor(int First, int Left, double P);
double RightIndentFor(int Right, int RulerWidth, int MarginRight, double P);

// Where the markers of a paragraph stand: the inverse of the above, rounded.
int RightMarkerFor(double RightIndent, int RulerWidth, int MarginRight, double P);
TIndentMarkers MarkersFor(const TParagraphIndents& Paragraph, int RulerWidth, int MarginLeft, int MarginRight,
                          double P);

} // namespace pw
