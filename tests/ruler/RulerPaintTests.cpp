// What the ruler draws: frame, margin zones, the scale and the markers, read back as pixels.
#include "RulerFixture.h"

using namespace pw;

namespace {

COLORREF Black() { return RGB(0, 0, 0); }

// Whether any pixel of the rectangle has the colour.
bool AnyPixel(HWND h, RECT r, COLORREF c)
{
    HDC dc = GetDC(h);
    bool found = false;
    for (int y = r.top; y < r.bottom && !found; ++y)
        for (int x = r.left; x < r.right && !found; ++x) found = GetPixel(dc, x, y) == c;
    ReleaseDC(h, dc);
    return found;
}

} // namespace

TEST_F(RulerTest, ANewRulerHasItsMarkersAt45And250)
{
    EXPECT_EQ(Ruler->Width(), 300);
    EXPECT_EQ(Ruler->Height(), 25);
    EXPECT_EQ(Ruler->IndentFirst(), 45);
    EXPECT_EQ(Ruler->IndentLeft(), 45);
    EXPECT_EQ(Ruler->IndentRight(), 250);
    EXPECT_EQ(Ruler->Marker(idBlockIndent)->Left(), 45);
    EXPECT_EQ(Ruler->RulerTab(), 10);
    EXPECT_EQ(Ruler->TabDist(), 10);
    EXPECT_EQ(Ruler->Font()->Name(), "Small Fonts");
    EXPECT_EQ(Ruler->Font()->Size(), 7);
}

TEST_F(RulerTest, MarginZonesAreInTheButtonShadowColour)
{
    // Borders 5, margins 30 and 20: zones 5..34 and 275..294 between y 5 and 19.
    EXPECT_EQ(RulerPixel(2, 2), Sys(COLOR_BTNFACE)) << "frame";
    EXPECT_EQ(RulerPixel(297, 22), Sys(COLOR_BTNFACE)) << "frame";
    EXPECT_EQ(RulerPixel(8, 6), Sys(COLOR_BTNSHADOW)) << "left margin";
    EXPECT_EQ(RulerPixel(32, 18), Sys(COLOR_BTNSHADOW)) << "left margin";
    EXPECT_EQ(RulerPixel(288, 6), Sys(COLOR_BTNSHADOW)) << "right margin";
    EXPECT_EQ(RulerPixel(100, 6), Sys(COLOR_WINDOW)) << "text zone";
    // The margin handles: 2 pixels at each edge, in button face.
    EXPECT_EQ(RulerPixel(34, 6), Sys(COLOR_BTNFACE));
    EXPECT_EQ(RulerPixel(35, 6), Sys(COLOR_BTNFACE));
    EXPECT_EQ(RulerPixel(36, 6), Sys(COLOR_WINDOW));
    EXPECT_EQ(RulerPixel(274, 6), Sys(COLOR_BTNFACE));
    EXPECT_EQ(RulerPixel(273, 6), Sys(COLOR_WINDOW));
}

