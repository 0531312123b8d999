// Starts penwise.exe as a process of its own and drives it through its windows. Each test
// gives the program a settings key and a recovery folder of its own (PENWISE_SETTINGS_KEY),
// removed afterwards: the user's own settings are never touched.
#include "MenuTestSupport.h"
#include "Registry.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using pw::Format;

namespace {

struct Process {
    PROCESS_INFORMATION pi = {};
    // Desktop: the desktop to start on (the one of the starting thread when empty).
    bool Start(const char* exe, const std::vector<std::string>& args = {}, std::string Desktop = {})
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!Desktop.empty()) si.lpDesktop = Desktop.data();
        std::string cmd = std::string("\"") + exe + "\"";
        for (const std::string& a : args) cmd += " \"" + a + "\"";
        return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    // Waits for the process to end; its exit code, or -1 when it did not end.
    long Wait(DWORD ms = 30000)
    {
        if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 1234;
        GetExitCodeProcess(pi.hProcess, &code);
        return static_cast<long>(code);
    }
    void Kill()
    {
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 30000);
    }
    ~Process()
    {
        if (pi.hProcess) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

std::string WindowText(HWND h)
{
    // WM_GETTEXT is carried across processes; GetWindowText would give a control's first text.
    char buf[4096] = {};
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 5000, nullptr);
    return buf;
}

std::string ClassOf(HWND h)
{
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

// Polls until Find gives a window (or about 30 seconds passed).
HWND WaitFor(const std::function<HWND()>& Find)
{
    for (int i = 0; i < 300; ++i) {
        if (HWND h = Find()) return h;
        Sleep(100);
    }
    return nullptr;
}

struct WindowSearch {
    DWORD Pid;
    std::string Class;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopWindow(HWND h, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == s->Pid && IsWindowVisible(h)) s->Found.push_back(h);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM p)
{
    auto* s = reinterpret_cast<WindowSearch*>(p);
    if (ClassOf(h) == s->Class) s->Found.push_back(h);
    return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD pid)
{
    WindowSearch s{pid, {}, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

std::vector<HWND> ChildrenOf(HWND parent, const std::string& Class)
{
    WindowSearch s{0, Class, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&s));
    return s.Found;
}

HWND WaitForMainWindow(DWORD pid)
{
    return WaitFor([pid]() -> HWND {
        for (HWND h : TopWindowsOf(pid))
            if (WindowText(h) == "Penwise v 1.5") return h;
        return nullptr;
    });
}

// A message box of the process: its text, and a press of one of its buttons.
struct MessageBoxWindow {
    HWND Handle = nullptr;
    std::string Text() const
    {
        std::string all;
        for (HWND s : ChildrenOf(Handle, "Static")) all += WindowText(s);
        return all;
    }
    void Press(int id) const
    {
        SendMessageA(Handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Handle, id)));
    }
};

MessageBoxWindow WaitForMessageBox(DWORD pid)
{
    return {WaitFor([pid]() -> HWND {
        for (HWND h : TopWindowsOf(pid))
            if (ClassOf(h) == "#32770") return h;
        return nullptr;
    })};
}

// The captions of the frame's document windows.
std::vector<std::string> DocumentCaptions(HWND frame)
{
    std::vector<std::string> r;
    for (HWND client : ChildrenOf(frame, "MDIClient"))
        for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) r.push_back(WindowText(h));
    std::sort(r.begin(), r.end());
    return r;
}

HWND DocumentWindow(HWND frame, const std::string& caption)
{
    for (HWND client : ChildrenOf(frame, "MDIClient"))
        for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (WindowText(h) == caption) return h;
    return nullptr;
}

HWND EditorOf(HWND document)
{
    std::vector<HWND> e = ChildrenOf(document, "TPwRichEdit98");
    return e.empty() ? nullptr : e[0];
}

