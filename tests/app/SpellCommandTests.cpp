// The Spelling command of the frame: F7, the menu item and the tool button check the active
// document with the frame's spell checker and its dialog.
#include "FrameFixture.h"

#include "LiveSpeller.h"
#include "Registry.h"
#include "UserSettings.h"
#include "SpellChecker.h"
#include "SpellerDialog.h"

#include <cstring>

using namespace pw;

namespace {

void RegisterEnglish() { pwtest::RegisterSpelling(1033, SPELL_LIBRARY, std::string(SPELL_TEST_DATA) + "/en.dic"); }

class SpellCommandTest : public FrameTest {
protected:
    void SetUp() override
    {
        RegisterEnglish();
        FrameTest::SetUp();
        Frame->Speller->SetCustomDict(Dir.File("custom.dic"));
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        pwtest::Pump();
    }
    // Text as the user types it: it takes the language the editor gives new text.
    void TypeInto(TMDIForm* doc, const std::string& text, int caret)
    {
        doc->RichEdit()->SetSelText(text);
        doc->RichEdit()->SetSelStart(caret);
    }
    bool PressF7()
    {
        MSG m = {};
        m.hwnd = Doc()->RichEdit()->Handle();
        m.message = WM_KEYDOWN;
        m.wParam = VK_F7;
        return Frame->IsShortCut(m);
    }
    TSpellerDialog2* Dialog() { return Frame->Speller->Dialog(); }
    // What the button tells its dialog when the user presses it (if it can be pressed).
    static void Click(TButton* b)
    {
        HWND h = b->Handle();
        if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return;
        SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
    }

    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
    pwtest::MessageBoxRecorder Boxes;
};

} // namespace

TEST_F(SpellCommandTest, TheFramesCheckerIsSetUpForDocuments)
{
    TSpellChecker* s = Frame->Speller;
    EXPECT_EQ(Frame, s->Owner());
    EXPECT_EQ(1033, s->Language());
    EXPECT_EQ(0x00FF, s->Options().Word());
    EXPECT_EQ("Spelling check \x97 %s", s->Caption());
    EXPECT_FALSE(s->ModalDialog());
    EXPECT_TRUE(s->HTMLSupport());
    EXPECT_EQ("Spelling check is complete", s->FinishMessage());
    EXPECT_TRUE(s->ShowFinishMessage());
}

TEST_F(SpellCommandTest, F7ChecksTheActiveDocumentUntilTheEnd)
{
    TypeInto(Doc(), "This is a cat. The mat sat on teh mat.", 0);
    EXPECT_TRUE(PressF7());
    ASSERT_NE(nullptr, Dialog());
    EXPECT_TRUE(Dialog()->Visible());
    EXPECT_EQ("teh", Frame->Speller->BadWord());
    EXPECT_EQ("Spelling check \x97 " + LanguageName(1033), Dialog()->Caption());
    Click(Dialog()->ChangeButton);
    EXPECT_EQ("This is a cat. The mat sat on the mat.", DocText());
    EXPECT_TRUE(Doc()->Modified());
    EXPECT_FALSE(Dialog()->Visible());
    ASSERT_EQ(1u, Boxes.Shown().size());
    EXPECT_EQ("Spelling check is complete", Boxes.Shown()[0].Text);
    EXPECT_EQ("Message", Boxes.Shown()[0].Caption);
}

TEST_F(SpellCommandTest, TheToolButtonAndTheMenuItemRunTheSameCheck)
{
    TypeInto(Doc(), "The cat xqz sat.", 0);
    Frame->SpellBtn->Click();
    ASSERT_NE(nullptr, Dialog());
    EXPECT_EQ("xqz", Frame->Speller->BadWord());
    Click(Dialog()->CancelButton);
    EXPECT_FALSE(Dialog()->Visible());
    EXPECT_EQ(nullptr, Frame->Speller->WorkCopy());
    Doc()->RichEdit()->SetSelStart(0);
    Frame->SpellMI->Click();
    EXPECT_TRUE(Dialog()->Visible());
    EXPECT_EQ("xqz", Frame->Speller->BadWord());
}

