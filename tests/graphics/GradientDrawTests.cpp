#include "DrawUtils.h"
#include "Gradient.h"
#include "Surface.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pw;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }

// The colour of band i of a two-stop walk, as the walk computes it.
COLORREF Band(const TColor (&stops)[5], int count, int segment, int step, int i)
{
    TColorWalk w(stops, count, segment, step);
    for (int k = 0; k < i; ++k) w.Next();
    return Rgb(w.Color());
}

TEST(GradientLines, HorizontalBandsRunFromTopToBottom)
{
    Surface s(40, 120);
    TCanvas c(s.DC());
    TGradient g;
    g.SetColor1(RGB(0, 100, 200));
    g.SetColor2(RGB(100, 0, 250));
    g.SetColor3(RGB(0, 0, 0));
    g.SetColorCount(2);
    g.SetLineSize(10);
    DrawGradient(&c, RECT{0, 0, 30, 100}, &g);
    EXPECT_EQ(s.At(0, 0), RGB(0, 100, 200));
    EXPECT_EQ(s.At(29, 9), RGB(0, 100, 200));
    EXPECT_EQ(s.At(5, 45), RGB(80, 20, 240));   // Color1 + 0.8 (Color2 - Color1)
    EXPECT_EQ(s.At(17, 55), RGB(60, 20, 190));  // ... + 0.2 (Color3 - Color2)
    EXPECT_EQ(s.At(29, 99), RGB(0, 20, 0));
    // Only the area changes.
    EXPECT_EQ(s.At(30, 50), White);
    EXPECT_EQ(s.At(10, 100), White);
}

TEST(GradientLines, VerticalBandsRunFromLeftThroughTheFifthColour)
{
    Surface s(200, 20);
    TCanvas c(s.DC());
    TGradient g;
    g.SetColor1(RGB(0, 0, 0));
    g.SetColor2(RGB(80, 0, 0));
    g.SetColor3(RGB(80, 80, 0));
    g.SetColor4(RGB(80, 80, 80));
    g.SetColor5(RGB(160, 80, 80));
    g.SetColorCount(4);
    g.SetLineSize(1);
    g.SetLineDirection(diVertical);
    DrawGradient(&c, RECT{0, 0, 200, 20}, &g);
    const TColor stops[5] = {g.Color1(), g.Color2(), g.Color3(), g.Color4(), g.Color5()};
    for (int x : {0, 25, 49, 50, 99, 120, 150, 199})
        for (int y : {0, 19}) EXPECT_EQ(s.At(x, y), Band(stops, 4, 50, 1, x)) << x << "," << y;
    EXPECT_EQ(s.At(0, 5), RGB(0, 0, 0));
    EXPECT_GE(GetRValue(s.At(199, 5)), 155);  // close to Color5 at the right edge
    EXPECT_EQ(s.At(199, 5) & 0xFFFF00, RGB(0, 80, 80));
}

TEST(GradientLines, AnAreaAwayFromTheOriginIsFilledInPlace)
{
    Surface s(60, 60);
    TCanvas c(s.DC());
    TGradient g;
    g.SetColorCount(1);
    g.SetColor1(clRed);
    DrawGradient(&c, RECT{10, 20, 30, 50}, &g);
    EXPECT_EQ(s.At(10, 20), RGB(255, 0, 0));
    EXPECT_EQ(s.At(29, 49), RGB(255, 0, 0));
    EXPECT_EQ(s.At(9, 30), White);
    EXPECT_EQ(s.At(30, 30), White);
    EXPECT_EQ(s.At(20, 19), White);
    EXPECT_EQ(s.At(20, 50), White);
}

TEST(Gradient, OneColourIsSolidInEveryStyle)
{
    for (TGradientStyle style : {gsLine, gsEllipse, gsRect, gsCustomRect}) {
        Surface s(50, 40);
        TCanvas c(s.DC());
        TGradient g;
        g.SetGradientStyle(style);
        g.SetColorCount(1);
        g.SetColor1(RGB(10, 200, 30));
        g.SetColor2(clWhite);
        DrawGradient(&c, RECT{0, 0, 50, 40}, &g);
        for (int x : {10, 25, 40}) EXPECT_EQ(s.At(x, 20), RGB(10, 200, 30)) << "style " << style << " at " << x;
    }
}

