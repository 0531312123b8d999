#include "FrameFixture.h"

#include "Printers.h"
#include "SysUtils.h"

using namespace pw;

TEST_F(FrameTest, StartsWithOneEmptyNumberedDocument)
{
    ASSERT_EQ(DocumentCount(), 1);
    EXPECT_EQ(Doc()->Text(), Format("Document%d.rtf", TMDIForm::DocumentCounter()));
    EXPECT_EQ(Doc()->StatusBar()->PanelText(0), "1 : 1");
    EXPECT_EQ(Doc()->StatusBar()->PanelText(1), "");
    EXPECT_FALSE(Doc()->Modified());
    EXPECT_TRUE(Doc()->Untitled());
    EXPECT_EQ(Frame->Text(), "Penwise v 1.5");
    RECT r;
    GetWindowRect(Doc()->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 550);
    EXPECT_EQ(r.bottom - r.top, 404);
    // A new document has no highlight colour.
    EXPECT_EQ(Doc()->RichEdit()->SelectionAttributes()->BackColor(), clNone);
}

TEST_F(FrameTest, NumberingCountsEveryWindowButNotACancelledOpen)
{
    int n = TMDIForm::DocumentCounter();
    Frame->NewMIClick(nullptr);
    EXPECT_EQ(Doc()->Text(), Format("Document%d.rtf", n + 1));
    CancelDialog();
    Frame->OpenMIClick(nullptr);
    EXPECT_EQ(DocumentCount(), 2);  // a cancelled Open makes no window
    pwtest::TempDir dir;
    std::string f = dir.File("opened.txt");
    pwtest::WriteFileBytes(f, "text");
    ChooseFile(f);
    Frame->OpenMIClick(nullptr);
    EXPECT_EQ(Doc()->Text(), f);
    Frame->NewMIClick(nullptr);
    EXPECT_EQ(Doc()->Text(), Format("Document%d.rtf", n + 3));  // Open used up its number
    EXPECT_EQ(DocumentCount(), 4);
}

TEST_F(FrameTest, CommandsWithoutADocumentDoNothing)
{
    pwtest::MessageBoxRecorder boxes;
    delete Doc();
    ASSERT_EQ(DocumentCount(), 0);
    using F = TSpellDemoForm;
    for (auto h : {&F::SaveMIClick, &F::SaveAsMIClick, &F::PrintMIClick, &F::UndoMIClick, &F::RedoMIClick,
                   &F::CutMIClick, &F::CopyMIClick, &F::PasteMIClick, &F::SelectAllMIClick, &F::SpellMIClick})
        (Frame->*h)(nullptr);
    EXPECT_TRUE(Executed.empty());
    // Find and Replace still open their dialogs; Find Next then does nothing.
    Frame->FindMIClick(nullptr);
    Frame->ReplaceMIClick(nullptr);
    EXPECT_EQ(Executed, (std::vector<std::string>{"FindDialog", "ReplaceDialog"}));
    Press(Frame->FindDialog, "x", frDown | frFindNext);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(FrameTest, FindSelectsTheTextOrSaysItIsNotThere)
{
    pwtest::MessageBoxRecorder boxes;
    Type("alpha beta alpha");
    Doc()->RichEdit()->SetSelStart(0);
    Press(Frame->FindDialog, "alpha", frDown | frFindNext);
    EXPECT_EQ(Doc()->RichEdit()->SelStart(), 0);  // found at position 0
    EXPECT_EQ(Doc()->RichEdit()->SelLength(), 5);
    Press(Frame->FindDialog, "alpha", frDown | frFindNext);  // continues after the found text
    EXPECT_EQ(Doc()->RichEdit()->SelStart(), 11);
    Press(Frame->FindDialog, "gamma", frDown | frFindNext);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Text \xABgamma\xBB not found");
    EXPECT_EQ(boxes.Shown()[0].Caption, "Message");
    EXPECT_EQ(Doc()->RichEdit()->SelStart(), 11);  // the selection stays
    // No wrap-around: a second Find Next from the last match finds nothing.
    Press(Frame->FindDialog, "alpha", frDown | frFindNext);
    EXPECT_EQ(boxes.Shown().size(), 2u);
}

TEST_F(FrameTest, ReplaceAllCountsOccurrencesThatWereThereBefore)
{
    pwtest::MessageBoxRecorder boxes;
    Type("a-a-a");
    Doc()->RichEdit()->SetSelStart(0);
    Press(Frame->ReplaceDialog, "a", frDown | frReplaceAll, "aa");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "3 replaces were made");
    EXPECT_EQ(DocText(), "aa-aa-aa");
    EXPECT_TRUE(Doc()->Modified());
    Press(Frame->ReplaceDialog, "zzz", frDown | frReplaceAll, "y");
    EXPECT_EQ(boxes.Shown().back().Text, "0 replaces were made");
}