TEST_F(SpellCommandTest, WithoutADocumentTheCommandDoesNothing)
{
    delete Doc();
    pwtest::Pump();
    ASSERT_EQ(0, DocumentCount());
    Frame->SpellMIClick(Frame);
    EXPECT_EQ(nullptr, Dialog());
}

TEST_F(SpellCommandTest, StartResumesInTheDocumentTheUserClickedInto)
{
    TMDIForm* first = Doc();
    TypeInto(first, "The cat sat on teh mat.", 0);
    Frame->NewMIClick(Frame);
    TMDIForm* second = Doc();
    ASSERT_NE(first, second);
    TypeInto(second, "The mat xqz.", 0);
    SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->Handle()), 0);
    pwtest::Pump();
    ASSERT_EQ(first, Doc());
    first->CheckSpelling();
    ASSERT_EQ("teh", Frame->Speller->BadWord());
    TSpellerDialog2* d = Dialog();
    SetActiveWindow(d->Handle());
    pwtest::Pump();

    // The user clicks into the second document: the dialog offers only Cancel and Start.
    SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(second->Handle()), 0);
    SetActiveWindow(Frame->Handle());
    pwtest::Pump();
    EXPECT_TRUE(IsWindowVisible(d->Handle()));
    // The dialog stays above the frame that took the focus.
    int dialogAt = -1, frameAt = -1, k = 0;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT), ++k) {
        if (h == d->Handle()) dialogAt = k;
        if (h == Frame->Handle()) frameAt = k;
    }
    EXPECT_GE(dialogAt, 0);
    EXPECT_LT(dialogAt, frameAt);
    EXPECT_TRUE(d->StartButton->Visible());
    EXPECT_FALSE(d->SkipButton->Enabled());
    EXPECT_TRUE(d->CancelButton->Enabled());
    Click(d->StartButton);
    EXPECT_EQ(second->RichEdit(), Frame->Speller->Control());
    EXPECT_EQ("xqz", Frame->Speller->BadWord());
    Click(d->CancelButton);
}

TEST_F(SpellCommandTest, ClosingTheDocumentDuringACheckLeavesTheDialogHarmless)
{
    TypeInto(Doc(), "The cat xqz sat on teh mat.", 0);
    Frame->SpellMI->Click();
    ASSERT_EQ("xqz", Frame->Speller->BadWord());
    TSpellerDialog2* d = Dialog();
    delete Doc();
    pwtest::Pump();
    EXPECT_EQ(nullptr, Frame->Speller->Control());
    EXPECT_EQ(nullptr, Frame->Speller->WorkCopy());
    EXPECT_FALSE(d->Visible());  // the check ended with its document
    EXPECT_EQ(0, Frame->Speller->ReturnCode());
    EXPECT_TRUE(Boxes.Shown().empty());
    d->FormDeactivate(d);
    Click(d->StartButton);  // no document: nothing happens
    EXPECT_EQ(nullptr, Frame->Speller->Control());
}

TEST_F(SpellCommandTest, AnEmptyDocumentEndsAtOnce)
{
    Frame->SpellMIClick(Frame);
    ASSERT_NE(nullptr, Dialog());
    EXPECT_FALSE(Dialog()->Visible());
    ASSERT_EQ(1u, Boxes.Shown().size());
    EXPECT_EQ("Spelling check is complete", Boxes.Shown()[0].Text);
}

// ---- Spelling as you type ----

