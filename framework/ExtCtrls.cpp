#include "ExtCtrls.h"

namespace pw {

void Frame3D(HDC DC, RECT& R, TColor TopColor, TColor BottomColor, int Width)
{
    TBrushHandle top(CreateSolidBrush(ColorRef(TopColor)));
    TBrushHandle bottom(CreateSolidBrush(ColorRef(BottomColor)));
    for (int i = 0; i < Width && R.right > R.left && R.bottom > R.top; ++i) {
        RECT l{R.left, R.top, R.left + 1, R.bottom - 1}, t{R.left, R.top, R.right - 1, R.top + 1};
        RECT rr{R.right - 1, R.top, R.right, R.bottom}, b{R.left, R.bottom - 1, R.right, R.bottom};
        FillRect(DC, &l, top.Get());
        FillRect(DC, &t, top.Get());
        FillRect(DC, &rr, bottom.Get());
        FillRect(DC, &b, bottom.Get());
        InflateRect(&R, -1, -1);
    }
}

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

void TCustomPanel::SetBevelInner(TBevelCut v) { FBevelInner = v; Invalidate(); }
void TCustomPanel::SetBevelOuter(TBevelCut v) { FBevelOuter = v; Invalidate(); }
void TCustomPanel::SetBevelWidth(int v) { FBevelWidth = v; Invalidate(); }
void TCustomPanel::SetBorderWidth(int v) { FBorderWidth = v; Invalidate(); }
void TCustomPanel::SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }

void TCustomPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;  // Paint fills the whole panel
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
    Canvas()->SetFont(FFont);
    Canvas()->Brush()->SetStyle(TBrushStyle::bsClear);
    UINT align = FAlignment == TAlignment::taCenter ? DT_CENTER : FAlignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    Canvas()->DrawTextRect(r, text, align | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

} // namespace pw
