// Dragging markers and margins through real mouse messages, and the guide line it draws.
#include "RulerFixture.h"

#include <algorithm>

using namespace pw;

using Log = std::vector<std::string>;

// ---- Markers ----

TEST_F(RulerTest, AMarkerMovesInStepsOfTheRulerTab)
{
    int y = MarkerY(idFirstIndent);
    Press(49, y);  // 4 pixels into the marker
    EXPECT_EQ(Events, Log{"click 0"});
    Move(66, y);   // 66 - 4 = 62: down to 60
    EXPECT_EQ(Ruler->IndentFirst(), 60);
    Move(72, y);   // 68: still 60
    EXPECT_EQ(Ruler->IndentFirst(), 60);
    Move(74, y);   // 70
    EXPECT_EQ(Ruler->IndentFirst(), 70);
    EXPECT_EQ(Ruler->IndentLeft(), 45) << "only the first-line marker moves";
    Release(74, y);
    EXPECT_EQ(Events, (Log{"click 0", "drag 0", "drag 0", "change 0"}));
    // With a step of 1 the marker follows the mouse.
    Events.clear();
    Ruler->SetRulerTab(1);
    Drag(MarkerX(idFirstIndent), y, 77);
    EXPECT_EQ(Ruler->IndentFirst(), 73);
    EXPECT_EQ(Events, (Log{"click 0", "drag 0", "change 0"}));
}

TEST_F(RulerTest, AStepOfZeroCountsAsOne)
{
    Ruler->SetRulerTab(0);
    EXPECT_EQ(Ruler->RulerTab(), 1);
    Ruler->SetRulerTab(300);
    EXPECT_EQ(Ruler->RulerTab(), 255);
    Ruler->SetRulerTab(0);
    Drag(MarkerX(idLeftIndent), MarkerY(idLeftIndent), 52);
    EXPECT_EQ(Ruler->IndentLeft(), 48);
    Ruler->SetTabDist(0);
    EXPECT_EQ(Ruler->TabDist(), 1);
    Ruler->Repaint();  // a scale step of 0 would divide by zero here
}

TEST_F(RulerTest, MarkersKeepMoreThanFiftyPixelsFromTheRightMarker)
{
    Ruler->SetRulerTab(1);
    int y = MarkerY(idLeftIndent);
    Press(49, y);
    Move(203, y);  // 199: 51 from the right marker
    EXPECT_EQ(Ruler->IndentLeft(), 199);
    Move(204, y);  // 200: refused, the marker stays
    EXPECT_EQ(Ruler->IndentLeft(), 199);
    Move(240, y);
    EXPECT_EQ(Ruler->IndentLeft(), 199);
    Release(240, y);
    Events.clear();
    // The right marker keeps the distance from either marker.
    y = MarkerY(idRightIndent);
    Press(254, y);
    Move(254 - 51, y);  // 199 - 199 = 0: refused
    EXPECT_EQ(Ruler->IndentRight(), 250);
    Move(254, y);
    Release(254, y);
    Ruler->SetIndentLeft(45);
    Ruler->SetIndentFirst(100);
    Press(254, y);
    Move(155, y);  // 151: 51 from the first-line marker
    EXPECT_EQ(Ruler->IndentRight(), 151);
    Move(154, y);  // 150: refused
    EXPECT_EQ(Ruler->IndentRight(), 151);
    Release(154, y);
    // And it cannot leave the ruler.
    Press(155, y);
    Move(300, y);
    EXPECT_EQ(Ruler->IndentRight(), 151);
    Move(299, y);  // 295 = Width - 5
    EXPECT_EQ(Ruler->IndentRight(), 295);
    Release(299, y);
}

TEST_F(RulerTest, TheBlockMarkerMovesBothLeftMarkers)
{
    Ruler->SetRulerTab(1);
    Ruler->SetIndentFirst(60);
    int y = MarkerY(idBlockIndent);
    Press(49, y);
    Move(69, y);
    EXPECT_EQ(Ruler->IndentLeft(), 65);
    EXPECT_EQ(Ruler->Marker(idBlockIndent)->Left(), 65);
    EXPECT_EQ(Ruler->IndentFirst(), 80) << "moved by the same mouse distance";
    Release(69, y);
    EXPECT_EQ(Events, (Log{"click 3", "drag 1", "drag 0", "change 3"}));
    // When the first-line marker would come too close to the right marker, only the left one moves.
    Ruler->SetIndentFirst(150);
    Events.clear();
    Press(69, y);
    Move(129, y);
    EXPECT_EQ(Ruler->IndentLeft(), 125);
    EXPECT_EQ(Ruler->IndentFirst(), 150);
    Release(129, y);
    EXPECT_EQ(Events, (Log{"click 3", "drag 1", "change 3"}));
}

