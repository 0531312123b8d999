#include "DrawUtils.h"
#include "Surface.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pw;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

void BigFont(TFont* f, TColor color)
{
    f->SetName("Arial");
    f->SetHeight(-40);
    f->SetStyle(fsBold);
    f->SetColor(color);
}

// Checks every pixel of the text area against what the decoration should have put there:
// Expect gives the colour for a pixel, or -1 where the edges of glyphs make it undecided.
void ExpectPixels(const Surface& s, const std::function<int(int x, int y)>& Expect)
{
    int checked = 0, wrong = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            int e = Expect(x, y);
            if (e < 0) continue;
            ++checked;
            if (s.At(x, y) != static_cast<COLORREF>(e) && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << s.At(x, y) << ", expected " << e;
        }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(wrong, 0);
}

// ---- text effects ----

TEST(TextEffects, ShadowGoesBehindTheTextAtItsOffset)
{
    Surface s(80, 70);
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    GlyphMap g(c.Font(), "I");
    DrawShadowText(&c, 10, 8, "I", clBlue, 6, 5);
    EXPECT_EQ(c.Brush()->Style(), TBrushStyle::bsClear);
    EXPECT_EQ(c.Font()->Color(), clRed);  // the font's own colour again
    ExpectPixels(s, [&](int x, int y) -> int {
        if (g.Solid(x - 10, y - 8)) return RGB(255, 0, 0);
        if (g.Solid(x - 16, y - 13) && g.Clear(x - 10, y - 8)) return RGB(0, 0, 255);
        if (g.Clear(x - 10, y - 8) && g.Clear(x - 16, y - 13)) return White;
        return -1;
    });
}

TEST(TextEffects, OutlineCopiesGoUnderTheCentreCopy)
{
    Surface s(80, 70);
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    GlyphMap g(c.Font(), "I");
    DrawOutlinedText(&c, 10, 10, "I", clGreen);
    // The glyph's inside is the text colour; one pixel out on each side is the outline.
    ExpectPixels(s, [&](int x, int y) -> int {
        int gx = x - 10, gy = y - 10;
        if (g.Solid(gx, gy)) return RGB(255, 0, 0);
        if (g.Clear(gx, gy, 0) && (g.Solid(gx - 1, gy - 1) || g.Solid(gx + 1, gy + 1) || g.Solid(gx - 1, gy + 1) ||
                                   g.Solid(gx + 1, gy - 1)))
            return static_cast<int>(ColorToRGB(clGreen));
        if (g.Clear(gx, gy, 3)) return White;
        return -1;
    });
}

TEST(TextEffects, ThreeDEdgeIsLightUpLeftAndDarkDownRight)
{
    Surface s(80, 70);
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    GlyphMap g(c.Font(), "I");
    Draw3DText(&c, "I", 10, 10, clWhite, clBlack);
    bool sawLight = false, sawDark = false;
    ExpectPixels(s, [&](int x, int y) -> int {
        int gx = x - 10, gy = y - 10;
        if (g.Solid(gx, gy)) return RGB(255, 0, 0);
        // The top-left copy (drawn over the bottom-right one) covers what the glyph covers one
        // pixel down and right of here.
        if (g.Clear(gx, gy, 0) && g.Solid(gx + 1, gy + 1, 0)) return sawLight = true, static_cast<int>(White);
        if (g.Clear(gx, gy, 0) && g.Solid(gx - 1, gy - 1, 0) && g.Clear(gx + 1, gy + 1, 0))
            return sawDark = true, static_cast<int>(RGB(0, 0, 0));
        if (g.Clear(gx, gy, 3)) return White;
        return -1;
    });
    EXPECT_TRUE(sawLight);
    EXPECT_TRUE(sawDark);
}

// ---- composition ----

TEST(Composition, MaskedDrawingShowsTheImageOnlyWhereTheMaskIsBlack)
{
    Surface s(40, 30, RGB(0, 128, 0));
    TCanvas c(s.DC());
    TBitmap image(20, 10), mask;
    image.Canvas()->Brush()->SetColor(clRed);
    image.Canvas()->FillRect(RECT{0, 0, 20, 10});
    mask.SetMonochrome(true);
    mask.SetSize(20, 10);  // white: the canvas stays
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(RECT{0, 0, 10, 10});
    DrawMasked(&c, 5, 5, &mask, &image);
    EXPECT_EQ(s.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(s.At(14, 14), RGB(255, 0, 0));
    EXPECT_EQ(s.At(15, 5), RGB(0, 128, 0));
    EXPECT_EQ(s.At(24, 14), RGB(0, 128, 0));
    EXPECT_EQ(s.At(4, 5), RGB(0, 128, 0));
    EXPECT_EQ(s.At(5, 15), RGB(0, 128, 0));
}

// A picture whose left half is yellow and right half blue.
void TwoHalves(TBitmap& b, int w, int h)
{
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clYellow);
    b.Canvas()->FillRect(RECT{0, 0, w / 2, h});
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(RECT{w / 2, 0, w, h});
}

