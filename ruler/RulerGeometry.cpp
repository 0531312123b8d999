#include "RulerGeometry.h"

#include <cstdlib>

namespace pw {

int SnapToStep(int x, int step)
{
    if (step < 1) step = 1;
    return step * (x / step);
}

bool TRulerGeometry::FirstAllowed(int v) const
{
    return v != First && v >= 0 && v < Width - 4 && Right - v > MinIndentDist;
}

bool TRulerGeometry::LeftAllowed(int v) const
{
    return v != Left && v >= 0 && v < Width - 4 && Right - v > MinIndentDist;
}

bool TRulerGeometry::RightAllowed(int v) const
{
    return v != Right && v >= 0 && v < Width - 4 && v - Left > MinIndentDist && v - First > MinIndentDist;
}

bool TRulerGeometry::MarginLeftAllowed(int v) const
{
    return v != MarginLeft && v >= 0 && v <= Width - MarginRight - BorderRight - BorderLeft;
}

bool TRulerGeometry::MarginRightAllowed(int v) const
{
    return v != MarginRight && v >= 0 && v <= Width - MarginLeft - BorderLeft - BorderRight;
}

int TRulerGeometry::FirstMarkerTop() const
{
    int top = BorderUp - 3;
    if (top < 0) top = 0;
    if (top > Height - RulerMarkerHeight) top = Height - RulerMarkerHeight;
    return top;
}

int TRulerGeometry::LeftMarkerTop() const
{
    int top = Height - BorderDown - RulerMarkerHeight;
    if (top < 0) top = 0;
    if (top > Height - 13) top = Height - 13;
    return top;
}

int TRulerGeometry::MarginAt(int x) const
{
    if (x > LeftEdge() - 3 && x < LeftEdge() + 3) return idLeftMargin;
    if (x > RightEdge() - 3 && x < RightEdge() + 3) return idRightMargin;
    return idNoMargin;
}

std::string TRulerGeometry::NumberLabel(int d) const
{
    int numberStep = 4 * (TabDist < 1 ? 1 : TabDist);
    std::string label = std::to_string((d / numberStep) * Factor);
    return label == "0" ? std::string() : label;
}

std::vector<TRulerMark> TRulerGeometry::Marks() const
{
    int tab = TabDist < 1 ? 1 : TabDist;
    int numberStep = 4 * tab, largeStep = 2 * tab;
    std::vector<TRulerMark> marks;
    for (int x = BorderLeft; x < Width - BorderRight; ++x) {
        int d = std::abs(x - LeftEdge());
        if (d % numberStep == 0) {
            if (ShowNumbers) marks.push_back({x, TRulerMarkKind::rmNumber, NumberLabel(d)});
            else if (ShowLargeLines) marks.push_back({x, TRulerMarkKind::rmLargeLine, {}});
        }
        if (ShowLargeLines && d % numberStep == largeStep) marks.push_back({x, TRulerMarkKind::rmLargeLine, {}});
        if (ShowSmallLines && d % largeStep == tab) marks.push_back({x, TRulerMarkKind::rmSmallLine, {}});
    }
    return marks;
}

} // namespace pw