TEST_F(RulerTest, ADoubleClickFiresClickChangeAndDoubleClickOnceEach)
{
    int x = MarkerX(idRightIndent), y = MarkerY(idRightIndent);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Send(WM_LBUTTONUP, 0, x, y);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
    Send(WM_MOUSEMOVE, MK_LBUTTON, x + 30, y);
    Send(WM_LBUTTONUP, 0, x + 30, y);
    EXPECT_EQ(Events, (Log{"click 2", "change 2", "dblclick 2"}));
    EXPECT_EQ(Ruler->IndentRight(), 250) << "the second press starts no drag";
    // The press after that starts a drag again.
    Events.clear();
    Drag(x, y, x + 10);
    EXPECT_EQ(Events, (Log{"click 2", "drag 2", "change 2"}));
}

TEST_F(RulerTest, OnlyTheLeftButtonDragsAMarker)
{
    int x = MarkerX(idFirstIndent), y = MarkerY(idFirstIndent);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, x, y);
    Send(WM_MOUSEMOVE, MK_RBUTTON, x + 30, y);
    Send(WM_RBUTTONUP, 0, x + 30, y);
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(Ruler->IndentFirst(), 45);
}

// ---- Margins ----

TEST_F(RulerTest, DraggingTheLeftMarginMovesTheLeftMarkers)
{
    Press(35, 7);  // the left edge: 5 + 30
    EXPECT_EQ(Events, Log{"margin click 0"});
    Move(45, 7);
    EXPECT_EQ(Ruler->MarginLeft(), 40);
    EXPECT_EQ(Ruler->IndentFirst(), 55);
    EXPECT_EQ(Ruler->IndentLeft(), 55);
    EXPECT_EQ(Ruler->Marker(idBlockIndent)->Left(), 55);
    EXPECT_EQ(Ruler->IndentRight(), 250);
    Release(45, 7);
    EXPECT_EQ(Events, (Log{"margin click 0", "margin drag 0", "margin change 0"}));
    EXPECT_FALSE(Ruler->Dragging());
}

TEST_F(RulerTest, DraggingTheRightMarginMovesTheRightMarker)
{
    Press(276, 7);  // within 2 pixels of the right edge at 275
    Move(265, 7);   // 300 - 5 - 265 = 30
    EXPECT_EQ(Ruler->MarginRight(), 30);
    EXPECT_EQ(Ruler->IndentRight(), 240) << "the margin grew by 10";
    Release(265, 7);
    EXPECT_EQ(Events, (Log{"margin click 1", "margin drag 1", "margin change 1"}));
}

TEST_F(RulerTest, APressAwayFromTheEdgesDragsNoMargin)
{
    Press(38, 7);
    Move(60, 7);
    Release(60, 7);
    EXPECT_TRUE(Events.empty());
    EXPECT_EQ(Ruler->MarginLeft(), 30);
    Ruler->SetShowMarginHandlers(false);
    Press(35, 7);
    Move(60, 7);
    Release(60, 7);
    EXPECT_TRUE(Events.empty()) << "without handlers the margins do not move";
    EXPECT_EQ(Ruler->MarginLeft(), 30);
}

TEST_F(RulerTest, TheCursorShowsWhereAMarginCanBeDragged)
{
    Send(WM_MOUSEMOVE, 0, 37, 7);
    EXPECT_EQ(Ruler->Cursor(), crSizeWE);
    Send(WM_MOUSEMOVE, 0, 38, 7);
    EXPECT_EQ(Ruler->Cursor(), crDefault);
    Send(WM_MOUSEMOVE, 0, 273, 7);
    EXPECT_EQ(Ruler->Cursor(), crSizeWE);
    EXPECT_EQ(Ruler->Marker(idFirstIndent)->Cursor(), crArrow);
}

TEST_F(RulerTest, MarginSettersKeepTheMarginsOnTheRuler)
{
    Ruler->SetMarginLeft(271);  // more than 300 - 20 - 5 - 5
    EXPECT_EQ(Ruler->MarginLeft(), 30);
    Ruler->SetMarginLeft(-1);
    EXPECT_EQ(Ruler->MarginLeft(), 30);
    Ruler->SetMarginLeft(20);
    EXPECT_EQ(Ruler->MarginLeft(), 20);
    EXPECT_EQ(Ruler->IndentFirst(), 35);
    EXPECT_TRUE(Events.empty()) << "no drag events outside a drag";
}

// ---- Resizing ----

