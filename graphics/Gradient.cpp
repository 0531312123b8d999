#include "Gradient.h"

#include "DrawUtils.h"

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

} // namespace pw
