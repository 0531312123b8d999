// Window-less decorative controls: the bevel and the image.
#pragma once
#include "Controls.h"

namespace pw {

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };
enum class TBevelStyle { bsLowered, bsRaised };

// A box, a frame or a line with a light and a dark edge in the button colours.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape v);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle v);

protected:
    void Paint() override;
    // Draws the shape with the given light and dark edge colours.
    void PaintBevel(TColor Highlight, TColor Shadow);

private:
    TBevelShape FShape = TBevelShape::bsBox;
    TBevelStyle FStyle = TBevelStyle::bsLowered;
};

// A picture, at its natural size from the top-left corner or stretched to the bounds.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TBitmap* Picture() const { return FPicture; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);

protected:
    void Paint() override;

private:
    TBitmap* FPicture;
    bool FStretch = false;
};

} // namespace pw
