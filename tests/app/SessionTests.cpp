// The frame's files from the shell, its recent-files list and its recovery copies, in-process
// with a redirected registry and a recovery folder of the test's own.
#include "FrameFixture.h"

#include "RecentFiles.h"
#include "Recovery.h"
#include "Registry.h"
#include "ShellFiles.h"
#include "SysUtils.h"
#include "UserSettings.h"

#include <shlobj.h>

#include <map>

using namespace pw;

namespace {

std::vector<std::string> FilesIn(const std::string& Dir, const char* Pattern = "*")
{
    std::vector<std::string> r;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((Dir + "\\" + Pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return r;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) r.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return r;
}

// A drop of files as the shell makes it for WM_DROPFILES.
HDROP MakeDrop(const std::vector<std::string>& Files)
{
    std::string list;
    for (const std::string& f : Files) list += f + '\0';
    list += '\0';
    HGLOBAL g = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* d = static_cast<DROPFILES*>(GlobalLock(g));
    d->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(d) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(g);
    return static_cast<HDROP>(g);
}

} // namespace

class SessionTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        Settings.Key = "Software\\Penwise";
        Settings.RecoveryFolder = Recovery.File("Recovery");
        Frame->StartSession(Settings);
        pwtest::Pump();
    }
    // A new frame, as a new run of the program makes it.
    void Restart()
    {
        pw::Application->SetMainForm(nullptr);
        delete Frame;
        Frame = new TSpellDemoForm(pw::Application);
        Frame->AfterConstruction();
        pw::Application->SetMainForm(Frame);
        Frame->Show();
        Frame->StartSession(Settings);
        pwtest::Pump();
    }
    std::vector<std::string> RecentCaptions()
    {
        std::vector<std::string> r;
        for (TMenuItem* item : Frame->RecentFiles->MenuItems())
            if (item->Visible()) r.push_back(item->Caption());
        return r;
    }
    std::vector<std::string> Captions()
    {
        std::vector<std::string> r;
        for (int i = 0; i < DocumentCount(); ++i) r.push_back(Frame->MDIChildren(i)->Text());
        return r;
    }
    TMDIForm* DocCaptioned(const std::string& Caption)
    {
        for (int i = 0; i < DocumentCount(); ++i)
            if (Frame->MDIChildren(i)->Text() == Caption) return dynamic_cast<TMDIForm*>(Frame->MDIChildren(i));
        return nullptr;
    }
    std::string Write(const std::string& Name, const std::string& Text)
    {
        std::string f = Files.File(Name);
        pwtest::WriteFileBytes(f, Text);
        return f;
    }

    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Files;
    pwtest::TempDir Recovery;
    TUserSettings Settings;
};

// ---- recent files ----

TEST_F(SessionTest, OpenedAndSavedFilesAreListedNewestFirstAndKeptInTheRegistry)
{
    std::string a = Write("a.rtf", "{\\rtf1 a}"), b = Write("b.rtf", "{\\rtf1 b}"), c = Files.File("c.rtf");
    EXPECT_TRUE(RecentCaptions().empty());
    ChooseFile(a);
    Frame->OpenMIClick(nullptr);
    ChooseFile(b);
    Frame->OpenMIClick(nullptr);
    Frame->NewMIClick(nullptr);
    Type("new text");
    ChooseFile(c);
    Frame->SaveAsMIClick(nullptr);
    EXPECT_EQ(Frame->RecentFiles->Files(), (std::vector<std::string>{c, b, a}));
    EXPECT_EQ(RecentCaptions(), (std::vector<std::string>{"&1 " + c, "&2 " + b, "&3 " + a, "-"}));
    // In the File menu after Print's separator and before Exit.
    std::vector<std::string> shown;
    for (int i = 0; i < Frame->FileMI->Count(); ++i)
        if (Frame->FileMI->Items(i)->Visible()) shown.push_back(Frame->FileMI->Items(i)->Caption());
    EXPECT_EQ(shown, (std::vector<std::string>{"&New", "&Open", "-", "&Save", "Save &as", "-", "P&rinter setup",
                                               "&Print", "-", "&1 " + c, "&2 " + b, "&3 " + a, "-", "E&xit"}));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Penwise\\Recent Files"));
    EXPECT_EQ(reg.ReadString("File1"), c);
    EXPECT_EQ(reg.ReadString("File3"), a);
    // Saving again and opening a listed file move it up without listing it twice.
    ChooseFile(a);
    Frame->OpenMIClick(nullptr);
    EXPECT_EQ(Frame->RecentFiles->Files(), (std::vector<std::string>{a, c, b}));
}

