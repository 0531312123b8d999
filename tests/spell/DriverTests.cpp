// The interactive check with our spelling library: the range, the pieces and their
// languages, HTML, the changes and their shifts, and the end of a check.
#include "SpellFixture.h"

#include "SpellStrings.h"
#include "StdCtrls.h"

using namespace spelltest;

namespace {

struct TReported {
    int Code;
    std::string Word;
    int Pos;
    bool operator==(const TReported&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TReported& r)
{
    return os << "{" << r.Code << ", \"" << r.Word << "\", " << r.Pos << "}";
}

class DriverTest : public SpellFixture {
protected:
    // Every error from the current one to the end, skipping each.
    std::vector<TReported> Errors()
    {
        std::vector<TReported> all;
        for (int guard = 0; Checker->ReturnCode() && guard < 50; ++guard) {
            all.push_back({static_cast<int>(Checker->ReturnCode()), Checker->BadWord(), Checker->CurPos()});
            Click(Dialog()->SkipButton);
        }
        return all;
    }
    std::vector<std::string> Words()
    {
        std::vector<std::string> w;
        for (const TReported& r : Errors()) w.push_back(r.Word);
        return w;
    }
    std::pair<int, int> DocSelection()
    {
        DWORD s = 0, e = 0;
        Edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {static_cast<int>(s), static_cast<int>(e)};
    }
};

} // namespace

TEST_F(DriverTest, WithoutSelectionTheCheckRunsFromTheWordAtTheCaretToTheEnd)
{
    Checker->SetShowFinishMessage(true);
    Checker->SetFinishMessage("Spelling check is complete");
    SetDocument(L"teh cat sat on teh mat and xqz", 9);  // the caret inside "sat"
    Checker->CheckControl(Edit);
    EXPECT_EQ(8, Checker->RangeStart());
    EXPECT_EQ(30, Checker->RangeEnd());
    ASSERT_NE(nullptr, Dialog());
    EXPECT_TRUE(Dialog()->Visible());
    // The error is selected in the document.
    EXPECT_EQ(std::make_pair(15, 18), DocSelection());
    EXPECT_EQ((std::vector<TReported>{{1, "teh", 15}, {1, "xqz", 27}}), Errors());
    EXPECT_FALSE(Dialog()->Visible());
    EXPECT_EQ(nullptr, Checker->WorkCopy());
    ASSERT_EQ(1u, Boxes.Shown().size());
    EXPECT_EQ("Spelling check is complete", Boxes.Shown()[0].Text);
    EXPECT_EQ("Message", Boxes.Shown()[0].Caption);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), Boxes.Shown()[0].Flags & MB_ICONMASK);
}

TEST_F(DriverTest, ASelectionIsCheckedFromTheStartOfItsFirstWordToItsEnd)
{
    SetDocument(L"teh cat xqz on teh mat");
    Edit->Perform(EM_SETSEL, 5, 12);  // "at xqz "
    Checker->CheckControl(Edit);
    EXPECT_EQ(4, Checker->RangeStart());
    EXPECT_EQ(12, Checker->RangeEnd());
    EXPECT_EQ((std::vector<std::string>{"xqz"}), Words());
    EXPECT_TRUE(Boxes.Shown().empty());  // no finish message unless asked for
}

TEST_F(DriverTest, APlainMemoIsCheckedFromTheStartWhateverTheCaret)
{
    auto* memo = new TMemo(Host);
    memo->SetName("Memo1");
    memo->SetParent(Host);
    memo->SetText("teh cat sat xqz");
    memo->SetSelStart(9);
    Checker->CheckControl(memo);
    EXPECT_EQ(0, Checker->RangeStart());
    EXPECT_EQ((std::vector<std::string>{"teh", "xqz"}), Words());
    EXPECT_EQ("teh cat sat xqz", memo->Text());
}

TEST_F(DriverTest, AControlOutsideTheClassTableCannotBeChecked)
{
    auto* button = new TButton(Host);
    button->SetName("Button1");
    button->SetParent(Host);
    try {
        Checker->CheckControl(button);
        FAIL() << "no error";
    } catch (const ESpellError& e) {
        EXPECT_STREQ("You can't spell check Button1.", e.what());
    }
    EXPECT_EQ(nullptr, Checker->Control());
    EXPECT_EQ(nullptr, Checker->WorkCopy());
}

namespace {

class TNoteEdit : public TRichEdit98 {
public:
    using TRichEdit98::TRichEdit98;
};

} // namespace

