// The right-click menu of a document and the language combo box, with our spelling library
// and small English and Russian dictionaries registered in a redirected registry.
#include "FrameFixture.h"

#include "LanguagesCombo.h"
#include "Registry.h"
#include "SpellChecker.h"
#include "SpellerDialog.h"
#include "SysUtils.h"

using namespace pw;

namespace {

void RegisterEngine(int language, const std::string& dictionary, const std::string& library = SPELL_LIBRARY)
{
    pwtest::RegisterSpelling(language, library, std::string(APP_TEST_DATA) + "/" + dictionary);
}

struct TShownMenu {
    bool Shown = false;
    std::vector<std::wstring> Texts;  // as the menu shows them, separators as "-"
    std::vector<std::string> Captions;
};

class WordMenuTest : public FrameTest {
protected:
    void SetUp() override
    {
        RegisterEngine(1033, "en.dic");
        RegisterEngine(1049, "ru.dic");
        FrameTest::SetUp();
        Frame->Speller->SetCustomDict(Dir.File("custom.dic"));
    }
    void TearDown() override
    {
        TPopupMenu::TrackResponder = nullptr;
        FrameTest::TearDown();
        pwtest::Pump();
    }
    TRichEdit98* Edit() { return Doc()->RichEdit(); }
    void TypeWide(const std::wstring& text)
    {
        Edit()->SetWideMode(true);
        Edit()->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
        Edit()->SetWideMode(false);
    }
    POINT PointOf(int pos)
    {
        POINTL p = {};
        Edit()->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), pos);
        return POINT{p.x + 2, p.y + 4};
    }
    // A right click at character pos; the menu, if it opens, answers with the item of that
    // caption (or nothing) and tells what it showed.
    TShownMenu RightClick(int pos, const std::string& choose = {})
    {
        TShownMenu shown;
        TPopupMenu::TrackResponder = [&](TPopupMenu* m) -> TMenuItem* {
            shown.Shown = true;
            HMENU h = m->Handle();
            for (int i = 0; i < GetMenuItemCount(h); ++i) {
                wchar_t text[128] = {};
                MENUITEMINFOW mi = {};
                mi.cbSize = sizeof mi;
                mi.fMask = MIIM_FTYPE | MIIM_STRING;
                mi.dwTypeData = text;
                mi.cch = 127;
                GetMenuItemInfoW(h, static_cast<UINT>(i), TRUE, &mi);
                shown.Texts.push_back((mi.fType & MFT_SEPARATOR) ? L"-" : text);
            }
            TMenuItem* pick = nullptr;
            for (int i = 0; i < m->Items()->Count(); ++i) {
                shown.Captions.push_back(m->Items()->Items(i)->Caption());
                if (!choose.empty() && m->Items()->Items(i)->Caption() == choose) pick = m->Items()->Items(i);
            }
            return pick;
        };
        POINT p = PointOf(pos);
        SendMessageA(Edit()->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(Edit()->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        TPopupMenu::TrackResponder = nullptr;
        return shown;
    }
    void ChooseLanguage(TLanguage language)
    {
        TLanguagesCombo* c = Frame->Languages;
        c->SetItemIndex(c->Items()->IndexOfObject(reinterpret_cast<TObject*>(static_cast<uintptr_t>(language))));
        SendMessageA(Frame->FmtToolBar->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c->Handle()), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c->Handle()));
    }

    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
    pwtest::MessageBoxRecorder Boxes;
};

} // namespace

TEST_F(WordMenuTest, ARightClickOnAMisspeltWordOffersCorrectionsAndReplacesExactlyIt)
{
    Type("hello wrold again");
    Edit()->SetSelStart(0);  // the caret elsewhere
    TShownMenu m = RightClick(8, "world");
    ASSERT_TRUE(m.Shown);
    ASSERT_GE(m.Texts.size(), 4u);
    EXPECT_EQ(m.Texts[0], L"Spelling\tF7");
    EXPECT_EQ(m.Texts[1], L"Add word");
    EXPECT_EQ(m.Texts[2], L"-");
    EXPECT_EQ(m.Texts[3], L"world");
    EXPECT_EQ(Doc()->ClickedWord(), "wrold");
    EXPECT_EQ(DocText(), "hello world again");
    EXPECT_TRUE(Doc()->Modified());
}

// The words are capitalised: the driver checks a clicked word as a sentence of its own, so
// with "find uncapped sentences" on it reports every lower-case word (see the next test).
TEST_F(WordMenuTest, ACorrectWordShowsNothingButTheCaretMoved)
{
    Type("Hello World Again");
    Edit()->SetSelStart(0);
    TShownMenu m = RightClick(14);
    EXPECT_FALSE(m.Shown) << Doc()->ClickedWord();
    EXPECT_GE(Edit()->SelStart(), 13);
    EXPECT_EQ(Edit()->SelLength(), 0);
}

