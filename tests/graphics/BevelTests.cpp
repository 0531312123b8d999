#include "DUXBevel.h"
#include "Surface.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;

namespace {

constexpr COLORREF W = RGB(255, 255, 255), K = RGB(0, 0, 0), G = RGB(0, 128, 0);

// Paints a bevel on green and gives its pixels as rows of 'w' (white), 'k' (black), '.' (green).
std::vector<std::string> Paint(TBevelShape shape, TBevelStyle style, int w, int h)
{
    TDUXBevel b(nullptr);
    b.SetBounds(0, 0, w, h);
    b.SetShape(shape);
    b.SetStyle(style);
    Surface s(w, h, G);
    b.PaintTo(s.DC());
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string r;
        for (int x = 0; x < w; ++x) r += s.At(x, y) == W ? 'w' : s.At(x, y) == K ? 'k' : s.At(x, y) == G ? '.' : '?';
        rows.push_back(r);
    }
    return rows;
}

using Rows = std::vector<std::string>;

TEST(DUXBevel, StartsWhiteAndBlack)
{
    TDUXBevel b(nullptr);
    EXPECT_EQ(b.Highlight(), clWhite);
    EXPECT_EQ(b.Shadow(), clBlack);
    EXPECT_EQ(b.Shape(), TBevelShape::bsBox);
    EXPECT_EQ(b.Style(), TBevelStyle::bsLowered);
    EXPECT_EQ(b.About(), "");
    b.SetAbout(std::string(40, 'a'));
    EXPECT_EQ(b.About().size(), 32u);
}

TEST(DUXBevel, LoweredFrameIsABlackRectangleOverAWhiteOne)
{
    EXPECT_EQ(Paint(TBevelShape::bsFrame, TBevelStyle::bsLowered, 8, 6), (Rows{
                  "kkkkkkk.",
                  "kwwwwwkw",
                  "kw....kw",
                  "kw....kw",
                  "kkkkkkkw",
                  ".wwwwwww",
              }));
}

TEST(DUXBevel, RaisedFrameSwapsTheColours)
{
    EXPECT_EQ(Paint(TBevelShape::bsFrame, TBevelStyle::bsRaised, 8, 6), (Rows{
                  "wwwwwww.",
                  "wkkkkkwk",
                  "wk....wk",
                  "wk....wk",
                  "wwwwwwwk",
                  ".kkkkkkk",
              }));
}

TEST(DUXBevel, RaisedBoxIsLightUpLeftAndDarkDownRight)
{
    EXPECT_EQ(Paint(TBevelShape::bsBox, TBevelStyle::bsRaised, 6, 5), (Rows{
                  "wwwwwk",
                  "w....k",
                  "w....k",
                  "w....k",
                  "wkkkkk",
              }));
    EXPECT_EQ(Paint(TBevelShape::bsBox, TBevelStyle::bsLowered, 6, 5), (Rows{
                  "kkkkkw",
                  "k....w",
                  "k....w",
                  "k....w",
                  "kwwwww",
              }));
}

TEST(DUXBevel, LinesTakeTwoRowsOrColumns)
{
    Rows top = Paint(TBevelShape::bsTopLine, TBevelStyle::bsLowered, 5, 10);
    EXPECT_EQ(top[0], "kkkkk");
    EXPECT_EQ(top[1], "wwwww");
    for (int y = 2; y < 10; ++y) EXPECT_EQ(top[static_cast<size_t>(y)], ".....") << y;
    EXPECT_EQ(Paint(TBevelShape::bsBottomLine, TBevelStyle::bsRaised, 5, 4), (Rows{".....", ".....", "wwwww", "kkkkk"}));
    EXPECT_EQ(Paint(TBevelShape::bsLeftLine, TBevelStyle::bsLowered, 4, 3), (Rows{"kw..", "kw..", "kw.."}));
    EXPECT_EQ(Paint(TBevelShape::bsRightLine, TBevelStyle::bsRaised, 4, 3), (Rows{"..wk", "..wk", "..wk"}));
}

TEST(Bevel, TheFrameworkBevelUsesTheButtonColours)
{
    TBevel b(nullptr);
    b.SetBounds(0, 0, 6, 5);
    b.SetStyle(TBevelStyle::bsRaised);
    Surface s(6, 5, G);
    b.PaintTo(s.DC());
    EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(s.At(5, 4), GetSysColor(COLOR_BTNSHADOW));
}

TEST(DUXBevel, SettingAColourRepaintsEvenWhenUnchanged)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 100, 100);
    auto* b = new TDUXBevel(&form);
    b->SetBounds(10, 10, 30, 30);
    b->SetParent(&form);
    form.HandleNeeded();
    ShowWindow(form.Handle(), SW_SHOWNA);
    for (auto set : {std::function<void()>([b] { b->SetHighlight(clWhite); }),
                     std::function<void()>([b] { b->SetShadow(clBlack); })}) {
        ValidateRect(form.Handle(), nullptr);
        set();
        RECT r;
        ASSERT_TRUE(GetUpdateRect(form.Handle(), &r, FALSE));
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.bottom, 40);
    }
}

} // namespace
