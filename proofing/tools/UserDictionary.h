// The custom dictionary that words added with "Add" go to. The folder of a main dictionary is
// not writable by a normal user on Windows, so the registration names a file of the user's
// own when no custom dictionary is named yet; the engines then find it in the registry.
#pragma once
#include <windows.h>

#include <string>

namespace regspell {

// The user's file: CUSTOM.DIC in the Penwise folder of the user's application data (the
// folder is created when Create is set).
std::string UserCustomDictionary(bool Create = true);

// Writes Path as value "1" of the "Custom Dictionaries" key that the engines read (under Root),
// unless a non-empty value is there already. Gives the value in force afterwards (empty on
// failure).
std::string RegisterCustomDictionary(HKEY Root, const std::string& Path);
inline std::string RegisterCustomDictionary(const std::string& Path)
{
    return RegisterCustomDictionary(HKEY_LOCAL_MACHINE, Path);
}

// Removes value "1" of the "Custom Dictionaries" key under Root when it names Path (the file
// stays), and the keys that leaves empty; true when it was removed.
bool UnregisterCustomDictionary(HKEY Root, const std::string& Path);

// A string value of an open key, or nothing.
std::string ReadString(HKEY Key, const char* Name);

// Deletes Key under Root if it is empty, then each parent of it that is left empty, up to (not
// including) Stop.
void DeleteEmptyKeys(HKEY Root, const std::string& Key, const std::string& Stop);

} // namespace regspell
