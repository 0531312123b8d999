#include "FrameFixture.h"

#include "SysUtils.h"

using namespace pw;

TEST_F(FrameTest, SaveAsWritesRTFAndTitlesTheWindow)
{
    pwtest::TempDir dir;
    Type("saved text");
    std::string f = dir.File("letter.txt");
    ChooseFile(f);
    Frame->SaveMIClick(nullptr);  // untitled: Save acts as Save as
    EXPECT_EQ(Executed, std::vector<std::string>{"SaveDialog"});
    EXPECT_EQ(Doc()->Text(), f);
    EXPECT_FALSE(Doc()->Modified());
    EXPECT_FALSE(Doc()->Untitled());
    std::string bytes = pwtest::ReadFileBytes(f);
    EXPECT_EQ(bytes.rfind("{\\rtf", 0), 0u) << "saved as something other than RTF";
    EXPECT_NE(bytes.find("saved text"), std::string::npos);
    Type(" more");
    Frame->SaveMIClick(nullptr);  // titled now: no dialog
    EXPECT_EQ(Executed.size(), 1u);
    EXPECT_NE(pwtest::ReadFileBytes(f).find("more"), std::string::npos);
    // Cancel in Save as changes nothing.
    Type("!");
    CancelDialog();
    Frame->SaveAsMIClick(nullptr);
    EXPECT_EQ(Doc()->Text(), f);
    EXPECT_TRUE(Doc()->Modified());
}

TEST_F(FrameTest, OpenReadsRTFOrText)
{
    pwtest::TempDir dir;
    std::string t = dir.File("plain.rtf");  // the content decides, not the extension
    pwtest::WriteFileBytes(t, "first line\r\nsecond line");
    ChooseFile(t);
    Frame->OpenMIClick(nullptr);
    EXPECT_EQ(DocText(), "first line\rsecond line");
    EXPECT_FALSE(Doc()->Modified());
    EXPECT_FALSE(Doc()->Untitled());
    std::string r = dir.File("rich.txt");
    pwtest::WriteFileBytes(r, "{\\rtf1\\ansi {\\b bold} plain}");
    ChooseFile(r);
    Frame->OpenMIClick(nullptr);
    EXPECT_EQ(DocText(), "bold plain");
}

TEST_F(FrameTest, ClosingAnUnchangedDocumentAsksNothing)
{
    pwtest::MessageBoxRecorder boxes;
    HWND h = Doc()->Handle();
    SendMessageA(h, WM_CLOSE, 0, 0);
    pwtest::Pump();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(DocumentCount(), 0);
}

TEST_F(FrameTest, TheCloseQuestionNamesTheFileAndCancelKeepsTheWindow)
{
    pwtest::MessageBoxRecorder boxes;
    Type("unsaved");
    HWND h = Doc()->Handle();
    std::string name = Doc()->Text();
    boxes.Answer(IDCANCEL);
    SendMessageA(h, WM_CLOSE, 0, 0);
    pwtest::Pump();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "File is " + name + " modified.\rSave before closing?");
    EXPECT_EQ(boxes.Shown()[0].Caption, "Warning");
    EXPECT_EQ(boxes.Shown()[0].Flags & MB_TYPEMASK, static_cast<unsigned>(MB_YESNOCANCEL));
    EXPECT_TRUE(IsWindow(h));
    boxes.Answer(IDNO);
    SendMessageA(h, WM_CLOSE, 0, 0);
    pwtest::Pump();
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(FrameTest, YesThenCancellingTheSaveDialogKeepsTheDocument)
{
    pwtest::MessageBoxRecorder boxes;
    Type("precious");
    HWND h = Doc()->Handle();
    boxes.Answer(IDYES);
    CancelDialog();
    SendMessageA(h, WM_CLOSE, 0, 0);
    pwtest::Pump();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(DocText(), "precious");
    EXPECT_TRUE(Doc()->Modified());
}

TEST_F(FrameTest, AFailedSaveOnCloseKeepsTheDocumentModified)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    Type("precious");
    HWND h = Doc()->Handle();
    boxes.Answer(IDYES);
    ChooseFile(dir.File("missing\\folder\\x.rtf"));
    SendMessageA(h, WM_CLOSE, 0, 0);
    pwtest::Pump();
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(Doc()->Modified());
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_NE(boxes.Shown()[1].Text.find("x.rtf"), std::string::npos) << boxes.Shown()[1].Text;
}

TEST_F(FrameTest, ExitAsksAboutEachModifiedDocumentAndCancelStopsIt)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    Type("first");
    Frame->NewMIClick(nullptr);
    Type("second");
    boxes.Answer(IDYES);
    ChooseFile(dir.File("one.rtf"));
    boxes.Answer(IDCANCEL);
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->ExitMI->Command(), 0), 0);
    pwtest::Pump();
    EXPECT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(DocumentCount(), 2);
    EXPECT_FALSE(Application->Terminated());
    // The document answered with Yes is saved already.
    EXPECT_TRUE(FileExists(dir.File("one.rtf")));
}

TEST_F(FrameTest, ExitWithUnchangedDocumentsEndsTheProgram)
{
    Frame->ExitMIClick(nullptr);
    pwtest::Pump();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FrameTest, BadFilesGiveAMessageAndTheProgramGoesOn)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    std::string bin = dir.File("binary.dat");
    pwtest::WriteFileBytes(bin, std::string("MZ\x90\0\x03\0\0\0\x04\0", 10));
    ChooseFile(bin);
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->OpenMI->Command(), 0), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].Text.find("binary.dat"), std::string::npos) << boxes.Shown()[0].Text;
    ChooseFile(dir.File("missing.rtf"));
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->OpenMI->Command(), 0), 0);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_NE(boxes.Shown()[1].Text.find("missing.rtf"), std::string::npos) << boxes.Shown()[1].Text;
    // The program still works.
    int before = DocumentCount();
    Frame->NewMIClick(nullptr);
    EXPECT_EQ(DocumentCount(), before + 1);
}

TEST_F(FrameTest, ALockedFileIsReportedAndATenMegabyteFileOpens)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    std::string locked = dir.File("locked.txt");
    pwtest::WriteFileBytes(locked, "in use");
    HANDLE h = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ChooseFile(locked);
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->OpenMI->Command(), 0), 0);
    CloseHandle(h);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].Text.find("locked.txt"), std::string::npos) << boxes.Shown()[0].Text;

    std::string big = dir.File("big.txt");
    std::string line(99, 'x');
    line += "\r\n";
    std::string text;
    text.reserve(10u << 20);
    while (text.size() < (10u << 20)) text += line;
    pwtest::WriteFileBytes(big, text);
    ChooseFile(big);
    SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->OpenMI->Command(), 0), 0);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(Doc()->Text(), big);
    EXPECT_EQ(Doc()->RichEdit()->GetTextLen(), static_cast<int>(text.size() / 101 * 100));
}
