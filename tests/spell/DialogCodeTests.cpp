// The dialog's display for each kind of error the engine reports, and what Undo Edit puts
// back for it. A recording spelling library answers the checks, so every code can be given.
#include "SpellFixture.h"

#include "FakeSpell.h"
#include "SpellStrings.h"
#include "StdCtrls.h"

using namespace spelltest;

namespace {

class DialogCodeTest : public SpellFixture {
protected:
    void SetUp() override
    {
        SpellFixture::SetUp();
        Library = LoadLibraryA(WinPath(FAKE_LIBRARY).c_str());
        ASSERT_NE(Library, nullptr);
        Reset = reinterpret_cast<TFakeReset>(reinterpret_cast<void*>(GetProcAddress(Library, "FakeReset")));
        QueueCheck = reinterpret_cast<TFakeQueueCheck>(reinterpret_cast<void*>(GetProcAddress(Library, "FakeQueueCheck")));
        QueueSuggestions =
            reinterpret_cast<TFakeQueueSuggestions>(reinterpret_cast<void*>(GetProcAddress(Library, "FakeQueueSuggestions")));
        Reset();
        // English text goes to the recording library.
        TRegistry r;
        r.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(r.OpenKey("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\1033\\Normal", true));
        r.WriteString("Engine", WinPath(FAKE_LIBRARY));
        r.WriteString("Dictionary", "C:\\dicts\\en\\MAIN.LEX");
    }
    void TearDown() override
    {
        SpellFixture::TearDown();
        FreeLibrary(Library);
    }
    // Checks the document with the library answering Code for the range Pos, Len.
    void CheckWith(uint16_t Code, uint16_t Pos, uint16_t Len, const char* Replacement = "")
    {
        SetDocument(L"alpha beta   gamma");
        QueueCheck(Code, Pos, Len, Replacement);
        QueueSuggestions("bet\0bats\0");
        Checker->CheckControl(Edit);
        ASSERT_EQ(Code, Checker->ReturnCode());
        ASSERT_TRUE(Dialog()->Visible());
    }
    std::vector<std::string> VariantItems()
    {
        std::vector<std::string> v;
        TStrings* items = Dialog()->Variants->Items();
        for (int i = 0; i < items->Count(); ++i) v.push_back(items->Strings(i));
        return v;
    }
    std::string BoxText() { return Narrow(WideText(Dialog()->Misspelling)); }
    void TypeInBox(int start, int end, const std::wstring& chars)
    {
        TProtectedRichEdit* box = Dialog()->Misspelling;
        box->Perform(EM_SETSEL, static_cast<WPARAM>(start), end);
        for (wchar_t c : chars) SendMessageW(box->Handle(), WM_CHAR, c, 1);
    }
    // Edits the reported word in the box and takes the edit back.
    void EditAndUndo(int ErrorStart)
    {
        TypeInBox(ErrorStart + 1, ErrorStart + 2, L"x");
        ASSERT_TRUE(Usable(Dialog()->CancelEdit));
        EXPECT_FALSE(Dialog()->Variants->Enabled());
        Click(Dialog()->CancelEdit);
        EXPECT_FALSE(Dialog()->CancelEdit->Visible());
        EXPECT_EQ("alpha beta   gamma", BoxText());
        EXPECT_EQ("alpha beta   gamma", DocText());
    }
    static bool Usable(TControl* c) { return c->Visible() && c->Enabled(); }

