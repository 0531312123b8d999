// The custom dictionary that words added with "Add" go to. The folder of a main dictionary is
// not writable by a normal user on Windows, so the registration names a file of the user's
// own when no custom dictionary is named yet; the engines then find it in the registry.
#pragma once
#include <string>

namespace regspell {

// The user's file: CUSTOM.DIC in the Penwise folder of the user's application data (the
// folder is created).
std::string UserCustomDictionary();

// Writes Path as value "1" of the "Custom Dictionaries" key that the engines read, unless a
// non-empty value is there already. Gives the value in force afterwards (empty on failure).
std::string RegisterCustomDictionary(const std::string& Path);

} // namespace regspell
