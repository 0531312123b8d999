// The ruler's painting: frame, margin zones, scale, markers and the ghosts of dragged markers.
#include "Ruler.h"

#include <initializer_list>

namespace pw {

namespace {

void Lines(TCanvas* C, int Dx, int Dy, std::initializer_list<POINT> Points)
{
    bool first = true;
    for (POINT p : Points) {
        if (first) C->MoveTo(Dx + p.x, Dy + p.y);
        else C->LineTo(Dx + p.x, Dy + p.y);
        first = false;
    }
}

void Shape(TCanvas* C, int Dx, int Dy, std::initializer_list<POINT> Points)
{
    std::vector<POINT> pts;
    for (POINT p : Points) pts.push_back(POINT{Dx + p.x, Dy + p.y});
    C->Polygon(pts.data(), static_cast<int>(pts.size()));
}

void Fill(TCanvas* C, TColor Color, int L, int T, int R, int B)
{
    C->Brush()->SetColor(Color);
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    RECT r{L, T, R, B};
    C->FillRect(r);
}

// The outline of a marker of the given kind with its top-left at (Dx, Dy), in the canvas's
// pen and brush.
void MarkerOutline(TCanvas* C, TIndentID ID, int Dx, int Dy)
{
    switch (ID) {
    case idFirstIndent: Shape(C, Dx, Dy, {{0, 0}, {8, 0}, {8, 3}, {4, 7}, {0, 3}}); break;
    case idBlockIndent: Lines(C, Dx, Dy, {{0, 0}, {0, 4}, {8, 4}, {8, 0}, {7, 0}}); break;
    default: Shape(C, Dx, Dy, {{0, 7}, {0, 4}, {4, 0}, {8, 4}, {8, 7}}); break;
    }
}

} // namespace

void TqelRuler::Paint()
{
    const TRulerGeometry& g = Geometry();
    TCanvas* c = Canvas();
    int w = g.Width, h = g.Height;
    Fill(c, clBtnFace, 0, 0, w, g.BorderUp);
    Fill(c, clBtnFace, 0, h - g.BorderDown, w, h);
    Fill(c, clBtnFace, 0, 0, g.BorderLeft, h);
    Fill(c, clBtnFace, w - g.BorderRight, 0, w, h);
    int top = g.BorderUp, bottom = h - g.BorderDown;
    Fill(c, clBtnShadow, g.BorderLeft, top, g.LeftEdge(), bottom);
    Fill(c, clBtnShadow, g.RightEdge(), top, w - g.BorderRight, bottom);
    Fill(c, Color(), g.LeftEdge(), top, g.RightEdge(), bottom);
    if (FShowMarginHandlers) {
        Fill(c, g.MarginLeft == 0 ? clBtnShadow : clBtnFace, g.LeftEdge() - 1, top, g.LeftEdge() + 1, bottom);
        Fill(c, g.MarginRight == 0 ? clBtnShadow : clBtnFace, g.RightEdge() - 1, top, g.RightEdge() + 1, bottom);
    }
    PaintScale(c, g);
    if (FDraggingIndent)
        for (TIndentID id : {idFirstIndent, idLeftIndent, idRightIndent, idBlockIndent}) PaintGhost(Marker(id), c);
}

void TqelRuler::PaintScale(TCanvas* C, const TRulerGeometry& G)
{
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(TBrushStyle::bsClear);
    C->Font()->Assign(Font());
    C->Pen()->SetColor(Font()->Color());
    for (const TRulerMark& m : G.Marks()) {
        switch (m.Kind) {
        case TRulerMarkKind::rmNumber:
            if (!m.Label.empty())
                C->TextOut(m.X - C->TextWidth(m.Label) / 2, (G.Height - C->TextHeight(m.Label)) / 2, m.Label);
            break;
        case TRulerMarkKind::rmLargeLine:
            C->MoveTo(m.X, G.LargeTickTop());
            C->LineTo(m.X, G.LargeTickTop() + 5);
            break;
        case TRulerMarkKind::rmSmallLine:
            C->MoveTo(m.X, G.SmallTickTop());
            C->LineTo(m.X, G.SmallTickTop() + 2);
            break;
        }
    }
}

// The outline left where a dragged marker started, once the marker has moved away.
void TqelRuler::PaintGhost(TRulerMarker* Marker, TCanvas* C)
{
    int start = Marker == FLeftIndentMarker ? FBlockMarker->StartX : Marker->StartX;
    if (Marker->Left() == start || !Marker->Visible()) return;
    C->Pen()->SetColor(clBtnShadow);
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    MarkerOutline(C, Marker->ID(), start, Marker->Top());
}

void TqelRuler::PaintMarker(TRulerMarker* Marker, TCanvas* C)
{
    C->Brush()->SetColor(clBtnFace);
    C->Brush()->SetStyle(TBrushStyle::bsSolid);
    C->Pen()->SetColor(clBlack);
    TIndentID id = Marker->ID();
    if (id == idBlockIndent) {
        RECT r{0, 0, Marker->Width(), Marker->Height()};
        C->FillRect(r);
    }
    MarkerOutline(C, id, 0, 0);
    C->Pen()->SetColor(clBtnHighlight);
    switch (id) {
    case idFirstIndent: Lines(C, 0, 0, {{6, 1}, {1, 1}, {1, 3}, {4, 6}}); break;
    case idBlockIndent: Lines(C, 0, 0, {{1, 2}, {1, 0}, {7, 0}}); break;
    default: Lines(C, 0, 0, {{1, 5}, {1, 4}, {5, 0}}); break;
    }
}

} // namespace pw
