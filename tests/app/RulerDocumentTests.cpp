// The ruler of a document window: its settings, the indents its drags write into the
// paragraphs, and markers that follow the caret and the window's size.
#include "FrameFixture.h"
#include "Ruler.h"
#include "RulerBinding.h"

using namespace pw;

namespace {

PARAFORMAT2 Paragraph(TRichEdit98* e)
{
    PARAFORMAT2 p = {};
    p.cbSize = sizeof p;
    e->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    return p;
}

double PixelsPerPoint() { return ScreenPixelsPerPoint(); }

} // namespace

class DocumentRulerTest : public FrameTest {
protected:
    TqelRuler* Ruler() { return Doc()->Ruler(); }
    TRichEdit98* Edit() { return Doc()->RichEdit(); }
    void Send(UINT msg, WPARAM keys, int x, int y) { SendMessageA(Ruler()->Handle(), msg, keys, MAKELPARAM(x, y)); }
    // Drags a marker by dx pixels, pressing 4 pixels into it.
    void DragMarker(TIndentID id, int dx)
    {
        TControl* m = Ruler()->Marker(id);
        int x = m->Left() + 4, y = m->Top() + 3;
        Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Send(WM_MOUSEMOVE, MK_LBUTTON, x + dx, y);
        Send(WM_LBUTTONUP, 0, x + dx, y);
    }
    // Two paragraphs; the second indented 30 points, its following lines 15 points less, and
    // 30 points from the right.
    void TwoParagraphs()
    {
        Type("The first paragraph keeps the indents of a new document.\rThe second paragraph is indented.");
        Edit()->SetSelStart(70);
        Edit()->ParagraphAttributes()->SetStartIndent(30);
        Edit()->ParagraphAttributes()->SetIndentOffset(-15);
        Edit()->ParagraphAttributes()->SetRightIndent(30);
    }
};

