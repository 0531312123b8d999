#include "Buttons.h"

namespace pw {

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
    FWidth = 23;
    FHeight = 22;
    // Click comes from the button's own release, not from the control's default.
    FClickEvents = false;
    FGlyph->SetTransparent(true);
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetAllowAllUp(bool v)
{
    FAllowAllUp = v;
    if (FGroupIndex == 0 || !FParent) return;
    for (int i = 0; i < FParent->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
            b && b != this && b->FGroupIndex == FGroupIndex)
            b->FAllowAllUp = v;
}

void TSpeedButton::SetGroupIndex(int v)
{
    FGroupIndex = v;
    if (v == 0 && FDown) SetDown(false);
}

void TSpeedButton::SetDown(bool v)
{
    if (FGroupIndex == 0) v = false;
    if (v == FDown) return;
    if (FDown && !FAllowAllUp) return; // one of the group stays down
    FDown = v;
    FState = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    if (v) ReleaseOthersInGroup();
    Invalidate();
}

void TSpeedButton::ReleaseOthersInGroup()
{
    if (!FParent) return;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        auto* b = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
        if (!b || b == this || b->FGroupIndex != FGroupIndex || !b->FDown) continue;
        b->FDown = false;
        b->FState = TButtonState::bsUp;
        b->Invalidate();
    }
}

void TSpeedButton::SetFlat(bool v)
{
    FFlat = v;
    Invalidate();
}

void TSpeedButton::SetGlyph(TBitmap* v)
{
    if (v) FGlyph->Assign(v);
    else FGlyph->SetSize(0, 0);
    Invalidate();
}

void TSpeedButton::SetEnabled(bool v)
{
    TControl::SetEnabled(v);
    if (!v) {
        FDragging = false;
        FMouseInControl = false;
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
}

void TSpeedButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        if (!FMouseInControl && FEnabled) {
            FMouseInControl = true;
            if (FFlat) Invalidate();
        }
        Message.Result = 0;
        return;
    case CM_MOUSELEAVE:
        if (FMouseInControl) {
            FMouseInControl = false;
            if (FFlat) Invalidate();
        }
        Message.Result = 0;
        return;
    default: TGraphicControl::WndProc(Message);
    }
}

void TSpeedButton::Click() { TControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FEnabled) return;
    if (!FDown) {
        FState = TButtonState::bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FDragging) return;
    bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
    TButtonState s = FDown ? TButtonState::bsExclusive : inside ? TButtonState::bsDown : TButtonState::bsUp;
    if (s != FState) {
        FState = s;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging) return;
    FDragging = false;
    bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
    if (FGroupIndex == 0) {
        FState = TButtonState::bsUp;
    } else if (inside) {
        SetDown(!FDown);
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    } else {
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
    FMouseInControl = inside;
    Invalidate();
    if (inside) Click();
}

RECT TSpeedButton::PaintFrame()
{
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, FWidth, FHeight};
    if (FFlat) {
        Canvas()->Brush()->SetColor(FColor);
        Canvas()->FillRect(r);
        if (Pushed()) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (FMouseInControl && FEnabled) DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        InflateRect(&r, -1, -1);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pushed() ? DFCS_PUSHED : 0));
    }
    if (Pushed()) OffsetRect(&r, 1, 1);
    return r;
}

void TSpeedButton::Paint()
{
    RECT r = PaintFrame();
    std::string text = Caption();
    int gw = FGlyph->Empty() ? 0 : FGlyph->Width(), gh = FGlyph->Empty() ? 0 : FGlyph->Height();
    Canvas()->SetFont(FFont.get());
    SIZE ts = text.empty() ? SIZE{0, 0} : Canvas()->TextExtent(text);
    int gap = gw && ts.cx ? 4 : 0;
    int x = r.left + ((r.right - r.left) - (gw + gap + ts.cx)) / 2;
    if (gw) FGlyph->DrawTo(Canvas()->Handle(), x, r.top + ((r.bottom - r.top) - gh) / 2, gw, gh);
    if (text.empty()) return;
    RECT tr{x + gw + gap, r.top, r.right, r.bottom};
    Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    if (!FEnabled) Canvas()->Font()->SetColor(clGrayText);
    Canvas()->DrawTextRect(tr, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

} // namespace pw
