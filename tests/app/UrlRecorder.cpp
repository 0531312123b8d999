// A stand-in browser for the web-link tests: writes the arguments it was started with, each
// followed by a NUL, to the file named by PENWISE_URL_RECORD (written whole, then renamed).
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("PENWISE_URL_RECORD", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 2;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 3;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        int len = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(len), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, arg.data(), len, nullptr, nullptr);
        out += arg;  // keeps the terminating NUL as the separator
    }
    LocalFree(argv);
    std::string tmp = std::string(path) + ".tmp";
    HANDLE h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 4;
    DWORD written = 0;
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    CloseHandle(h);
    return MoveFileExA(tmp.c_str(), path, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