TEST_F(RulerTest, AMarginOfZeroHasItsHandleInButtonShadow)
{
    Ruler->SetMarginRight(0);
    EXPECT_EQ(RulerPixel(294, 6), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(RulerPixel(295, 6), Sys(COLOR_BTNSHADOW));
    Ruler->SetShowMarginHandlers(false);
    EXPECT_EQ(RulerPixel(35, 6), Sys(COLOR_WINDOW)) << "no handle drawn";
}

TEST_F(RulerTest, TicksStandInTheirRowsFromTheLeftMargin)
{
    // Zero at 35, TabDist 10: small ticks at y 11..12, large ticks at y 10..14.
    for (int x : {65, 25, 105}) {
        EXPECT_EQ(RulerPixel(x, 11), Black()) << "small tick at " << x;
        EXPECT_EQ(RulerPixel(x, 12), Black()) << "small tick at " << x;
        EXPECT_NE(RulerPixel(x, 13), Black()) << "small tick at " << x;
        EXPECT_NE(RulerPixel(x, 10), Black()) << "small tick at " << x;
    }
    for (int x : {55, 95, 15}) {
        EXPECT_NE(RulerPixel(x, 9), Black()) << "large tick at " << x;
        for (int y = 10; y <= 14; ++y) EXPECT_EQ(RulerPixel(x, y), Black()) << "large tick at " << x << "," << y;
        EXPECT_NE(RulerPixel(x, 15), Black()) << "large tick at " << x;
    }
    EXPECT_NE(RulerPixel(66, 11), Black()) << "nothing between ticks";
}

TEST_F(RulerTest, NumbersCountCentimetresButNotAtTheZero)
{
    Ruler->Repaint();
    HWND h = Ruler->Handle();
    EXPECT_TRUE(AnyPixel(h, RECT{71, 5, 80, 20}, Black())) << "the 1 at 75";
    EXPECT_TRUE(AnyPixel(h, RECT{111, 5, 120, 20}, Black())) << "the 2 at 115";
    EXPECT_FALSE(AnyPixel(h, RECT{30, 5, 41, 20}, Black())) << "no number at the zero (35)";
    // Without numbers a large tick stands at 75.
    Ruler->SetShowNumbers(false);
    Ruler->Repaint();
    for (int y = 10; y <= 14; ++y) EXPECT_EQ(RulerPixel(75, y), Black());
    EXPECT_FALSE(AnyPixel(h, RECT{71, 5, 75, 20}, Black()));
}

TEST_F(RulerTest, AtNinetySixDotsPerInchTheNumbersCountCentimetres)
{
    // The document window's ruler: no borders left and right, TabDist 9 (2.5 mm at 96 dpi);
    // with the zero at 60 the number 1 stands 36 pixels away on both sides.
    Ruler->SetBorderLeft(0);
    Ruler->SetBorderRight(0);
    Ruler->SetBorderUp(3);
    Ruler->SetBorderDown(3);
    Ruler->SetHeight(21);
    Ruler->SetMarginLeft(60);
    Ruler->SetTabDist(9);
    Ruler->SetShowIndents(false);
    HWND h = Ruler->Handle();
    Ruler->Repaint();
    EXPECT_TRUE(AnyPixel(h, RECT{93, 3, 100, 18}, Black())) << "1 at 96";
    EXPECT_TRUE(AnyPixel(h, RECT{21, 3, 28, 18}, Black())) << "1 at 24";
    EXPECT_TRUE(AnyPixel(h, RECT{129, 3, 136, 18}, Black())) << "2 at 132";
    EXPECT_FALSE(AnyPixel(h, RECT{56, 3, 65, 18}, Black())) << "nothing at the zero";
    // Height 21: small ticks cover y 9..10, large ticks y 8..12.
    EXPECT_EQ(RulerPixel(69, 9), Black());
    EXPECT_EQ(RulerPixel(69, 10), Black());
    EXPECT_NE(RulerPixel(69, 11), Black());
    EXPECT_NE(RulerPixel(69, 8), Black());
    for (int y = 8; y <= 12; ++y) EXPECT_EQ(RulerPixel(78, y), Black()) << "large tick at 78," << y;
    EXPECT_NE(RulerPixel(78, 13), Black());
    EXPECT_EQ(RulerPixel(51, 9), Black()) << "small tick left of the zero";
    EXPECT_EQ(RulerPixel(42, 10), Black()) << "large tick left of the zero";
}

TEST_F(RulerTest, MarkersAreDrawnWhereTheirIndentsAre)
{
    // First-line marker at (45, 2): a point downwards.
    EXPECT_EQ(RulerPixel(45, 2), Black());
    EXPECT_EQ(RulerPixel(53, 2), Black());
    EXPECT_EQ(RulerPixel(49, 9), Black());
    EXPECT_EQ(RulerPixel(46, 3), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(RulerPixel(49, 4), Sys(COLOR_BTNFACE));
    // Left marker at (45, 12): a point upwards; outside its shape the ruler shows through.
    EXPECT_EQ(RulerPixel(49, 12), Black());
    EXPECT_EQ(RulerPixel(45, 19), Black());
    EXPECT_EQ(RulerPixel(53, 19), Black());
    EXPECT_EQ(RulerPixel(46, 16), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(RulerPixel(51, 17), Sys(COLOR_BTNFACE));
    EXPECT_EQ(RulerPixel(53, 12), Sys(COLOR_WINDOW));
    // Block marker at (45, 20).
    EXPECT_EQ(RulerPixel(45, 20), Black());
    EXPECT_EQ(RulerPixel(53, 24), Black());
    EXPECT_EQ(RulerPixel(47, 20), Sys(COLOR_BTNHIGHLIGHT));
    // Right marker at (250, 12).
    EXPECT_EQ(RulerPixel(254, 12), Black());
    EXPECT_EQ(RulerPixel(250, 19), Black());
    EXPECT_EQ(RulerPixel(258, 12), Sys(COLOR_WINDOW));
    // Hidden markers draw nothing.
    Ruler->SetShowIndents(false);
    EXPECT_NE(RulerPixel(254, 12), Black());
    EXPECT_FALSE(Ruler->Marker(idRightIndent)->Visible());
}

TEST_F(RulerTest, ADraggedMarkerLeavesAGhostUntilReleased)
{
    Ruler->SetRulerTab(1);
    Press(MarkerX(idRightIndent), MarkerY(idRightIndent));
    Move(MarkerX(idRightIndent) + 20, MarkerY(idRightIndent));
    ASSERT_EQ(Ruler->IndentRight(), 270);
    EXPECT_EQ(RulerPixel(254, 12), Sys(COLOR_BTNSHADOW)) << "ghost outline where the drag began";
    EXPECT_EQ(RulerPixel(274, 12), Black()) << "the marker where it is now";
    Release(274, MarkerY(idRightIndent));
    EXPECT_EQ(RulerPixel(254, 12), Sys(COLOR_WINDOW)) << "the ghost goes with the release";
}