namespace {

std::vector<std::string> MarkedWords(TMDIForm* doc)
{
    std::vector<std::string> words;
    for (const TSpellMark& m : doc->LiveSpeller()->Marks()) {
        doc->RichEdit()->SetSelStart(m.Start);
        doc->RichEdit()->SetSelLength(m.Length);
        words.push_back(doc->RichEdit()->SelText());
    }
    doc->RichEdit()->SetSelStart(0);
    return words;
}

// Runs the message loop (timers included) until the document's check has nothing left.
void Idle(TMDIForm* doc)
{
    for (int i = 0; i < 200 && doc->LiveSpeller()->WorkLeft(); ++i) {
        Sleep(TLiveSpeller::SettleDelay / 5);
        pwtest::Pump();
    }
}

void TypeKeys(TMDIForm* doc, const char* text)
{
    for (const char* c = text; *c; ++c) SendMessageA(doc->RichEdit()->Handle(), WM_CHAR, static_cast<WPARAM>(*c), 0);
}

} // namespace

TEST_F(SpellCommandTest, TypedMisspellingsAreMarkedInIdleTime)
{
    EXPECT_TRUE(Frame->CheckAsYouTypeMI->Checked()) << "on by default";
    ASSERT_NE(Doc()->LiveSpeller(), nullptr);
    TypeKeys(Doc(), "the wrold cat sat ");
    Idle(Doc());
    EXPECT_EQ(MarkedWords(Doc()), std::vector<std::string>{"wrold"});
    EXPECT_FALSE(Doc()->LiveSpeller()->WorkLeft());
}

TEST_F(SpellCommandTest, TheOptionTurnsMarkingOffInEveryDocumentAndIsKeptForTheUser)
{
    TypeKeys(Doc(), "a wrold ");
    Frame->NewMIClick(nullptr);
    TypeKeys(Doc(), "the wrold ");
    Idle(Doc());
    TMDIForm* second = Doc();
    Frame->CheckAsYouTypeMI->Click();
    EXPECT_FALSE(Frame->CheckAsYouTypeMI->Checked());
    for (int i = 0; i < Frame->MDIChildCount(); ++i)
        EXPECT_TRUE(static_cast<TMDIForm*>(Frame->MDIChildren(i))->LiveSpeller()->Marks().empty());
    TRegistry r;
    ASSERT_TRUE(r.OpenKeyReadOnly(UserSettingsKey()));
    EXPECT_EQ(r.ReadInteger("CheckSpellingAsYouType", -1), 0);

    // A new frame starts with the user's choice.
    pw::Application->SetMainForm(nullptr);
    delete Frame;
    Frame = new TSpellDemoForm(pw::Application);
    Frame->AfterConstruction();
    pw::Application->SetMainForm(Frame);
    Frame->Show();
    pwtest::Pump();
    EXPECT_FALSE(Frame->CheckAsYouTypeMI->Checked());
    TypeKeys(Doc(), "the wrold ");
    Idle(Doc());
    EXPECT_TRUE(Doc()->LiveSpeller()->Marks().empty());
    Frame->CheckAsYouTypeMI->Click();
    Idle(Doc());
    EXPECT_EQ(MarkedWords(Doc()), std::vector<std::string>{"wrold"});
    (void)second;
}

TEST_F(SpellCommandTest, AddInTheDialogClearsTheWordsMarksInEveryDocument)
{
    TypeKeys(Doc(), "A wrold ");
    TMDIForm* first = Doc();
    Frame->NewMIClick(nullptr);
    TypeKeys(Doc(), "The wrold cat ");
    Idle(first);
    Idle(Doc());
    ASSERT_EQ(MarkedWords(first).size(), 1u);
    ASSERT_EQ(MarkedWords(Doc()).size(), 1u);
    Doc()->RichEdit()->SetSelStart(0);
    EXPECT_TRUE(PressF7());
    ASSERT_NE(nullptr, Dialog());
    EXPECT_EQ("wrold", Frame->Speller->BadWord());
    Click(Dialog()->AddButton);
    EXPECT_TRUE(first->LiveSpeller()->Marks().empty());
    EXPECT_TRUE(Doc()->LiveSpeller()->Marks().empty());
    Boxes.Clear();
}