std::vector<std::string> FilesIn(const std::string& dir, const char* pattern)
{
    std::vector<std::string> r;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\" + pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return r;
    do r.push_back(dir + "\\" + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return r;
}

// The settings key and recovery folder of one test, named to the program by the environment.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        Key = Format("Software\\PenwiseTests\\e2e-%lu-%d", GetCurrentProcessId(), ++counter);
        RecoveryFolder = Dir.File("Recovery");
        pw::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(Key, true));
        reg.WriteString("RecoveryFolder", RecoveryFolder);
        reg.WriteInteger("RecoveryInterval", 1);
        SetEnvironmentVariableA("PENWISE_SETTINGS_KEY", Key.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("PENWISE_SETTINGS_KEY", nullptr);
        pw::TRegistry reg;
        reg.DeleteKey(Key);
    }
    std::string RecentFile(int n)
    {
        pw::TRegistry reg;
        if (!reg.OpenKeyReadOnly(Key + "\\Recent Files")) return {};
        return reg.ReadString(Format("File%d", n));
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::string f = Dir.File(name);
        pwtest::WriteFileBytes(f, text);
        return f;
    }

    pwtest::TempDir Dir;
    std::string Key;
    std::string RecoveryFolder;
};

} // namespace

TEST_F(EndToEnd, StartsWithItsFrameAndExitsCleanlyOnClose)
{
    Process p;
    ASSERT_TRUE(p.Start(PENWISE_EXE)) << "cannot start " << PENWISE_EXE;
    HWND main = WaitForMainWindow(p.pi.dwProcessId);
    ASSERT_NE(main, nullptr) << "no window titled \"Penwise v 1.5\" appeared";
    RECT r, work;
    GetWindowRect(main, &r);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(r.right - r.left, 738);
    EXPECT_EQ(r.bottom - r.top, 528);
    EXPECT_EQ(r.left, work.left + (work.right - work.left - 738) / 2);
    EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 528) / 2);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Wait(), 0) << "penwise did not exit cleanly";
    EXPECT_EQ(FilesIn(RecoveryFolder, "running.marker").size(), 0u) << "a clean exit leaves no marker";
}

TEST_F(EndToEnd, FilesOnTheCommandLineOpenEachInItsWindowAndABadOneShowsItsMessage)
{
    std::string a = Write("letter.rtf", "{\\rtf1\\ansi Dear reader}");
    std::string missing = Dir.File("missing.rtf");
    std::string b = Write("notes.txt", "plain notes");
    Process p;
    ASSERT_TRUE(p.Start(PENWISE_EXE, {a, missing, b}));
    MessageBoxWindow box = WaitForMessageBox(p.pi.dwProcessId);
    ASSERT_NE(box.Handle, nullptr) << "no message for the missing file";
    EXPECT_NE(box.Text().find("missing.rtf"), std::string::npos) << box.Text();
    box.Press(IDOK);
    HWND main = WaitForMainWindow(p.pi.dwProcessId);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(WaitFor([&] { return DocumentWindow(main, b); }), nullptr) << "notes.txt did not open";
    // The failed one stays, titled with its name, as after a failed Open.
    std::vector<std::string> expected{a, missing, b, "Document1.rtf"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(DocumentCaptions(main), expected);
    EXPECT_EQ(WindowText(EditorOf(DocumentWindow(main, a))), "Dear reader");
    EXPECT_EQ(WindowText(EditorOf(DocumentWindow(main, b))), "plain notes");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Wait(), 0);
    EXPECT_EQ(RecentFile(1), b);
    EXPECT_EQ(RecentFile(2), a);
    EXPECT_EQ(RecentFile(3), "");
}

TEST_F(EndToEnd, ASecondStartHandsItsFilesToTheRunningProgram)
{
    Process first;
    ASSERT_TRUE(first.Start(PENWISE_EXE));
    HWND main = WaitForMainWindow(first.pi.dwProcessId);
    ASSERT_NE(main, nullptr);
    std::string a = Write("handed.rtf", "{\\rtf1\\ansi handed over}");
    Process second;
    ASSERT_TRUE(second.Start(PENWISE_EXE, {a}));
    EXPECT_EQ(second.Wait(), 0) << "the second start did not end";
    HWND doc = WaitFor([&] { return DocumentWindow(main, a); });
    ASSERT_NE(doc, nullptr) << "the running program did not open the file";
    EXPECT_EQ(WindowText(EditorOf(doc)), "handed over");
    EXPECT_TRUE(TopWindowsOf(second.pi.dwProcessId).empty());
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(), 0);
}