TEST_F(SessionTest, TheListSurvivesARestart)
{
    std::string a = Write("a.rtf", "{\\rtf1 a}"), b = Write("b.txt", "b");
    Frame->OpenFiles({a, b});
    Restart();
    EXPECT_EQ(Frame->RecentFiles->Files(), (std::vector<std::string>{b, a}));
    EXPECT_EQ(RecentCaptions(), (std::vector<std::string>{"&1 " + b, "&2 " + a, "-"}));
}

TEST_F(SessionTest, TheListKeepsEightFiles)
{
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i) names.push_back(Write(Format("f%d.rtf", i), "text"));
    Frame->OpenFiles(names);
    ASSERT_EQ(Frame->RecentFiles->Files().size(), 8u);
    EXPECT_EQ(Frame->RecentFiles->Files().front(), names[9]);
    EXPECT_EQ(Frame->RecentFiles->Files().back(), names[2]);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Penwise\\Recent Files"));
    EXPECT_FALSE(reg.ValueExists("File9"));
}

TEST_F(SessionTest, ChoosingAListedFileOpensItInANewWindow)
{
    std::string a = Write("a.rtf", "{\\rtf1 listed text}");
    Frame->OpenFile(a);
    Frame->NewMIClick(nullptr);
    int before = DocumentCount();
    Frame->RecentFiles->MenuItems()[0]->Click();
    EXPECT_EQ(DocumentCount(), before + 1);
    EXPECT_EQ(Doc()->FileName(), a);
    EXPECT_EQ(DocText(), "listed text");
}

TEST_F(SessionTest, AMissingListedFileIsRemovedWithAMessage)
{
    std::string a = Write("a.rtf", "{\\rtf1 a}"), gone = Write("gone.rtf", "{\\rtf1 gone}");
    Frame->OpenFiles({a, gone});
    DeleteFileA(gone.c_str());
    int before = DocumentCount();
    pwtest::MessageBoxRecorder boxes;
    Frame->RecentFiles->MenuItems()[0]->Click();  // gone.rtf, the newest
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].Text.find(gone), std::string::npos) << boxes.Shown()[0].Text;
    EXPECT_EQ(DocumentCount(), before);
    EXPECT_EQ(Frame->RecentFiles->Files(), std::vector<std::string>{a});
    EXPECT_EQ(RecentCaptions(), (std::vector<std::string>{"&1 " + a, "-"}));
    Restart();
    EXPECT_EQ(Frame->RecentFiles->Files(), std::vector<std::string>{a});
}

TEST(RecentFiles, LongNamesAreShortenedInTheMiddleAndAmpersandsShown)
{
    EXPECT_EQ(TRecentFiles::MenuCaption(0, "C:\\docs\\letter.rtf"), "&1 C:\\docs\\letter.rtf");
    EXPECT_EQ(TRecentFiles::MenuCaption(1, "C:\\Tom & Jerry.rtf"), "&2 C:\\Tom && Jerry.rtf");
    std::string longName = "C:\\Documents and Settings\\somebody\\My Documents\\Letters\\2026\\December\\letter.rtf";
    std::string caption = TRecentFiles::MenuCaption(7, longName);
    EXPECT_EQ(caption.rfind("&8 C:\\...\\", 0), 0u) << caption;
    EXPECT_EQ(caption.substr(caption.size() - 20), "\\December\\letter.rtf") << caption;
    EXPECT_LE(caption.size(), 3u + 60u);
}

// ---- files from the shell ----

TEST_F(SessionTest, DroppedFilesOpenEachInItsWindowAndABadOneShowsItsMessage)
{
    EXPECT_TRUE(GetWindowLongA(Frame->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::string a = Write("a.rtf", "{\\rtf1 first}"), missing = Files.File("missing.rtf"), b = Write("b.txt", "second");
    pwtest::MessageBoxRecorder boxes;
    int before = DocumentCount();
    SendMessageA(Frame->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, missing, b})), 0);
    pwtest::Pump();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].Text.find("missing.rtf"), std::string::npos) << boxes.Shown()[0].Text;
    EXPECT_EQ(DocumentCount(), before + 3);  // the failed one stays, as after a failed Open
    ASSERT_NE(DocCaptioned(a), nullptr);
    ASSERT_NE(DocCaptioned(b), nullptr);
    EXPECT_EQ(DocCaptioned(b)->RichEdit()->Text(), "second");
    EXPECT_EQ(Frame->RecentFiles->Files(), (std::vector<std::string>{b, a}));
}

