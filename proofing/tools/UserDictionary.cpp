#include "UserDictionary.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace regspell {

namespace {

const char* const CustomKey = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";

std::string ReadValue(HKEY Key, const char* Name)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(Key, Name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::vector<char> buf(size + 1, '\0');
    if (RegQueryValueExA(Key, Name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
        return {};
    return buf.data();
}

} // namespace

std::string UserCustomDictionary()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    std::string dir = std::string(folder) + "\\Penwise";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\CUSTOM.DIC";
}

std::string RegisterCustomDictionary(const std::string& Path)
{
    // The engines read the key under HKEY_LOCAL_MACHINE, the root of their other keys.
    HKEY k;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, CustomKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return {};
    std::string current = ReadValue(k, "1");
    if (current.empty() && !Path.empty() &&
        RegSetValueExA(k, "1", 0, REG_SZ, reinterpret_cast<const BYTE*>(Path.c_str()),
                       static_cast<DWORD>(Path.size() + 1)) == ERROR_SUCCESS)
        current = Path;
    RegCloseKey(k);
    return current;
}

} // namespace regspell
