// Shared helpers for the GUI tests: the application object, answered message boxes,
// redirected registry roots and temporary folders.
#pragma once
#include "Forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pwtest {

struct TShownMessage {
    std::string Text;
    std::string Caption;
    unsigned Flags;
};

// Records every message box of the program and answers it with the queued answers
// (IDOK when none is queued). Restores the previous responder when it goes.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    void Answer(int id) { FAnswers.push_back(id); }
    const std::vector<TShownMessage>& Shown() const { return FShown; }
    void Clear() { FShown.clear(); }
private:
    std::vector<TShownMessage> FShown;
    std::vector<int> FAnswers;
    decltype(pw::Application->MessageBoxResponder) FPrevious;
};

// Points HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT and HKEY_CURRENT_USER at fresh keys of
// their own for the life of the object, and deletes them afterwards.
class RegistryRedirect {
public:
    RegistryRedirect();
    ~RegistryRedirect();
private:
    std::string FBase;
};

// A fresh folder under the temporary path, deleted with everything in it afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "\\" + name; }
private:
    std::string FPath;
};

// The number of GDI objects the process holds. Wine's GetGuiResources answers 0, so there the
// live handles of the GDI table are counted instead.
unsigned long GdiObjectCount();
// The number of USER objects (windows and menus) the process holds. Wine's GetGuiResources
// answers 0 here too: there the windows of this process and the live menus are counted.
unsigned long UserObjectCount();
// The memory the process has committed, in bytes: the private bytes where the system reports
// them, else the page file share (Wine reports no private bytes).
unsigned long long ProcessMemoryBytes();

// Runs the message loop until nothing is pending.
void Pump();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

} // namespace pwtest