TEST_F(RulerTest, ANarrowerRulerKeepsItsRightMarkerInReach)
{
    Ruler->SetWidth(200);
    pwtest::Pump();
    EXPECT_LE(Ruler->IndentRight(), 195);
    EXPECT_GE(Ruler->IndentRight(), 0);
    // It can be grabbed and dragged left from there.
    Ruler->SetRulerTab(1);
    int x = MarkerX(idRightIndent), y = MarkerY(idRightIndent);
    Drag(x, y, x - 20);
    EXPECT_EQ(Ruler->IndentRight(), 175);
}

// ---- The guide line ----

TEST_F(RulerTest, TheGuideLineCrossesTheEditorAndLeavesNoTrace)
{
    Edit->SetText("Some text across the guide line\rand a second line of it");
    pwtest::Pump();
    Ruler->SetRichedit(Edit);
    Ruler->SetRulerTab(1);
    // The editor sits at x 0 like the ruler: the line runs at the marker's centre, x 49.
    std::vector<COLORREF> before49 = EditorColumn(49), before69 = EditorColumn(69);
    int y = MarkerY(idFirstIndent);
    Press(49, y);
    std::vector<COLORREF> during49 = EditorColumn(49);
    EXPECT_NE(during49, before49) << "the guide line is drawn at the marker's centre";
    EXPECT_EQ(during49[0], before49[0]) << "it starts at y 1";
    EXPECT_NE(during49[1], before49[1]);
    Move(69, y);
    EXPECT_EQ(EditorColumn(49), before49) << "moving it erases the old line";
    EXPECT_NE(EditorColumn(69), before69);
    Release(69, y);
    EXPECT_EQ(EditorColumn(69), before69) << "the release erases it";
    EXPECT_EQ(EditorColumn(49), before49);
}

TEST_F(RulerTest, TheGuideLineFollowsAMarginDrag)
{
    Ruler->SetRichedit(Edit);
    Ruler->SetRulerTab(1);
    std::vector<COLORREF> before35 = EditorColumn(35), before50 = EditorColumn(50);
    Press(35, 7);
    EXPECT_NE(EditorColumn(35), before35);
    Move(50, 7);
    EXPECT_EQ(EditorColumn(35), before35);
    EXPECT_NE(EditorColumn(50), before50);
    Release(50, 7);
    EXPECT_EQ(EditorColumn(50), before50);
}

TEST_F(RulerTest, AnEditorWindowMadeAnewStillGetsTheGuideLine)
{
    Ruler->SetRichedit(Edit);
    Ruler->SetRulerTab(1);
    Drag(MarkerX(idFirstIndent), MarkerY(idFirstIndent), MarkerX(idFirstIndent));
    HWND old = Edit->Handle();
    Edit->RecreateWnd();
    pwtest::Pump();
    ASSERT_NE(Edit->Handle(), old);
    ASSERT_FALSE(IsWindow(old));
    std::vector<COLORREF> before = EditorColumn(49);
    Press(49, MarkerY(idFirstIndent));
    EXPECT_NE(EditorColumn(49), before) << "drawn on the new window";
    Release(49, MarkerY(idFirstIndent));
    EXPECT_EQ(EditorColumn(49), before);
}

TEST_F(RulerTest, AnEditorDestroyedDuringADragEndsTheBindingQuietly)
{
    Ruler->SetRichedit(Edit);
    Press(49, MarkerY(idFirstIndent));
    delete Edit;
    Edit = nullptr;
    EXPECT_EQ(Ruler->Richedit(), nullptr);
    Move(69, MarkerY(idFirstIndent));
    Release(69, MarkerY(idFirstIndent));
    EXPECT_EQ(Ruler->IndentFirst(), 60);
    EXPECT_EQ(Events, (Log{"click 0", "drag 0", "change 0"}));
}

TEST_F(RulerTest, ALostCaptureEndsTheDrag)
{
    Ruler->SetRichedit(Edit);
    std::vector<COLORREF> before = EditorColumn(49);
    Press(49, MarkerY(idFirstIndent));
    SendMessageA(Ruler->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(Ruler->Dragging());
    EXPECT_EQ(EditorColumn(49), before);
    EXPECT_EQ(Events, (Log{"click 0", "change 0"}));
}

TEST_F(RulerTest, ManyDragsKeepTheGdiObjectCountSteady)
{
    Ruler->SetRichedit(Edit);
    Ruler->SetRulerTab(1);
    auto drags = [this] {
        for (int i = 0; i < 20; ++i) {
            Drag(MarkerX(idFirstIndent), MarkerY(idFirstIndent), MarkerX(idFirstIndent) + (i % 2 ? -5 : 5));
            Ruler->Repaint();
        }
    };
    drags();
    unsigned long before = pwtest::GdiObjectCount();
    drags();
    EXPECT_EQ(pwtest::GdiObjectCount(), before);
}
