#include "DrawUtils.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>

namespace pw {

void SplitRGB(TColor Color, int& R, int& G, int& B)
{
    auto c = static_cast<uint32_t>(Color);
    R = static_cast<int>(c & 0xFF);
    G = static_cast<int>((c >> 8) & 0xFF);
    B = static_cast<int>((c >> 16) & 0xFF);
}

int ClampToByte(float Value)
{
    // The default rounding mode rounds to nearest with ties to even.
    float r = std::nearbyint(Value);
    if (!(r > 0)) return 0;  // also NaN
    if (r > 255) return 255;
    return static_cast<int>(r);
}

TColor RGBFromReals(float R, float G, float B)
{
    return static_cast<TColor>(ClampToByte(R) | (ClampToByte(G) << 8) | (ClampToByte(B) << 16));
}

TColor LightenColor(TColor Color, int Amount)
{
    int r, g, b;
    SplitRGB(static_cast<TColor>(ColorToRGB(Color)), r, g, b);
    auto a = static_cast<float>(Amount);
    return RGBFromReals(static_cast<float>(r) + a, static_cast<float>(g) + a, static_cast<float>(b) + a);
}

TColor DarkenColor(TColor Color, int Amount) { return LightenColor(Color, -Amount); }

// ---- text effects ----

namespace {

struct TCopy {
    int DX, DY;
    TColor Color;
};

// The decoration's copies in order, then the text itself in the font's colour.
void DrawDecorated(TCanvas* Canvas, int X, int Y, const std::string& Text, std::initializer_list<TCopy> Copies)
{
    TFont* font = Canvas->Font();
    TColor own = font->Color();
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    for (const TCopy& c : Copies) {
        font->SetColor(c.Color);
        Canvas->TextOut(X + c.DX, Y + c.DY, Text);
    }
    font->SetColor(own);
    Canvas->TextOut(X, Y, Text);
}

} // namespace

void DrawShadowText(TCanvas* Canvas, int X, int Y, const std::string& Text, TColor Color, int DX, int DY)
{
    DrawDecorated(Canvas, X, Y, Text, {{DX, DY, Color}});
}

void DrawOutlinedText(TCanvas* Canvas, int X, int Y, const std::string& Text, TColor Color)
{
    DrawDecorated(Canvas, X, Y, Text, {{1, 1, Color}, {-1, 1, Color}, {-1, -1, Color}, {1, -1, Color}});
}

void Draw3DText(TCanvas* Canvas, const std::string& Text, int X, int Y, TColor TopLeftColor, TColor BottomRightColor)
{
    DrawDecorated(Canvas, X, Y, Text, {{1, 1, BottomRightColor}, {-1, -1, TopLeftColor}});
}

// ---- picture composition ----

namespace {

using TDrawStep = std::function<void(TCanvas* Target)>;

// Background XOR image, AND mask, XOR image: the image where the mask is black, the canvas
// where it is white. The work happens in a copy of the canvas area, put back in one step.
void Compose(TCanvas* Canvas, int X, int Y, int W, int H, const TDrawStep& DrawImage, const TDrawStep& DrawMask)
{
    if (W <= 0 || H <= 0) return;
    TBitmap work(W, H);
    TCanvas* t = work.Canvas();
    RECT all{0, 0, W, H};
    // Both image steps must give the same pixels for the XOR to cancel.
    SetStretchBltMode(t->Handle(), COLORONCOLOR);
    t->SetCopyMode(SRCCOPY);
    t->CopyRect(all, Canvas, RECT{X, Y, X + W, Y + H});
    t->SetCopyMode(SRCINVERT);
    DrawImage(t);
    {
        // A monochrome mask lands on a colour DC as text colour (0 bits) and background (1 bits).
        TDCGuard guard(t->Handle());
        SetTextColor(t->Handle(), RGB(0, 0, 0));
        SetBkColor(t->Handle(), RGB(255, 255, 255));
        t->SetCopyMode(SRCAND);
        DrawMask(t);
    }
    t->SetCopyMode(SRCINVERT);
    DrawImage(t);
    DWORD mode = Canvas->CopyMode();
    Canvas->SetCopyMode(SRCCOPY);
    Canvas->Draw(X, Y, &work);
    Canvas->SetCopyMode(mode);
}

// Black glyphs of Text on white, in the canvas's font; empty for an empty text. The glyphs
// are drawn as the canvas draws them, so that the mask covers their smoothed edges too.
void MakeTextMask(TCanvas* Canvas, const std::string& Text, TBitmap& Mask)
{
    SIZE size = Canvas->TextExtent(Text);
    TBitmap glyphs(size.cx, size.cy);  // white
    if (glyphs.Empty()) return;
    TCanvas* g = glyphs.Canvas();
    g->Font()->Assign(Canvas->Font());
    g->Font()->SetColor(clBlack);
    g->Brush()->SetStyle(TBrushStyle::bsClear);
    g->TextOut(0, 0, Text);
    MakeMask(&glyphs, clWhite, &Mask);
}

} // namespace

void MakeMask(TBitmap* Picture, TColor Background, TBitmap* Mask)
{
    Mask->SetMonochrome(true);
    Mask->SetSize(Picture->Width(), Picture->Height());
    if (Mask->Empty()) return;
    // Colour to monochrome: the source's background colour becomes white, all else black.
    HDC src = Picture->Canvas()->Handle();
    TDCGuard guard(src);
    SetBkColor(src, static_cast<COLORREF>(ColorToRGB(Background)));
    BitBlt(Mask->Canvas()->Handle(), 0, 0, Picture->Width(), Picture->Height(), src, 0, 0, SRCCOPY);
}

void DrawMasked(TCanvas* Canvas, int X, int Y, TBitmap* Mask, TBitmap* Image)
{
    if (!Mask || !Image || Image->Empty()) return;
    auto image = [Image](TCanvas* t) { t->Draw(0, 0, Image); };
    auto mask = [Mask](TCanvas* t) { t->Draw(0, 0, Mask); };
    Compose(Canvas, X, Y, Image->Width(), Image->Height(), image, mask);
}

void DrawTextFilledStretched(TCanvas* Canvas, int X, int Y, const std::string& Text, TBitmap* Bitmap)
{
    TBitmap mask;
    MakeTextMask(Canvas, Text, mask);
    if (mask.Empty() || !Bitmap || Bitmap->Empty()) return;
    RECT box{0, 0, mask.Width(), mask.Height()};
    auto image = [Bitmap, box](TCanvas* t) { t->StretchDraw(box, Bitmap); };
    auto glyphs = [&mask](TCanvas* t) { t->Draw(0, 0, &mask); };
    Compose(Canvas, X, Y, mask.Width(), mask.Height(), image, glyphs);
}

void DrawTextFilled(TCanvas* Canvas, int X, int Y, const std::string& Text, TBitmap* Bitmap)
{
    TBitmap mask;
    MakeTextMask(Canvas, Text, mask);
    if (mask.Empty() || !Bitmap || Bitmap->Empty()) return;
    RECT box{0, 0, mask.Width(), mask.Height()};
    auto image = [Bitmap](TCanvas* t) { t->Draw(0, 0, Bitmap); };
    auto glyphs = [&mask, box](TCanvas* t) { t->CopyRect(box, mask.Canvas(), box); };
    Compose(Canvas, X, Y, mask.Width(), mask.Height(), image, glyphs);
}

void TileBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect)
{
    if (!Bitmap || Bitmap->Width() <= 0 || Bitmap->Height() <= 0) return;
    int x = Rect.left, y = Rect.top;
    while (y < Rect.bottom && x < Rect.right) {
        int h = std::min<int>(Rect.bottom - y, Bitmap->Height());
        int w = std::min<int>(Rect.right - x, Bitmap->Width());
        Canvas->CopyRect(RECT{x, y, x + w, y + h}, Bitmap->Canvas(), RECT{0, 0, w, h});
        x += w;
        if (x >= Rect.right) {
            x = Rect.left;
            y += h;
        }
    }
}

} // namespace pw
