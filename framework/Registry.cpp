#include "Registry.h"

#include "SysUtils.h"

#include "WinApi.h"

namespace pw {

TRegistry::TRegistry() : FRootKey(HKEY_CURRENT_USER) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY k)
{
    if (k == FRootKey) return;
    CloseKey();
    FRootKey = k;
}

bool TRegistry::Open(const std::string& Key, bool CanCreate, unsigned long Access)
{
    bool relative = Key.empty() || Key[0] != '\\';
    std::string sub = relative ? Key : Key.substr(1);
    HKEY base = (relative && FCurrentKey) ? FCurrentKey : FRootKey;
    HKEY k = nullptr;
    LONG r;
    if (CanCreate)
        r = RegCreateKeyExA(base, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Access, nullptr, &k, nullptr);
    else
        r = RegOpenKeyExA(base, sub.c_str(), 0, Access, &k);
    if (r != ERROR_SUCCESS) return false;
    std::string path = (relative && FCurrentKey && !FCurrentPath.empty()) ? FCurrentPath + "\\" + sub : sub;
    CloseKey();
    FCurrentKey = k;
    FCurrentPath = path;
    return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate)
{
    return Open(Key, CanCreate, KEY_ALL_ACCESS);
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) { return Open(Key, false, KEY_READ); }

void TRegistry::CloseKey()
{
    if (FCurrentKey) RegCloseKey(FCurrentKey);
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& Key)
{
    bool relative = Key.empty() || Key[0] != '\\';
    HKEY base = (relative && FCurrentKey) ? FCurrentKey : FRootKey;
    HKEY k = nullptr;
    if (RegOpenKeyExA(base, relative ? Key.c_str() : Key.c_str() + 1, 0, KEY_READ, &k) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

static LONG DeleteTree(HKEY base, const std::string& sub)
{
    HKEY k = nullptr;
    if (RegOpenKeyExA(base, sub.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD n = sizeof name;
            if (RegEnumKeyExA(k, 0, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            if (DeleteTree(k, name) != ERROR_SUCCESS) break;
        }
        RegCloseKey(k);
    }
    return RegDeleteKeyA(base, sub.c_str());
}

bool TRegistry::DeleteKey(const std::string& Key)
{
    bool relative = Key.empty() || Key[0] != '\\';
    HKEY base = (relative && FCurrentKey) ? FCurrentKey : FRootKey;
    return DeleteTree(base, relative ? Key : Key.substr(1)) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& Name)
{
    if (!FCurrentKey) return false;
    return RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& Name)
{
    return FCurrentKey && RegDeleteValueA(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

TRegDataType TRegistry::GetDataType(const std::string& Name)
{
    DWORD type = REG_NONE;
    if (!FCurrentKey || RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return TRegDataType::rdUnknown;
    switch (type) {
    case REG_SZ: return TRegDataType::rdString;
    case REG_EXPAND_SZ: return TRegDataType::rdExpandString;
    case REG_DWORD: return TRegDataType::rdInteger;
    case REG_BINARY: return TRegDataType::rdBinary;
    default: return TRegDataType::rdUnknown;
    }
}

std::string TRegistry::ReadString(const std::string& Name)
{
    if (!FCurrentKey) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    std::string s(size + 1, '\0');
    DWORD got = size + 1;
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(s.data()), &got)
        != ERROR_SUCCESS)
        return {};
    s.resize(std::min<size_t>(got, s.size()));
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value)
{
    if (!FCurrentKey ||
        RegSetValueExA(FCurrentKey, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>(Value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

std::vector<std::string> TRegistry::GetKeyNames()
{
    std::vector<std::string> r;
    if (!FCurrentKey) return r;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof name;
        if (RegEnumKeyExA(FCurrentKey, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        r.emplace_back(name, n);
    }
    return r;
}

} // namespace pw