TEST_F(EndToEnd, RecentFilesSurviveARestart)
{
    std::string a = Write("first.rtf", "{\\rtf1 first}"), b = Write("second.rtf", "{\\rtf1 second}");
    {
        Process p;
        ASSERT_TRUE(p.Start(PENWISE_EXE, {a}));
        HWND main = WaitForMainWindow(p.pi.dwProcessId);
        ASSERT_NE(WaitFor([&] { return DocumentWindow(main, a); }), nullptr);
        PostMessageA(main, WM_CLOSE, 0, 0);
        ASSERT_EQ(p.Wait(), 0);
    }
    EXPECT_EQ(RecentFile(1), a);
    // The next run starts from the stored list: its file comes first, the older one after it.
    Process p;
    ASSERT_TRUE(p.Start(PENWISE_EXE, {b}));
    HWND main = WaitForMainWindow(p.pi.dwProcessId);
    ASSERT_NE(WaitFor([&] { return DocumentWindow(main, b); }), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(p.Wait(), 0);
    EXPECT_EQ(RecentFile(1), b);
    EXPECT_EQ(RecentFile(2), a);
}

TEST_F(EndToEnd, ADocumentTypedIntoBeforeTheProcessIsKilledIsRecoveredOnTheNextStart)
{
    std::string typed = "Typed before the crash";
    {
        Process p;
        ASSERT_TRUE(p.Start(PENWISE_EXE));
        HWND main = WaitForMainWindow(p.pi.dwProcessId);
        ASSERT_NE(main, nullptr);
        HWND doc = WaitFor([&] { return DocumentWindow(main, "Document1.rtf"); });
        ASSERT_NE(doc, nullptr);
        HWND editor = EditorOf(doc);
        ASSERT_NE(editor, nullptr);
        for (char c : typed) PostMessageW(editor, WM_CHAR, static_cast<WPARAM>(c), 1);
        // The copy is written within a second (the test's interval); wait until it holds the text.
        bool copied = false;
        for (int i = 0; i < 300 && !copied; ++i) {
            for (const std::string& f : FilesIn(RecoveryFolder, "*.rtf"))
                copied = copied || pwtest::ReadFileBytes(f).find(typed) != std::string::npos;
            if (!copied) Sleep(100);
        }
        ASSERT_TRUE(copied) << "no recovery copy with the typed text in " << RecoveryFolder;
        p.Kill();
    }
    EXPECT_EQ(FilesIn(RecoveryFolder, "running.marker").size(), 1u);
    Process p;
    ASSERT_TRUE(p.Start(PENWISE_EXE));
    MessageBoxWindow box = WaitForMessageBox(p.pi.dwProcessId);
    ASSERT_NE(box.Handle, nullptr) << "no recovery question";
    EXPECT_NE(box.Text().find("Document1.rtf"), std::string::npos) << box.Text();
    box.Press(IDYES);
    HWND main = WaitForMainWindow(p.pi.dwProcessId);
    HWND doc = WaitFor([&] { return DocumentWindow(main, "Document1.rtf (recovered)"); });
    ASSERT_NE(doc, nullptr) << "no recovered document";
    EXPECT_EQ(WindowText(EditorOf(doc)), typed);
    // It is modified: closing the program asks about it; No leaves nothing behind.
    PostMessageA(main, WM_CLOSE, 0, 0);
    MessageBoxWindow question = WaitForMessageBox(p.pi.dwProcessId);
    ASSERT_NE(question.Handle, nullptr);
    EXPECT_NE(question.Text().find("File is Document1.rtf modified."), std::string::npos) << question.Text();
    question.Press(IDNO);
    EXPECT_EQ(p.Wait(), 0);
    EXPECT_TRUE(FilesIn(RecoveryFolder, "*.rtf").empty());
    EXPECT_TRUE(FilesIn(RecoveryFolder, "running.marker").empty());
}

// ---- The program as a user runs it: a virtual desktop of its own and real input ----

namespace {

void Key(WORD Vk, bool Up)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = Vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(Vk, 0));
    in.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// A key down and up, and the time a user leaves before the next one.
void Press(WORD Vk)
{
    Key(Vk, false);
    Key(Vk, true);
    Sleep(40);
}

void Type(const std::string& Text)
{
    for (char c : Text) {
        SHORT k = VkKeyScanA(c);
        bool shift = (k & 0x100) != 0;
        if (shift) Key(VK_SHIFT, false);
        Press(LOBYTE(k));
        if (shift) Key(VK_SHIFT, true);
    }
}

// A click at a point of the screen. Every event carries the point itself: a button event that
// only follows the cursor may be told where the cursor was before it moved, on a busy machine.
void Click(POINT At, bool Right)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[3] = {};
    const DWORD down = Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    const DWORD buttons[3] = {0, down, up};
    for (int i = 0; i < 3; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = (At.x * 65536 + w - 1) / w;
        in[i].mi.dy = (At.y * 65536 + h - 1) / h;
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons[i];
    }
    SendInput(3, in, sizeof in[0]);
    Sleep(50);
}