TEST_F(SessionTest, FilesHandedOverByAnotherStartOpenOnceTheLoopRuns)
{
    std::string a = Write("a.rtf", "{\\rtf1 handed}");
    int before = DocumentCount();
    EXPECT_TRUE(SendFilesTo(Frame->Handle(), {a}));
    EXPECT_EQ(DocumentCount(), before);  // the sender is not kept waiting for the file
    pwtest::Pump();
    EXPECT_EQ(DocumentCount(), before + 1);
    EXPECT_EQ(Doc()->FileName(), a);
    // Other data sent with WM_COPYDATA is refused.
    char other[] = "x";
    COPYDATASTRUCT cds = {42, sizeof other, other};
    EXPECT_EQ(SendMessageA(Frame->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 0);
    pwtest::Pump();
    EXPECT_EQ(DocumentCount(), before + 1);
}

TEST(ShellFiles, CommandLineArgumentsBecomeFullPaths)
{
    pwtest::TempDir dir;
    SetCurrentDirectoryA(dir.Path().c_str());
    std::vector<std::string> files = CommandLineFiles(L"\"C:\\Program Files\\penwise.exe\" letter.rtf \"C:\\with space\\b.txt\"");
    EXPECT_EQ(files, (std::vector<std::string>{dir.File("letter.rtf"), "C:\\with space\\b.txt"}));
    EXPECT_TRUE(CommandLineFiles(L"penwise.exe").empty());
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    SetCurrentDirectoryA(tmp);
}

TEST(ShellFiles, OneInstancePerSettingsKey)
{
    HWND someWindow = GetDesktopWindow();
    TInstanceLock first("Software\\PenwiseTests\\lock-probe");
    EXPECT_TRUE(first.First());
    first.Publish(someWindow);
    {
        TInstanceLock second("Software\\PenwiseTests\\lock-probe");
        EXPECT_FALSE(second.First());
        EXPECT_EQ(second.RunningWindow(0), someWindow);
        TInstanceLock other("Software\\PenwiseTests\\other-probe");
        EXPECT_TRUE(other.First());
    }
}

// ---- recovery copies ----

TEST_F(SessionTest, ModifiedDocumentsAreCopiedWithTheirLanguageRunsWhenTheProgramLosesTheFocus)
{
    std::string folder = Settings.RecoveryFolder;
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"running.marker"});
    std::string name = Doc()->FileName();
    Type("hello ");
    Type("privet");
    Doc()->RichEdit()->SetSelStart(6);
    Doc()->RichEdit()->SetSelLength(6);
    Doc()->SetTextLanguage(1049);
    Frame->NewMIClick(nullptr);  // unmodified: no copy
    SendMessageA(Frame->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    std::vector<std::string> copies = FilesIn(folder, "*.rtf");
    ASSERT_EQ(copies.size(), 1u);
    std::string rtf = pwtest::ReadFileBytes(folder + "\\" + copies[0]);
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u);
    EXPECT_NE(rtf.find("hello"), std::string::npos);
    EXPECT_NE(rtf.find("\\lang1049"), std::string::npos) << rtf;
    std::string id = copies[0].substr(0, copies[0].size() - 4);
    EXPECT_EQ(pwtest::ReadFileBytes(folder + "\\" + id + ".name"), name);
    EXPECT_TRUE(FilesIn(folder, "*.tmp").empty());
}

TEST_F(SessionTest, TheTimerCopiesAndASaveRemovesTheCopy)
{
    Type("typed");
    TMDIForm* doc = Doc();
    SendMessageA(Frame->Handle(), WM_TIMER, 0x5057, 0);
    std::string copy = Frame->Recovery->CopyPath(doc);
    ASSERT_FALSE(copy.empty());
    EXPECT_TRUE(FileExists(copy));
    ChooseFile(Files.File("saved.rtf"));
    Frame->SaveMIClick(nullptr);
    EXPECT_FALSE(FileExists(copy));
    EXPECT_EQ(Frame->Recovery->CopyPath(doc), "");
}

