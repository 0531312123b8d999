#include "TestSupport.h"

#include "SysUtils.h"

#include <cstdio>

#include <psapi.h>

namespace pwtest {

MessageBoxRecorder::MessageBoxRecorder() : FPrevious(pw::Application->MessageBoxResponder)
{
    pw::Application->MessageBoxResponder = [this](const std::string& t, const std::string& c, unsigned f) {
        FShown.push_back({t, c, f});
        if (FAnswers.empty()) return IDOK;
        int a = FAnswers.front();
        FAnswers.erase(FAnswers.begin());
        return a;
    };
}

MessageBoxRecorder::~MessageBoxRecorder() { pw::Application->MessageBoxResponder = FPrevious; }

static void DeleteTree(HKEY root, const std::string& sub)
{
    HKEY k;
    if (RegOpenKeyExA(root, sub.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD n = sizeof name;
            if (RegEnumKeyExA(k, 0, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteTree(k, name);
        }
        RegCloseKey(k);
    }
    RegDeleteKeyA(root, sub.c_str());
}

RegistryRedirect::RegistryRedirect()
{
    static int counter = 0;
    FBase = pw::Format("Software\\PenwiseTests\\%lu-%d", GetCurrentProcessId(), ++counter);
    const struct { HKEY Root; const char* Name; } roots[] = {
        {HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CLASSES_ROOT, "HKCR"}, {HKEY_CURRENT_USER, "HKCU"}};
    // Open all the targets first: once HKCU is overridden, further keys would land inside it.
    HKEY targets[3];
    for (int i = 0; i < 3; ++i) {
        std::string path = FBase + "\\" + roots[i].Name;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &targets[i],
                            nullptr) != ERROR_SUCCESS)
            ADD_FAILURE() << "cannot create " << path;
    }
    for (int i = 0; i < 3; ++i) {
        if (RegOverridePredefKey(roots[i].Root, targets[i]) != ERROR_SUCCESS) ADD_FAILURE() << "cannot redirect";
        RegCloseKey(targets[i]);
    }
}

RegistryRedirect::~RegistryRedirect()
{
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    DeleteTree(HKEY_CURRENT_USER, FBase);
}

TempDir::TempDir()
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    FPath = pw::Format("%spenwise-test-%lu-%d", tmp, GetCurrentProcessId(), ++counter);
    CreateDirectoryA(FPath.c_str(), nullptr);
}

static void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

TempDir::~TempDir() { RemoveTree(FPath); }

void Pump()
{
    for (int i = 0; i < 3; ++i) pw::Application->ProcessMessages();
}

std::string ReadFileBytes(const std::string& path)
{
    std::string r;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) r.append(buf, n);
        std::fclose(f);
    }
    return r;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

unsigned long GdiObjectCount()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n) return n;
    // A handle whose high word is 0 names its table slot alone.
    unsigned long live = 0;
    for (ULONG_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++live;
    return live;
}

unsigned long UserObjectCount()
{
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (n) return n;
    // As with GDI handles, a USER handle whose high word is 0 names its table slot alone. The
    // table holds every process's windows: only ours are counted.
    unsigned long live = 0;
    DWORD self = GetCurrentProcessId();
    for (ULONG_PTR i = 1; i < 0x10000; ++i) {
        HWND w = reinterpret_cast<HWND>(i);
        DWORD owner = 0;
        if (IsWindow(w) && GetWindowThreadProcessId(w, &owner) && owner == self) ++live;
        else if (IsMenu(reinterpret_cast<HMENU>(i))) ++live;
    }
    return live;
}

unsigned long long ProcessMemoryBytes()
{
    PROCESS_MEMORY_COUNTERS_EX c = {};
    c.cb = sizeof c;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c)) return 0;
    return c.PrivateUsage ? c.PrivateUsage : c.PagefileUsage;
}

} // namespace pwtest
