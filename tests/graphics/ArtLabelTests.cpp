#include "ArtLabel.h"
#include "DrawUtils.h"
#include "Forms.h"
#include "Surface.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace pw;

namespace {

constexpr COLORREF Green = RGB(0, 128, 0);

// A label of "I"s in a large font, on a background of its own.
struct LabelFixture : testing::Test {
    TArtLabel Label{nullptr};
    LabelFixture()
    {
        Label.SetBounds(0, 0, 120, 60);
        Label.SetCaption("III");
        Label.Font()->SetHeight(-40);
        Label.Font()->SetColor(clRed);
        Label.SetColor(RGB(0, 128, 0));
    }
    // Where the caption's glyphs start: the left-justified origin.
    POINT Origin(const GlyphMap& g) { return POINT{2, std::max((Label.Height() - g.Height()) / 2, 2)}; }
    // Checks the painted pixels, Want taking positions relative to the caption's origin.
    void Expect(const Surface& s, const std::function<int(int gx, int gy)>& Want)
    {
        GlyphMap g(Label.Font(), Label.Caption());
        POINT o = Origin(g);
        ExpectPixels(s, [&](int x, int y) { return Want(x - o.x, y - o.y); });
    }
};

TEST_F(LabelFixture, StartsWithItsOwnValues)
{
    TArtLabel l(nullptr);
    EXPECT_EQ(l.Caption(), "Art Label");
    EXPECT_EQ(l.ArtStyle(), (TArtStyle{as3DRaise, asShadow}));
    EXPECT_EQ(l.Color(), clBtnFace);
    EXPECT_EQ(l.ShadowColor(), clGray);
    EXPECT_EQ(l.OutlineColor(), clWhite);
    EXPECT_EQ(l.ShadowLength(), 3);
    EXPECT_FALSE(l.Transparent());
    EXPECT_FALSE(l.AutoSize());
    EXPECT_EQ(l.TextAlign(), TAlignment::taLeftJustify);
    EXPECT_EQ(l.Width(), 64);
    EXPECT_EQ(l.Height(), 25);
    EXPECT_EQ(l.Font()->Name(), "Arial");
    EXPECT_EQ(l.Font()->Size(), 24);
    EXPECT_EQ(l.Font()->Style(), static_cast<TFontStyles>(fsBold));
    TGradient* g = l.Gradient();
    EXPECT_EQ(g->Color1(), clSilver);
    EXPECT_EQ(g->Color2(), clGray);
    EXPECT_EQ(g->Color3(), clBlack);
    EXPECT_EQ(g->Color4(), clWhite);
    EXPECT_EQ(g->Color5(), clBlack);
    EXPECT_EQ(g->ColorCount(), 3);
    EXPECT_EQ(g->LineSize(), 2);
    EXPECT_EQ(g->GradientStyle(), gsLine);
    EXPECT_EQ(g->LineDirection(), diHorizonal);
}

TEST_F(LabelFixture, NoStylePaintsOnlyTheBackground)
{
    Label.SetArtStyle({});
    Surface s(120, 60, RGB(1, 2, 3));
    Label.PaintTo(s.DC());
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(s.At(x, y), Green) << x << "," << y;
}

TEST_F(LabelFixture, ShadowLiesRightAndDownOfTheText)
{
    Label.SetArtStyle({asShadow});
    Label.SetShadowColor(clBlue);
    Label.SetShadowLength(4);
    Surface s(120, 60);
    Label.PaintTo(s.DC());
    GlyphMap g(Label.Font(), "III");
    Expect(s, [&](int gx, int gy) -> int {
        if (g.Solid(gx, gy)) return RGB(255, 0, 0);
        if (g.Solid(gx - 4, gy - 4) && g.Clear(gx, gy)) return RGB(0, 0, 255);
        if (g.Clear(gx, gy, 2) && g.Clear(gx - 4, gy - 4, 2)) return Green;
        return -1;
    });
}

TEST_F(LabelFixture, DefaultEffectsGiveAShadowALightAndADarkEdge)
{
    Surface s(120, 60);
    Label.PaintTo(s.DC());
    COLORREF light = ColorToRGB(LightenColor(Label.Color(), 64)), dark = ColorToRGB(DarkenColor(Label.Color(), 64));
    GlyphMap g(Label.Font(), "III");
    bool sawLight = false, sawDark = false, sawShadow = false;
    Expect(s, [&](int gx, int gy) -> int {
        if (g.Solid(gx, gy)) return RGB(255, 0, 0);
        // The light edge, drawn after the shadow and the dark edge, one pixel up and left.
        if (g.Clear(gx, gy, 0) && g.Solid(gx + 1, gy + 1, 0)) return sawLight = true, static_cast<int>(light);
        // The dark edge one pixel down and right, where nothing drawn later reaches.
        if (g.Clear(gx, gy, 0) && g.Solid(gx - 1, gy - 1, 0) && g.Clear(gx + 1, gy + 1, 0))
            return sawDark = true, static_cast<int>(dark);
        // The grey shadow three pixels down and right, beyond the dark edge.
        if (g.Clear(gx, gy, 0) && g.Clear(gx - 1, gy - 1, 0) && g.Clear(gx + 1, gy + 1, 0) && g.Solid(gx - 3, gy - 3, 0))
            return sawShadow = true, static_cast<int>(RGB(128, 128, 128));
        if (g.Clear(gx, gy, 4)) return Green;
        return -1;
    });
    EXPECT_TRUE(sawLight);
    EXPECT_TRUE(sawDark);
    EXPECT_TRUE(sawShadow);
}

TEST_F(LabelFixture, GradientFillsTheGlyphs)
{
    Label.SetArtStyle({asGradient});
    Label.Gradient()->SetColorCount(2);
    Label.Gradient()->SetLineDirection(diVertical);
    Label.Gradient()->SetLineSize(1);
    Label.Gradient()->SetColor1(RGB(255, 255, 0));
    Label.Gradient()->SetColor2(RGB(255, 255, 0));
    Label.Gradient()->SetColor3(RGB(0, 0, 255));
    Surface s(120, 60);
    Label.PaintTo(s.DC());
    GlyphMap g(Label.Font(), "III");
    // The gradient, yellow over the left half of the label and then toward blue, is scaled
    // to the caption's box: the left half of the letters is yellow, the right turns blue.
    int half = g.Width() / 2;
    Expect(s, [&](int gx, int gy) -> int {
        if (g.Solid(gx, gy, 1) && gx < half - 2) return RGB(255, 255, 0);
        if (g.Clear(gx, gy, 1)) return Green;
        return -1;
    });
    POINT o = Origin(g);
    int blue = 0;
    for (int gy = 0; gy < g.Height(); ++gy)
        for (int gx = half + 4; gx < g.Width(); ++gx)
            if (g.Solid(gx, gy, 1)) {
                COLORREF c = s.At(o.x + gx, o.y + gy);
                if (GetBValue(c) > 60 && GetRValue(c) < 200) ++blue;
            }
    EXPECT_GT(blue, 20);
}

TEST_F(LabelFixture, TheGradientPictureIsRebuiltOnlyWhenItChanged)
{
    Label.SetArtStyle({asGradient});
    Surface s(120, 60);
    Label.PaintTo(s.DC());
    int builds = Label.GradientBuilds();
    Label.PaintTo(s.DC());
    Label.SetColor(clBlue);
    Label.Font()->SetColor(clAqua);
    Label.PaintTo(s.DC());
    EXPECT_EQ(Label.GradientBuilds(), builds);
    Label.Gradient()->SetColor1(clRed);
    Label.Gradient()->SetColor2(clLime);
    Label.PaintTo(s.DC());
    EXPECT_EQ(Label.GradientBuilds(), builds + 1);
    Label.SetBounds(0, 0, 100, 50);
    Label.PaintTo(s.DC());
    EXPECT_EQ(Label.GradientBuilds(), builds + 2);
}

// Effects that exclude each other give way in one order: an outline over a 3-D edge, a sunk
// edge over a raised one; a gradient fill over a fitted picture, a fitted picture over a tiled
// one. Each pair is painted alone and together, and each alone must differ from the other.
TEST_F(LabelFixture, CompetingEffectsGiveWayInTheirOrder)
{
    Label.SetOutlineColor(clBlue);
    Label.Gradient()->SetColor1(clFuchsia);
    Label.Gradient()->SetColor2(clFuchsia);
    Label.Gradient()->SetColor3(clFuchsia);
    TBitmap picture(2, 1); // a yellow and a blue column
    SetPixel(picture.Canvas()->Handle(), 0, 0, RGB(255, 255, 0));
    SetPixel(picture.Canvas()->Handle(), 1, 0, RGB(0, 0, 255));
    Label.SetBitmap(&picture);
    auto pixels = [this](TArtStyle style) {
        Label.SetArtStyle(style);
        Surface s(120, 60);
        Label.PaintTo(s.DC());
        std::vector<COLORREF> all;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 120; ++x) all.push_back(s.At(x, y));
        return all;
    };
    struct Case {
        TArtStyleMember Winner, Loser;
    };
    for (const Case& c : {Case{asOutlined, as3DRaise}, Case{asOutlined, as3DSunk}, Case{as3DSunk, as3DRaise},
                          Case{asGradient, asBitmapFit}, Case{asGradient, asBitmap}, Case{asBitmapFit, asBitmap}}) {
        SCOPED_TRACE(testing::Message() << "effects " << int(c.Winner) << " over " << int(c.Loser));
        std::vector<COLORREF> winner = pixels({c.Winner});
        ASSERT_NE(winner, pixels({c.Loser})) << "the two effects must look different";
        EXPECT_TRUE(pixels({c.Winner, c.Loser}) == winner);
    }
}