TEST_F(FrameTest, ReplaceAllWithAnEmptySearchTextEnds)
{
    pwtest::MessageBoxRecorder boxes;
    Type("abc");
    Doc()->RichEdit()->SetSelStart(0);
    Press(Frame->ReplaceDialog, "", frDown | frReplaceAll, "");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "0 replaces were made");
    EXPECT_EQ(DocText(), "abc");
}

TEST_F(FrameTest, ReplaceAllStartsAtTheSelection)
{
    pwtest::MessageBoxRecorder boxes;
    Type("x x x");
    Doc()->RichEdit()->SetSelStart(2);
    Press(Frame->ReplaceDialog, "x", frDown | frReplaceAll, "y");
    EXPECT_EQ(DocText(), "x y y");
}

TEST_F(FrameTest, FindNextThenReplaceReplacesTheSelectedOccurrence)
{
    pwtest::MessageBoxRecorder boxes;
    Type("one two one two");
    Doc()->RichEdit()->SetSelStart(0);
    Press(Frame->ReplaceDialog, "two", frDown | frFindNext);
    EXPECT_EQ(Doc()->RichEdit()->SelStart(), 4);
    Press(Frame->ReplaceDialog, "two", frDown | frReplace, "2");
    EXPECT_EQ(DocText(), "one 2 one two");
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(FrameTest, CommandStatesFollowTheDocument)
{
    EXPECT_FALSE(Frame->FindBtn->Enabled());
    Type("x");
    EXPECT_TRUE(Frame->FindBtn->Enabled());
    EXPECT_TRUE(Frame->ReplaceMI->Enabled());
    EXPECT_TRUE(Frame->UndoBtn->Enabled());
    EXPECT_TRUE(Frame->UndoMI->Enabled());
    EXPECT_TRUE(Doc()->Modified());
    EXPECT_EQ(Doc()->StatusBar()->PanelText(1), "Modified");
    Frame->SelectAllMIClick(nullptr);
    EXPECT_TRUE(Frame->CopyBtn->Enabled());
    EXPECT_TRUE(Frame->CutMI->Enabled());
    Frame->UndoMIClick(nullptr);
    EXPECT_EQ(DocText(), "");
    EXPECT_TRUE(Frame->RedoBtn->Enabled());
    EXPECT_TRUE(IsWindowEnabled(Frame->MainToolBar->Handle()));
    EXPECT_EQ(Frame->MainToolBar->Perform(TB_ISBUTTONENABLED, Frame->RedoBtn->Command(), 0) != 0, true);
}

TEST_F(FrameTest, TheFontListHoldsEachFaceOnceWithArialSelected)
{
    TStrings* items = Frame->FontCombo->Items();
    ASSERT_GT(items->Count(), 3);
    for (int i = 1; i < items->Count(); ++i)
        EXPECT_NE(AnsiCompareText(items->Strings(i - 1), items->Strings(i)), 0) << items->Strings(i);
    int arial = items->IndexOf("Arial");
    ASSERT_GE(arial, 0) << "no Arial face";
    EXPECT_EQ(Frame->FontCombo->ItemIndex(), arial);
    EXPECT_EQ(reinterpret_cast<intptr_t>(items->Objects(arial)), 2);  // TrueType
}

TEST_F(FrameTest, MenuShortcutsAndTags)
{
    const unsigned short expected[] = {16462, 16463, 16467, 16464, 32883, 32776, 16473, 16472,
                                       16451, 16470, 16449, 16454, 16456, 118};
    TMenuItem* items[] = {Frame->NewMI, Frame->OpenMI, Frame->SaveMI, Frame->PrintMI, Frame->ExitMI, Frame->UndoMI,
                          Frame->RedoMI, Frame->CutMI, Frame->CopyMI, Frame->PasteMI, Frame->SelectAllMI,
                          Frame->FindMI, Frame->ReplaceMI, Frame->SpellMI};
    for (size_t i = 0; i < 14; ++i) EXPECT_EQ(items[i]->ShortCut(), expected[i]) << items[i]->Name();
    EXPECT_EQ(ShortCutToText(Frame->UndoMI->ShortCut()), "Alt+BkSp");
    EXPECT_EQ(TextToShortCut("F7"), 118);
    EXPECT_EQ(Frame->FileMI->Tag(), -1);
    EXPECT_EQ(Frame->PrintMI->Tag(), 11);
    EXPECT_EQ(Frame->Images->Count(), 27);
}

TEST_F(FrameTest, ShortcutKeysRunTheirCommands)
{
    int before = DocumentCount();
    MSG m = {};
    m.hwnd = Doc()->RichEdit()->Handle();
    m.message = WM_KEYDOWN;
    m.wParam = 'N';
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    bool handled = Frame->IsShortCut(m);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    EXPECT_TRUE(handled);
    EXPECT_EQ(DocumentCount(), before + 1);
    // A disabled item's key does nothing.
    Frame->NewMI->SetEnabled(false);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    handled = Frame->IsShortCut(m);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    EXPECT_FALSE(handled);
    EXPECT_EQ(DocumentCount(), before + 1);
}

TEST_F(FrameTest, MenuCommandsArriveThroughTheWindow)
{
    int before = DocumentCount();
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->NewMI->Command(), 0), 0);
    EXPECT_EQ(DocumentCount(), before + 1);
    // The tool bar button does the same.
    SendMessageA(Frame->MainToolBar->Handle(), WM_COMMAND, MAKEWPARAM(Frame->NewBtn->Command(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Frame->MainToolBar->Handle()));
    EXPECT_EQ(DocumentCount(), before + 2);
}