    HMODULE Library = nullptr;
    TFakeReset Reset = nullptr;
    TFakeQueueCheck QueueCheck = nullptr;
    TFakeQueueSuggestions QueueSuggestions = nullptr;
};

// What the error display shows for one code: the message, the suggestions, whether Change
// All is offered; Skip All and Add are offered for unknown words (code 1) only.
struct TErrorCase {
    uint16_t Code;
    uint16_t Pos, Len;
    const char* Replacement;
    const char* Message;
    std::vector<std::string> Variants;
    bool ChangeAll;
};

void ExpectErrorDisplay(TSpellerDialog2* d, const TErrorCase& c)
{
    EXPECT_EQ(c.Message, d->InfoMsg->Caption());
    EXPECT_TRUE(d->InfoMsg->Enabled());
    EXPECT_FALSE(d->StartButton->Visible());
    EXPECT_FALSE(d->DelButton->Visible());
    EXPECT_TRUE(d->ChangeButton->Visible());
    EXPECT_TRUE(d->SkipButton->Enabled());
    EXPECT_FALSE(d->SkipAllButton->Enabled());
    EXPECT_FALSE(d->AddButton->Enabled());
    EXPECT_EQ(d->Variants->ItemIndex(), 0);
    EXPECT_TRUE(d->ChangeButton->Enabled());
    EXPECT_TRUE(d->Variants->Enabled());
    EXPECT_TRUE(d->Label2->Enabled());
    EXPECT_EQ(c.ChangeAll, d->ChangeAllButton->Enabled());
}

void ExpectSpaceDisplay(TSpellerDialog2* d, const char* Message)
{
    EXPECT_EQ(Message, d->InfoMsg->Caption());
    EXPECT_TRUE(d->InfoMsg->Enabled());
    EXPECT_FALSE(d->CancelEdit->Visible());
    EXPECT_FALSE(d->DelButton->Visible());
    EXPECT_TRUE(d->ChangeButton->Visible());
    EXPECT_TRUE(d->SkipButton->Enabled());
    EXPECT_FALSE(d->SkipAllButton->Enabled());
    EXPECT_FALSE(d->AddButton->Enabled());
    EXPECT_EQ(d->Variants->Items()->Count(), 0);
    EXPECT_FALSE(d->ChangeButton->Enabled());
    EXPECT_FALSE(d->ChangeAllButton->Enabled());
    EXPECT_FALSE(d->Variants->Enabled());
}

} // namespace

TEST_F(DialogCodeTest, EachErrorDisplayAndWhatUndoEditRestores)
{
    const TErrorCase cases[] = {
        {3, 6, 4, "better", "Unknown word", {"better", "bet", "bats"}, true},
        {4, 6, 4, "", "Illegal hyphenations", {"bet", "bats"}, false},
        {5, 6, 4, "", "Capitalization error", {"bet", "bats"}, false},
        // The spaces before the last two characters go: the word, one space and the letter.
        {12, 6, 8, "", "Extra spaces", {"beta g"}, false},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE(c.Code);
        ASSERT_NO_FATAL_FAILURE(CheckWith(c.Code, c.Pos, c.Len, c.Replacement));
        TSpellerDialog2* d = Dialog();
        EXPECT_EQ(VariantItems(), c.Variants);
        ExpectErrorDisplay(d, c);
        EditAndUndo(c.Pos);
        // Undo Edit restores the commands of the error display (without its length limit).
        EXPECT_FALSE(d->DelButton->Visible());
        EXPECT_TRUE(d->ChangeButton->Visible());
        EXPECT_TRUE(d->SkipButton->Enabled());
        EXPECT_FALSE(d->SkipAllButton->Enabled());
        EXPECT_FALSE(d->AddButton->Enabled());
        EXPECT_TRUE(d->ChangeButton->Enabled());
        EXPECT_TRUE(d->Variants->Enabled());
        EXPECT_EQ(c.ChangeAll, d->ChangeAllButton->Enabled());
        Checker->Finish();
        Reset();
    }
}

TEST_F(DialogCodeTest, EachSpaceDisplayAndWhatUndoEditRestores)
{
    const struct {
        uint16_t Code;
        const char* Message;
    } cases[] = {
        {6, "Possible abbreviation"},
        {13, "Missing space"},
        {14, "Numerals in start of word"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Code);
        ASSERT_NO_FATAL_FAILURE(CheckWith(c.Code, 6, 4));
        TSpellerDialog2* d = Dialog();
        ExpectSpaceDisplay(d, c.Message);
        EditAndUndo(6);
        EXPECT_FALSE(d->DelButton->Visible());
        EXPECT_TRUE(d->ChangeButton->Visible());
        EXPECT_TRUE(d->SkipButton->Enabled());
        EXPECT_FALSE(d->SkipAllButton->Enabled());
        EXPECT_FALSE(d->AddButton->Enabled());
        EXPECT_FALSE(d->ChangeButton->Enabled());
        EXPECT_FALSE(d->ChangeAllButton->Enabled());
        EXPECT_FALSE(d->Variants->Enabled());
        Checker->Finish();
        Reset();
    }
}

TEST_F(DialogCodeTest, SkipAfterASpaceErrorGoesOnAfterIt)
{
    ASSERT_NO_FATAL_FAILURE(CheckWith(13, 6, 4));
    Click(Dialog()->SkipButton);
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_EQ("alpha beta   gamma", DocText());
}
