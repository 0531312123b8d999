// Files that reach the program from the shell: its command line, files dropped on the
// frame, and files a second start of the program hands to the one already running.
#pragma once
#include "WinApi.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace pw {

// The full path of a file name (relative names are taken from the current folder).
std::string FullPathName(const std::string& FileName);

// The file arguments of a command line (the program name left out), as full paths.
std::vector<std::string> CommandLineFiles(const wchar_t* CommandLine);

// The files of a drop (WM_DROPFILES), as full paths; the drop is not released.
std::vector<std::string> DroppedFiles(HDROP Drop);

// The one running instance of the program per settings key. The first start holds the
// lock and publishes its frame window; a later start finds that window and hands its files
// to it instead of starting another instance.
class TInstanceLock {
public:
    explicit TInstanceLock(const std::string& SettingsKey);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when no other instance holds the lock.
    bool First() const { return FFirst; }
    // The first instance's frame window; waits up to TimeoutMs for it to be published.
    HWND RunningWindow(unsigned TimeoutMs) const;
    void Publish(HWND Frame);

private:
    HANDLE FMapping = nullptr;
    unsigned long* FView = nullptr;
    bool FFirst = true;
};

// Hands a list of files (possibly empty) to the frame of the running instance with
// WM_COPYDATA; true when it took them.
bool SendFilesTo(HWND Frame, const std::vector<std::string>& Files);

// The files of a WM_COPYDATA that SendFilesTo sent; false for any other data.
bool ReceivedFiles(const COPYDATASTRUCT* Data, std::vector<std::string>& Files);

} // namespace pw
