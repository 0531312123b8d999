// The spelling dialog: the line around each error with the error in red, the kind of error,
// the suggestions, and the commands that hand the user's choice back to the driver.
#pragma once
#include "Forms.h"
#include "Speller.h"

#include <string>

namespace pw {

class TSpellChecker;
class TLabel;
class TListBox;
class TButton;
class TProtectedRichEdit;

// The displays of the dialog.
enum class TVerdictDisplay { vdNone, vdErrorMessage, vdSpaceMessage, vdRepeatedWord };

// How the dialog shows a verdict: the display and the SpellString identifier of its message.
struct TVerdictView {
    TVerdictDisplay Display;
    int Message; // 0 with vdNone
};

// The verdicts that are errors and how each is shown. The rest (no error, a change the check
// applies itself, the answers to other requests than a check) show nothing.
TVerdictView VerdictView(TSpellReturnCode Code);

class TSpellerDialog2 : public TForm {
public:
    // Created by the driver; belongs to the driver's owner.
    explicit TSpellerDialog2(TSpellChecker* AChecker);
    ~TSpellerDialog2() override;

    TLabel* InfoMsg;
    TProtectedRichEdit* Misspelling;
    TLabel* Label2;
    TListBox* Variants;
    TButton* ChangeButton;
    TButton* ChangeAllButton;
    TButton* SkipButton;
    TButton* SkipAllButton;
    TButton* AddButton;
    TButton* CancelButton;
    TButton* CancelEdit;
    TButton* DelButton;
    TButton* StartButton;

    // Fills the display of a verdict (VerdictView) before the driver shows the dialog.
    void ShowVerdict(TSpellReturnCode Code);
    // The three displays.
    void ShowErrorMessage(const std::string& Message);
    void ShowSpaceMessage(const std::string& Message);
    void ShowRepeatedWord(const std::string& Message);
    // Selects the first suggestion and enables what depends on there being one.
    void SelectFirstVariant();

    TSpellChecker* Checker() const { return FChecker; }
    bool Updating() const { return FUpdating; }
    // The run of unprotected text in the line box: the error as the user edited it.
    void FindEditedWord(int& Start, int& End);

    // Event handlers.
    void FormCreate(TObject* Sender);
    void DelButtonClick(TObject* Sender);
    void SkipButtonClick(TObject* Sender);
    void SkipAllButtonClick(TObject* Sender);
    void AddButtonClick(TObject* Sender);
    void ChangeButtonClick(TObject* Sender);
    void ChangeAllButtonClick(TObject* Sender);
    void MisspellingProtectChange(TObject* Sender, int StartPos, int EndPos, bool& AllowChange);
    void MisspellingChange(TObject* Sender);
    void CancelEditClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void StartButtonClick(TObject* Sender);
    void FormDeactivate(TObject* Sender);
    void FormDestroy(TObject* Sender);

    void WndProc(TMessage& Message) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    TSpellChecker* FChecker;
    bool FUpdating = false;
    int FErrorStart = 0; // where the error starts in the line box

    void CreateControls();
    TButton* AddButtonControl(const char* Name, int Left, int Top, int Width, int Height, int TabOrder,
                              void (TSpellerDialog2::*Handler)(TObject*));
    void Context();
    void MarkError(int Start, int Length);
    void FillVariants(TSpellReturnCode Code);
    void RestoreCommands(TSpellReturnCode Code);
    void ClickButton(TButton* Button);
};

} // namespace pw
