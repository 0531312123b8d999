// Spelling as you type: marks found in idle slices, drawn as red waves over a real editor,
// following edits, scrolling, languages and words accepted elsewhere.
#include "LiveSpeller.h"
#include "SpellFixture.h"

using namespace spelltest;

namespace {

class LiveSpellerTest : public SpellFixture {
protected:
    void SetUp() override
    {
        SpellFixture::SetUp();
        Live = new TLiveSpeller(Host, Edit, Checker);
        Edit->OnChange = [this](TObject*) { Live->TextChanged(); };
        Edit->OnSelectionChange = [this](TObject*) { Live->SelectionChanged(); };
        Host->Show();
        pwtest::Pump();
    }
    // The document, checked to the end, painted.
    void Checked(const std::wstring& text, int caret = 0, TLanguage language = 1033)
    {
        SetDocument(text, caret, language);
        Live->CheckAll();
        Paint();
    }
    void Paint()
    {
        InvalidateRect(Edit->Handle(), nullptr, TRUE);
        UpdateWindow(Edit->Handle());
    }
    std::vector<std::wstring> MarkedWords()
    {
        std::vector<std::wstring> words;
        std::wstring text = WideText(Edit);
        for (const TSpellMark& m : Live->Marks())
            words.push_back(text.substr(static_cast<size_t>(m.Start), static_cast<size_t>(m.Length)));
        return words;
    }
    // Red pixels in the band under the characters [from, to) of the editor's first line there.
    int RedUnder(int from, int to)
    {
        POINTL a{}, b{};
        Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), from);
        Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), to);
        int line = static_cast<int>(Edit->Perform(EM_EXLINEFROMCHAR, 0, from));
        int next = static_cast<int>(Edit->Perform(EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0));
        POINTL n{};
        if (next > from) Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&n), next);
        else n.y = a.y + 24;
        HDC dc = GetDC(Edit->Handle());
        int red = 0;
        for (int y = a.y; y < n.y + 1; ++y)
            for (int x = a.x; x < (b.y == a.y ? b.x : a.x + 30); ++x)
                if (GetPixel(dc, x, y) == RGB(255, 0, 0)) ++red;
        ReleaseDC(Edit->Handle(), dc);
        return red;
    }
    int Find(const wchar_t* word) { return static_cast<int>(WideText(Edit).find(word)); }

    TLiveSpeller* Live = nullptr;
};

} // namespace

TEST_F(LiveSpellerTest, MarksTheWordsItsEngineRejectsAndDrawsARedWaveUnderThem)
{
    Checked(L"the cat sat on the wrold mat");
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
    int w = Find(L"wrold");
    EXPECT_GT(RedUnder(w, w + 5), 3) << "a wave under the misspelt word";
    EXPECT_EQ(RedUnder(Find(L"cat"), Find(L"cat") + 3), 0) << "none under a correct word";
    TSpellMark m{};
    EXPECT_TRUE(Live->MarkAt(w + 2, m));
    EXPECT_EQ(m.Start, w);
    EXPECT_FALSE(Live->MarkAt(Find(L"mat") + 1, m));
}

TEST_F(LiveSpellerTest, TextInALanguageWithoutDictionaryIsNotMarked)
{
    Checked(L"the wrold cat", 0, 1031);  // German: no engine registered
    EXPECT_TRUE(MarkedWords().empty());
    EXPECT_FALSE(Live->WorkLeft());
}

TEST_F(LiveSpellerTest, EachPieceIsCheckedInItsOwnLanguage)
{
    SetDocument(L"the cat миир sat кот mat");
    MarkLanguage(Find(L"миир"), Find(L"миир") + 4, 1049);
    MarkLanguage(Find(L"кот"), Find(L"кот") + 3, 1049);
    Live->LanguagesChanged();
    Live->CheckAll();
    Paint();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"миир"});
    EXPECT_GT(RedUnder(Find(L"миир"), Find(L"миир") + 4), 3);

    // Marked Russian now, every English word is checked in Russian and fails; "кот" passes.
    MarkLanguage(0, static_cast<int>(WideText(Edit).size()), 1049);
    Live->LanguagesChanged();
    Live->CheckAll();
    std::vector<std::wstring> all{L"the", L"cat", L"миир", L"sat", L"mat"};
    EXPECT_EQ(MarkedWords(), all);
}

