// The ruler's measures without a window: the scale, marker rows, the rules of the markers.
#include "RulerGeometry.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

using K = TRulerMarkKind;

// The document window's ruler at 96 dots per inch: zero at x 10, small ticks every 9 pixels.
TRulerGeometry DocumentRuler()
{
    TRulerGeometry g;
    g.Width = 542;
    g.Height = 21;
    g.BorderLeft = g.BorderRight = 0;
    g.BorderUp = g.BorderDown = 3;
    g.MarginLeft = 10;
    g.MarginRight = 16;
    g.TabDist = 9;
    g.First = g.Left = 5;
    g.Right = 522;
    return g;
}

std::vector<TRulerMark> MarksBetween(const TRulerGeometry& g, int from, int to)
{
    std::vector<TRulerMark> r;
    for (const TRulerMark& m : g.Marks())
        if (m.X >= from && m.X <= to) r.push_back(m);
    return r;
}

} // namespace

TEST(RulerScale, CountsFromTheLeftMarginInBothDirections)
{
    TRulerGeometry g;  // a new ruler: zero at 5 + 30
    std::vector<TRulerMark> expected = {
        {5, K::rmSmallLine, ""}, {15, K::rmLargeLine, ""}, {25, K::rmSmallLine, ""}, {35, K::rmNumber, ""},
        {45, K::rmSmallLine, ""}, {55, K::rmLargeLine, ""}, {65, K::rmSmallLine, ""}, {75, K::rmNumber, "1"},
        {85, K::rmSmallLine, ""}, {95, K::rmLargeLine, ""}, {105, K::rmSmallLine, ""}, {115, K::rmNumber, "2"},
    };
    EXPECT_EQ(MarksBetween(g, 0, 115), expected);
    // The last column drawn is Width - BorderRight - 1.
    std::vector<TRulerMark> all = g.Marks();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().X, 285);
}

TEST(RulerScale, TheNumberOneStandsFourTabsFromTheZeroOnBothSides)
{
    TRulerGeometry g = DocumentRuler();
    g.MarginLeft = 60;
    std::vector<TRulerMark> marks = g.Marks();
    auto at = [&](int x) {
        std::vector<TRulerMark> r;
        for (auto& m : marks) if (m.X == x) r.push_back(m);
        return r;
    };
    EXPECT_EQ(at(60), (std::vector<TRulerMark>{{60, K::rmNumber, ""}})) << "no number at the zero";
    EXPECT_EQ(at(96), (std::vector<TRulerMark>{{96, K::rmNumber, "1"}}));
    EXPECT_EQ(at(24), (std::vector<TRulerMark>{{24, K::rmNumber, "1"}}));
    EXPECT_EQ(at(132), (std::vector<TRulerMark>{{132, K::rmNumber, "2"}}));
    EXPECT_EQ(at(78), (std::vector<TRulerMark>{{78, K::rmLargeLine, ""}}));
    EXPECT_EQ(at(69), (std::vector<TRulerMark>{{69, K::rmSmallLine, ""}}));
    EXPECT_EQ(at(87), (std::vector<TRulerMark>{{87, K::rmSmallLine, ""}}));
    EXPECT_TRUE(at(61).empty());
}

TEST(RulerScale, FactorMultipliesTheNumbers)
{
    TRulerGeometry g = DocumentRuler();
    g.Factor = 5;
    EXPECT_EQ(g.NumberLabel(36), "5");
    EXPECT_EQ(g.NumberLabel(72), "10");
    EXPECT_EQ(g.NumberLabel(35), "");
}

TEST(RulerScale, WithoutNumbersLargeLinesStandWhereNumbersWould)
{
    TRulerGeometry g = DocumentRuler();
    g.ShowNumbers = false;
    EXPECT_EQ(MarksBetween(g, 46, 46), (std::vector<TRulerMark>{{46, K::rmLargeLine, ""}}));
    EXPECT_EQ(MarksBetween(g, 10, 10), (std::vector<TRulerMark>{{10, K::rmLargeLine, ""}}));
    g.ShowLargeLines = false;
    EXPECT_TRUE(MarksBetween(g, 10, 46).size() == 2u) << "only the small lines at 19 and 37 are left";
    g.ShowSmallLines = false;
    EXPECT_TRUE(g.Marks().empty());
}

