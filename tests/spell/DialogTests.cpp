// The spelling dialog driven through its own buttons and line box, with the driver and our
// spelling library behind it.
#include "SpellFixture.h"

#include "SpellStrings.h"
#include "StdCtrls.h"

using namespace spelltest;

namespace {

class DialogTest : public SpellFixture {
protected:
    std::string BoxText() { return Narrow(WideText(Dialog()->Misspelling)); }
    std::vector<std::string> VariantItems()
    {
        std::vector<std::string> v;
        TStrings* items = Dialog()->Variants->Items();
        for (int i = 0; i < items->Count(); ++i) v.push_back(items->Strings(i));
        return v;
    }
    // A character typed by the user into the line box at the given selection.
    void TypeInBox(int start, int end, const std::wstring& chars)
    {
        TProtectedRichEdit* box = Dialog()->Misspelling;
        box->Perform(EM_SETSEL, static_cast<WPARAM>(start), end);
        for (wchar_t c : chars) SendMessageW(box->Handle(), WM_CHAR, c, 1);
    }
    void KeyInBox(int caret, WPARAM key)
    {
        TProtectedRichEdit* box = Dialog()->Misspelling;
        box->Perform(EM_SETSEL, static_cast<WPARAM>(caret), caret);
        SendMessageW(box->Handle(), WM_KEYDOWN, key, 1);
        if (key == VK_BACK) SendMessageW(box->Handle(), WM_CHAR, VK_BACK, 1);
        SendMessageW(box->Handle(), WM_KEYUP, key, 0xC0000001);
    }
    static bool Usable(TControl* c) { return c->Visible() && c->Enabled(); }
};

} // namespace