TEST_F(LabelFixture, EmptyCaptionPaintsTheBackgroundWithEveryStyle)
{
    Label.SetCaption("");
    TBitmap picture(4, 4);
    Label.SetBitmap(&picture);
    for (bool transparent : {false, true})
        for (TArtStyle style : {TArtStyle{asGradient, asShadow, as3DSunk}, TArtStyle{asBitmap, asOutlined},
                                TArtStyle{asBitmapFit}}) {
            Label.SetArtStyle(style);
            Label.SetTransparent(transparent);
            Surface s(120, 60, RGB(1, 2, 3));
            EXPECT_NO_THROW(Label.PaintTo(s.DC()));
            EXPECT_EQ(s.At(60, 30), transparent ? RGB(1, 2, 3) : Green);
        }
}

TEST_F(LabelFixture, AutoSizeFollowsTheCaptionOutsidePainting)
{
    TMemoryDC dc;
    TCanvas measure(dc.Get());
    measure.Font()->Assign(Label.Font());
    Label.SetAutoSize(true);
    EXPECT_EQ(Label.Width(), measure.TextWidth("III") + 4);
    EXPECT_EQ(Label.Height(), measure.TextHeight("Wg") + 4);
    Label.SetCaption("IIIIII");
    EXPECT_EQ(Label.Width(), measure.TextWidth("IIIIII") + 4);
    Label.Font()->SetHeight(-20);
    measure.Font()->Assign(Label.Font());
    EXPECT_EQ(Label.Height(), measure.TextHeight("Wg") + 4);
    // Painting leaves the bounds alone.
    int w = Label.Width(), h = Label.Height();
    Surface s(200, 80);
    Label.PaintTo(s.DC());
    EXPECT_EQ(Label.Width(), w);
    EXPECT_EQ(Label.Height(), h);
}