TEST_F(DriverTest, TheNearestClassInTheTableDecidesHowAControlIsRead)
{
    TControlClass note;
    note.Name = "TNoteEdit";
    note.Parent = "TRichEdit98";
    note.Is = [](TControl* c) { return dynamic_cast<TNoteEdit*>(c) != nullptr; };
    note.Create = [](TComponent* owner) -> TWinControl* { return new TNoteEdit(owner); };
    RegisterSpellControlClassInfo(note);
    auto* edit = new TNoteEdit(Host);
    edit->SetName("Note");
    edit->SetParent(Host);
    edit->HandleNeeded();
    PutText(edit, L"the cat teh");
    MarkLanguage(edit, 0, -1, 1049);
    // Not in the table itself: read as its ancestor, a rich edit 2.0 with per-character languages.
    edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(edit);
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ(1049, Checker->SpellerLanguage());
    EXPECT_NE(nullptr, dynamic_cast<TNoteEdit*>(Checker->WorkCopy()));
    Checker->Finish();
    // A row of its own wins over its ancestor's: now one language for the whole control.
    TSpellChecker::RegisterControlClass("tnoteedit", false, false);
    edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(edit);
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ("teh", Checker->BadWord());
    EXPECT_EQ(1033, Checker->SpellerLanguage());
}

TEST_F(DriverTest, WithHTMLSupportTagsAndCommentsAreSkipped)
{
    const std::wstring text = L"<p>teh <!-- xqz <b>cat</b> qqq --> mat zzv</p>";
    SetDocument(text);
    Checker->SetHTMLSupport(true);
    Checker->CheckControl(Edit);
    EXPECT_EQ((std::vector<std::string>{"teh", "zzv"}), Words());

    SetDocument(text);
    Checker->SetHTMLSupport(false);
    Checker->CheckControl(Edit);
    std::vector<std::string> plain = Words();
    EXPECT_NE(plain.end(), std::find(plain.begin(), plain.end(), "xqz"));
    EXPECT_NE(plain.end(), std::find(plain.begin(), plain.end(), "qqq"));
}

TEST_F(DriverTest, ACaretInsideATagMovesToTheEndOfTheTag)
{
    SetDocument(L"teh <span class=x>cat xqz", 8);
    Checker->SetHTMLSupport(true);
    Checker->CheckControl(Edit);
    EXPECT_EQ(18, Checker->RangeStart());
    EXPECT_EQ((std::vector<std::string>{"xqz"}), Words());
}

TEST_F(DriverTest, AnUnclosedTagRunsToTheEndOfTheRange)
{
    SetDocument(L"teh <b class=x xqz");
    Checker->SetHTMLSupport(true);
    Checker->CheckControl(Edit);
    EXPECT_EQ((std::vector<std::string>{"teh"}), Words());
}

TEST_F(DriverTest, APieceAfterAParagraphMarkStartsAfreshAndOtherPiecesContinue)
{
    Options({spoFindUncappedSentences});
    Checker->SetHTMLSupport(true);
    SetDocument(L"This is a sentence <b>the</b> end.\rthe end.");
    Checker->CheckControl(Edit);
    // "the" after the tag continues the sentence; after the paragraph mark a new one begins.
    EXPECT_EQ((std::vector<TReported>{{10, "the", 35}}), Errors());
}

TEST_F(DriverTest, EnglishAndRussianInOneParagraphGoToTheirOwnEngines)
{
    const std::wstring text = L"This is a sentence \x043A\x043E\x0442 \x043C\x0438\x0438\x0440 and teh";
    SetDocument(text);
    MarkLanguage(19, 27, 1049);  // "кот миир"
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ(WideToString(L"\x043C\x0438\x0438\x0440", 1251), Checker->BadWord());
    EXPECT_EQ(23, Checker->CurPos());
    EXPECT_EQ(1049, Checker->SpellerLanguage());
    EXPECT_EQ("Spelling check \x97 " + LanguageName(1049), Dialog()->Caption());
    Click(Dialog()->SkipButton);
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ("teh", Checker->BadWord());
    EXPECT_EQ(1033, Checker->SpellerLanguage());
    EXPECT_EQ("Spelling check \x97 " + LanguageName(1033), Dialog()->Caption());
    Click(Dialog()->SkipButton);
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_EQ(2, Checker->SpellerCount());
}

TEST_F(DriverTest, ASwitchOfLanguageInMidSentenceDoesNotStartASentence)
{
    Options({spoFindUncappedSentences});
    // "кот и мир" follows English words in one sentence, then follows a full stop.
    const std::wstring russian = L"\x043A\x043E\x0442 \x0438 \x043C\x0438\x0440";
    SetDocument(L"This is a cat " + russian + L" and the end.");
    MarkLanguage(14, 23, 1049);
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    EXPECT_EQ(0, Checker->ReturnCode());

    SetDocument(L"This is a cat. " + russian + L" and the end.");
    MarkLanguage(15, 24, 1049);
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    ASSERT_EQ(10, Checker->ReturnCode());
    EXPECT_EQ(15, Checker->CurPos());
    EXPECT_EQ(1049, Checker->SpellerLanguage());
}

