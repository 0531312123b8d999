// Starts penwise.exe as a process of its own and drives it through its windows.
#include "WinApi.h"

#include <gtest/gtest.h>

namespace {

struct Process {
    PROCESS_INFORMATION pi = {};
    bool Start(const char* exe)
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = std::string("\"") + exe + "\"";
        return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
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

struct FindData { DWORD Pid; HWND Found; };

BOOL CALLBACK FindMainWindow(HWND h, LPARAM p)
{
    auto* d = reinterpret_cast<FindData*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char title[64] = {};
    GetWindowTextA(h, title, sizeof title);
    if (pid == d->Pid && std::string(title) == "Penwise v 1.5" && IsWindowVisible(h)) {
        d->Found = h;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForMainWindow(DWORD pid)
{
    for (int i = 0; i < 300; ++i) {
        FindData d{pid, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&d));
        if (d.Found) return d.Found;
        Sleep(100);
    }
    return nullptr;
}

} // namespace

TEST(EndToEnd, StartsWithItsFrameAndExitsCleanlyOnClose)
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
    ASSERT_EQ(WaitForSingleObject(p.pi.hProcess, 30000), WAIT_OBJECT_0) << "penwise did not exit";
    DWORD code = 1234;
    GetExitCodeProcess(p.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}
