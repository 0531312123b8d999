#include "ArtLabel.h"

#include "DrawUtils.h"

#include <algorithm>

namespace pw {

TArtLabel::TArtLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), FBuffer(std::make_unique<TBitmap>()), FBitmap(std::make_unique<TBitmap>()),
      FGradient(std::make_unique<TGradient>())
{
    FColor = clBtnFace;
    FWidth = 64;
    FHeight = 25;
    FGradient->OnChange = [this](TObject*) {
        FGradientDirty = true;
        if (FArtStyle.Contains(asGradient)) Invalidate();
    };
    FGradient->SetColor1(clSilver);
    FGradient->SetColor2(clGray);
    FGradient->SetColor3(clBlack);
    FGradient->SetColorCount(3);
    FGradient->SetLineSize(2);
    FGradient->SetGradientStyle(gsLine);
    FGradientDirty = true;
    FFont.OnChange = [this](TObject*) {
        AdjustSize();
        Invalidate();
    };
    FFont.SetName("Arial");
    FFont.SetSize(24);
    FFont.SetStyle(fsBold);
}

TArtLabel::~TArtLabel() = default;

void TArtLabel::SetArtStyle(TArtStyle v)
{
    if (v == FArtStyle) return;
    FArtStyle = v;
    Invalidate();
}

void TArtLabel::SetCaption(const std::string& v)
{
    if (v == FCaption) return;
    FCaption = v;
    AdjustSize();
    Invalidate();
}

void TArtLabel::SetFont(TFont* v)
{
    if (v && v != &FFont) FFont.Assign(v);
}

void TArtLabel::SetTransparent(bool v)
{
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}

void TArtLabel::SetColor(TColor v)
{
    if (v == FColor) return;
    FColor = v;
    Invalidate();
}

void TArtLabel::SetBitmap(TBitmap* v)
{
    if (!v || v == FBitmap.get()) return;
    FBitmap->Assign(v);
    if (FArtStyle.Contains(asBitmap) || FArtStyle.Contains(asBitmapFit)) Invalidate();
}

void TArtLabel::SetShadowColor(TColor v)
{
    if (v == FShadowColor) return;
    FShadowColor = v;
    if (FArtStyle.Contains(asShadow)) Invalidate();
}

void TArtLabel::SetOutlineColor(TColor v)
{
    if (v == FOutlineColor) return;
    FOutlineColor = v;
    if (FArtStyle.Contains(asOutlined)) Invalidate();
}

void TArtLabel::SetAutoSize(bool v)
{
    if (v == FAutoSize) return;
    FAutoSize = v;
    AdjustSize();
    Invalidate();
}

void TArtLabel::SetShadowLength(int v)
{
    if (v == FShadowLength) return;
    FShadowLength = v;
    if (FArtStyle.Contains(asShadow)) Invalidate();
}

void TArtLabel::SetGradient(TGradient* v)
{
    if (v && v != FGradient.get()) FGradient->CopyFrom(v);
}

void TArtLabel::SetTextAlign(TAlignment v)
{
    if (v == FTextAlign) return;
    FTextAlign = v;
    Invalidate();
}

// Sizing happens here, when what it depends on changes, never while painting: a paint that
// changed the bounds would ask for the next paint.
void TArtLabel::AdjustSize()
{
    if (!FAutoSize) return;
    TMemoryDC dc;
    TCanvas measure(dc.Get());
    measure.Font()->Assign(&FFont);
    int w = measure.TextWidth(FCaption) + 4, h = measure.TextHeight("Wg") + 4;
    if (w != FWidth || h != FHeight) SetBounds(FLeft, FTop, w, h);
}

POINT TArtLabel::TextOrigin(TCanvas* B)
{
    SIZE size = B->TextExtent(FCaption);
    int tw = static_cast<int>(size.cx), th = static_cast<int>(size.cy);
    int w = Width(), h = Height();
    switch (FTextAlign) {
    case TAlignment::taRightJustify: return POINT{w - tw - 2, std::max((h - th) / 2, 2)};
    case TAlignment::taCenter: return POINT{std::max((w - tw) / 2, 0), std::max((h - th) / 2, 0)};
    default: return POINT{2, std::max((h - th) / 2, 2)};
    }
}