TEST_F(SessionTest, ClosingADocumentOrTheProgramRemovesCopiesAndMarker)
{
    Type("first");
    Frame->NewMIClick(nullptr);
    Type("second");
    SendMessageA(Frame->Handle(), WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(FilesIn(Settings.RecoveryFolder, "*.rtf").size(), 2u);
    pwtest::MessageBoxRecorder boxes;
    boxes.Answer(IDNO);  // close without saving
    SendMessageA(Doc()->Handle(), WM_CLOSE, 0, 0);
    pwtest::Pump();
    EXPECT_EQ(FilesIn(Settings.RecoveryFolder, "*.rtf").size(), 1u);
    pw::Application->SetMainForm(nullptr);
    delete Frame;
    Frame = nullptr;
    EXPECT_TRUE(FilesIn(Settings.RecoveryFolder).empty());
    Frame = new TSpellDemoForm(pw::Application);  // for the fixture's tear-down
}

class RecoveryTest : public SessionTest {
protected:
    // What a run that ends without closing its documents leaves: the copies and the marker.
    std::map<std::string, std::string> LeaveCopies()
    {
        SendMessageA(Frame->Handle(), WM_ACTIVATEAPP, FALSE, 0);
        std::map<std::string, std::string> left;
        for (const std::string& f : FilesIn(Settings.RecoveryFolder))
            left[f] = pwtest::ReadFileBytes(Settings.RecoveryFolder + "\\" + f);
        return left;
    }
    void RestartAfter(const std::map<std::string, std::string>& Left)
    {
        pw::Application->SetMainForm(nullptr);
        delete Frame;
        Frame = nullptr;
        for (const auto& [name, bytes] : Left) pwtest::WriteFileBytes(Settings.RecoveryFolder + "\\" + name, bytes);
        Restart();
    }
};

TEST_F(RecoveryTest, CopiesLeftByARunThatDidNotExitAreOfferedAndOpenModifiedAndUntitled)
{
    std::string letter = Write("letter.rtf", "{\\rtf1 old}");
    Frame->OpenFile(letter);
    Doc()->RichEdit()->SelectAll();
    Type("new text ");
    Type("russkij");
    Doc()->RichEdit()->SetSelStart(9);
    Doc()->RichEdit()->SetSelLength(7);
    Doc()->SetTextLanguage(1049);
    auto left = LeaveCopies();
    ASSERT_EQ(left.size(), 3u);  // marker, copy, name
    pwtest::MessageBoxRecorder boxes;
    boxes.Answer(IDYES);
    RestartAfter(left);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Caption, "Warning");
    EXPECT_NE(boxes.Shown()[0].Text.find(letter), std::string::npos) << boxes.Shown()[0].Text;
    TMDIForm* doc = DocCaptioned(letter + " (recovered)");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->FileName(), letter);
    EXPECT_TRUE(doc->Modified());
    EXPECT_TRUE(doc->Untitled());
    EXPECT_EQ(doc->RichEdit()->Text(), "new text russkij");
    doc->RichEdit()->SetSelStart(11);
    EXPECT_EQ(doc->RichEdit()->SelectionAttributes()->Language(), 1049);
    doc->RichEdit()->SetSelStart(2);
    EXPECT_NE(doc->RichEdit()->SelectionAttributes()->Language(), 1049);
    EXPECT_EQ(pwtest::ReadFileBytes(letter), "{\\rtf1 old}");  // nothing overwritten
    // The copy stays until the document is saved; Save asks for the name, proposing the old one.
    EXPECT_EQ(FilesIn(Settings.RecoveryFolder, "*.rtf").size(), 1u);
    std::string proposed;
    Answers.push_back([&](pw::TCommonDialog& d) {
        proposed = static_cast<pw::TOpenDialog&>(d).FileName();
        static_cast<pw::TOpenDialog&>(d).SetFileName(letter);
        return true;
    });
    doc->SaveDocument();
    EXPECT_EQ(proposed, letter);
    EXPECT_TRUE(FilesIn(Settings.RecoveryFolder, "*.rtf").empty());
    EXPECT_NE(pwtest::ReadFileBytes(letter).find("russkij"), std::string::npos);
}

TEST_F(RecoveryTest, DecliningDiscardsTheCopies)
{
    std::string name = Doc()->FileName();
    Type("unsaved");
    auto left = LeaveCopies();
    pwtest::MessageBoxRecorder boxes;
    boxes.Answer(IDNO);
    RestartAfter(left);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].Text.find(name), std::string::npos);
    EXPECT_EQ(DocumentCount(), 1);  // the new run's empty document only
    EXPECT_EQ(FilesIn(Settings.RecoveryFolder), std::vector<std::string>{"running.marker"});
}

TEST_F(RecoveryTest, AfterACleanExitNothingIsOffered)
{
    Type("unsaved");
    auto left = LeaveCopies();
    left.erase("running.marker");
    pwtest::MessageBoxRecorder boxes;
    RestartAfter(left);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(DocumentCount(), 1);
}