TEST_F(LiveSpellerTest, MarksMoveWithEditsAboveThemAndTheEditedParagraphIsCheckedAgain)
{
    Checked(L"the cat\rsat on the wrold mat");
    int before = Find(L"wrold");
    Edit->Perform(EM_SETSEL, 0, 0);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"a mat\r"));
    }
    Edit->Perform(EM_SETSEL, 100, 100);  // the caret goes elsewhere: no word is being typed
    Live->CheckAll();
    Paint();
    int after = Find(L"wrold");
    EXPECT_EQ(after, before + 6);
    ASSERT_EQ(Live->Marks().size(), 1u);
    EXPECT_EQ(Live->Marks()[0].Start, after);
    EXPECT_GT(RedUnder(after, after + 5), 3) << "the wave moved with its word";

    // Fixing the word removes its mark.
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(after), after + 5);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"word"));
    }
    Edit->Perform(EM_SETSEL, 0, 0);
    Live->CheckAll();
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(after, after + 4), 0);
}

TEST_F(LiveSpellerTest, TheWordBeingTypedIsMarkedOnlyOnceTheCaretLeavesIt)
{
    Checked(L"the cat ");
    Edit->Perform(EM_SETSEL, 8, 8);
    for (const char* c = "wrold"; *c; ++c) SendMessageA(Edit->Handle(), WM_CHAR, static_cast<WPARAM>(*c), 0);
    Live->CheckAll();
    EXPECT_TRUE(MarkedWords().empty()) << "the caret is still in the word";
    SendMessageA(Edit->Handle(), WM_CHAR, ' ', 0);  // typing goes on after it
    Live->CheckAll();
    Live->SelectionChanged();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
}

TEST_F(LiveSpellerTest, AWordAcceptedElsewhereLosesItsMarksInEveryDocument)
{
    auto* other = new TRichEdit98(Host);
    other->SetParent(Host);
    other->SetBounds(0, 250, 480, 40);
    other->SetLanguage(1033);
    PutText(other, L"a wrold and a wrold");
    MarkLanguage(other, 0, 19, 1033);
    auto* live2 = new TLiveSpeller(Host, other, Checker);
    Checked(L"the wrold cat");
    live2->CheckAll();
    EXPECT_EQ(live2->Marks().size(), 2u);
    TLiveSpeller::WordAccepted(1049, "wrold");  // another language: nothing changes
    EXPECT_EQ(Live->Marks().size(), 1u);
    TLiveSpeller::WordAccepted(1033, "wrold");
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_TRUE(live2->Marks().empty());
    EXPECT_EQ(RedUnder(Find(L"wrold"), Find(L"wrold") + 5), 0);
}

TEST_F(LiveSpellerTest, MarksLeaveTheDocumentUntouchedAndTurningOffRemovesThem)
{
    SetDocument(L"the wrold cat\rsat on a mat");
    Edit->Perform(EM_EMPTYUNDOBUFFER, 0, 0);
    std::string plain = Edit->RTFText();
    Live->CheckAll();
    Paint();
    EXPECT_EQ(Edit->RTFText(), plain) << "marks are not in the document";
    EXPECT_FALSE(Edit->CanUndo());
    int w = Find(L"wrold");
    EXPECT_GT(RedUnder(w, w + 5), 3);
    Live->SetEnabled(false);
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(w, w + 5), 0);
    Live->SetEnabled(true);
    Live->CheckAll();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
}

TEST_F(LiveSpellerTest, VisibleTextIsCheckedFirstAndScrollingMovesTheWave)
{
    std::wstring text;
    for (int i = 0; i < 400; ++i) text += i == 300 ? L"the wrold cat\r" : L"the cat sat on the mat\r";
    SetDocument(text, 0);
    Live->CheckAll();
    int w = Find(L"wrold");
    // Scroll the misspelling into view, forget everything and take one tiny slice.
    Edit->Perform(EM_LINESCROLL, 0, 295);
    pwtest::Pump();
    Live->LanguagesChanged();
    for (int i = 0; i < 20; ++i) Live->RunSlice(0.0);  // a paragraph each
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"}) << "what the user sees comes first";
    EXPECT_TRUE(Live->WorkLeft());
    Live->CheckAll();
    Paint();
    int red = RedUnder(w, w + 5);
    EXPECT_GT(red, 3);
    Edit->Perform(EM_LINESCROLL, 0, 1);
    UpdateWindow(Edit->Handle());
    EXPECT_GT(RedUnder(w, w + 5), 3) << "the wave is drawn where the word went";
}
