#include "RecentFiles.h"

#include "Menus.h"
#include "Registry.h"
#include "SysUtils.h"

#include "WinApi.h"

#include <algorithm>

namespace pw {

namespace {

const char* const kListKey = "Recent Files";
const size_t kLongName = 60;

bool SameFile(const std::string& A, const std::string& B)
{
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, A.c_str(), -1, B.c_str(), -1) == CSTR_EQUAL;
}

// "C:\...\folder\letter.rtf": the root and as many trailing parts as fit.
std::string ShortenedName(const std::string& Name)
{
    if (Name.size() <= kLongName) return Name;
    size_t root = Name.find('\\', Name.rfind(':') == std::string::npos ? 2 : 0);
    if (root == std::string::npos) return Name;
    if (Name.compare(0, 2, "\\\\") == 0) root = Name.find('\\', Name.find('\\', 2) + 1);
    if (root == std::string::npos) return Name;
    std::string head = Name.substr(0, root + 1) + "...";
    size_t tail = Name.rfind('\\');
    while (tail > root) {
        size_t prev = Name.rfind('\\', tail - 1);
        if (prev <= root || head.size() + Name.size() - prev > kLongName) break;
        tail = prev;
    }
    return tail <= root ? Name : head + Name.substr(tail);
}

std::string EscapeAmpersands(const std::string& S)
{
    std::string r;
    for (char c : S) {
        if (c == '&') r += '&';
        r += c;
    }
    return r;
}

} // namespace

TRecentFiles::TRecentFiles(TComponent* AOwner) : TComponent(AOwner) {}

std::string TRecentFiles::MenuCaption(int Index, const std::string& FileName)
{
    return Format("&%d ", Index + 1) + EscapeAmpersands(ShortenedName(FileName));
}

void TRecentFiles::SetRegistryKey(const std::string& Key)
{
    FKey = Key;
    Load();
    UpdateMenu();
}

void TRecentFiles::Load()
{
    FFiles.clear();
    TRegistry reg;
    if (FKey.empty() || !reg.OpenKeyReadOnly(FKey + "\\" + kListKey)) return;
    for (int i = 1; i <= MaxCount; ++i) {
        std::string name;
        try {
            name = reg.ReadString(Format("File%d", i));
        } catch (const ERegistryException&) {
            continue;  // a value of another type is no file name
        }
        bool listed = std::any_of(FFiles.begin(), FFiles.end(), [&](const std::string& f) { return SameFile(f, name); });
        if (!name.empty() && !listed) FFiles.push_back(name);
    }
}

void TRecentFiles::Store()
{
    TRegistry reg;
    if (FKey.empty() || !reg.OpenKey(FKey + "\\" + kListKey, true)) return;
    for (int i = 1; i <= MaxCount; ++i) {
        std::string value = Format("File%d", i);
        if (i <= static_cast<int>(FFiles.size())) reg.WriteString(value, FFiles[static_cast<size_t>(i - 1)]);
        else reg.DeleteValue(value);
    }
}

void TRecentFiles::Add(const std::string& FileName)
{
    if (FileName.empty()) return;
    FFiles.erase(std::remove_if(FFiles.begin(), FFiles.end(), [&](const std::string& f) { return SameFile(f, FileName); }),
                 FFiles.end());
    FFiles.insert(FFiles.begin(), FileName);
    if (FFiles.size() > static_cast<size_t>(MaxCount)) FFiles.resize(MaxCount);
    Store();
    UpdateMenu();
}

void TRecentFiles::Remove(const std::string& FileName)
{
    FFiles.erase(std::remove_if(FFiles.begin(), FFiles.end(), [&](const std::string& f) { return SameFile(f, FileName); }),
                 FFiles.end());
    Store();
    UpdateMenu();
}

void TRecentFiles::SetMenuPlace(TMenuItem* Menu, TMenuItem* Before)
{
    // The items are made once and only shown or hidden after: an item chosen from the list
    // may change the list while its own click runs.
    if (!FMenu) {
        int at = Before ? Before->MenuIndex() : Menu->Count();
        for (int i = 0; i <= MaxCount; ++i) {
            auto* item = new TMenuItem(this);
            item->SetTag(-2);  // a drop-down item without an image
            if (i == MaxCount) {
                item->SetCaption("-");
            } else {
                item->SetName(Format("RecentFile%dMI", i + 1));
                item->OnClick = [this, i](TObject*) {
                    if (i >= static_cast<int>(FFiles.size())) return;
                    std::string name = FFiles[static_cast<size_t>(i)];
                    if (OnChoose) OnChoose(name);
                };
            }
            Menu->Insert(at++, item);
            FItems.push_back(item);
        }
    }
    FMenu = Menu;
    UpdateMenu();
}

void TRecentFiles::UpdateMenu()
{
    if (!FMenu) return;
    int count = static_cast<int>(FFiles.size());
    for (int i = 0; i < MaxCount; ++i) {
        TMenuItem* item = FItems[static_cast<size_t>(i)];
        if (i < count) {
            item->SetCaption(MenuCaption(i, FFiles[static_cast<size_t>(i)]));
            item->SetHint(FFiles[static_cast<size_t>(i)]);
        }
        item->SetVisible(i < count);
    }
    FItems.back()->SetVisible(count > 0);
}

} // namespace pw
