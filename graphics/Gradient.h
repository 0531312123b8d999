// A multi-colour gradient fill description and the routine that paints it.
#pragma once
#include "Classes.h"
#include "Graphics.h"

#include <functional>

#include "WinApi.h"

namespace pw {

class TCanvas;

enum TGradientStyle : unsigned char { gsLine, gsEllipse, gsRect, gsCustomRect };
enum TDirection : unsigned char { diHorizonal, diVertical };
using TColorCount = unsigned char;  // 1..4 colour transitions
using TDrawRectEvent = std::function<void(TObject* Sender, TCanvas* Canvas, const RECT& Rect)>;

class TGradient : public TPersistent {
public:
    TGradient() = default;

    TGradientStyle GradientStyle() const { return FGradientStyle; }
    void SetGradientStyle(TGradientStyle v);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int v);
    TColor Color1() const { return FColor1; }
    void SetColor1(TColor v);
    TColor Color2() const { return FColor2; }
    void SetColor2(TColor v);
    TColor Color3() const { return FColor3; }
    void SetColor3(TColor v);
    TColor Color4() const { return FColor4; }
    void SetColor4(TColor v);
    TColor Color5() const { return FColor5; }
    void SetColor5(TColor v);
    // Stored as given; painting takes values outside 1..4 as the nearest sound count.
    TColorCount ColorCount() const { return FColorCount; }
    void SetColorCount(TColorCount v);
    TDirection LineDirection() const { return FLineDirection; }
    void SetLineDirection(TDirection v);

    // Copies every drawing property (not the events) and reports one change.
    void CopyFrom(TGradient* Source);
    void Assign(TPersistent* Source) override;
    void Changed();

    TNotifyEvent OnChange;
    TDrawRectEvent OnDrawRect;

private:
    TGradientStyle FGradientStyle = gsLine;
    int FLineSize = 3;
    TColor FColor1 = clGray;
    TColor FColor2 = clWhite;
    TColor FColor3 = clSilver;
    TColor FColor4 = clWhite;
    TColor FColor5 = clBlack;
    TColorCount FColorCount = 3;
    TDirection FLineDirection = diHorizonal;
    template <class T>
    void Store(T& Field, T Value);
};

// The colours of successive bands: starts at the first stop and moves toward the next one
// by Step pixels per band over Segment pixels per transition, carrying on from where it is
// when a segment ends. System colours are resolved first.
class TColorWalk {
public:
    TColorWalk(const TColor (&Stops)[5], int Count, int Segment, int Step);
    TColor Color() const;
    int Position() const { return FPosition; }
    // Moves to the next band.
    void Next();
    // Counts as the walk takes them: below 1 taken as Fallback, above 4 as 4.
    static int SoundCount(int Count, int Fallback);

private:
    uint32_t FStops[5];
    int FCount, FSegment, FStep;
    int FIndex = 1;
    int FPosition = 0;
    int FBoundary;
    uint32_t FFrom, FTo;
    double FR, FG, FB;
};

// Paints Gradient into Rect of Canvas. An empty or inverted Rect paints nothing.
void DrawGradient(TCanvas* Canvas, const RECT& Rect, TGradient* Gradient);

} // namespace pw
