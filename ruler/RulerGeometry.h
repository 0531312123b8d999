// The ruler's measures and the rules that keep its markers apart and on the ruler: plain
// numbers, no window. All positions are pixels of the ruler's client area.
#pragma once

#include <string>
#include <vector>

namespace pw {

// Which indent a marker stands for, and which margin an edge belongs to.
using TIndentID = unsigned char;
using TMarginID = unsigned char;
constexpr TIndentID idFirstIndent = 0, idLeftIndent = 1, idRightIndent = 2, idBlockIndent = 3;
constexpr TMarginID idLeftMargin = 0, idRightMargin = 1;
constexpr int idNoMargin = -1;

// Marker sizes: the first-line, left and right markers are 9 x 8, the block marker 9 x 7.
constexpr int RulerMarkerWidth = 9, RulerMarkerHeight = 8, RulerBlockHeight = 7;

// step x (x div step), dividing toward zero; a step below 1 counts as 1.
int SnapToStep(int x, int step);

// One mark of the scale: a tick, or a number (whose text may be empty at the scale's zero).
enum class TRulerMarkKind { rmSmallLine, rmLargeLine, rmNumber };
struct TRulerMark {
    int X;
    TRulerMarkKind Kind;
    std::string Label;  // numbers only
    bool operator==(const TRulerMark&) const = default;
};

struct TRulerGeometry {
    int Width = 300, Height = 25;
    int BorderLeft = 5, BorderUp = 5, BorderDown = 5, BorderRight = 5;
    int MarginLeft = 30, MarginRight = 20;
    int MinIndentDist = 50;
    int TabDist = 10;
    int Factor = 1;
    bool ShowSmallLines = true, ShowLargeLines = true, ShowNumbers = true;
    // Left edges of the markers (the left indent marker and the block marker share one x).
    int First = 45, Left = 45, Right = 250;

    // The margin edges: the scale's zero at the left, the text's end at the right.
    int LeftEdge() const { return BorderLeft + MarginLeft; }
    int RightEdge() const { return Width - BorderRight - MarginRight; }

    // Whether a marker may move to v: it stays on the ruler and the right marker stays more
    // than MinIndentDist right of the other two.
    bool FirstAllowed(int v) const;
    bool LeftAllowed(int v) const;
    bool RightAllowed(int v) const;
    bool MarginLeftAllowed(int v) const;
    bool MarginRightAllowed(int v) const;

    // The x of the rightmost place a marker may have on the ruler.
    int LastMarkerX() const { return Width - 5; }

    // Marker tops: the first-line marker hangs from the top border, the left and right markers
    // stand on the bottom border, the block marker sits under the left marker.
    int FirstMarkerTop() const;
    int LeftMarkerTop() const;
    int BlockMarkerTop() const { return LeftMarkerTop() + RulerMarkerHeight; }

    // The margin whose edge lies strictly within 3 pixels of x (left one first), or idNoMargin.
    int MarginAt(int x) const;

    // The scale from BorderLeft to Width - BorderRight - 1, in the order it is drawn.
    std::vector<TRulerMark> Marks() const;
    // The text of the number at distance d from the scale's zero (empty at the zero).
    std::string NumberLabel(int d) const;
    // Tick rows: a small line covers SmallTickTop .. +1, a large one LargeTickTop .. +4.
    int SmallTickTop() const { return (Height - 2) / 2; }
    int LargeTickTop() const { return (Height - 5) / 2; }
};

} // namespace pw
