// Panels: a self-drawn container with optional raised or lowered bevels and a caption.
#pragma once
#include "Controls.h"

namespace pw {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws a frame of Width pixels just inside R (top-left in TopColor, bottom-right in
// BottomColor) and shrinks R by it.
void Frame3D(HDC DC, RECT& R, TColor TopColor, TColor BottomColor, int Width);

} // namespace pw
