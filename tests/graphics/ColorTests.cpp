#include "DrawUtils.h"

#include "WinApi.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

TEST(ColorArithmetic, SplitGivesTheThreeComponents)
{
    int r = -1, g = -1, b = -1;
    SplitRGB(0x123456, r, g, b);
    EXPECT_EQ(r, 0x56);
    EXPECT_EQ(g, 0x34);
    EXPECT_EQ(b, 0x12);
    SplitRGB(static_cast<TColor>(0xFFFFFFFF), r, g, b);  // the top byte is not a component
    EXPECT_EQ(r, 255);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
}

TEST(ColorArithmetic, ClampRoundsTiesToEvenAndLimits)
{
    const struct { float In; int Out; } cases[] = {
        {2.5f, 2}, {3.5f, 4}, {-0.4f, 0}, {-0.5f, 0}, {0.5f, 0}, {1.5f, 2}, {254.5f, 254}, {255.4f, 255},
        {255.5f, 255}, {300.0f, 255}, {-300.0f, 0}, {127.49f, 127}, {127.51f, 128},
    };
    for (const auto& c : cases) EXPECT_EQ(ClampToByte(c.In), c.Out) << c.In;
}

TEST(ColorArithmetic, RealsMakeAnRGBColour)
{
    EXPECT_EQ(RGBFromReals(1.5f, 2.5f, 300.0f), static_cast<TColor>(RGB(2, 2, 255)));
    EXPECT_EQ(RGBFromReals(-1.0f, 128.0f, 64.6f), static_cast<TColor>(RGB(0, 128, 65)));
}

TEST(ColorArithmetic, LightenAndDarkenStopAtTheLimits)
{
    EXPECT_EQ(LightenColor(RGB(200, 200, 200), 64), clWhite);
    EXPECT_EQ(DarkenColor(RGB(32, 32, 32), 64), clBlack);
    EXPECT_EQ(LightenColor(RGB(10, 100, 250), 10), static_cast<TColor>(RGB(20, 110, 255)));
    EXPECT_EQ(DarkenColor(RGB(10, 100, 250), 20), static_cast<TColor>(RGB(0, 80, 230)));
    EXPECT_EQ(LightenColor(RGB(1, 2, 3), 0), static_cast<TColor>(RGB(1, 2, 3)));
}

TEST(ColorArithmetic, SystemColoursAreResolvedBeforeTheArithmetic)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int r = GetRValue(face), g = GetGValue(face), b = GetBValue(face);
    auto up = [](int v) { return v + 64 > 255 ? 255 : v + 64; };
    auto down = [](int v) { return v - 64 < 0 ? 0 : v - 64; };
    EXPECT_EQ(LightenColor(clBtnFace, 64), static_cast<TColor>(RGB(up(r), up(g), up(b))));
    EXPECT_EQ(DarkenColor(clBtnFace, 64), static_cast<TColor>(RGB(down(r), down(g), down(b))));
}

} // namespace
