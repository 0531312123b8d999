// The main frame's files from the shell, its recent-files list and its recovery copies.
#include "MainForm.h"

#include "MDIForm.h"
#include "Menus.h"
#include "RecentFiles.h"
#include "Recovery.h"
#include "ShellFiles.h"
#include "SysUtils.h"
#include "UserSettings.h"

namespace pw {

namespace {

const UINT_PTR kRecoveryTimer = 0x5057;
// Posted to the frame: open the queued files; offer the copies a previous run left.
const UINT kOpenQueuedFiles = WM_APP + 0x170;
const UINT kOfferRecovery = WM_APP + 0x171;

} // namespace

void TSpellDemoForm::CreateFileServices()
{
    RecentFiles = new TRecentFiles(this);
    RecentFiles->SetName("RecentFiles");
    RecentFiles->SetMenuPlace(FileMI, ExitMI);
    RecentFiles->OnChoose = [this](const std::string& f) { RecentFileChoose(f); };
    Recovery = new TRecovery(this);
    Recovery->SetName("Recovery");
}

void TSpellDemoForm::StartSession(const TUserSettings& Settings)
{
    RecentFiles->SetRegistryKey(Settings.Key);
    Recovery->Start(Settings.RecoveryFolder);
    DragAcceptFiles(Handle(), TRUE);
    SetTimer(Handle(), kRecoveryTimer, Settings.RecoveryInterval, nullptr);
    if (!Recovery->LeftCopies().empty()) PostMessageA(Handle(), kOfferRecovery, 0, 0);
}

TMDIForm* TSpellDemoForm::NewDocument()
{
    auto* doc = new TMDIForm(this);
    doc->AfterConstruction();
    doc->Show();
    return doc;
}

void TSpellDemoForm::OpenFile(const std::string& FileName) { NewDocument()->OpenDocument(FileName); }

void TSpellDemoForm::OpenFiles(const std::vector<std::string>& FileNames)
{
    for (const std::string& name : FileNames) {
        try {
            OpenFile(name);
        } catch (...) {
            Application->HandleException(this);
        }
    }
}

void TSpellDemoForm::QueueFiles(const std::vector<std::string>& FileNames)
{
    FQueuedFiles.insert(FQueuedFiles.end(), FileNames.begin(), FileNames.end());
    PostMessageA(Handle(), kOpenQueuedFiles, 0, 0);
}

void TSpellDemoForm::OpenQueuedFiles()
{
    std::vector<std::string> files;
    files.swap(FQueuedFiles);
    // Another start of the program handed its files over: the user looks for them here.
    if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
    OpenFiles(files);
}

void TSpellDemoForm::DocumentFiled(TMDIForm* Document)
{
    RecentFiles->Add(Document->FileName());
    Recovery->RemoveCopy(Document);
}

void TSpellDemoForm::RecentFileChoose(const std::string& FileName)
{
    if (!FileExists(FileName)) {
        RecentFiles->Remove(FileName);
        Application->MessageBox(
            Format("File %s cannot be found.\rIt is removed from the list of recent files.", FileName.c_str()),
            "Message", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    OpenFile(FileName);
}

void TSpellDemoForm::OfferRecovery()
{
    std::vector<TRecoveryCopy> copies = Recovery->LeftCopies();
    Recovery->ForgetLeftCopies();
    if (copies.empty()) return;
    std::string names;
    for (const TRecoveryCopy& c : copies) names += "\r" + c.Name;
    int answer = Application->MessageBox(
        "Penwise was not closed properly. These documents had unsaved changes:" + names + "\rRecover them?",
        "Warning", MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) {
        Recovery->Discard(copies);
        return;
    }
    for (const TRecoveryCopy& c : copies) {
        try {
            TMDIForm* doc = NewDocument();
            doc->RecoverDocument(c.File, c.Name);
            Recovery->Adopt(doc, c);
        } catch (...) {
            Application->HandleException(this);
        }
    }
}

void TSpellDemoForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(Message.WParam);
        std::vector<std::string> files = DroppedFiles(drop);
        DragFinish(drop);
        OpenFiles(files);
        Message.Result = 0;
        return;
    }
    case WM_COPYDATA: {
        std::vector<std::string> files;
        // The sender waits for the answer: the files open once it has it.
        bool ours = ReceivedFiles(reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam), files);
        if (ours) QueueFiles(files);
        Message.Result = ours;
        return;
    }
    case kOpenQueuedFiles:
        OpenQueuedFiles();
        return;
    case kOfferRecovery:
        OfferRecovery();
        return;
    case WM_TIMER:
        if (Message.WParam != kRecoveryTimer) break;
        try {
            Recovery->SaveCopies(this);
        } catch (const std::exception&) {
            // A copy that cannot be written now is written at the next turn.
        }
        return;
    case WM_ACTIVATEAPP:
        if (!Message.WParam) {
            try {
                Recovery->SaveCopies(this);
            } catch (const std::exception&) {
            }
        }
        break;
    default:
        break;
    }
    TForm::WndProc(Message);
}

} // namespace pw
