// The document window's ruler: pixels to points and back.
#include "RulerBinding.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {
constexpr double P96 = 96 / 72.0;  // pixels per point at 96 dots per inch
}

TEST(RulerUnits, RoundingTiesGoToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

TEST(RulerUnits, TabDistanceIsTwoAndAHalfMillimetres)
{
    EXPECT_EQ(TabDistForResolution(96), 9);
    EXPECT_EQ(TabDistForResolution(120), 12);
    EXPECT_EQ(TabDistForResolution(72), 7);
    EXPECT_EQ(TabDistForResolution(5), 1) << "0.49 pixels would make a zero step";
    EXPECT_EQ(TabDistForResolution(0), 1);
}

TEST(RulerUnits, MarkersGiveIndentsInPoints)
{
    // The first-line marker at the margin's zero: (5 - 10) / p + 4.
    constexpr double eps = 1e-9;
    EXPECT_NEAR(StartIndentFor(5, 10, P96), 0.25, eps);
    EXPECT_NEAR(StartIndentFor(45, 10, P96), 30.25, eps);
    EXPECT_NEAR(IndentOffsetFor(45, 25, P96), -15, eps);
    EXPECT_NEAR(IndentOffsetFor(5, 5, P96), 0, eps);
    // Right marker 4 pixels plus 30 points (40 pixels) left of the right margin.
    EXPECT_NEAR(RightIndentFor(482, 542, 16, P96), 30, eps);
    EXPECT_EQ(RightMarkerFor(30, 542, 16, P96), 482);
    EXPECT_EQ(RightMarkerFor(0, 542, 16, P96), 522);
    EXPECT_EQ(RightMarkerFor(0.375, 542, 16, P96), 522) << "521.5 rounds to the even 522";
    EXPECT_EQ(RightMarkerFor(1.125, 542, 16, P96), 520) << "520.5 rounds to the even 520";
}

TEST(RulerUnits, AParagraphPlacesTheMarkersWhereADragWouldHaveWrittenIt)
{
    TIndentMarkers m = MarkersFor({0.25, 0, 0}, 542, 10, 16, P96);
    EXPECT_EQ(m.First, 5);
    EXPECT_EQ(m.Left, 5);
    EXPECT_EQ(m.Right, 522);
    m = MarkersFor({30.25, -15, 30}, 542, 10, 16, P96);
    EXPECT_EQ(m.First, 45);
    EXPECT_EQ(m.Left, 25);
    EXPECT_EQ(m.Right, 482);
    // Round trips: each marker position gives back the same position.
    for (int first = 0; first < 200; ++first) {
        TParagraphIndents p{StartIndentFor(first, 10, P96), IndentOffsetFor(first, 60, P96),
                            RightIndentFor(400 + first, 542, 16, P96)};
        TIndentMarkers back = MarkersFor(p, 542, 10, 16, P96);
        ASSERT_EQ(back.First, first);
        ASSERT_EQ(back.Left, 60) << "first " << first;
        ASSERT_EQ(back.Right, 400 + first);
    }
}