TEST(RulerScale, AZeroTabDistanceCountsAsOne)
{
    TRulerGeometry g = DocumentRuler();
    g.TabDist = 0;
    EXPECT_EQ(MarksBetween(g, 10, 14).size(), 5u);
    EXPECT_EQ(g.NumberLabel(8), "2");
}

TEST(RulerScale, TickRowsAreCentred)
{
    TRulerGeometry g = DocumentRuler();
    EXPECT_EQ(g.SmallTickTop(), 9);
    EXPECT_EQ(g.LargeTickTop(), 8);
}

TEST(RulerMarkers, RowsFollowTheBorders)
{
    TRulerGeometry g;  // height 25, borders 5
    EXPECT_EQ(g.FirstMarkerTop(), 2);
    EXPECT_EQ(g.LeftMarkerTop(), 12);
    EXPECT_EQ(g.BlockMarkerTop(), 20);
    TRulerGeometry d = DocumentRuler();  // height 21, borders 3
    EXPECT_EQ(d.FirstMarkerTop(), 0);
    EXPECT_EQ(d.LeftMarkerTop(), 8);
    EXPECT_EQ(d.BlockMarkerTop(), 16);
    d.BorderUp = 40;
    d.BorderDown = -20;
    EXPECT_EQ(d.FirstMarkerTop(), 13) << "at most Height - 8";
    EXPECT_EQ(d.LeftMarkerTop(), 8) << "at most Height - 13";
    d.BorderDown = 30;
    EXPECT_EQ(d.LeftMarkerTop(), 0);
}

TEST(RulerMarkers, TheRightMarkerKeepsMoreThanTheMinimumDistance)
{
    TRulerGeometry g;  // 45, 45, 250
    EXPECT_TRUE(g.FirstAllowed(199));
    EXPECT_FALSE(g.FirstAllowed(200)) << "exactly 50 from the right marker";
    EXPECT_FALSE(g.LeftAllowed(200));
    EXPECT_TRUE(g.RightAllowed(96));
    EXPECT_FALSE(g.RightAllowed(95));
    g.First = 100;
    EXPECT_FALSE(g.RightAllowed(150)) << "also measured from the first-line marker";
    EXPECT_FALSE(g.FirstAllowed(-1));
    EXPECT_TRUE(g.RightAllowed(295));
    EXPECT_FALSE(g.RightAllowed(296)) << "Width - 4 is off the ruler";
    EXPECT_FALSE(g.FirstAllowed(100)) << "no move to where it is";
    EXPECT_EQ(g.LastMarkerX(), 295);
}

TEST(RulerMarkers, MarginsStayInsideTheRuler)
{
    TRulerGeometry g;  // width 300, margins 30 and 20, borders 5
    EXPECT_TRUE(g.MarginLeftAllowed(270));
    EXPECT_FALSE(g.MarginLeftAllowed(271));
    EXPECT_TRUE(g.MarginRightAllowed(260));
    EXPECT_FALSE(g.MarginRightAllowed(261));
    EXPECT_FALSE(g.MarginLeftAllowed(-1));
    EXPECT_TRUE(g.MarginLeftAllowed(0));
    EXPECT_FALSE(g.MarginRightAllowed(20));
}

TEST(RulerMarkers, MarginEdgesAreFoundWithinTwoPixels)
{
    TRulerGeometry g;  // edges at 35 and 275
    EXPECT_EQ(g.MarginAt(32), idNoMargin);
    EXPECT_EQ(g.MarginAt(33), idLeftMargin);
    EXPECT_EQ(g.MarginAt(37), idLeftMargin);
    EXPECT_EQ(g.MarginAt(38), idNoMargin);
    EXPECT_EQ(g.MarginAt(273), idRightMargin);
    EXPECT_EQ(g.MarginAt(277), idRightMargin);
    EXPECT_EQ(g.MarginAt(278), idNoMargin);
}

TEST(RulerSteps, PositionsAreRoundedDownToTheStep)
{
    EXPECT_EQ(SnapToStep(57, 10), 50);
    EXPECT_EQ(SnapToStep(60, 10), 60);
    EXPECT_EQ(SnapToStep(-7, 10), 0) << "division toward zero";
    EXPECT_EQ(SnapToStep(57, 1), 57);
    EXPECT_EQ(SnapToStep(57, 0), 57) << "a step of 0 would divide by zero";
}