TEST(Gradient, SystemColoursAreResolvedFirst)
{
    Surface s(20, 20);
    TCanvas c(s.DC());
    TGradient g;
    g.SetColorCount(2);
    g.SetColor1(clBtnFace);
    g.SetColor2(clBtnFace);
    g.SetColor3(clBtnFace);
    DrawGradient(&c, RECT{0, 0, 20, 20}, &g);
    EXPECT_EQ(s.At(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(s.At(15, 19), GetSysColor(COLOR_BTNFACE));
}

TEST(GradientInward, EllipsesShrinkTowardTheCentre)
{
    Surface s(60, 60);
    TCanvas c(s.DC());
    TGradient g;
    g.SetGradientStyle(gsEllipse);
    g.SetColor1(RGB(0, 0, 0));
    g.SetColor2(RGB(200, 200, 200));
    g.SetColorCount(1 + 1);
    g.SetLineSize(5);
    DrawGradient(&c, RECT{0, 0, 60, 60}, &g);
    EXPECT_EQ(s.At(0, 0), White);              // the corners are outside every ellipse
    EXPECT_EQ(s.At(2, 30), RGB(0, 0, 0));      // the outermost band is Color1
    EXPECT_NE(s.At(30, 30), RGB(0, 0, 0));     // the centre is further along
    EXPECT_EQ(c.Pen()->Style(), TPenStyle::psClear);
    EXPECT_EQ(c.Pen()->Width(), 0);
}

TEST(GradientInward, RectanglesKeepTheirBottomRightCorner)
{
    Surface s(60, 60);
    TCanvas c(s.DC());
    TGradient g;
    g.SetGradientStyle(gsRect);
    const TColor stops[5] = {RGB(0, 0, 0), RGB(120, 120, 120), clBlack, clBlack, clBlack};
    g.SetColor1(stops[0]);
    g.SetColor2(stops[1]);
    g.SetColor3(stops[2]);
    g.SetColorCount(2);
    g.SetLineSize(3);
    DrawGradient(&c, RECT{0, 0, 60, 60}, &g);
    // Segment (60 div 2) div 2 = 15; bands at 0, 3, ... 27: the last, band 9, covers the corner.
    EXPECT_EQ(s.At(0, 0), Band(stops, 2, 15, 3, 0));
    EXPECT_EQ(s.At(4, 4), Band(stops, 2, 15, 3, 1));
    EXPECT_EQ(s.At(59, 59), Band(stops, 2, 15, 3, 9));
    EXPECT_EQ(s.At(59, 1), Band(stops, 2, 15, 3, 0));
    EXPECT_EQ(c.Pen()->Style(), TPenStyle::psSolid);  // the rectangle style leaves the pen
}

TEST(GradientInward, CustomBandsAreDrawnByTheHandler)
{
    Surface s(40, 30);
    TCanvas c(s.DC());
    TGradient g;
    g.SetGradientStyle(gsCustomRect);
    g.SetLineSize(4);
    std::vector<RECT> bands;
    g.OnDrawRect = [&](TObject* Sender, TCanvas* Canvas, const RECT& r) {
        EXPECT_EQ(Sender, nullptr);
        EXPECT_EQ(Canvas, &c);
        EXPECT_EQ(Canvas->Pen()->Style(), TPenStyle::psClear);
        bands.push_back(r);
    };
    DrawGradient(&c, RECT{0, 0, 40, 30}, &g);
    ASSERT_EQ(bands.size(), 4u);  // 0, 4, 8, 12: below 30 div 2
    EXPECT_EQ(bands[3].left, 12);
    EXPECT_EQ(bands[3].top, 12);
    EXPECT_EQ(bands[3].right, 40);
    EXPECT_EQ(bands[3].bottom, 30);
    EXPECT_EQ(s.At(20, 15), White);  // the handler drew nothing
}

TEST(GradientInward, CustomWithoutAHandlerPaintsLikeRectangles)
{
    Surface a(40, 30), b(40, 30);
    TCanvas ca(a.DC()), cb(b.DC());
    TGradient g;
    g.SetGradientStyle(gsRect);
    DrawGradient(&ca, RECT{0, 0, 40, 30}, &g);
    g.SetGradientStyle(gsCustomRect);
    DrawGradient(&cb, RECT{0, 0, 40, 30}, &g);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
}

TEST(Gradient, UnsoundInputPaintsSafely)
{
    for (TGradientStyle style : {gsLine, gsEllipse, gsRect}) {
        Surface s(30, 30);
        TCanvas c(s.DC());
        TGradient g;
        g.SetGradientStyle(style);
        g.SetColor2(clRed);
        g.SetColor4(clBlue);
        // Nothing for an empty or inverted area.
        DrawGradient(&c, RECT{0, 0, 0, 20}, &g);
        DrawGradient(&c, RECT{0, 0, 20, 0}, &g);
        DrawGradient(&c, RECT{20, 20, 10, 10}, &g);
        EXPECT_EQ(s.At(5, 5), White);
        EXPECT_EQ(s.At(15, 15), White);
        // Counts outside 1..4, steps below 1 and areas smaller than the count all end.
        for (int count : {0, 5, 255})
            for (int line : {0, -3, 1}) {
                g.SetColorCount(static_cast<TColorCount>(count));
                g.SetLineSize(line);
                DrawGradient(&c, RECT{0, 0, 30, 30}, &g);
                DrawGradient(&c, RECT{0, 0, 1, 1}, &g);
                DrawGradient(&c, RECT{0, 0, 3, 2}, &g);
            }
        EXPECT_NE(s.At(15, 15), White) << "style " << style;
    }
}

} // namespace
