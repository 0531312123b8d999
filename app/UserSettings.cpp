#include "UserSettings.h"

#include "Registry.h"
#include "SysUtils.h"

#include "WinApi.h"

#include <shlobj.h>

namespace pw {

namespace {

std::string LocalAppDataFolder()
{
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path)))
        return path;
    DWORD n = GetTempPathA(MAX_PATH, path);
    std::string temp(path, n);
    if (!temp.empty() && temp.back() == '\\') temp.pop_back();
    return temp;
}

} // namespace

std::string UserSettingsKey()
{
    char key[512];
    DWORD n = GetEnvironmentVariableA("PENWISE_SETTINGS_KEY", key, sizeof key);
    if (n > 0 && n < sizeof key) return std::string(key, n);
    return "Software\\Penwise";
}

TUserSettings TUserSettings::Read(const std::string& Key)
{
    TUserSettings s;
    s.Key = Key;
    TRegistry reg;
    if (reg.OpenKeyReadOnly(Key)) {
        // A value of the wrong type is left alone: the program starts with its defaults.
        try {
            if (reg.ValueExists("RecoveryFolder")) s.RecoveryFolder = reg.ReadString("RecoveryFolder");
        } catch (const ERegistryException&) {
        }
        try {
            int seconds = reg.ValueExists("RecoveryInterval") ? reg.ReadInteger("RecoveryInterval") : 0;
            if (seconds > 0) s.RecoveryInterval = static_cast<unsigned>(seconds) * 1000u;
        } catch (const ERegistryException&) {
        }
    }
    if (s.RecoveryFolder.empty()) s.RecoveryFolder = LocalAppDataFolder() + "\\Penwise\\Recovery";
    return s;
}

} // namespace pw