TEST(Composition, StretchedTextFillShowsThePictureInTheGlyphsOnly)
{
    Surface s(200, 70, RGB(0, 128, 0));
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    GlyphMap g(c.Font(), "IIIIII");
    TBitmap picture;
    TwoHalves(picture, 4, 4);
    DrawTextFilledStretched(&c, 10, 10, "IIIIII", &picture);
    int half = g.Width() / 2;
    ExpectPixels(s, [&](int x, int y) -> int {
        int gx = x - 10, gy = y - 10;
        if (g.Solid(gx, gy, 1) && std::abs(gx - half) > 2) return gx < half ? RGB(255, 255, 0) : RGB(0, 0, 255);
        if (g.Clear(gx, gy, 1)) return RGB(0, 128, 0);
        return -1;
    });
}

TEST(Composition, NaturalSizeTextFillStartsAtTheBoxCorner)
{
    Surface s(200, 70, RGB(0, 128, 0));
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    GlyphMap g(c.Font(), "IIIIII");
    TBitmap picture;
    TwoHalves(picture, 40, 100);  // yellow for the first 20 columns, then blue
    DrawTextFilled(&c, 10, 10, "IIIIII", &picture);
    ExpectPixels(s, [&](int x, int y) -> int {
        int gx = x - 10, gy = y - 10;
        if (g.Solid(gx, gy, 1) && gx < 40 && std::abs(gx - 20) > 1) return gx < 20 ? RGB(255, 255, 0) : RGB(0, 0, 255);
        if (g.Clear(gx, gy, 1)) return RGB(0, 128, 0);
        return -1;
    });
}

TEST(Composition, EmptyTextFillsNothingAndDoesNotFail)
{
    Surface s(30, 30, RGB(0, 128, 0));
    TCanvas c(s.DC());
    TBitmap picture;
    TwoHalves(picture, 4, 4);
    TBitmap empty;
    EXPECT_NO_THROW(DrawTextFilledStretched(&c, 0, 0, "", &picture));
    EXPECT_NO_THROW(DrawTextFilled(&c, 0, 0, "", &picture));
    EXPECT_NO_THROW(DrawTextFilled(&c, 0, 0, "x", &empty));
    EXPECT_NO_THROW(DrawMasked(&c, 0, 0, &empty, &empty));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(s.At(x, y), RGB(0, 128, 0)) << x << "," << y;
}

TEST(Composition, RepeatedFillsKeepTheGdiObjectCountSteady)
{
    Surface s(200, 70);
    TCanvas c(s.DC());
    BigFont(c.Font(), clRed);
    TBitmap picture;
    TwoHalves(picture, 4, 4);
    DrawTextFilledStretched(&c, 10, 10, "Warm", &picture);
    unsigned long before = pwtest::GdiObjectCount();
    for (int i = 0; i < 200; ++i) {
        DrawTextFilledStretched(&c, 10, 10, "Warm", &picture);
        DrawShadowText(&c, 10, 10, "Warm", clBlue, 2, 2);
    }
    EXPECT_LE(pwtest::GdiObjectCount(), before + 2);
}

// ---- tiling ----

// A strip whose columns (or rows) have colours of their own.
TBitmap* Striped(int w, int h, bool columns)
{
    auto* b = new TBitmap(w, h);
    for (int i = 0; i < (columns ? w : h); ++i) {
        b->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(10 * i, 255 - 10 * i, 100)));
        b->Canvas()->FillRect(columns ? RECT{i, 0, i + 1, h} : RECT{0, i, w, i + 1});
    }
    return b;
}

TEST(Tiling, RepeatsAcrossAndCutsThePartialLastTile)
{
    Surface s(70, 120);
    TCanvas c(s.DC());
    std::unique_ptr<TBitmap> strip(Striped(8, 100, true));
    TileBitmap(&c, strip.get(), RECT{5, 5, 55, 105});
    // Seven tiles across 50 pixels, the last one 2 pixels wide: columns 0 and 1 of the strip.
    for (int x = 5; x < 55; ++x) EXPECT_EQ(s.At(x, 50), RGB(10 * ((x - 5) % 8), 255 - 10 * ((x - 5) % 8), 100)) << x;
    EXPECT_EQ(s.At(53, 5), RGB(0, 255, 100));
    EXPECT_EQ(s.At(54, 104), RGB(10, 245, 100));
    EXPECT_EQ(s.At(55, 50), White);
    EXPECT_EQ(s.At(4, 50), White);
    EXPECT_EQ(s.At(30, 4), White);
    EXPECT_EQ(s.At(30, 105), White);
}

TEST(Tiling, RepeatsDownAndCutsThePartialLastRow)
{
    Surface s(30, 60);
    TCanvas c(s.DC());
    std::unique_ptr<TBitmap> strip(Striped(30, 8, false));
    TileBitmap(&c, strip.get(), RECT{0, 0, 30, 50});
    for (int y = 0; y < 50; ++y) EXPECT_EQ(s.At(15, y), RGB(10 * (y % 8), 255 - 10 * (y % 8), 100)) << y;
    EXPECT_EQ(s.At(15, 50), White);
    TBitmap empty;
    EXPECT_NO_THROW(TileBitmap(&c, &empty, RECT{0, 0, 30, 50}));
}

} // namespace