// A run of columns with red in them (the colour of the waves) in a picture of the screen.
struct RedRun {
    int Left, Right, Top; // screen coordinates; Right is past the last column
};

// The runs of red, left to right, in Area of the screen as it shows now. Columns a pixel or
// two apart belong to one run.
std::vector<RedRun> RedRuns(const RECT& Area)
{
    int w = Area.right - Area.left, h = Area.bottom - Area.top;
    std::vector<RedRun> runs;
    if (w <= 0 || h <= 0) return runs;
    menutest::TDib shot(w, h, RGB(0, 0, 0));
    HDC screen = GetDC(nullptr);
    BitBlt(shot.DC(), 0, 0, w, h, screen, Area.left, Area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    const int left = static_cast<int>(Area.left), above = static_cast<int>(Area.top);
    for (int x = 0; x < w; ++x) {
        int top = -1;
        for (int y = 0; y < h && top < 0; ++y)
            if (shot.At(x, y) == RGB(255, 0, 0)) top = y;
        if (top < 0) continue;
        if (!runs.empty() && runs.back().Right >= left + x - 2) {
            runs.back().Right = left + x + 1;
            runs.back().Top = std::min(runs.back().Top, above + top);
        } else {
            runs.push_back({left + x, left + x + 1, above + top});
        }
    }
    return runs;
}

// Polls until Done (or about 20 seconds passed).
bool WaitUntil(const std::function<bool()>& Done)
{
    for (int i = 0; i < 200; ++i) {
        if (Done()) return true;
        Sleep(100);
    }
    return Done();
}

// The class and text of each visible window of a process, for a failure's message.
std::string Windows(DWORD Pid)
{
    std::string s;
    for (HWND h : TopWindowsOf(Pid)) s += " " + ClassOf(h) + " \"" + WindowText(h) + "\"";
    return s;
}

std::string Describe(const std::vector<RedRun>& Runs)
{
    std::string s;
    for (const RedRun& r : Runs) s += Format(" [%d,%d) at %d", r.Left, r.Right, r.Top);
    return s.empty() ? " none" : s;
}

// A desktop of the test's own that Wine shows as a virtual desktop, as scripts/run.sh shows the
// program, with the program's windows managed; the thread that works on it is the test's.
class UserDesktop : public EndToEnd {
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        Name = Format("PenwiseE2E-%lu", GetCurrentProcessId());
        pw::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Wine\\Explorer\\Desktops", true));
        reg.WriteString(Name, "1024x768");
        ASSERT_TRUE(reg.OpenKey("\\Software\\Wine\\AppDefaults\\penwise.exe\\X11 Driver", true));
        reg.WriteString("Managed", "Y");
        // Words added from the menus go to a custom dictionary of the test's own, never to the
        // user's: the machine's setting is put back afterwards.
        pw::TRegistry machine;
        machine.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey(CustomDictionaries, true));
        HadCustom = machine.ValueExists("1");
        if (HadCustom) OldCustom = machine.ReadString("1");
        machine.WriteString("1", Dir.File("custom.dic"));
    }
    void TearDown() override
    {
        pw::TRegistry machine;
        machine.SetRootKey(HKEY_LOCAL_MACHINE);
        if (machine.OpenKey(CustomDictionaries, false)) {
            if (HadCustom) machine.WriteString("1", OldCustom);
            else machine.DeleteValue("1");
        }
        pw::TRegistry reg;
        if (reg.OpenKey("Software\\Wine\\Explorer\\Desktops", false)) reg.DeleteValue(Name);
        reg.DeleteKey("\\Software\\Wine\\AppDefaults\\penwise.exe");
        EndToEnd::TearDown();
    }
    // Runs Scenario on a thread of the desktop (a thread with windows cannot change desktops).
    void OnDesktop(const std::function<void()>& Scenario)
    {
        std::thread worker([&] {
            HDESK desk = CreateDesktopA(Name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
            ASSERT_NE(desk, nullptr) << "cannot create the desktop " << Name;
            ASSERT_TRUE(SetThreadDesktop(desk));
            GetDesktopWindow();
            Scenario();
            CloseDesktop(desk);
        });
        worker.join();
    }
    static constexpr const char* CustomDictionaries =
        "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";
    std::string Name;
    bool HadCustom = false;
    std::string OldCustom;
};

} // namespace

