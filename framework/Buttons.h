// Speed buttons: window-less push buttons with a glyph and a caption, flat or raised, that
// can work in groups where one stays down.
#pragma once
#include "Controls.h"

namespace pw {

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // The picture beside the caption; its bottom-left pixel colour is left out when drawn.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* v);
    TButtonState State() const { return FState; }
    // The mouse is over the button (it has had CM_MOUSEENTER and no CM_MOUSELEAVE since).
    bool MouseInControl() const { return FMouseInControl; }
    void SetEnabled(bool v) override;
    void WndProc(TMessage& Message) override;
    void Click() override;

protected:
    void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void MouseMove(unsigned Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y) override;
    void Paint() override;
    // The face without the caption and glyph; gives the content rectangle.
    RECT PaintFrame();
    bool Pushed() const { return FState == TButtonState::bsDown || FState == TButtonState::bsExclusive; }

    TButtonState FState = TButtonState::bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;

private:
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = false;
    std::unique_ptr<TBitmap> FGlyph;
    void ReleaseOthersInGroup();
};

} // namespace pw