TEST_F(DialogTest, TheFormHasItsLayoutCaptionsAndTabOrder)
{
    SetDocument(L"teh cat");
    Checker->CheckControl(Edit);
    TSpellerDialog2* d = Dialog();
    ASSERT_TRUE(d->Visible());
    EXPECT_EQ(310, d->ClientWidth());
    EXPECT_EQ(262, d->ClientHeight());
    EXPECT_TRUE(GetWindowLongA(d->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ("Spelling check \x97 " + LanguageName(1033), d->Caption());
    EXPECT_EQ("&Variants", d->Label2->Caption());
    EXPECT_EQ("&Change", d->ChangeButton->Caption());
    EXPECT_EQ("Change A&ll", d->ChangeAllButton->Caption());
    EXPECT_EQ("&Skip", d->SkipButton->Caption());
    EXPECT_EQ("S&kip All", d->SkipAllButton->Caption());
    EXPECT_EQ("Ca&ncel", d->CancelButton->Caption());
    EXPECT_EQ("&Undo Edit", d->CancelEdit->Caption());
    EXPECT_EQ("&Delete", d->DelButton->Caption());
    EXPECT_EQ("Start", d->StartButton->Caption());
    EXPECT_EQ("Unknown word", d->InfoMsg->Caption());
    wchar_t add[32] = {};
    GetWindowTextW(d->AddButton->Handle(), add, 32);
    EXPECT_EQ(std::wstring(L"\x0414\x043E\x0431\x0430\x0432\x0438\x0442\x044C"), add);
    RECT c = d->ChangeButton->BoundsRect();
    EXPECT_EQ((RECT{207, 122, 306, 142}), c);
    EXPECT_EQ((RECT{4, 122, 200, 224}), d->Variants->BoundsRect());
    EXPECT_EQ((RECT{4, 20, 306, 93}), d->Misspelling->BoundsRect());
    EXPECT_FALSE(d->CancelEdit->Visible());
    EXPECT_FALSE(d->StartButton->Visible());
    EXPECT_FALSE(d->DelButton->Visible());
    // Tab goes from the line box to the suggestions, then to the commands.
    HWND next = GetNextDlgTabItem(d->Handle(), d->Misspelling->Handle(), FALSE);
    EXPECT_EQ(d->Variants->Handle(), next);
    EXPECT_EQ(d->ChangeButton->Handle(), GetNextDlgTabItem(d->Handle(), next, FALSE));
    // The line shows the error in red, the rest protected in the window-text colour.
    EXPECT_EQ("teh cat", BoxText());
    EXPECT_FALSE(d->Misspelling->CharProtected(0));
    EXPECT_TRUE(d->Misspelling->CharProtected(4));
}

TEST_F(DialogTest, AnUnknownWordOffersItsSuggestionsAndChangeReplacesIt)
{
    SetDocument(L"the cat sat on teh mat");
    Checker->CheckControl(Edit);
    TSpellerDialog2* d = Dialog();
    std::vector<std::string> v = VariantItems();
    ASSERT_FALSE(v.empty());
    EXPECT_EQ("the", v[0]);
    EXPECT_EQ(0, d->Variants->ItemIndex());
    EXPECT_TRUE(Usable(d->ChangeButton));
    EXPECT_TRUE(Usable(d->ChangeAllButton));
    EXPECT_TRUE(Usable(d->SkipAllButton));
    EXPECT_TRUE(Usable(d->AddButton));
    EXPECT_EQ("the cat sat on teh mat", BoxText());
    Click(d->ChangeButton);
    EXPECT_EQ("the cat sat on the mat", DocText());
    EXPECT_EQ(0, Checker->ReturnCode());
    EXPECT_FALSE(d->Visible());
}

TEST_F(DialogTest, RussianSuggestionsShowInCyrillicLetters)
{
    SetDocument(L"\x043C\x0438\x0438\x0440 \x0438 \x043A\x043E\x0442", 0, 1049);  // "миир и кот"
    Checker->CheckControl(Edit);
    ASSERT_EQ(1, Checker->ReturnCode());
    TListBox* v = Dialog()->Variants;
    ASSERT_GT(v->Items()->Count(), 0);
    wchar_t first[32] = {};
    SendMessageW(v->Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(L"\x043C\x0438\x0440", first);
    EXPECT_EQ(L"\x043C\x0438\x0438\x0440 \x0438 \x043A\x043E\x0442", WideText(Dialog()->Misspelling));
    Click(Dialog()->ChangeButton);
    EXPECT_EQ(L"\x043C\x0438\x0440 \x0438 \x043A\x043E\x0442", WideText(Edit));
}

TEST_F(DialogTest, SkipAllAndAddNeedAWordOfAtMostSixtyFourCharacters)
{
    const std::wstring w64(64, L'q'), w65(65, L'z');
    SetDocument(w64 + L" cat " + w65);
    Checker->CheckControl(Edit);
    ASSERT_EQ(64u, Checker->BadWord().size());
    EXPECT_TRUE(Usable(Dialog()->SkipAllButton));
    EXPECT_TRUE(Usable(Dialog()->AddButton));
    Click(Dialog()->SkipButton);
    ASSERT_EQ(65u, Checker->BadWord().size());
    EXPECT_EQ("Unknown word", Dialog()->InfoMsg->Caption());
    EXPECT_TRUE(Usable(Dialog()->SkipButton));
    EXPECT_FALSE(Dialog()->SkipAllButton->Enabled());
    EXPECT_FALSE(Dialog()->AddButton->Enabled());
}

TEST_F(DialogTest, ASentenceCapitalizationErrorOffersTheCapitalisedWordOnly)
{
    Options({spoFindUncappedSentences});
    SetDocument(L"This is a cat. the mat");
    Checker->CheckControl(Edit);
    ASSERT_EQ(10, Checker->ReturnCode());
    EXPECT_EQ("Sentence capitalization error", Dialog()->InfoMsg->Caption());
    EXPECT_EQ((std::vector<std::string>{"The"}), VariantItems());
    EXPECT_TRUE(Usable(Dialog()->ChangeButton));
    EXPECT_FALSE(Dialog()->ChangeAllButton->Enabled());
    EXPECT_FALSE(Dialog()->AddButton->Enabled());
    Click(Dialog()->ChangeButton);
    EXPECT_EQ("This is a cat. The mat", DocText());
}

TEST_F(DialogTest, TypingIntoTheErrorOffersUndoEditWhichRestoresTheWordAndTheCommands)
{
    SetDocument(L"the cat sat on teh mat");
    Checker->CheckControl(Edit);
    TSpellerDialog2* d = Dialog();
    TypeInBox(16, 18, L"he");
    EXPECT_EQ("the cat sat on the mat", BoxText());
    EXPECT_TRUE(Usable(d->CancelEdit));
    EXPECT_TRUE(Usable(d->ChangeButton));
    EXPECT_FALSE(d->Variants->Enabled());
    EXPECT_FALSE(d->ChangeAllButton->Enabled());
    EXPECT_FALSE(d->SkipAllButton->Enabled());
    EXPECT_FALSE(d->AddButton->Enabled());
    int start = 0, end = 0;
    d->FindEditedWord(start, end);
    EXPECT_EQ(15, start);
    EXPECT_EQ(18, end);

    Click(d->CancelEdit);
    EXPECT_EQ("the cat sat on teh mat", BoxText());
    EXPECT_FALSE(d->CancelEdit->Visible());
    EXPECT_TRUE(Usable(d->Variants));
    EXPECT_TRUE(Usable(d->ChangeAllButton));
    EXPECT_TRUE(Usable(d->SkipAllButton));
    EXPECT_TRUE(Usable(d->AddButton));
    EXPECT_FALSE(d->Misspelling->CharProtected(15));
    EXPECT_TRUE(d->Misspelling->CharProtected(18));
    // The document was not touched by the editing in the box.
    EXPECT_EQ("the cat sat on teh mat", DocText());
}

TEST_F(DialogTest, ChangeAfterEditingPutsTheEditedWordIntoTheDocument)
{
    SetDocument(L"the cat sat on teh mat and xqz");
    Checker->CheckControl(Edit);
    TypeInBox(15, 18, L"a");  // the whole error replaced by "a"
    EXPECT_EQ("the cat sat on a mat and xqz", BoxText());
    Click(Dialog()->ChangeButton);
    EXPECT_EQ("the cat sat on a mat and xqz", DocText());
    EXPECT_EQ("xqz", Checker->BadWord());
    EXPECT_EQ(25, Checker->CurPos());
    EXPECT_FALSE(Dialog()->CancelEdit->Visible());
}

TEST_F(DialogTest, TheProtectedPartOfTheLineCannotBeEdited)
{
    SetDocument(L"the cat sat on teh mat");
    Checker->CheckControl(Edit);
    TSpellerDialog2* d = Dialog();
    TypeInBox(2, 2, L"x");
    TypeInBox(0, 22, L"y");    // the whole line selected
    TypeInBox(13, 17, L"z");   // across the start of the error
    KeyInBox(15, VK_BACK);     // the blank before the error
    KeyInBox(18, VK_DELETE);   // the blank after it
    d->Misspelling->Perform(EM_SETSEL, 0, 3);
    d->Misspelling->Perform(WM_CUT, 0, 0);
    EXPECT_EQ("the cat sat on teh mat", BoxText());
    EXPECT_FALSE(d->CancelEdit->Visible());
    // The error itself stays editable, also at its very end.
    TypeInBox(18, 18, L"e");
    EXPECT_EQ("the cat sat on tehe mat", BoxText());
    EXPECT_TRUE(d->CancelEdit->Visible());
}

TEST_F(DialogTest, ARepeatedWordPutsDeleteWhereChangeStoodAndOffersNoOldSuggestions)
{
    Options({spoFindRepeatWord});
    SetDocument(L"teh cat sat on the the mat");
    Checker->CheckControl(Edit);
    ASSERT_FALSE(VariantItems().empty());
    Click(Dialog()->SkipButton);
    ASSERT_EQ(11, Checker->ReturnCode());
    TSpellerDialog2* d = Dialog();
    EXPECT_EQ("Repeated word", d->InfoMsg->Caption());
    EXPECT_FALSE(d->ChangeButton->Visible());
    EXPECT_TRUE(Usable(d->DelButton));
    EXPECT_EQ(d->ChangeButton->BoundsRect(), d->DelButton->BoundsRect());
    RECT dr = {}, cr = {};
    GetWindowRect(d->DelButton->Handle(), &dr);
    GetWindowRect(d->ChangeButton->Handle(), &cr);
    EXPECT_EQ(cr, dr);
    EXPECT_TRUE(VariantItems().empty());
    EXPECT_FALSE(d->ChangeAllButton->Enabled());
    EXPECT_FALSE(d->SkipAllButton->Enabled());
    EXPECT_FALSE(d->AddButton->Enabled());
    // Editing the repeated word and undoing it brings Delete back.
    TypeInBox(20, 20, L"x");
    EXPECT_FALSE(d->DelButton->Visible());
    Click(d->CancelEdit);
    EXPECT_TRUE(Usable(d->DelButton));
    EXPECT_FALSE(d->ChangeButton->Visible());
}

TEST_F(DialogTest, ChangeAllIsRememberedForTheRestOfTheCheck)
{
    SetDocument(L"teh cat sat on teh mat");
    Checker->CheckControl(Edit);
    Click(Dialog()->ChangeAllButton);
    EXPECT_EQ("the cat sat on the mat", DocText());
    EXPECT_EQ(0, Checker->ReturnCode());
}

TEST_F(DialogTest, EnterChangesAndEscapeCancels)
{
    SetDocument(L"teh cat xqz");
    Checker->CheckControl(Edit);
    SendMessageA(Dialog()->Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ("the cat xqz", DocText());
    EXPECT_EQ("xqz", Checker->BadWord());
    SendMessageA(Dialog()->Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(Dialog()->Visible());
    EXPECT_EQ(nullptr, Checker->WorkCopy());
}

namespace {

// Works the dialog from inside its modal loop: notes what it shows, skips, then cancels.
TSpellChecker* g_modalChecker = nullptr;
std::string g_seenInModal;

void CALLBACK WorkModalDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    TSpellerDialog2* d = g_modalChecker ? g_modalChecker->Dialog() : nullptr;
    if (!d) return;
    g_seenInModal = (d->Visible() ? "shown|" : "hidden|") + d->InfoMsg->Caption() + "|" + g_modalChecker->BadWord();
    PressButton(d->SkipButton);
    g_seenInModal += "|" + g_modalChecker->BadWord();
    PressButton(d->CancelButton);
}

} // namespace

TEST_F(DialogTest, AModalCheckRunsInsideTheDialogsLoopUntilCancel)
{
    Checker->SetModalDialog(true);
    SetDocument(L"teh cat xqz mat qqv");
    g_modalChecker = Checker;
    g_seenInModal.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 10, WorkModalDialog);
    Checker->CheckControl(Edit);  // returns when the modal loop ends
    KillTimer(nullptr, timer);
    g_modalChecker = nullptr;
    EXPECT_EQ("shown|Unknown word|teh|xqz", g_seenInModal);
    EXPECT_FALSE(Dialog()->Visible());
    EXPECT_EQ(nullptr, Checker->WorkCopy());
}

TEST_F(DialogTest, DeactivationLeavesCancelAndStartAndStartResumesInTheActiveDocument)
{
    auto* frame = new TForm(nullptr);
    frame->SetFormStyle(TFormStyle::fsMDIForm);
    frame->SetBounds(0, 0, 700, 500);
    frame->Show();
    TRichEdit98* edits[2] = {};
    TForm* children[2] = {};
    for (int i = 0; i < 2; ++i) {
        children[i] = new TForm(frame);
        children[i]->SetFormStyle(TFormStyle::fsMDIChild);
        edits[i] = new TRichEdit98(children[i]);
        edits[i]->SetName("RichEdit");
        edits[i]->SetParent(children[i]);
        edits[i]->SetAlign(TAlign::alClient);
        children[i]->Show();
        edits[i]->HandleNeeded();
    }
    PutText(edits[0], L"teh cat");
    PutText(edits[1], L"the cat sat xqz and qqv");
    MarkLanguage(edits[0], 0, -1, 1033);
    MarkLanguage(edits[1], 0, -1, 1033);
    auto* checker = new TSpellChecker(frame);
    checker->SetLanguage(1033);
    checker->SetCustomDict(Dir.File("custom.dic"));
    edits[0]->Perform(EM_SETSEL, 0, 0);
    checker->CheckControl(edits[0]);
    TSpellerDialog2* d = checker->Dialog();
    ASSERT_NE(nullptr, d);
    ASSERT_EQ("teh", checker->BadWord()) << checker->RangeStart() << "-" << checker->RangeEnd() << " " << Narrow(WideText(edits[0])) << " rc=" << checker->ReturnCode() << " n=" << checker->SpellerCount();
    SetActiveWindow(d->Handle());
    pwtest::Pump();

    // The user clicks into the other document.
    SendMessageA(frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[1]->Handle()), 0);
    SetActiveWindow(frame->Handle());
    pwtest::Pump();
    EXPECT_TRUE(Usable(d->StartButton));
    EXPECT_TRUE(Usable(d->CancelButton));
    for (TControl* c : {static_cast<TControl*>(d->ChangeButton), static_cast<TControl*>(d->ChangeAllButton),
                        static_cast<TControl*>(d->SkipButton), static_cast<TControl*>(d->SkipAllButton),
                        static_cast<TControl*>(d->AddButton), static_cast<TControl*>(d->DelButton),
                        static_cast<TControl*>(d->Variants), static_cast<TControl*>(d->Misspelling)})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_EQ(0, d->Variants->Items()->Count());

    ASSERT_EQ(children[1], frame->ActiveMDIChild());
    edits[1]->Perform(EM_SETSEL, 13, 13);  // inside "xqz"
    Click(d->StartButton);
    EXPECT_EQ(edits[1], checker->Control());
    EXPECT_EQ("xqz", checker->BadWord());
    EXPECT_EQ(12, checker->CurPos());
    EXPECT_TRUE(Usable(d->SkipButton));
    EXPECT_FALSE(d->StartButton->Visible());
    Click(d->CancelButton);
    delete frame;
    pwtest::Pump();
}

TEST_F(DialogTest, StartOutsideAnMDIDocumentDoesNothing)
{
    SetDocument(L"teh cat");
    Checker->CheckControl(Edit);
    TSpellerDialog2* d = Dialog();
    d->FormDeactivate(d);
    EXPECT_TRUE(d->StartButton->Visible());
    Click(d->StartButton);  // the host is not an MDI child: a silent abort
    EXPECT_FALSE(d->StartButton->Visible());
    EXPECT_FALSE(d->SkipButton->Enabled());
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(DialogTest, DestroyingTheDialogMakesTheNextCheckCreateANewOne)
{
    SetDocument(L"teh cat");
    Checker->CheckControl(Edit);
    Click(Dialog()->CancelButton);
    delete Dialog();
    EXPECT_EQ(nullptr, Checker->Dialog());
    Edit->Perform(EM_SETSEL, 0, 0);
    Checker->CheckControl(Edit);
    ASSERT_NE(nullptr, Dialog());
    EXPECT_TRUE(Dialog()->Visible());
    EXPECT_EQ("teh", Checker->BadWord());
}