TEST_F(UserDesktop, TypedMisspellingsGetWavesAndARightClickOffersCorrectionsChosenWithTheKeyboard)
{
    OnDesktop([&] {
        Process p;
        ASSERT_TRUE(p.Start(PENWISE_EXE, {}, Name)) << "cannot start " << PENWISE_EXE;
        HWND main = WaitForMainWindow(p.pi.dwProcessId);
        ASSERT_NE(main, nullptr) << "no window titled \"Penwise v 1.5\" on the desktop";
        HWND doc = WaitFor([&] { return DocumentWindow(main, "Document1.rtf"); });
        ASSERT_NE(doc, nullptr);
        HWND editor = EditorOf(doc);
        ASSERT_NE(editor, nullptr);

        // The user looks at the new document for a moment, clicks into it and types, a key
        // at a time (the program has taken in the empty document before the first key).
        WaitForInputIdle(p.pi.hProcess, 10000);
        Sleep(1000);
        RECT area; // the editor's client area on the screen, where the frame has settled
        GetClientRect(editor, &area);
        MapWindowPoints(editor, nullptr, reinterpret_cast<POINT*>(&area), 2);
        SetForegroundWindow(main);
        Click(POINT{area.left + 200, area.top + 100}, false);
        const std::string typed = "Another wrnog word here and a misteak ";
        Type(typed);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(editor) == typed; })) << WindowText(editor);
        std::vector<RedRun> waves;
        bool two = WaitUntil([&] {
            waves = RedRuns(area);
            return waves.size() == 2;
        });
        ASSERT_TRUE(two) << "a wave under each of the two misspellings; red:" << Describe(waves);
        EXPECT_GT(waves[0].Right - waves[0].Left, 15) << Describe(waves);
        EXPECT_GT(waves[1].Left, waves[0].Right + 40) << "\"misteak\" lies well to the right" << Describe(waves);

        // A right click on the first opens the menu of corrections.
        RedRun wrnog = waves[0];
        Click(POINT{(wrnog.Left + wrnog.Right) / 2, wrnog.Top - 6}, true);
        HWND menu = WaitFor([&]() -> HWND {
            for (HWND h : TopWindowsOf(p.pi.dwProcessId))
                if (ClassOf(h) == "#32768") return h;
            return nullptr;
        });
        ASSERT_NE(menu, nullptr) << "no menu after the right click on \"wrnog\"";
        RECT box;
        GetWindowRect(menu, &box);
        EXPECT_GT(box.bottom - box.top, 100) << "Spelling, Add word and the corrections";

        // The user reads the menu, goes to its first item (whichever the mouse left lit), down
        // to the first correction past "Add word" and the line, and presses Enter.
        Sleep(300);
        Press(VK_HOME);
        Press(VK_DOWN);
        Press(VK_DOWN);
        Press(VK_RETURN);
        const std::string corrected = "Another wrong word here and a misteak ";
        EXPECT_TRUE(WaitUntil([&] { return WindowText(editor) == corrected; }))
            << WindowText(editor) << "; the program's windows:" << Windows(p.pi.dwProcessId)
            << "; added to the dictionary: " << pwtest::ReadFileBytes(Dir.File("custom.dic"));
        bool one = WaitUntil([&] {
            waves = RedRuns(area);
            return waves.size() == 1 && waves[0].Left > wrnog.Right;
        });
        EXPECT_TRUE(one) << "only \"misteak\" keeps its wave; red:" << Describe(waves);

        // Closing asks about the modified document; No ends the program.
        PostMessageA(main, WM_CLOSE, 0, 0);
        MessageBoxWindow question = WaitForMessageBox(p.pi.dwProcessId);
        ASSERT_NE(question.Handle, nullptr);
        question.Press(IDNO);
        EXPECT_EQ(p.Wait(), 0);
    });
}

