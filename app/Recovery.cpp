#include "Recovery.h"

#include "MDIForm.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "Streams.h"
#include "SysUtils.h"

#include "WinApi.h"

#include <algorithm>

namespace pw {

namespace {

const char* const kMarker = "running.marker";

void MakeFolders(const std::string& Folder)
{
    for (size_t at = Folder.find('\\', 3); ; at = Folder.find('\\', at + 1)) {
        CreateDirectoryA(Folder.substr(0, at).c_str(), nullptr);
        if (at == std::string::npos) break;
    }
}

// Writes the whole text or leaves the old file: a temporary file renamed over it.
void WriteAtomically(const std::string& FileName, const std::string& Text)
{
    std::string temp = FileName + ".tmp";
    {
        TFileStream f(temp, fmCreate);
        f.WriteBuffer(Text.data(), static_cast<long>(Text.size()));
    }
    if (!MoveFileExA(temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        throw EFCreateError("Cannot write file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
    }
}

std::string ReadText(const std::string& FileName)
{
    std::string text;
    HANDLE h = CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return text;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) text.append(buf, n);
    CloseHandle(h);
    return text;
}

} // namespace

TRecovery::TRecovery(TComponent* AOwner) : TComponent(AOwner) {}

TRecovery::~TRecovery()
{
    for (auto& [doc, id] : FIds) {
        doc->RemoveFreeNotification(this);
        DeleteFiles(id);
    }
    if (Started()) DeleteFileA((FFolder + "\\" + kMarker).c_str());
}

std::string TRecovery::Path(const std::string& Id, const char* Extension) const
{
    return FFolder + "\\" + Id + Extension;
}

void TRecovery::Start(const std::string& Folder)
{
    FFolder = Folder;
    MakeFolders(FFolder);
    std::string marker = FFolder + "\\" + kMarker;
    bool unclean = FileExists(marker);
    WriteAtomically(marker, Format("%lu\r\n", GetCurrentProcessId()));
    std::vector<TRecoveryCopy>& copies = FLeftCopies;
    copies.clear();
    if (!unclean) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((FFolder + "\\*.rtf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string file = fd.cFileName;
        TRecoveryCopy c;
        c.Id = file.substr(0, file.size() - 4);
        c.File = Path(c.Id, ".rtf");
        c.Name = ReadText(Path(c.Id, ".name"));
        if (c.Name.empty()) c.Name = file;
        copies.push_back(c);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(copies.begin(), copies.end(), [](const TRecoveryCopy& a, const TRecoveryCopy& b) { return a.Id < b.Id; });
}

std::string TRecovery::NewId()
{
    static unsigned counter = 0;
    SYSTEMTIME t;
    GetLocalTime(&t);
    return Format("%04u%02u%02u-%02u%02u%02u-%lu-%u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
                  GetCurrentProcessId(), ++counter);
}

void TRecovery::Track(TMDIForm* Document, const std::string& Id)
{
    if (!FIds.count(Document)) Document->FreeNotification(this);
    FIds[Document] = Id;
}

std::string TRecovery::CopyPath(TMDIForm* Document) const
{
    auto it = FIds.find(Document);
    return it == FIds.end() ? std::string() : Path(it->second, ".rtf");
}

void TRecovery::SaveCopy(TMDIForm* Document)
{
    if (!Started()) return;
    auto it = FIds.find(Document);
    std::string id = it == FIds.end() ? NewId() : it->second;
    Track(Document, id);
    // The name first: a document copy never stands without the name it belongs to.
    WriteAtomically(Path(id, ".name"), Document->FileName());
    // The document's own save path: the whole RTF with its language runs, written to a
    // temporary file that then replaces the copy.
    Document->RichEdit()->Lines()->SaveToFile(Path(id, ".rtf"));
}

void TRecovery::SaveCopies(TForm* Frame)
{
    if (!Started()) return;
    for (int i = 0; i < Frame->MDIChildCount(); ++i) {
        auto* doc = dynamic_cast<TMDIForm*>(Frame->MDIChildren(i));
        if (!doc || (doc->ComponentState() & csDestroying)) continue;
        if (doc->Modified()) SaveCopy(doc);
        else RemoveCopy(doc);
    }
}

void TRecovery::RemoveCopy(TMDIForm* Document)
{
    auto it = FIds.find(Document);
    if (it == FIds.end()) return;
    DeleteFiles(it->second);
    Document->RemoveFreeNotification(this);
    FIds.erase(it);
}

void TRecovery::Adopt(TMDIForm* Document, const TRecoveryCopy& Copy)
{
    // A copy the new window got before it was loaded (the program lost the focus meanwhile)
    // gives way to the one it now stands for.
    auto it = FIds.find(Document);
    if (it != FIds.end() && it->second != Copy.Id) DeleteFiles(it->second);
    Track(Document, Copy.Id);
}

void TRecovery::Discard(const std::vector<TRecoveryCopy>& Copies)
{
    for (const TRecoveryCopy& c : Copies) DeleteFiles(c.Id);
}

void TRecovery::DeleteFiles(const std::string& Id)
{
    DeleteFileA(Path(Id, ".rtf").c_str());
    DeleteFileA(Path(Id, ".name").c_str());
}

void TRecovery::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    // A closed document takes its copy with it.
    auto it = FIds.find(static_cast<TMDIForm*>(AComponent));
    if (it == FIds.end()) return;
    DeleteFiles(it->second);
    FIds.erase(it);
}

} // namespace pw