// The label on a form, to see what it asks to repaint.
struct LabelOnForm : testing::Test {
    TForm Form{nullptr};
    TArtLabel* Label;
    LabelOnForm()
    {
        Form.SetBounds(0, 0, 200, 120);
        Form.SetColor(RGB(0, 0, 160));
        Label = new TArtLabel(&Form);
        Label->SetBounds(10, 10, 150, 60);
        Label->SetParent(&Form);
        Form.HandleNeeded();
        ShowWindow(Form.Handle(), SW_SHOWNA);
        UpdateWindow(Form.Handle());
    }
    bool Repaints(const std::function<void()>& Change)
    {
        ValidateRect(Form.Handle(), nullptr);
        Change();
        RECT r;
        return GetUpdateRect(Form.Handle(), &r, FALSE) != 0;
    }
};

TEST_F(LabelOnForm, StyleDependentColoursRepaintOnlyWhenTheirStyleIsSet)
{
    Label->SetArtStyle({as3DRaise});
    EXPECT_FALSE(Repaints([&] { Label->SetShadowColor(clRed); }));
    EXPECT_FALSE(Repaints([&] { Label->SetShadowLength(7); }));
    EXPECT_FALSE(Repaints([&] { Label->SetOutlineColor(clRed); }));
    EXPECT_FALSE(Repaints([&] { Label->Gradient()->SetColor1(clRed); }));
    EXPECT_TRUE(Repaints([&] { Label->SetArtStyle({asShadow, asOutlined, asGradient}); }));
    EXPECT_TRUE(Repaints([&] { Label->SetShadowColor(clBlue); }));
    EXPECT_TRUE(Repaints([&] { Label->SetOutlineColor(clBlue); }));
    EXPECT_TRUE(Repaints([&] { Label->Gradient()->SetColor1(clBlue); }));
    EXPECT_TRUE(Repaints([&] { Label->Font()->SetColor(clBlue); }));
    EXPECT_TRUE(Repaints([&] { Label->SetCaption("x"); }));
    EXPECT_FALSE(Repaints([&] { Label->SetCaption("x"); }));
}

TEST_F(LabelOnForm, TransparentLabelShowsTheParentsPaintingNotTheScreen)
{
    Label->SetTransparent(true);
    Label->SetArtStyle({asShadow});
    Label->SetCaption("I");
    Label->Font()->SetHeight(-40);
    Label->Font()->SetColor(clRed);
    // Whatever the label's DC held before (another window, say) must not show through.
    Surface s(150, 60, RGB(255, 0, 255));
    Label->PaintTo(s.DC());
    EXPECT_EQ(s.At(100, 5), RGB(0, 0, 160));
    EXPECT_EQ(s.At(149, 59), RGB(0, 0, 160));
    int red = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 150; ++x) {
            ASSERT_NE(s.At(x, y), RGB(255, 0, 255)) << x << "," << y;
            red += s.At(x, y) == RGB(255, 0, 0);
        }
    EXPECT_GT(red, 50);  // the caption itself
}

TEST_F(LabelOnForm, PaintingOnTheFormKeepsTheGdiObjectCountSteady)
{
    Label->SetArtStyle({asShadow, as3DSunk, asGradient});
    Label->SetTransparent(true);
    Surface s(150, 60);
    Label->PaintTo(s.DC());
    unsigned long before = pwtest::GdiObjectCount();
    for (int i = 0; i < 100; ++i) Label->PaintTo(s.DC());
    EXPECT_LE(pwtest::GdiObjectCount(), before + 2);
}

} // namespace