// A correct lower-case word is no uncapped sentence of its own: no menu for it.
TEST_F(WordMenuTest, ACorrectLowerCaseWordShowsNothing)
{
    Type("Hello world again");
    EXPECT_FALSE(RightClick(14).Shown) << Doc()->ClickedWord();
}

TEST_F(WordMenuTest, MovingTheMouseAfterARightClickSelectsNothing)
{
    Type("hello world again");
    RightClick(2);
    int caret = Edit()->SelStart();
    POINT p = PointOf(15);
    SendMessageA(Edit()->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(Edit()->SelStart(), caret);
    EXPECT_EQ(Edit()->SelLength(), 0);
    EXPECT_NE(GetCapture(), Edit()->Handle());
}

TEST_F(WordMenuTest, AddWordMakesTheNextCheckAcceptIt)
{
    Type("Hello Zork Again");
    TShownMenu m = RightClick(7, "Add word");
    ASSERT_TRUE(m.Shown);
    // No suggestions: Spelling and Add word without a separator.
    EXPECT_EQ(m.Texts, (std::vector<std::wstring>{L"Spelling\tF7", L"Add word"}));
    EXPECT_FALSE(RightClick(7).Shown);
    EXPECT_TRUE(Frame->Speller->CheckWord("Zork", 1033));
}

TEST_F(WordMenuTest, TheCapturedWordStopsAtBlanksAndKeepsItsLetters)
{
    Type("Cafe caf\xE9  x");
    RightClick(6);
    EXPECT_EQ(Doc()->ClickedWord(), "caf\xE9");  // é is a letter, the blanks are not
    EXPECT_EQ(Doc()->WordStart(), 5);
    EXPECT_EQ(Doc()->WordEnd(), 9);
    // One letter gets no menu and leaves the word captured before.
    EXPECT_FALSE(RightClick(12).Shown);
    EXPECT_EQ(Doc()->ClickedWord(), "caf\xE9");
}

TEST_F(WordMenuTest, AWordOfHundredsOfLettersIsJudgedLikeAnyOther)
{
    Type("Start " + std::string(600, 'q') + " end");
    TShownMenu m = RightClick(300);
    ASSERT_TRUE(m.Shown);
    EXPECT_EQ(m.Texts, (std::vector<std::wstring>{L"Spelling\tF7", L"Add word"}));
    EXPECT_EQ(Doc()->ClickedWord(), std::string(600, 'q'));
}

// No engine for the clicked text's language: every word of it counts as correct, silently.
TEST_F(WordMenuTest, AMisspellingInALanguageWithoutAnEngineShowsNothing)
{
    Type("hello wrold again");
    Edit()->SelectAll();
    ChooseLanguage(1036);
    Edit()->SetSelStart(0);
    EXPECT_FALSE(RightClick(8).Shown) << Doc()->ClickedWord();
    EXPECT_EQ(Doc()->ClickedWord(), "wrold");
    EXPECT_EQ(Edit()->Language(), 1036) << "the click followed the clicked text's language";
    EXPECT_TRUE(Boxes.Shown().empty());
}

TEST_F(WordMenuTest, ARussianWordIsMarkedCheckedAndCorrectedInCyrillic)
{
    Type("hello ");
    TypeWide(L"\x043C\x0440\x0438 world");  // "мри world"
    Edit()->SetSelStart(6);
    Edit()->SetSelLength(3);
    ChooseLanguage(1049);
    EXPECT_EQ(Edit()->SelectionAttributes()->Language(), 1049);
    EXPECT_EQ(GetFocus(), Edit()->Handle());
    Edit()->SetSelStart(11);
    EXPECT_EQ(Edit()->SelectionAttributes()->Language(), 1033);  // the rest keeps its language
    EXPECT_EQ(Frame->Languages->Language(), 1033);
    Edit()->SetSelStart(7);
    EXPECT_EQ(Frame->Languages->Language(), 1049);  // the combo box follows the caret
    EXPECT_EQ(Edit()->Language(), 1049);
    // The right click checks it with the Russian dictionary; the corrections show in Cyrillic.
    TShownMenu m = RightClick(7, "\xEC\xE8\xF0");  // "мир" in code page 1251
    ASSERT_TRUE(m.Shown);
    ASSERT_GE(m.Texts.size(), 4u);
    EXPECT_NE(std::find(m.Texts.begin(), m.Texts.end(), std::wstring(L"\x043C\x0438\x0440")), m.Texts.end());
    Edit()->SelectAll();
    EXPECT_EQ(Edit()->SelText(), "hello ??? world");  // the ANSI view of the system code page...
    Edit()->SetSelStart(0);
    Edit()->SetWideMode(true);
    wchar_t all[64] = {};
    GETTEXTEX gt = {sizeof all, GT_DEFAULT, 1200, nullptr, nullptr};
    Edit()->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(all));
    Edit()->SetWideMode(false);
    EXPECT_STREQ(all, L"hello \x043C\x0438\x0440 world");  // ...the text itself is right
}