TEST_F(DriverTest, TheFirstWordOfTheTextStartsASentence)
{
    Options({spoFindUncappedSentences});
    SetDocument(L"the cat sat.");
    Checker->CheckControl(Edit);
    ASSERT_EQ(10, Checker->ReturnCode());
    EXPECT_EQ(0, Checker->CurPos());
    // From the middle of a sentence the check does not see a sentence start.
    SetDocument(L"This is the cat.", 8);
    Checker->CheckControl(Edit);
    EXPECT_EQ(0, Checker->ReturnCode());
}

TEST_F(DriverTest, LanguageSwitchesAreFoundAfterTheTextChanged)
{
    // English, Russian "кот", English, Russian "мирр", English: two switches each way.
    const std::wstring text = L"teh cat \x043A\x043E\x0442 and \x043C\x0438\x0440\x0440 and xqz";
    SetDocument(text);
    MarkLanguage(8, 11, 1049);
    MarkLanguage(16, 20, 1049);
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    ASSERT_EQ("teh", Checker->BadWord());
    Checker->ChangeText("thee");  // one longer: everything after moves by one
    Checker->CheckNext();
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ(1049, Checker->SpellerLanguage());
    EXPECT_EQ(17, Checker->CurPos());
    EXPECT_EQ(WideToString(L"\x043C\x0438\x0440\x0440", 1251), Checker->BadWord());
    Checker->ChangeText(WideToString(L"\x043C\x0438\x0440", 1251));
    Checker->CheckNext();
    ASSERT_EQ(1, Checker->ReturnCode());
    EXPECT_EQ("xqz", Checker->BadWord());
    EXPECT_EQ(1033, Checker->SpellerLanguage());
    EXPECT_EQ(L"thee cat \x043A\x043E\x0442 and \x043C\x0438\x0440 and xqz", WideText(Edit));
}

TEST_F(DriverTest, TextInALanguageWithoutAnEnginePassesAsCorrect)
{
    SetDocument(L"teh xqz", 0, 1031);
    Checker->CheckControl(Edit);
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_FALSE(Dialog()->Visible());
    EXPECT_TRUE(Checker->CheckWord("teh", 1031));
    EXPECT_FALSE(Checker->CheckWord("teh", 1033));
    TStringList list;
    list.Add("stale");
    Checker->GetVariants("teh", &list, 1031);
    EXPECT_EQ(0, list.Count());
}

TEST_F(DriverTest, AWordOnItsOwnIsJudgedAsAWordNotAsASentence)
{
    Options({spoFindUncappedSentences, spoFindRepeatWord, spoFindExtraSpaces, spoFindMissingSpaces});
    EXPECT_TRUE(Checker->CheckWord("word", 1033)) << "a lower-case start is no error of the word";
    EXPECT_TRUE(Checker->CheckWord("Word", 1033));
    EXPECT_FALSE(Checker->CheckWord("wrod", 1033));
    EXPECT_FALSE(Checker->CheckWord("wOrD", 1033)) << "the word's own capitals still count";
}

TEST_F(DriverTest, AChangeOfLengthMovesTheRangeEndAndEveryCachedBoundary)
{
    Checker->SetHTMLSupport(true);
    SetDocument(L"This is tehh sentence <b>x</b> \x043A\x043E\x0442\rnext line");
    MarkLanguage(31, 34, 1049);
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    ASSERT_EQ("tehh", Checker->BadWord());
    const int rangeEnd = Checker->RangeEnd(), para = Checker->NextParaEnd(), tag = Checker->NextTag(),
              lang = Checker->NextLangChange();
    EXPECT_EQ(34, para);
    EXPECT_EQ(22, tag);
    EXPECT_EQ(31, lang);
    Checker->ChangeText("tested");
    EXPECT_EQ(rangeEnd + 2, Checker->RangeEnd());
    EXPECT_EQ(para + 2, Checker->NextParaEnd());
    EXPECT_EQ(tag + 2, Checker->NextTag());
    EXPECT_EQ(lang + 2, Checker->NextLangChange());
    EXPECT_EQ(6, Checker->CurLen());
    EXPECT_EQ((std::vector<std::string>{"8,4,tested"}), Changes);
    EXPECT_EQ("This is tested sentence <b>x</b> \xEA\xEE\xF2\rnext line", WideToString(WideText(Edit), 1251));
    // Both copies changed alike: the Russian word is still Russian and still correct.
    Checker->CheckNext();
    EXPECT_EQ(0, Checker->ReturnCode());
}

