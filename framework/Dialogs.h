// Common dialogs: open and save, find and replace, printer set-up, colour.
#pragma once
#include "Classes.h"
#include "Graphics.h"
#include "WinApi.h"

#include <commdlg.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace pw {

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Shows the dialog; true when the user confirmed it.
    virtual bool Execute() = 0;
    // Tests answer dialogs here instead of the user: the responder may fill in the dialog's
    // values and gives the result; nullopt lets the real dialog appear.
    static std::function<std::optional<bool>(TCommonDialog& Dialog)> Responder;
protected:
    std::optional<bool> AskResponder();
    HWND OwnerWindow() const;
};

enum : unsigned {
    ofReadOnly = OFN_READONLY,
    ofOverwritePrompt = OFN_OVERWRITEPROMPT,
    ofHideReadOnly = OFN_HIDEREADONLY,
    ofPathMustExist = OFN_PATHMUSTEXIST,
    ofFileMustExist = OFN_FILEMUSTEXIST,
    ofNoChangeDir = OFN_NOCHANGEDIR,
};

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
    // "Description|mask|Description|mask..."
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& v) { FFilter = v; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned v) { FOptions = v; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    bool Execute() override;
protected:
    virtual bool Run(OPENFILENAMEA& ofn) { return GetOpenFileNameA(&ofn) != 0; }
private:
    std::string FFileName, FDefaultExt, FFilter, FTitle;
    int FFilterIndex = 1;
    unsigned FOptions = ofHideReadOnly;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
protected:
    bool Run(OPENFILENAMEA& ofn) override { return GetSaveFileNameA(&ofn) != 0; }
};

// Find options; the values are those of the platform's FR_ flags.
enum : unsigned {
    frDown = FR_DOWN,
    frWholeWord = FR_WHOLEWORD,
    frMatchCase = FR_MATCHCASE,
    frFindNext = FR_FINDNEXT,
    frReplace = FR_REPLACE,
    frReplaceAll = FR_REPLACEALL,
    frHideUpDown = FR_HIDEUPDOWN,
};

class TFindNotifyWindow;

// Modeless find dialog: OnFind fires for Find Next with FindText and Options set.
class TFindDialog : public TCommonDialog {
public:
    explicit TFindDialog(TComponent* AOwner);
    ~TFindDialog() override;
    const std::string& FindText() const { return FFindText; }
    void SetFindText(const std::string& v) { FFindText = v; }
    unsigned Options() const { return FOptions; }
    void SetOptions(unsigned v) { FOptions = v; }
    HWND Handle() const { return FHandle; }
    bool Execute() override;
    void CloseDialog();
    TNotifyEvent OnFind;
    // Acts on what the dialog reports (a FINDREPLACE record), as when its buttons are pressed.
    void HandleFindMessage(const FINDREPLACEA& Record);
protected:
    virtual bool IsReplace() const { return false; }
    std::string FFindText;
    std::string FReplaceText;
    unsigned FOptions = frDown;
    HWND FHandle = nullptr;
    FINDREPLACEA FRecord = {};
    char FFindBuffer[256] = {};
    char FReplaceBuffer[256] = {};
    std::unique_ptr<TFindNotifyWindow> FNotify;
public:
    TNotifyEvent OnReplace;
};

class TReplaceDialog : public TFindDialog {
public:
    using TFindDialog::TFindDialog;
    const std::string& ReplaceText() const { return FReplaceText; }
    void SetReplaceText(const std::string& v) { FReplaceText = v; }
protected:
    bool IsReplace() const override { return true; }
};

class TPrinterSetupDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    bool Execute() override;
};

class TColorDialog : public TCommonDialog {
public:
    using TCommonDialog::TCommonDialog;
    TColor Color() const { return FColor; }
    void SetColor(TColor c) { FColor = c; }
    bool Execute() override;
private:
    TColor FColor = clBlack;
    COLORREF FCustom[16] = {};
};

} // namespace pw
