#include "UserDictionary.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

namespace regspell {

namespace {

const char* const CustomKey = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";

} // namespace

std::string ReadString(HKEY Key, const char* Name)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(Key, Name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::vector<char> buf(size + 1, '\0');
    if (RegQueryValueExA(Key, Name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
        return {};
    return buf.data();
}

std::string UserCustomDictionary(bool Create)
{
    char folder[MAX_PATH] = {};
    int flags = CSIDL_APPDATA | (Create ? CSIDL_FLAG_CREATE : 0);
    if (FAILED(SHGetFolderPathA(nullptr, flags, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    std::string dir = std::string(folder) + "\\Penwise";
    if (Create) CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\CUSTOM.DIC";
}

std::string RegisterCustomDictionary(HKEY Root, const std::string& Path)
{
    // The engines read the key beside their other keys.
    HKEY k;
    if (RegCreateKeyExA(Root, CustomKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return {};
    std::string current = ReadString(k, "1");
    if (current.empty() && !Path.empty() &&
        RegSetValueExA(k, "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(Path.c_str()),
                       static_cast<DWORD>(Path.size() + 1)) == ERROR_SUCCESS)
        current = Path;
    RegCloseKey(k);
    return current;
}

bool UnregisterCustomDictionary(HKEY Root, const std::string& Path)
{
    HKEY k;
    if (Path.empty() || RegOpenKeyExA(Root, CustomKey, 0, KEY_READ | KEY_WRITE, &k) != ERROR_SUCCESS) return false;
    bool ours = lstrcmpiA(ReadString(k, "1").c_str(), Path.c_str()) == 0;
    bool removed = ours && RegDeleteValueA(k, "1") == ERROR_SUCCESS;
    RegCloseKey(k);
    if (removed) DeleteEmptyKeys(Root, CustomKey, "SOFTWARE\\Microsoft");
    return removed;
}

void DeleteEmptyKeys(HKEY Root, const std::string& Key, const std::string& Stop)
{
    std::string key = Key;
    while (key.size() > Stop.size() && lstrcmpiA(key.c_str(), Stop.c_str()) != 0) {
        HKEY k;
        if (RegOpenKeyExA(Root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
        DWORD subkeys = 0, values = 0;
        LONG got = RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                                    nullptr, nullptr);
        RegCloseKey(k);
        if (got != ERROR_SUCCESS || subkeys || values || RegDeleteKeyA(Root, key.c_str()) != ERROR_SUCCESS) return;
        size_t slash = key.rfind('\\');
        if (slash == std::string::npos) return;
        key.resize(slash);
    }
}

} // namespace regspell
