#include "ImageMachine.h"

#include <windows.h>

#include <cstdio>

namespace regspell {

uint16_t ImageMachine(const std::string& Path)
{
    HANDLE f = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 0;
    auto read = [f](LONG at, void* into, DWORD size) {
        DWORD got = 0;
        return SetFilePointer(f, at, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
               ReadFile(f, into, size, &got, nullptr) && got == size;
    };
    IMAGE_DOS_HEADER dos = {};
    DWORD signature = 0;
    IMAGE_FILE_HEADER file = {};
    bool ok = read(0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE && dos.e_lfanew > 0 &&
              read(dos.e_lfanew, &signature, sizeof signature) && signature == IMAGE_NT_SIGNATURE &&
              read(dos.e_lfanew + static_cast<LONG>(sizeof signature), &file, sizeof file);
    CloseHandle(f);
    return ok ? file.Machine : 0;
}

uint16_t OwnMachine()
{
#if defined(_WIN64)
    return IMAGE_FILE_MACHINE_AMD64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}

std::string MachineName(uint16_t Machine)
{
    if (Machine == IMAGE_FILE_MACHINE_I386) return "32-bit x86";
    if (Machine == IMAGE_FILE_MACHINE_AMD64) return "64-bit x64";
    char buf[32];
    std::snprintf(buf, sizeof buf, "machine %#x", Machine);
    return buf;
}

} // namespace regspell
