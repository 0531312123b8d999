#include "Gradient.h"

#include "DrawUtils.h"
#include "Graphics.h"

#include <algorithm>

namespace pw {

template <class T>
void TGradient::Store(T& Field, T Value)
{
    if (Field == Value) return;
    Field = Value;
    Changed();
}

void TGradient::SetGradientStyle(TGradientStyle v) { Store(FGradientStyle, v); }
void TGradient::SetLineSize(int v) { Store(FLineSize, v); }
void TGradient::SetColor1(TColor v) { Store(FColor1, v); }
void TGradient::SetColor2(TColor v) { Store(FColor2, v); }
void TGradient::SetColor3(TColor v) { Store(FColor3, v); }
void TGradient::SetColor4(TColor v) { Store(FColor4, v); }
void TGradient::SetColor5(TColor v) { Store(FColor5, v); }
void TGradient::SetColorCount(TColorCount v) { Store(FColorCount, v); }
void TGradient::SetLineDirection(TDirection v) { Store(FLineDirection, v); }

void TGradient::Changed()
{
    if (OnChange) OnChange(this);
}

void TGradient::CopyFrom(TGradient* Source)
{
    FGradientStyle = Source->FGradientStyle;
    FLineSize = Source->FLineSize;
    FColor1 = Source->FColor1;
    FColor2 = Source->FColor2;
    FColor3 = Source->FColor3;
    FColor4 = Source->FColor4;
    FColor5 = Source->FColor5;
    FColorCount = Source->FColorCount;
    FLineDirection = Source->FLineDirection;
    Changed();
}

void TGradient::Assign(TPersistent* Source)
{
    if (auto* g = dynamic_cast<TGradient*>(Source)) {
        CopyFrom(g);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- colour walk ----

int TColorWalk::SoundCount(int Count, int Fallback)
{
    if (Count < 1) return Fallback;
    return std::min(Count, 4);
}

TColorWalk::TColorWalk(const TColor (&Stops)[5], int Count, int Segment, int Step)
    : FCount(SoundCount(Count, 3)), FSegment(std::max(Segment, 1)), FStep(std::max(Step, 1))
{
    for (int i = 0; i < 5; ++i) FStops[i] = ColorToRGB(Stops[i]) & 0xFFFFFF;
    FFrom = FStops[0];
    FTo = FCount >= 2 ? FStops[1] : FStops[0];
    FBoundary = FSegment;
    int r, g, b;
    SplitRGB(static_cast<TColor>(FFrom), r, g, b);
    FR = r;
    FG = g;
    FB = b;
}

TColor TColorWalk::Color() const
{
    return RGBFromReals(static_cast<float>(FR), static_cast<float>(FG), static_cast<float>(FB));
}

void TColorWalk::Next()
{
    FPosition += FStep;
    if (FPosition >= FBoundary) {
        FBoundary += FSegment;
        FIndex = std::min(FIndex + 1, FCount);
        FFrom = FTo;
        FTo = FStops[FIndex];
    }
    int r0, g0, b0, r1, g1, b1;
    SplitRGB(static_cast<TColor>(FFrom), r0, g0, b0);
    SplitRGB(static_cast<TColor>(FTo), r1, g1, b1);
    auto step = [this](int from, int to) { return static_cast<double>(to - from) / FSegment * FStep; };
    FR += step(r0, r1);
    FG += step(g0, g1);
    FB += step(b0, b1);
}

// ---- painting ----

namespace {

// Horizontal bands changing from top to bottom (diHorizonal) or vertical bands changing from
// left to right (diVertical), painted on an 8-pixel strip and tiled over the area.
void DrawLines(TCanvas* Canvas, const RECT& Rect, TGradient* G, const TColor (&Stops)[5])
{
    int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    bool across = G->LineDirection() == diVertical;
    int length = across ? w : h;
    int count = TColorWalk::SoundCount(G->ColorCount(), 3);
    TBitmap strip(across ? w : 8, across ? 8 : h);
    TCanvas* s = strip.Canvas();
    TColorWalk walk(Stops, count, length / count, G->LineSize());
    for (; walk.Position() <= length; walk.Next()) {
        int p = walk.Position(), t = std::max(G->LineSize(), 1);
        s->Brush()->SetColor(walk.Color());
        s->FillRect(across ? RECT{p, 0, p + t, 8} : RECT{0, p, 8, p + t});
    }
    TileBitmap(Canvas, &strip, Rect);
}

// Concentric bands shrinking by LineSize on every side toward the centre (ellipses,
// rectangles fixed at the bottom-right corner, or shapes the caller draws).
void DrawInward(TCanvas* Canvas, const RECT& Rect, TGradient* G, const TColor (&Stops)[5], TGradientStyle Style)
{
    int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    int count = TColorWalk::SoundCount(G->ColorCount(), 3);
    int step = std::max(G->LineSize(), 1);
    if (Style != gsRect) {
        Canvas->Pen()->SetWidth(0);
        Canvas->Pen()->SetStyle(TPenStyle::psClear);
    }
    TColorWalk walk(Stops, count, (std::max(w, h) / count) / 2, step);
    for (int d = 0; d < w / 2 && d < h / 2; d += step, walk.Next()) {
        Canvas->Brush()->SetColor(walk.Color());
        RECT band{Rect.left + d, Rect.top + d, Rect.right, Rect.bottom};
        if (Style == gsEllipse) {
            Canvas->Ellipse(band.left, band.top, Rect.right - d, Rect.bottom - d);
        } else if (Style == gsCustomRect) {
            G->OnDrawRect(nullptr, Canvas, band);
        } else {
            Canvas->FillRect(band);
        }
    }
}

} // namespace

void DrawGradient(TCanvas* Canvas, const RECT& Rect, TGradient* Gradient)
{
    if (!Canvas || !Gradient || Rect.right <= Rect.left || Rect.bottom <= Rect.top) return;
    const TColor stops[5] = {Gradient->Color1(), Gradient->Color2(), Gradient->Color3(), Gradient->Color4(),
                             Gradient->Color5()};
    switch (Gradient->GradientStyle()) {
    case gsLine: DrawLines(Canvas, Rect, Gradient, stops); break;
    case gsEllipse: DrawInward(Canvas, Rect, Gradient, stops, gsEllipse); break;
    case gsCustomRect:
        DrawInward(Canvas, Rect, Gradient, stops, Gradient->OnDrawRect ? gsCustomRect : gsRect);
        break;
    default: DrawInward(Canvas, Rect, Gradient, stops, gsRect); break;
    }
}

} // namespace pw
