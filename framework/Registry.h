// Registry access: one open key at a time under a chosen root.
#pragma once
#include "Classes.h"

#include <string>
#include <vector>

struct HKEY__;
typedef HKEY__* HKEY;

namespace pw {

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry();  // root HKEY_CURRENT_USER
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY k);
    HKEY CurrentKey() const { return FCurrentKey; }
    const std::string& CurrentPath() const { return FCurrentPath; }

    // Opens Key (relative to the root, or to the open key when it has no leading '\');
    // with CanCreate the key is created when missing. False when it cannot be opened.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    bool KeyExists(const std::string& Key);
    bool DeleteKey(const std::string& Key);
    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    // The type of a value of the open key; rdUnknown when it is missing.
    TRegDataType GetDataType(const std::string& Name);

    // Reads a string value; empty when missing. Raises ERegistryException when the value
    // exists with another type.
    std::string ReadString(const std::string& Name);
    // Writes a REG_SZ value; raises ERegistryException on failure.
    void WriteString(const std::string& Name, const std::string& Value);
    std::vector<std::string> GetKeyNames();

private:
    HKEY FRootKey;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
    bool Open(const std::string& Key, bool CanCreate, unsigned long Access);
};

} // namespace pw