// The shadow, then the first of outline, sunk and raised edge. A mask gets them all in black.
void TArtLabel::DrawEffects(TCanvas* B, int X, int Y, bool MaskOnly)
{
    TColor dark = MaskOnly ? clBlack : DarkenColor(FColor, 64);
    TColor light = MaskOnly ? clBlack : LightenColor(FColor, 64);
    if (FArtStyle.Contains(asShadow))
        DrawShadowText(B, X, Y, FCaption, MaskOnly ? clBlack : FShadowColor, FShadowLength, FShadowLength);
    if (FArtStyle.Contains(asOutlined)) DrawOutlinedText(B, X, Y, FCaption, MaskOnly ? clBlack : FOutlineColor);
    else if (FArtStyle.Contains(as3DSunk)) Draw3DText(B, FCaption, X, Y, dark, light);
    else if (FArtStyle.Contains(as3DRaise)) Draw3DText(B, FCaption, X, Y, light, dark);
}

void TArtLabel::DrawLetterFill(TCanvas* B, int X, int Y)
{
    if (FArtStyle.Contains(asGradient)) {
        if (!FGradientBitmap) FGradientBitmap = std::make_unique<TBitmap>();
        int w = Width(), h = Height();
        if (FGradientDirty || FGradientBitmap->Width() != w || FGradientBitmap->Height() != h) {
            FGradientBitmap->SetSize(w, h);
            TCanvas* g = FGradientBitmap->Canvas();
            g->Brush()->SetColor(B->Font()->Color());
            g->FillRect(RECT{0, 0, w, h});
            DrawGradient(g, RECT{0, 0, w, h}, FGradient.get());
            FGradientDirty = false;
            ++FGradientBuilds;
        }
        DrawTextFilledStretched(B, X, Y, FCaption, FGradientBitmap.get());
    } else if (FArtStyle.Contains(asBitmapFit)) {
        DrawTextFilledStretched(B, X, Y, FCaption, FBitmap.get());
    } else if (FArtStyle.Contains(asBitmap)) {
        DrawTextFilled(B, X, Y, FCaption, FBitmap.get());
    }
}

void TArtLabel::Paint()
{
    RECT r{0, 0, Width(), Height()};
    if (r.right <= 0 || r.bottom <= 0) return;
    FBuffer->SetSize(r.right, r.bottom);
    TCanvas* b = FBuffer->Canvas();
    b->Font()->Assign(&FFont);
    b->Brush()->SetColor(FColor); // solid again after the effects left it clear
    b->FillRect(r);
    POINT at = TextOrigin(b);
    if (!FCaption.empty()) {
        DrawEffects(b, at.x, at.y, false);
        DrawLetterFill(b, at.x, at.y);
    }
    if (FTransparent) DrawTransparent(r, at.x, at.y);
    else Canvas()->Draw(r.left, r.top, FBuffer.get());
    Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
}

// Only the caption's pixels take the buffer; elsewhere the parent's own painting shows.
void TArtLabel::DrawTransparent(const RECT& R, int X, int Y)
{
    // The caption's pixels, drawn as in the buffer (smoothed edges too), black on white.
    TBitmap ink(R.right, R.bottom);
    TCanvas* m = ink.Canvas();
    m->Font()->Assign(&FFont);
    m->Font()->SetColor(clBlack);
    if (!FCaption.empty()) {
        DrawEffects(m, X, Y, true);
        // A letter fill without any effect still shows its letters.
        m->Brush()->SetStyle(TBrushStyle::bsClear);
        m->TextOut(X, Y, FCaption);
    }
    TBitmap mask;
    MakeMask(&ink, clWhite, &mask);
    TBitmap behind(R.right, R.bottom);
    if (Parent()) PaintParentBackground(behind.Canvas()->Handle());
    else behind.Canvas()->CopyRect(R, Canvas(), R); // nothing behind but what is there
    DrawMasked(behind.Canvas(), 0, 0, &mask, FBuffer.get());
    Canvas()->Draw(R.left, R.top, &behind);
}

// What the parent paints under the label: its background, then the window-less controls
// before this one. Read from the parent's painting, not from the screen, where windows
// covering the label would show instead.
void TArtLabel::PaintParentBackground(HDC DC)
{
    TWinControl* p = Parent();
    if (!p || !p->HandleAllocated()) return;
    TDCGuard guard(DC);
    SetViewportOrgEx(DC, -Left(), -Top(), nullptr);
    SendMessageA(p->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    RECT mine = BoundsRect();
    for (int i = 0; i < p->ControlCount() && p->Controls(i) != this; ++i) {
        auto* g = dynamic_cast<TGraphicControl*>(p->Controls(i));
        RECT r, common;
        if (!g || !g->Visible() || !IntersectRect(&common, &(r = g->BoundsRect()), &mine)) continue;
        TDCGuard sibling(DC);
        OffsetViewportOrgEx(DC, r.left, r.top, nullptr);
        IntersectClipRect(DC, 0, 0, r.right - r.left, r.bottom - r.top);
        g->PaintTo(DC);
    }
}

} // namespace pw
