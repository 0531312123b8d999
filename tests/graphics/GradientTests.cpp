#include "Gradient.h"

#include "DrawUtils.h"

#include "WinApi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace pw;

namespace {

// ---- the description ----

TEST(Gradient, StartsWithItsOwnValues)
{
    TGradient g;
    EXPECT_EQ(g.GradientStyle(), gsLine);
    EXPECT_EQ(g.LineSize(), 3);
    EXPECT_EQ(g.Color1(), clGray);
    EXPECT_EQ(g.Color2(), clWhite);
    EXPECT_EQ(g.Color3(), clSilver);
    EXPECT_EQ(g.Color4(), clWhite);
    EXPECT_EQ(g.Color5(), clBlack);
    EXPECT_EQ(g.ColorCount(), 3);
    EXPECT_EQ(g.LineDirection(), diHorizonal);
}

TEST(Gradient, EveryRealChangeIsReportedOnce)
{
    TGradient g;
    int changes = 0;
    TObject* sender = nullptr;
    g.OnChange = [&](TObject* s) { ++changes; sender = s; };
    g.SetColor2(clWhite);  // unchanged
    g.SetLineSize(3);
    g.SetGradientStyle(gsLine);
    g.SetColorCount(3);
    g.SetLineDirection(diHorizonal);
    EXPECT_EQ(changes, 0);
    g.SetColor1(clRed);
    g.SetColor2(clBlue);
    g.SetColor3(clLime);
    g.SetColor4(clAqua);
    g.SetColor5(clNavy);
    g.SetLineSize(7);
    g.SetGradientStyle(gsRect);
    g.SetColorCount(2);
    g.SetLineDirection(diVertical);
    EXPECT_EQ(changes, 9);
    EXPECT_EQ(sender, &g);
    g.SetColor5(clNavy);
    EXPECT_EQ(changes, 9);
}

TEST(Gradient, CopyFromTakesTheDrawingValuesAndReportsOnce)
{
    TGradient a, b;
    a.SetGradientStyle(gsEllipse);
    a.SetLineSize(5);
    a.SetColor1(1);
    a.SetColor2(2);
    a.SetColor3(3);
    a.SetColor4(4);
    a.SetColor5(5);
    a.SetColorCount(4);
    a.SetLineDirection(diVertical);
    bool drawn = false;
    a.OnDrawRect = [&](TObject*, TCanvas*, const RECT&) { drawn = true; };
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.CopyFrom(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.GradientStyle(), gsEllipse);
    EXPECT_EQ(b.LineSize(), 5);
    EXPECT_EQ(b.Color1(), 1);
    EXPECT_EQ(b.Color2(), 2);
    EXPECT_EQ(b.Color3(), 3);
    EXPECT_EQ(b.Color4(), 4);
    EXPECT_EQ(b.Color5(), 5);
    EXPECT_EQ(b.ColorCount(), 4);
    EXPECT_EQ(b.LineDirection(), diVertical);
    EXPECT_FALSE(b.OnDrawRect);  // events stay
    b.CopyFrom(&a);              // nothing differs: still one change
    EXPECT_EQ(changes, 2);
}

// ---- the colour walk ----

std::vector<TColor> Walk(const TColor (&stops)[5], int count, int segment, int step, int bands)
{
    std::vector<TColor> r;
    TColorWalk w(stops, count, segment, step);
    for (int i = 0; i < bands; ++i, w.Next()) r.push_back(w.Color());
    return r;
}

TEST(ColorWalk, CarriesOnFromWhereASegmentEnds)
{
    // 100 pixels, two transitions, bands of 10: a segment of 50.
    const TColor stops[5] = {RGB(0, 100, 200), RGB(100, 0, 250), RGB(0, 0, 0), clWhite, clBlack};
    auto bands = Walk(stops, 2, 50, 10, 11);
    EXPECT_EQ(bands[0], static_cast<TColor>(RGB(0, 100, 200)));
    // At 40: Color1 + 0.8 (Color2 - Color1).
    EXPECT_EQ(bands[4], static_cast<TColor>(RGB(80, 20, 240)));
    // At 50: that plus 0.2 (Color3 - Color2), not a fresh start at Color2.
    EXPECT_EQ(bands[5], static_cast<TColor>(RGB(60, 20, 190)));
    EXPECT_EQ(bands[8], static_cast<TColor>(RGB(0, 20, 40)));
    // Past the stop the components are clamped, and after the last boundary the colour stays.
    EXPECT_EQ(bands[9], static_cast<TColor>(RGB(0, 20, 0)));
    EXPECT_EQ(bands[10], static_cast<TColor>(RGB(0, 20, 0)));
}

TEST(ColorWalk, OneTransitionIsSolid)
{
    const TColor stops[5] = {RGB(10, 20, 30), clWhite, clBlack, clWhite, clBlack};
    for (TColor c : Walk(stops, 1, 100, 2, 50)) EXPECT_EQ(c, static_cast<TColor>(RGB(10, 20, 30)));
}

TEST(ColorWalk, RoundsTiesToEven)
{
    // One step of 1 over a segment of 2 moves each component by a half.
    const TColor stops[5] = {RGB(0, 1, 2), RGB(1, 2, 3), clBlack, clBlack, clBlack};
    auto bands = Walk(stops, 2, 2, 1, 2);
    EXPECT_EQ(bands[1], static_cast<TColor>(RGB(0, 2, 2)));  // 0.5, 1.5, 2.5
}

TEST(ColorWalk, SystemColoursAreResolvedFirst)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    const TColor stops[5] = {clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace};
    for (TColor c : Walk(stops, 4, 10, 3, 20)) EXPECT_EQ(c, static_cast<TColor>(face));
}

TEST(ColorWalk, UnsoundCountsSegmentsAndStepsAreClamped)
{
    const TColor stops[5] = {RGB(0, 0, 0), RGB(40, 40, 40), RGB(80, 80, 80), RGB(120, 120, 120),
                             RGB(160, 160, 160)};
    // Counts past 4 read no colour beyond the fifth. (With one-pixel segments every step
    // already follows the next segment's slope, so the walk stops one stop short.)
    auto many = Walk(stops, 200, 1, 1, 8);
    const int grey[8] = {0, 40, 80, 120, 120, 120, 120, 120};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(many[i], static_cast<TColor>(RGB(grey[i], grey[i], grey[i]))) << i;
    EXPECT_EQ(TColorWalk::SoundCount(0, 3), 3);
    EXPECT_EQ(TColorWalk::SoundCount(-5, 3), 3);
    EXPECT_EQ(TColorWalk::SoundCount(9, 3), 4);
    EXPECT_EQ(TColorWalk::SoundCount(2, 3), 2);
    // A segment or step below 1 counts as 1: no division by zero, the walk moves on.
    TColorWalk w(stops, 2, 0, 0);
    w.Next();
    EXPECT_EQ(w.Position(), 1);
    EXPECT_EQ(w.Color(), static_cast<TColor>(RGB(40, 40, 40)));
}

} // namespace