TEST_F(WordMenuTest, F7ChecksTheRussianWordWithTheRussianEngine)
{
    Type("Hello ");
    TypeWide(L"\x043C\x0440\x0438");
    Edit()->SetSelStart(6);
    Edit()->SetSelLength(3);
    ChooseLanguage(1049);
    Edit()->SetSelStart(0);
    MSG msg = {};
    msg.hwnd = Edit()->Handle();
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F7;
    ASSERT_TRUE(Frame->IsShortCut(msg));
    ASSERT_NE(Frame->Speller->Dialog(), nullptr);
    EXPECT_EQ(Frame->Speller->Dialog()->Caption(), "Spelling check \x97 " + LanguageName(1049));
    EXPECT_EQ(Frame->Speller->BadWord(), "\xEC\xF0\xE8");  // "мри" in the Russian code page
}

TEST_F(WordMenuTest, AtStartTheLanguageComboShowsTheDocumentsLanguage)
{
    EXPECT_EQ(Frame->Languages->Language(), 1033);
    EXPECT_TRUE(Frame->Languages->ShowFlag());
    EXPECT_EQ(Frame->Languages->Hint(), "Language");
    EXPECT_TRUE(Frame->AcceptLanguageChange);
    // Choosing a language with the caret in a word marks the insertion point only.
    Type("hello");
    Edit()->SetSelStart(2);
    ChooseLanguage(1036);
    Edit()->SelectAll();
    EXPECT_EQ(Edit()->SelectionAttributes()->Language(), 1033);
}

// Faults of a working session: the library registered for a language is gone (deleted after
// the program started), and the custom dictionary can no longer be written. Each is told once,
// naming the file; the document stays as it was; English is still checked.
TEST_F(WordMenuTest, AGoneLibraryAndAnUnwritableCustomDictionaryAreToldAndOtherLanguagesGoOn)
{
    Type("hello wrold ");
    Edit()->SetSelStart(0);
    ASSERT_TRUE(RightClick(10).Shown);  // the English engine is at work
    std::string gone = Dir.File("pwspell-copy.dll");
    ASSERT_TRUE(CopyFileA(std::string(SPELL_LIBRARY).c_str(), gone.c_str(), FALSE));
    RegisterEngine(1049, "ru.dic", gone);
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    Edit()->SetSelStart(12);
    TypeWide(L"\x043C\x0440\x0438");  // "мри"
    Edit()->SetSelStart(12);
    Edit()->SetSelLength(3);
    ChooseLanguage(1049);
    Edit()->SetSelStart(0);

    EXPECT_FALSE(RightClick(13).Shown);  // unchecked, so not wrong
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    const std::string& told = Boxes.Shown()[0].Text;
    EXPECT_EQ(told.rfind("Spelling in " + LanguageName(1049) + " is not checked: ", 0), 0u) << told;
    EXPECT_NE(told.find("Spelling library: " + gone), std::string::npos) << told;
    RightClick(14);
    EXPECT_EQ(Boxes.Shown().size(), 1u);  // told once, not for every word
    TShownMenu english = RightClick(8);
    ASSERT_TRUE(english.Shown);
    EXPECT_NE(std::find(english.Texts.begin(), english.Texts.end(), std::wstring(L"world")), english.Texts.end());

    // Where the custom dictionary was, a folder: the added word cannot be written.
    std::string custom = Dir.File("custom.dic");
    ASSERT_TRUE(DeleteFileA(custom.c_str()));
    ASSERT_TRUE(CreateDirectoryA(custom.c_str(), nullptr));
    RightClick(8, "Add word");
    ASSERT_EQ(Boxes.Shown().size(), 2u);
    EXPECT_EQ(Boxes.Shown()[1].Text.rfind("\"wrold\" could not be added to the custom dictionary " + custom + ": ", 0), 0u)
        << Boxes.Shown()[1].Text;
    EXPECT_FALSE(Frame->Speller->CheckWord("wrold", 1033));  // still unknown: nothing pretends it was kept
    EXPECT_EQ(DocText().substr(0, 12), "hello wrold ");
    EXPECT_EQ(Boxes.Shown().size(), 2u);
}