TEST_F(FrameTest, TheWindowMenuListsTheDocuments)
{
    Frame->NewMIClick(nullptr);
    pwtest::Pump();
    HMENU window = Frame->WindowMI->Handle();
    int count = GetMenuItemCount(window);
    EXPECT_GE(count, 3 + 2) << "the document windows are not listed";
    bool listed = false;
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        GetMenuStringA(window, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        if (std::string(text).find(Doc()->Text()) != std::string::npos) listed = true;
    }
    EXPECT_TRUE(listed);
}

TEST_F(FrameTest, CascadeAndTileArrangeTheDocuments)
{
    Frame->NewMIClick(nullptr);
    TForm* a = Frame->MDIChildren(0);
    TForm* b = Frame->MDIChildren(1);
    Frame->TileMIClick(nullptr);
    RECT ra, rb;
    GetWindowRect(a->Handle(), &ra);
    GetWindowRect(b->Handle(), &rb);
    // Tiled windows do not overlap.
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb));
    Frame->CascadeMIClick(nullptr);
    GetWindowRect(a->Handle(), &ra);
    GetWindowRect(b->Handle(), &rb);
    EXPECT_NE(ra.left, rb.left);
    EXPECT_NE(ra.top, rb.top);
    Frame->ArrangeIconsMIClick(nullptr);
}

TEST_F(FrameTest, PrintingWithoutAPrinterIsAClearError)
{
    pwtest::MessageBoxRecorder boxes;
    Type("to print");
    // The command runs as from the menu: through the window, whose handler shows errors.
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->PrintMI->Command(), 0), 0);
    if (Printer()->PrinterName().empty()) {
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_NE(boxes.Shown()[0].Text.find("printer"), std::string::npos) << boxes.Shown()[0].Text;
    }
}

TEST_F(FrameTest, ThePrintLoopEndsWhenTheFormatterMakesNoProgress)
{
    Type("some text to lay out on pages");
    HDC dc = CreateCompatibleDC(nullptr);
    RECT page{0, 0, 12240, 15840};
    int newPages = 0;
    int pages = Doc()->RichEdit()->PrintTo(dc, page, [&] { ++newPages; });
    DeleteDC(dc);
    EXPECT_GE(pages, 1);
    EXPECT_LT(pages, 100);
    EXPECT_EQ(newPages, pages - 1);
}

TEST_F(FrameTest, ANewDocumentTakesTheKeyboardFocus)
{
    Frame->NewMIClick(nullptr);
    pwtest::Pump();
    char cls[64] = {};
    GetClassNameA(GetFocus(), cls, sizeof cls);
    EXPECT_EQ(GetFocus(), Doc()->RichEdit()->Handle()) << "focus is on a " << cls;
    // Typed characters go into the document.
    SendMessageA(Doc()->RichEdit()->Handle(), WM_CHAR, 'x', 1);
    EXPECT_EQ(DocText(), "x");
}

TEST_F(FrameTest, AShortcutKeyGoesThroughTheMessageLoopToItsCommand)
{
    int before = DocumentCount();
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(Doc()->RichEdit()->Handle(), WM_KEYDOWN, 'N', 1);
    pwtest::Pump();
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    EXPECT_EQ(DocumentCount(), before + 1);
    EXPECT_EQ(DocText(), "");  // the key did not reach the editor as text
}
