// Registers the spelling library for every Hunspell dictionary found, as the proofing tools'
// registry entries that the program reads: per language identifier the library ("Engine")
// and the main dictionary ("Dictionary"); and, when none is named, a custom dictionary the
// user can write to.
// The library must be of this program's own kind (the 32-bit regspell registers a 32-bit
// library, the 64-bit one a 64-bit library): a program reads the registry view of its own kind
// and can load only a library of its own kind.
// Usage: regspell LIBRARY [FOLDER...]   (default folder: Z:\usr\share\hunspell)
// Locale names need the newer locale functions.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600
#include <windows.h>

#include "ImageMachine.h"
#include "UserDictionary.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool WriteValue(HKEY key, const char* name, const std::string& value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// "en_US" gives the identifier of the locale en-US; 0 when the name is no locale.
LANGID LanguageOf(const std::string& name)
{
    std::wstring w;
    for (char c : name) w += static_cast<wchar_t>(c == '_' ? '-' : c);
    LCID lcid = LocaleNameToLCID(w.c_str(), 0);
    return lcid ? LANGIDFROMLCID(lcid) : 0;
}

int RegisterFolder(const std::string& library, const std::string& folder)
{
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.dic").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "regspell: no dictionaries in %s\n", folder.c_str());
        return 0;
    }
    do {
        std::string file = fd.cFileName;
        std::string locale = file.substr(0, file.size() - 4);
        LANGID lang = locale.size() == 5 && locale[2] == '_' ? LanguageOf(locale) : 0;
        if (!lang) continue;
        char key[128];
        std::snprintf(key, sizeof key, "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%u\\Normal", lang);
        HKEY k;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "regspell: cannot write %s\n", key);
            continue;
        }
        bool ok = WriteValue(k, "Engine", library) && WriteValue(k, "Dictionary", folder + "\\" + file);
        RegCloseKey(k);
        if (ok) {
            std::printf("regspell: %s -> %u\n", locale.c_str(), lang);
            ++count;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: regspell LIBRARY [FOLDER...]\n");
        return 2;
    }
    char full[MAX_PATH];
    GetFullPathNameA(argv[1], MAX_PATH, full, nullptr);
    uint16_t machine = regspell::ImageMachine(full);
    if (machine != regspell::OwnMachine()) {
        if (machine == 0)
            std::fprintf(stderr, "regspell: %s cannot be read as a Windows library\n", full);
        else
            std::fprintf(stderr, "regspell: %s is a %s library, which only a %s program can load: register it with the "
                         "regspell built with it\n", full, regspell::MachineName(machine).c_str(),
                         regspell::MachineName(machine).c_str());
        return 2;
    }
    std::vector<std::string> folders;
    for (int i = 2; i < argc; ++i) folders.push_back(argv[i]);
    if (folders.empty()) folders.push_back("Z:\\usr\\share\\hunspell");
    int count = 0;
    for (const std::string& f : folders) count += RegisterFolder(full, f);
    if (count > 0) {
        std::string custom = regspell::RegisterCustomDictionary(regspell::UserCustomDictionary());
        if (custom.empty()) std::fprintf(stderr, "regspell: no custom dictionary could be registered\n");
        else std::printf("regspell: custom dictionary %s\n", custom.c_str());
    }
    std::printf("regspell: %d dictionaries registered\n", count);
    return count > 0 ? 0 : 1;
}
