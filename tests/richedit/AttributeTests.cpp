#include "RichEditFixture.h"

using namespace pw;

namespace {

// Counts EM_SETCHARFORMAT messages and their wParam as the control dispatches them.
class RecordingEdit : public TRichEdit98 {
public:
    using TRichEdit98::TRichEdit98;
    int SetFormats = 0, DefaultSets = 0;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == EM_SETCHARFORMAT) {
            ++SetFormats;
            if (m.WParam == SCF_DEFAULT) ++DefaultSets;
        }
        TRichEdit98::WndProc(m);
    }
};

} // namespace

TEST_F(RichEditTest, AutomaticColourReadsBackAsWindowText)
{
    Edit->SetText("x");
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetColor(clRed);
    EXPECT_EQ(Edit->SelectionAttributes()->Color(), clRed);
    Edit->SelectionAttributes()->SetColor(clWindowText);
    EXPECT_EQ(Edit->SelectionAttributes()->Color(), clWindowText);
}

TEST_F(RichEditTest, SizesAreWholePointsAndOffsetsArePoints)
{
    Edit->SetText("x");
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetSize(12);
    EXPECT_EQ(Edit->SelectionAttributes()->Size(), 12);
    CHARFORMAT2W f = {};
    f.cbSize = sizeof f;
    f.dwMask = CFM_SIZE;
    f.yHeight = 210;  // 10.5 points
    Edit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    EXPECT_EQ(Edit->SelectionAttributes()->Size(), 10);
    Edit->SelectionAttributes()->SetOffset(-2.5);
    EXPECT_DOUBLE_EQ(Edit->SelectionAttributes()->Offset(), -2.5);
}

TEST(Attributes, PointsToTwipsRoundsHalfToEven)
{
    EXPECT_EQ(PointsToTwips(0.125), 2);
    EXPECT_EQ(PointsToTwips(0.375), 8);
    EXPECT_EQ(PointsToTwips(-2.5), -50);
    EXPECT_DOUBLE_EQ(TwipsToPoints(-50), -2.5);
}

TEST_F(RichEditTest, BoldFalseClearsAMixedSelection)
{
    Edit->SetText("ab");
    Edit->SetSelStart(0);
    Edit->SetSelLength(1);
    Edit->SelectionAttributes()->SetBold(true);
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetBold(false);
    Edit->SetSelStart(0);
    Edit->SetSelLength(1);
    EXPECT_FALSE(Edit->SelectionAttributes()->Bold());
}

TEST_F(RichEditTest, AlignmentIsOneBelowTheRecordsValue)
{
    Edit->SetText("para");
    Edit->ParagraphAttributes()->SetAlignment(3);
    PARAFORMAT2 p = {};
    p.cbSize = sizeof p;
    Edit->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    EXPECT_EQ(p.wAlignment, PFA_JUSTIFY);
    EXPECT_EQ(Edit->ParagraphAttributes()->Alignment(), 3);
    Edit->ParagraphAttributes()->SetAlignment(2);
    EXPECT_EQ(Edit->ParagraphAttributes()->Alignment(), 2);
}

TEST_F(RichEditTest, IndentsAreWrittenInPointsAndReadBack)
{
    Edit->SetText("para");
    Edit->ParagraphAttributes()->SetStartIndent(0.375);
    Edit->ParagraphAttributes()->SetIndentOffset(-2.5);
    Edit->ParagraphAttributes()->SetRightIndent(30);
    PARAFORMAT2 p = {};
    p.cbSize = sizeof p;
    Edit->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    EXPECT_EQ(p.dxStartIndent, 8) << "7.5 twips round to the even 8";
    EXPECT_EQ(p.dxOffset, -50);
    EXPECT_EQ(p.dxRightIndent, 600);
    EXPECT_DOUBLE_EQ(Edit->ParagraphAttributes()->StartIndent(), 0.4);
    EXPECT_DOUBLE_EQ(Edit->ParagraphAttributes()->IndentOffset(), -2.5);
    EXPECT_DOUBLE_EQ(Edit->ParagraphAttributes()->RightIndent(), 30);
}

TEST_F(RichEditTest, LanguageAndHighlightAreCharacterAttributes)
{
    Edit->SetText("ab");
    Edit->SetSelStart(1);
    Edit->SetSelLength(1);
    Edit->SelectionAttributes()->SetLanguage(1049);
    Edit->SelectionAttributes()->SetBackColor(clNone);
    EXPECT_EQ(Edit->SelectionAttributes()->Language(), 1049);
    EXPECT_EQ(Edit->SelectionAttributes()->BackColor(), clNone);
    // No highlight is the automatic background, not a colour that paints black.
    CHARFORMAT2W f = {};
    f.cbSize = sizeof f;
    Edit->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    EXPECT_TRUE(f.dwEffects & CFE_AUTOBACKCOLOR);
    Edit->SelectionAttributes()->SetBackColor(clYellow);
    EXPECT_EQ(Edit->SelectionAttributes()->BackColor(), clYellow);
    Edit->SetSelStart(0);
    Edit->SetSelLength(1);
    EXPECT_NE(Edit->SelectionAttributes()->Language(), 1049);
}

TEST(Attributes, SelectionToDefaultSendsOneMessagePerProperty)
{
    TForm form(nullptr);
    auto* e = new RecordingEdit(&form);
    e->SetBounds(0, 0, 100, 50);
    e->SetParent(&form);
    form.HandleNeeded();
    e->SetFormats = e->DefaultSets = 0;
    e->DefaultAttributes()->Assign(e->SelectionAttributes());
    EXPECT_EQ(e->SetFormats, 22);
    EXPECT_EQ(e->DefaultSets, 22);
}

TEST_F(RichEditTest, CopyingARussianSelectionToAFontSetsItsCharset)
{
    Edit->SetText("x");
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetLanguage(1049);
    Edit->SelectionAttributes()->SetItalic(true);
    TFont f;
    f.Assign(Edit->SelectionAttributes());
    EXPECT_EQ(f.Charset(), 204);
    EXPECT_TRUE(f.Style() & fsItalic);
}

TEST(Attributes, WithoutAWindowReadsGiveZerosAndWritesAreDropped)
{
    TRichEdit98 e(nullptr);
    e.SelectionAttributes()->SetSize(20);
    EXPECT_EQ(e.SelectionAttributes()->Size(), 0);
    EXPECT_EQ(e.SelectionAttributes()->Name(), "");
    EXPECT_EQ(e.ParagraphAttributes()->Alignment(), 255);
}
