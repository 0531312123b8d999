// Where the program keeps what it remembers of a user between runs: a key under
// HKEY_CURRENT_USER and the folder of recovery copies.
#pragma once
#include <string>

namespace pw {

struct TUserSettings {
    // The key under HKEY_CURRENT_USER ("Software\Penwise").
    std::string Key;
    // Folder of the recovery copies of modified documents.
    std::string RecoveryFolder;
    // How often modified documents are copied there, in milliseconds.
    unsigned RecoveryInterval = 120000;

    // The settings under Key: the value "RecoveryFolder" names another folder than the
    // user's local application data, "RecoveryInterval" (seconds) another interval.
    static TUserSettings Read(const std::string& Key);
};

// "Software\Penwise", or the key that PENWISE_SETTINGS_KEY names (test runs keep their
// state apart from the user's that way).
std::string UserSettingsKey();

} // namespace pw