namespace {

// The program as an installer left it: run by scripts/installer-test.sh in a fresh prefix
// after a silent installation (PENWISE_INSTALLED names the architecture's label), skipped
// elsewhere.
class Installed : public EndToEnd {
protected:
    void SetUp() override
    {
        if (!GetEnvironmentVariableA("PENWISE_INSTALLED", nullptr, 0))
            GTEST_SKIP() << "run by scripts/installer-test.sh";
        EndToEnd::SetUp();
    }
    static std::string Read(HKEY Root, const std::string& Key, const std::string& Name)
    {
        pw::TRegistry reg;
        reg.SetRootKey(Root);
        return reg.OpenKeyReadOnly(Key) ? reg.ReadString(Name) : std::string();
    }
    static constexpr const char* UninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Penwise";
    static constexpr const char* EnglishKey =
        "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\1033\\Normal";
};

std::vector<std::string> ListItems(HWND List)
{
    std::vector<std::string> items;
    LRESULT n = SendMessageA(List, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        // Asked in UTF-16: the list is a window of the other process, which answers in its own
        // character set.
        wchar_t buf[256] = {};
        if (SendMessageW(List, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 255)
            SendMessageW(List, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        char ansi[512] = {};
        WideCharToMultiByte(CP_ACP, 0, buf, -1, ansi, sizeof ansi, nullptr, nullptr);
        items.push_back(ansi);
    }
    return items;
}

} // namespace

TEST_F(Installed, TheProgramFindsTheEngineItsInstallerRegisteredAndOffersTheRightWord)
{
    // Registered for the user, in the folder the installer chose; nothing for the machine.
    std::string folder = Read(HKEY_CURRENT_USER, UninstallKey, "InstallLocation");
    ASSERT_FALSE(folder.empty()) << "no uninstall entry for the user";
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EnglishKey, "Engine"), folder + "\\PWSPELL.dll");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, EnglishKey, "Dictionary"), folder + "\\dictionaries\\en_US.dic");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, EnglishKey, "Engine"), "");

    std::string doc = Write("letter.txt", "This sentnce is fine.\r\n");
    Process p;
    std::string exe = folder + "\\penwise.exe";
    ASSERT_TRUE(p.Start(exe.c_str(), {doc})) << "cannot start " << exe;
    HWND main = WaitForMainWindow(p.pi.dwProcessId);
    ASSERT_NE(main, nullptr) << Windows(p.pi.dwProcessId);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        HWND d = DocumentWindow(main, doc);
        editor = d ? EditorOf(d) : nullptr;
        return editor != nullptr;
    })) << "the document did not open:"
        << Windows(p.pi.dwProcessId);
    // F7, as the user presses it in the document.
    PostMessageA(editor, WM_KEYDOWN, VK_F7, 1);
    PostMessageA(editor, WM_KEYUP, VK_F7, 0xC0000001);
    HWND dialog = WaitFor([&]() -> HWND {
        for (HWND h : TopWindowsOf(p.pi.dwProcessId))
            if (WindowText(h).rfind("Spelling check", 0) == 0) return h;
        return nullptr;
    });
    ASSERT_NE(dialog, nullptr) << "no spelling dialog:" << Windows(p.pi.dwProcessId);
    std::vector<HWND> lists = ChildrenOf(dialog, "TPwListBox");
    ASSERT_EQ(lists.size(), 1u);
    std::vector<std::string> offered;
    ASSERT_TRUE(WaitUntil([&] {
        offered = ListItems(lists[0]);
        return !offered.empty();
    })) << "the dialog offers nothing";
    EXPECT_EQ(offered[0], "sentence");

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindowVisible(dialog); });
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Wait(), 0) << Windows(p.pi.dwProcessId);
}
