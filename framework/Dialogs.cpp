#include "Dialogs.h"

#include "Controls.h"
#include "Forms.h"
#include "Printers.h"
#include "SysUtils.h"

#include <vector>

namespace pw {

std::function<std::optional<bool>(TCommonDialog&)> TCommonDialog::Responder;

std::optional<bool> TCommonDialog::AskResponder()
{
    if (Responder) return Responder(*this);
    return std::nullopt;
}

HWND TCommonDialog::OwnerWindow() const
{
    HWND h = GetActiveWindow();
    if (!h && Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        h = Application->MainForm()->Handle();
    return h;
}

// ---- open and save ----

bool TOpenDialog::Execute()
{
    if (auto r = AskResponder()) return *r;
    std::string filter = FFilter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.append(2, '\0');
    std::vector<char> file(32768, '\0');
    FFileName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = OwnerWindow();
    ofn.lpstrFilter = FFilter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FFilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
    ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
    ofn.Flags = FOptions | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!Run(ofn)) return false;
    FFileName = file.data();
    FFilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

// ---- find and replace ----

// A hidden window of ours that receives what the modeless dialog reports.
class TFindNotifyWindow : public TWinControl {
public:
    TFindNotifyWindow(TFindDialog* Dialog) : TWinControl(nullptr), FDialog(Dialog) { FVisible = false; }
    void WndProc(TMessage& m) override
    {
        static const UINT findMsg = RegisterWindowMessageA(FINDMSGSTRINGA);
        if (m.Msg == findMsg) {
            FDialog->HandleFindMessage(*reinterpret_cast<FINDREPLACEA*>(m.LParam));
            return;
        }
        TWinControl::WndProc(m);
    }
protected:
    void CreateParams(TCreateParams& p) override
    {
        TWinControl::CreateParams(p);
        p.WinClassName = "TPwFindNotify";
        p.Style = WS_POPUP;
        p.WndParent = nullptr;
    }
private:
    TFindDialog* FDialog;
};

TFindDialog::TFindDialog(TComponent* AOwner) : TCommonDialog(AOwner), FNotify(std::make_unique<TFindNotifyWindow>(this))
{
}

TFindDialog::~TFindDialog() { CloseDialog(); }

bool TFindDialog::Execute()
{
    if (auto r = AskResponder()) return *r;
    if (FHandle && IsWindow(FHandle)) {
        ShowWindow(FHandle, SW_SHOW);
        SetForegroundWindow(FHandle);
        return true;
    }
    FFindText.copy(FFindBuffer, sizeof FFindBuffer - 1);
    FFindBuffer[std::min(FFindText.size(), sizeof FFindBuffer - 1)] = '\0';
    FReplaceText.copy(FReplaceBuffer, sizeof FReplaceBuffer - 1);
    FReplaceBuffer[std::min(FReplaceText.size(), sizeof FReplaceBuffer - 1)] = '\0';
    FRecord = {};
    FRecord.lStructSize = sizeof FRecord;
    FRecord.hwndOwner = FNotify->Handle();
    FRecord.Flags = FOptions & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD | FR_HIDEUPDOWN);
    FRecord.lpstrFindWhat = FFindBuffer;
    FRecord.wFindWhatLen = sizeof FFindBuffer;
    FRecord.lpstrReplaceWith = FReplaceBuffer;
    FRecord.wReplaceWithLen = sizeof FReplaceBuffer;
    FHandle = IsReplace() ? ::ReplaceTextA(&FRecord) : ::FindTextA(&FRecord);
    if (!FHandle) return false;
    if (Application) Application->AddModelessDialog(FHandle);
    return true;
}

void TFindDialog::CloseDialog()
{
    if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
    if (FHandle && Application) Application->RemoveModelessDialog(FHandle);
    FHandle = nullptr;
}

void TFindDialog::HandleFindMessage(const FINDREPLACEA& Record)
{
    if (Record.Flags & FR_DIALOGTERM) {
        if (Application) Application->RemoveModelessDialog(FHandle);
        FHandle = nullptr;
        return;
    }
    FOptions = Record.Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD | FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL);
    if (Record.lpstrFindWhat) FFindText = Record.lpstrFindWhat;
    if (Record.lpstrReplaceWith && IsReplace()) FReplaceText = Record.lpstrReplaceWith;
    if (Record.Flags & (FR_REPLACE | FR_REPLACEALL)) {
        if (OnReplace) OnReplace(this);
    } else if (Record.Flags & FR_FINDNEXT) {
        if (OnFind) OnFind(this);
    }
}

// ---- printer set-up and colour ----

bool TPrinterSetupDialog::Execute()
{
    if (auto r = AskResponder()) return *r;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = OwnerWindow();
    pd.Flags = PD_PRINTSETUP;
    bool ok = PrintDlgA(&pd) != 0;
    if (ok && pd.hDevNames) {
        auto* names = static_cast<DEVNAMES*>(GlobalLock(pd.hDevNames));
        Printer()->SetPrinterName(reinterpret_cast<const char*>(names) + names->wDeviceOffset);
        GlobalUnlock(pd.hDevNames);
    }
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    if (!ok && CommDlgExtendedError() == PDERR_NODEFAULTPRN)
        throw EPrinter("There is no default printer currently selected");
    return ok;
}

bool TColorDialog::Execute()
{
    if (auto r = AskResponder()) return *r;
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = OwnerWindow();
    cc.rgbResult = ColorToRGB(FColor);
    cc.lpCustColors = FCustom;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (!ChooseColorA(&cc)) return false;
    FColor = static_cast<TColor>(cc.rgbResult);
    return true;
}

} // namespace pw