TEST_F(DocumentRulerTest, TheRulerSitsAboveTheTextWithTheWindowsSettings)
{
    TqelRuler* r = Ruler();
    EXPECT_EQ(r->Top(), 0);
    EXPECT_EQ(r->Height(), 21);
    EXPECT_EQ(r->Width(), Doc()->ClientRect().right);
    EXPECT_EQ(Edit()->Top(), 21) << "the editor fills the rest";
    EXPECT_EQ(r->Richedit(), Edit());
    EXPECT_EQ(r->RulerTab(), 1);
    EXPECT_EQ(r->MarginLeft(), 10);
    EXPECT_EQ(r->MarginRight(), GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(r->BorderLeft(), 0);
    EXPECT_EQ(r->BorderUp(), 3);
    EXPECT_EQ(r->BorderDown(), 3);
    EXPECT_EQ(r->BorderRight(), 0);
    EXPECT_EQ(r->TabDist(), TabDistForResolution(ScreenPixelsPerInchX()));
    if (ScreenPixelsPerInchX() == 96) {
        EXPECT_EQ(r->TabDist(), 9);
    }
    EXPECT_EQ(r->IndentFirst(), 5);
    EXPECT_EQ(r->IndentLeft(), 5);
    EXPECT_EQ(r->IndentRight(), r->Width() - r->MarginRight() - 4);
    EXPECT_EQ(r->Font()->Name(), "Arial");
    EXPECT_EQ(r->Font()->Height(), -9);
}

TEST_F(DocumentRulerTest, TheFirstLineMarkerWritesTheStartAndTheOffset)
{
    DragMarker(idFirstIndent, 30);
    ASSERT_EQ(Ruler()->IndentFirst(), 35);
    double p = PixelsPerPoint();
    PARAFORMAT2 f = Paragraph(Edit());
    EXPECT_EQ(f.dxStartIndent, PointsToTwips((35 - 10) / p + 4));
    EXPECT_EQ(f.dxOffset, PointsToTwips((5 - 35) / p));
    if (p == 96 / 72.0) {
        EXPECT_EQ(f.dxStartIndent, 455) << "22.75 points";
        EXPECT_EQ(f.dxOffset, -450) << "the following lines stay where they were";
    }
}

TEST_F(DocumentRulerTest, TheLeftMarkerWritesOnlyTheOffset)
{
    DragMarker(idLeftIndent, 24);
    ASSERT_EQ(Ruler()->IndentLeft(), 29);
    PARAFORMAT2 f = Paragraph(Edit());
    EXPECT_EQ(f.dxOffset, PointsToTwips(24 / PixelsPerPoint()));
    EXPECT_EQ(f.dxStartIndent, 0);
    EXPECT_EQ(Ruler()->IndentFirst(), 5);
}

TEST_F(DocumentRulerTest, TheBlockMarkerWritesOnlyTheStart)
{
    DragMarker(idBlockIndent, 40);
    ASSERT_EQ(Ruler()->IndentLeft(), 45);
    ASSERT_EQ(Ruler()->IndentFirst(), 45);
    PARAFORMAT2 f = Paragraph(Edit());
    EXPECT_EQ(f.dxStartIndent, PointsToTwips(35 / PixelsPerPoint() + 4));
    EXPECT_EQ(f.dxOffset, 0);
}

TEST_F(DocumentRulerTest, TheRightMarkerWritesTheRightIndent)
{
    int right = Ruler()->IndentRight();
    DragMarker(idRightIndent, -60);
    ASSERT_EQ(Ruler()->IndentRight(), right - 60);
    PARAFORMAT2 f = Paragraph(Edit());
    TqelRuler* r = Ruler();
    EXPECT_EQ(f.dxRightIndent, PointsToTwips((r->Width() - r->MarginRight() - r->IndentRight() - 4) / PixelsPerPoint()));
    if (PixelsPerPoint() == 96 / 72.0) {
        EXPECT_EQ(f.dxRightIndent, 900) << "45 points";
    }
}

TEST_F(DocumentRulerTest, AResizeMovesTheRightMarker)
{
    Edit()->ParagraphAttributes()->SetRightIndent(30);
    Doc()->SetWidth(450);
    pwtest::Pump();
    TqelRuler* r = Ruler();
    EXPECT_EQ(r->Width(), Doc()->ClientRect().right);
    EXPECT_EQ(r->IndentRight(), RightMarkerFor(30, r->Width(), r->MarginRight(), PixelsPerPoint()));
    if (PixelsPerPoint() == 96 / 72.0) {
        EXPECT_EQ(r->IndentRight(), r->Width() - r->MarginRight() - 44);
    }
}

TEST_F(DocumentRulerTest, ANarrowWindowKeepsTheRightMarkerOnTheRuler)
{
    // 30 points from the right: in a narrow window the paragraph's place for the right marker
    // comes within 50 pixels of the left markers, which the marker may not.
    Edit()->ParagraphAttributes()->SetRightIndent(30);
    Doc()->SetWidth(120);
    pwtest::Pump();
    TqelRuler* r = Ruler();
    ASSERT_LT(r->Width(), 120);
    EXPECT_LT(r->IndentRight(), r->Width() - 4) << "ruler " << r->Width() << " wide";
    EXPECT_GT(r->IndentRight(), r->IndentLeft());
    // It can be dragged from there.
    int before = r->IndentRight();
    DragMarker(idRightIndent, -10);
    EXPECT_EQ(r->IndentRight(), before - 10);
    // Wide again, the marker goes back to where the paragraph puts it.
    Edit()->ParagraphAttributes()->SetRightIndent(30);
    Doc()->SetWidth(550);
    pwtest::Pump();
    EXPECT_EQ(r->IndentRight(), RightMarkerFor(30, r->Width(), r->MarginRight(), PixelsPerPoint()));
}

TEST_F(DocumentRulerTest, MarkersFollowTheCaretToAParagraphWithOtherIndents)
{
    TwoParagraphs();
    TqelRuler* r = Ruler();
    double p = PixelsPerPoint();
    TIndentMarkers second = MarkersFor({30, -15, 30}, r->Width(), r->MarginLeft(), r->MarginRight(), p);
    Edit()->SetSelStart(3);
    EXPECT_EQ(r->IndentFirst(), 5);
    EXPECT_EQ(r->IndentLeft(), 5);
    EXPECT_EQ(r->IndentRight(), RightMarkerFor(0, r->Width(), r->MarginRight(), p));
    Edit()->SetSelStart(70);
    EXPECT_EQ(r->IndentFirst(), second.First);
    EXPECT_EQ(r->IndentLeft(), second.Left);
    EXPECT_EQ(r->IndentRight(), second.Right);
    if (p == 96 / 72.0) {
        EXPECT_EQ(second.First, 45);
        EXPECT_EQ(second.Left, 25);
    }
}

TEST_F(DocumentRulerTest, ADragChangesOnlyWhatTheUserMovedInTheParagraphAtTheCaret)
{
    TwoParagraphs();
    Edit()->SetSelStart(3);
    Edit()->SetSelStart(70);
    DragMarker(idLeftIndent, 20);
    PARAFORMAT2 f = Paragraph(Edit());
    EXPECT_EQ(f.dxStartIndent, 600) << "the first line of the paragraph was not touched";
    EXPECT_EQ(f.dxOffset, PointsToTwips(IndentOffsetFor(Ruler()->IndentFirst(), Ruler()->IndentLeft(), PixelsPerPoint())));
    if (PixelsPerPoint() == 96 / 72.0) {
        EXPECT_EQ(f.dxOffset, 0) << "the left marker was moved under the first";
    }
    EXPECT_EQ(f.dxRightIndent, 600);
    Edit()->SetSelStart(3);
    f = Paragraph(Edit());
    EXPECT_EQ(f.dxStartIndent, 0) << "the other paragraph keeps its indents";
    EXPECT_EQ(f.dxOffset, 0);
    EXPECT_EQ(Ruler()->IndentLeft(), 5);
}

TEST_F(DocumentRulerTest, EachDocumentHasARulerOfItsOwn)
{
    TqelRuler* first = Ruler();
    Frame->NewMIClick(nullptr);
    pwtest::Pump();
    ASSERT_EQ(DocumentCount(), 2);
    EXPECT_NE(Ruler(), first);
    EXPECT_EQ(Ruler()->Richedit(), Edit());
}
