#include "ExtCtrls.h"

namespace pw {

// ---- TBevel ----

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape v)
{
    if (v == FShape) return;
    FShape = v;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle v)
{
    if (v == FStyle) return;
    FStyle = v;
    Invalidate();
}

void TBevel::Paint() { PaintBevel(clBtnHighlight, clBtnShadow); }

void TBevel::PaintBevel(TColor Highlight, TColor Shadow)
{
    TCanvas* c = Canvas();
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(TPenStyle::psSolid);
    bool lowered = FStyle == TBevelStyle::bsLowered;
    TColor c1 = lowered ? Shadow : Highlight, c2 = lowered ? Highlight : Shadow;
    // Top and left edges in the first colour, bottom and right in the second.
    auto rect = [c](int l, int t, int r, int b, TColor first, TColor second) {
        c->Pen()->SetColor(first);
        POINT tl[3] = {{l, b}, {l, t}, {r, t}};
        c->Polyline(tl, 3);
        c->Pen()->SetColor(second);
        POINT br[3] = {{r, t}, {r, b}, {l, b}};
        c->Polyline(br, 3);
    };
    auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    int w = Width(), h = Height();
    switch (FShape) {
    case TBevelShape::bsBox: rect(0, 0, w - 1, h - 1, c1, c2); break;
    case TBevelShape::bsFrame:
        // A two-pixel groove or ridge: the inner rectangle all in c2, the outer all in c1.
        rect(1, 1, w - 1, h - 1, c2, c2);
        rect(0, 0, w - 2, h - 2, c1, c1);
        break;
    case TBevelShape::bsTopLine:
        line(c1, 0, 0, w, 0);
        line(c2, 0, 1, w, 1);
        break;
    case TBevelShape::bsBottomLine:
        line(c1, 0, h - 2, w, h - 2);
        line(c2, 0, h - 1, w, h - 1);
        break;
    case TBevelShape::bsLeftLine:
        line(c1, 0, 0, 0, h);
        line(c2, 1, 0, 1, h);
        break;
    case TBevelShape::bsRightLine:
        line(c1, w - 2, 0, w - 2, h);
        line(c2, w - 1, 0, w - 1, h);
        break;
    }
}

// ---- TImage ----

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TBitmap>())
{
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = [this](TObject*) { Invalidate(); };
}

TImage::~TImage() = default;

void TImage::SetStretch(bool v)
{
    if (v == FStretch) return;
    FStretch = v;
    Invalidate();
}

void TImage::Paint()
{
    if (FPicture->Empty()) return;
    if (!FStretch) {
        Canvas()->Draw(0, 0, FPicture.get());
        return;
    }
    TDCGuard guard(Canvas()->Handle());
    SetStretchBltMode(Canvas()->Handle(), HALFTONE);
    Canvas()->StretchDraw(RECT{0, 0, Width(), Height()}, FPicture.get());
}

// ---- TCustomPanel ----

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FWidth = 185;
    FHeight = 41;
    FClickEvents = true;
    FCaptureMouse = false;
}

void TCustomPanel::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.WinClassName = "TPwPanel";
    Params.Style |= WS_CLIPCHILDREN;
}

void TCustomPanel::SetBevelInner(TBevelCut v)
{
    FBevelInner = v;
    Invalidate();
}
void TCustomPanel::SetBevelOuter(TBevelCut v)
{
    FBevelOuter = v;
    Invalidate();
}
void TCustomPanel::SetBevelWidth(int v)
{
    FBevelWidth = v;
    Invalidate();
}
void TCustomPanel::SetBorderWidth(int v)
{
    FBorderWidth = v;
    Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment v)
{
    FAlignment = v;
    Invalidate();
}

void TCustomPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1; // Paint fills the whole panel
        return;
    }
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED) Invalidate();
}

void TCustomPanel::Paint()
{
    HDC dc = Canvas()->Handle();
    RECT r = ClientRect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        TColor top = cut == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
        TColor bottom = cut == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow;
        if (cut == TBevelCut::bvSpace) top = bottom = FColor;
        Frame3D(dc, r, top, bottom, FBevelWidth);
    };
    bevel(FBevelOuter);
    Frame3D(dc, r, FColor, FColor, FBorderWidth);
    bevel(FBevelInner);
    Canvas()->Brush()->SetColor(FColor);
    Canvas()->FillRect(r);
    std::string text = Caption();
    if (text.empty()) return;
    Canvas()->SetFont(FFont.get());
    Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    UINT align = FAlignment == TAlignment::taCenter ? DT_CENTER
        : FAlignment == TAlignment::taRightJustify  ? DT_RIGHT
                                                    : DT_LEFT;
    Canvas()->DrawTextRect(r, text, align | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

} // namespace pw
