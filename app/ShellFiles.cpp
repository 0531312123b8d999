#include "ShellFiles.h"

#include "Languages.h"

#include <shellapi.h>

namespace pw {

namespace {

// The tag of our WM_COPYDATA: a list of file names, each ended by a NUL.
const ULONG_PTR kFileListTag = 0x50574631;  // "PWF1"

std::string InstanceName(const std::string& SettingsKey)
{
    // Kernel object names may not hold backslashes.
    std::string name = "Penwise.Instance." + SettingsKey;
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

} // namespace

std::string FullPathName(const std::string& FileName)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(FileName.c_str(), sizeof buf, buf, nullptr);
    if (n == 0 || n >= sizeof buf) return FileName;
    return std::string(buf, n);
}

std::vector<std::string> CommandLineFiles(const wchar_t* CommandLine)
{
    std::vector<std::string> files;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(CommandLine, &argc);
    if (!argv) return files;
    for (int i = 1; i < argc; ++i) {
        std::string name = WideToString(argv[i], CP_ACP);
        if (!name.empty()) files.push_back(FullPathName(name));
    }
    LocalFree(argv);
    return files;
}

std::vector<std::string> DroppedFiles(HDROP Drop)
{
    std::vector<std::string> files;
    UINT count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT n = DragQueryFileA(Drop, i, nullptr, 0);
        std::string name(n + 1, '\0');
        n = DragQueryFileA(Drop, i, name.data(), n + 1);
        name.resize(n);
        if (!name.empty()) files.push_back(FullPathName(name));
    }
    return files;
}

TInstanceLock::TInstanceLock(const std::string& SettingsKey)
{
    FMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(unsigned long),
                                  InstanceName(SettingsKey).c_str());
    FFirst = !(FMapping && GetLastError() == ERROR_ALREADY_EXISTS);
    if (FMapping)
        FView = static_cast<unsigned long*>(MapViewOfFile(FMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(unsigned long)));
}

TInstanceLock::~TInstanceLock()
{
    if (FView) {
        if (FFirst) InterlockedExchange(reinterpret_cast<volatile LONG*>(FView), 0);
        UnmapViewOfFile(FView);
    }
    if (FMapping) CloseHandle(FMapping);
}

HWND TInstanceLock::RunningWindow(unsigned TimeoutMs) const
{
    if (!FView) return nullptr;
    for (unsigned waited = 0;; waited += 50) {
        // Window handles keep to 32 bits so that 32- and 64-bit programs can share them: the
        // value is widened with its sign, as Windows widens it.
        auto h = static_cast<HWND>(LongToHandle(*reinterpret_cast<volatile LONG*>(FView)));
        if (h && IsWindow(h)) return h;
        if (waited >= TimeoutMs) return nullptr;
        Sleep(50);
    }
}

void TInstanceLock::Publish(HWND Frame)
{
    if (FView && FFirst)
        InterlockedExchange(reinterpret_cast<volatile LONG*>(FView), HandleToLong(Frame));
}

bool SendFilesTo(HWND Frame, const std::vector<std::string>& Files)
{
    std::string list;
    for (const std::string& f : Files) list += f + '\0';
    COPYDATASTRUCT data = {kFileListTag, static_cast<DWORD>(list.size()), list.data()};
    DWORD pid = 0;
    GetWindowThreadProcessId(Frame, &pid);
    AllowSetForegroundWindow(pid);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(Frame, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &result))
        return false;
    return result != 0;
}

bool ReceivedFiles(const COPYDATASTRUCT* Data, std::vector<std::string>& Files)
{
    if (!Data || Data->dwData != kFileListTag) return false;
    const char* p = static_cast<const char*>(Data->lpData);
    const char* end = p ? p + Data->cbData : p;
    Files.clear();
    while (p < end) {
        const char* stop = p;
        while (stop < end && *stop) ++stop;
        if (stop > p) Files.emplace_back(p, stop);
        p = stop + 1;
    }
    return true;
}

} // namespace pw
