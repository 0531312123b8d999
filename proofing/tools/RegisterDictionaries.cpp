// Registers the spelling library for every Hunspell dictionary found, as the proofing tools'
// registry entries that the program reads: per language identifier the library ("Engine")
// and the main dictionary ("Dictionary"); and, when none is named, a custom dictionary the
// user can write to.
// The library must be of this program's own kind (the 32-bit regspell registers a 32-bit
// library, the 64-bit one a 64-bit library): a program reads the registry view of its own kind
// and can load only a library of its own kind.
// With /user the entries go under HKEY_CURRENT_USER (no administrator rights needed; the
// program reads them before the machine's). With /unregister the entries that name this
// library are removed instead, and the custom dictionary's entry if it names the file
// registered here (the file itself, the user's words, is kept).
// Usage: regspell [/user] [/unregister] LIBRARY [FOLDER...]   (default folder: Z:\usr\share\hunspell)
// Locale names need the newer locale functions.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#undef WINVER
#define WINVER 0x0600
#include <windows.h>

#include "ImageMachine.h"
#include "UserDictionary.h"

#include <cstdio>
#include <cstring>
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

const char* const SpellingRoot = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling";

// The language of a dictionary file's name ("en_US.dic"), or 0.
LANGID LanguageOfFile(const std::string& File)
{
    std::string locale = File.substr(0, File.size() - 4);
    return locale.size() == 5 && locale[2] == '_' ? LanguageOf(locale) : 0;
}

int RegisterFolder(HKEY Root, const std::string& library, const std::string& folder)
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
        LANGID lang = LanguageOfFile(file);
        if (!lang) continue;
        char key[128];
        std::snprintf(key, sizeof key, "%s\\%u\\Normal", SpellingRoot, lang);
        HKEY k;
        if (RegCreateKeyExA(Root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "regspell: cannot write %s\n", key);
            continue;
        }
        bool ok = WriteValue(k, "Engine", library) && WriteValue(k, "Dictionary", folder + "\\" + file);
        RegCloseKey(k);
        if (ok) {
            std::printf("regspell: %s -> %u\n", file.substr(0, file.size() - 4).c_str(), lang);
            ++count;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return count;
}

// Removes every language's entry that names Library, and the keys left empty by it.
int UnregisterLibrary(HKEY Root, const std::string& Library)
{
    HKEY spelling;
    if (RegOpenKeyExA(Root, SpellingRoot, 0, KEY_READ | KEY_WRITE, &spelling) != ERROR_SUCCESS) return 0;
    std::vector<std::string> languages;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(spelling, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        languages.push_back(name);
    }
    int count = 0;
    for (const std::string& language : languages) {
        std::string normal = language + "\\Normal";
        HKEY k;
        if (RegOpenKeyExA(spelling, normal.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) continue;
        std::string engine = regspell::ReadString(k, "Engine");
        RegCloseKey(k);
        if (lstrcmpiA(engine.c_str(), Library.c_str()) != 0) continue;
        if (RegDeleteKeyA(spelling, normal.c_str()) == ERROR_SUCCESS) {
            ++count;
            std::printf("regspell: %s removed\n", language.c_str());
        }
        RegDeleteKeyA(spelling, language.c_str()); // refused while anything else is in it
    }
    RegCloseKey(spelling);
    regspell::DeleteEmptyKeys(Root, SpellingRoot, "SOFTWARE\\Microsoft");
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    HKEY root = HKEY_LOCAL_MACHINE;
    bool unregister = false;
    int first = 1;
    // Options come first. Under Wine a library may be named by its Unix path, which begins with
    // a slash too: an argument with a second slash is a path, not an option.
    for (; first < argc && argv[first][0] == '/' && !std::strchr(argv[first] + 1, '/'); ++first) {
        if (lstrcmpiA(argv[first], "/user") == 0) root = HKEY_CURRENT_USER;
        else if (lstrcmpiA(argv[first], "/unregister") == 0) unregister = true;
        else {
            std::fprintf(stderr, "regspell: unknown option %s\n", argv[first]);
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: regspell [/user] [/unregister] LIBRARY [FOLDER...]\n");
        return 2;
    }
    char full[MAX_PATH];
    GetFullPathNameA(argv[first], MAX_PATH, full, nullptr);
    if (unregister) {
        int count = UnregisterLibrary(root, full);
        if (regspell::UnregisterCustomDictionary(root, regspell::UserCustomDictionary(false)))
            std::printf("regspell: custom dictionary entry removed (the file is kept)\n");
        std::printf("regspell: %d registrations removed\n", count);
        return 0;
    }
    uint16_t machine = regspell::ImageMachine(full);
    if (machine != regspell::OwnMachine()) {
        if (machine == 0) std::fprintf(stderr, "regspell: %s cannot be read as a Windows library\n", full);
        else
            std::fprintf(stderr,
                         "regspell: %s is a %s library, which only a %s program can load: register it with the "
                         "regspell built with it\n",
                         full, regspell::MachineName(machine).c_str(), regspell::MachineName(machine).c_str());
        return 2;
    }
    std::vector<std::string> folders;
    for (int i = first + 1; i < argc; ++i) folders.push_back(argv[i]);
    if (folders.empty()) folders.push_back("Z:\\usr\\share\\hunspell");
    int count = 0;
    for (const std::string& f : folders) count += RegisterFolder(root, full, f);
    if (count > 0) {
        std::string custom = regspell::RegisterCustomDictionary(root, regspell::UserCustomDictionary(true));
        if (custom.empty()) std::fprintf(stderr, "regspell: no custom dictionary could be registered\n");
        else std::printf("regspell: custom dictionary %s\n", custom.c_str());
    }
    std::printf("regspell: %d dictionaries registered\n", count);
    return count > 0 ? 0 : 1;
}
