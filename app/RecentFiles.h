// The files last opened or saved, newest first, kept per user in the registry and listed
// in a menu ("&1 C:\...\letter.rtf").
#pragma once
#include "Classes.h"

#include <functional>
#include <string>
#include <vector>

namespace pw {

class TMenuItem;

class TRecentFiles : public TComponent {
public:
    static constexpr int MaxCount = 8;

    explicit TRecentFiles(TComponent* AOwner);

    // The key under HKEY_CURRENT_USER whose subkey "Recent Files" keeps the list; setting it
    // reads the list from there. Without a key the list lives only in memory.
    void SetRegistryKey(const std::string& Key);
    const std::vector<std::string>& Files() const { return FFiles; }
    // Puts the file first (a file already listed moves up); the oldest beyond MaxCount goes.
    void Add(const std::string& FileName);
    void Remove(const std::string& FileName);

    // The list is shown in Menu before the item Before, followed by a separator.
    void SetMenuPlace(TMenuItem* Menu, TMenuItem* Before);
    // The menu items: one per possible entry (hidden when unused), then the separator.
    const std::vector<TMenuItem*>& MenuItems() const { return FItems; }
    // A listed file was chosen in the menu.
    std::function<void(const std::string& FileName)> OnChoose;

    // The menu caption of a list entry: "&n " and the name, shortened in the middle when long.
    static std::string MenuCaption(int Index, const std::string& FileName);

private:
    std::vector<std::string> FFiles;
    std::string FKey;
    TMenuItem* FMenu = nullptr;
    std::vector<TMenuItem*> FItems;

    void Load();
    void Store();
    void UpdateMenu();
};

} // namespace pw
