#include "RichEditFixture.h"
#include "WordBreak.h"

using namespace pw;

namespace {
LRESULT Break(TRichEdit98* e, int code, int pos) { return e->Perform(EM_FINDWORDBREAK, static_cast<WPARAM>(code), pos); }
} // namespace

// Text: "Hello, world  again\rnext"
//        0123456789012345678 9
TEST_F(RichEditTest, WordBreakCodesOnBlanksPunctuationAndLineEnds)
{
    SetWide(L"Hello, world  again\rnext");
    // Inside "world" (position 9).
    EXPECT_EQ(Break(Edit, WB_MOVEWORDLEFT, 9), 7);
    EXPECT_EQ(Break(Edit, WB_LEFT, 9), 7);
    EXPECT_EQ(Break(Edit, WB_RIGHTBREAK, 9), 14);   // the word and the blanks after it
    EXPECT_EQ(Break(Edit, WB_MOVEWORDRIGHT, 9), 14);
    EXPECT_EQ(Break(Edit, WB_RIGHT, 9), 14);
    EXPECT_EQ(Break(Edit, WB_LEFTBREAK, 9), 6);
    // At the start of a word the move-left goes to the previous word, the left stays.
    EXPECT_EQ(Break(Edit, WB_MOVEWORDLEFT, 14), 7);
    EXPECT_EQ(Break(Edit, WB_LEFT, 14), 14);
    // "Hello," : the comma is its own run for moving, but not a blank for WB_LEFT.
    EXPECT_EQ(Break(Edit, WB_RIGHTBREAK, 2), 5);
    EXPECT_EQ(Break(Edit, WB_LEFT, 6), 0);
    EXPECT_EQ(Break(Edit, WB_MOVEWORDLEFT, 6), 5);
    // Line ends.
    EXPECT_EQ(Break(Edit, WB_MOVEWORDRIGHT, 19), 20);
    EXPECT_EQ(Break(Edit, WB_MOVEWORDLEFT, 20), 19);
    EXPECT_EQ(Break(Edit, WB_RIGHTBREAK, 16), 19);
    EXPECT_EQ(Break(Edit, WB_MOVEWORDRIGHT, 22), 24);
}

TEST_F(RichEditTest, WordBreakDelimitersAndClasses)
{
    SetWide(L"a b,\r");
    EXPECT_EQ(Break(Edit, WB_ISDELIMITER, 1), 1);
    EXPECT_EQ(Break(Edit, WB_ISDELIMITER, 0), 0);
    EXPECT_EQ(Break(Edit, WB_ISDELIMITER, 3), 0);
    EXPECT_EQ(Break(Edit, WB_CLASSIFY, 0) & WBF_ISWHITE, 0);
    EXPECT_NE(Break(Edit, WB_CLASSIFY, 1) & WBF_ISWHITE, 0);
    EXPECT_NE(Break(Edit, WB_CLASSIFY, 4) & WBF_BREAKLINE, 0);
    EXPECT_NE(Break(Edit, WB_CLASSIFY, 3) & WBF_BREAKAFTER, 0);
}

TEST(WordBreak, ApostrophesAndNonLatinLettersStayInTheWord)
{
    std::wstring t = L"don\x2019t \x0441\x043B\x043E\x0432\x043E";
    EXPECT_EQ(FindWordBreak(t, WB_RIGHTBREAK, 1), 6);
    EXPECT_EQ(FindWordBreak(t, WB_MOVEWORDLEFT, 9), 6);
    EXPECT_EQ(FindWordBreak(t, WB_RIGHTBREAK, 7), 11);
    EXPECT_EQ(FindWordBreak(t, WB_MOVEWORDRIGHT, 100), 11);
}