TEST_F(DriverTest, ChangeAllReplacesLaterOccurrencesWithoutAsking)
{
    SetDocument(L"teh cat and teh mat");
    Checker->CheckControl(Edit);
    ASSERT_EQ("teh", Checker->BadWord());
    Checker->ChangeAllText("the");
    Checker->CheckNext();
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_EQ("the cat and the mat", DocText());
    EXPECT_EQ((std::vector<std::string>{"0,3,the", "12,3,the"}), Changes);
}

TEST_F(DriverTest, ARepeatedWordIsDeletedWithTheBlankAfterIt)
{
    Options({spoFindRepeatWord});
    SetDocument(L"This is the the cat");
    Checker->CheckControl(Edit);
    ASSERT_EQ(11, Checker->ReturnCode());
    EXPECT_EQ(12, Checker->CurPos());
    Click(Dialog()->DelButton);
    EXPECT_EQ("This is the cat", DocText());
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_EQ((std::vector<std::string>{"12,4,"}), Changes);
}

TEST_F(DriverTest, ARepeatedWordBeforeAFullStopTakesTheBlankBeforeIt)
{
    Options({spoFindRepeatWord});
    SetDocument(L"It is the the. This is a cat cat");
    Checker->CheckControl(Edit);
    ASSERT_EQ(11, Checker->ReturnCode());
    Click(Dialog()->DelButton);
    EXPECT_EQ("It is the. This is a cat cat", DocText());
    ASSERT_EQ(11, Checker->ReturnCode());
    EXPECT_EQ("cat", Checker->BadWord());
    Click(Dialog()->DelButton);
    EXPECT_EQ("It is the. This is a cat", DocText());
    EXPECT_EQ((std::vector<std::string>{"9,4,", "24,4,"}), Changes);
}

TEST_F(DriverTest, AParagraphLongerThanTheEnginesTakeIsSplitBetweenWords)
{
    // "cat" stands across character 65535 of the paragraph; cut there, "ca" would be reported.
    std::wstring text = L"a ";
    for (int i = 0; i < 8200; ++i) text += L"the cat ";
    text += L"teh";
    ASSERT_EQ(L'a', text[65535]);
    SetDocument(text);
    Checker->CheckControl(Edit);
    // The line box shows the part of the line around the error, not all of it.
    std::string shown = Narrow(WideText(Dialog()->Misspelling));
    EXPECT_LT(shown.size(), 5000u);
    EXPECT_EQ("the cat teh", shown.substr(shown.size() - 11));
    EXPECT_EQ((std::vector<TReported>{{1, "teh", 65602}}), Errors());
}

TEST_F(DriverTest, TheLineAroundAnErrorComesFromTheWorkCopy)
{
    SetDocument(L"first line\rsecond teh line\rend");
    Checker->CheckControl(Edit);
    ASSERT_EQ("teh", Checker->BadWord());
    int start = -1;
    EXPECT_EQ("second teh line", Checker->GetLineAt(Checker->CurPos(), start));
    EXPECT_EQ(11, start);
    EXPECT_EQ("first line", Checker->GetLineAt(0, start));
    EXPECT_EQ(0, start);
    EXPECT_EQ("end", Checker->GetLineAt(30, start));
    EXPECT_EQ(27, start);
}

TEST_F(DriverTest, ANewCheckReplacesTheWorkCopyAndReusesTheDialog)
{
    SetDocument(L"teh cat xqz");
    Checker->CheckControl(Edit);
    TWinControl* firstCopy = Checker->WorkCopy();
    TSpellerDialog2* dialog = Dialog();
    ASSERT_NE(nullptr, firstCopy);
    Edit->Perform(EM_SETSEL, 5, 5);
    Checker->CheckControl(Edit);
    EXPECT_EQ(dialog, Dialog());
    EXPECT_EQ("xqz", Checker->BadWord());
    int copies = 0;
    for (int i = 0; i < Host->ComponentCount(); ++i)
        if (dynamic_cast<TRichEdit98*>(Host->Components(i)) && Host->Components(i) != Edit) ++copies;
    EXPECT_EQ(1, copies);
    Click(Dialog()->CancelButton);
    EXPECT_EQ(nullptr, Checker->WorkCopy());
    EXPECT_FALSE(Dialog()->Visible());
}

TEST_F(DriverTest, AddedWordsAreCorrectFromThenOn)
{
    SetDocument(L"xqz cat xqz");
    Checker->CheckControl(Edit);
    ASSERT_EQ("xqz", Checker->BadWord());
    Click(Dialog()->AddButton);
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_TRUE(Checker->CheckWord("xqz", 1033));
    EXPECT_NE(std::string::npos, pwtest::ReadFileBytes(Dir.File("custom.dic")).find("xqz"));
}
