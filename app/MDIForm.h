// A document window: one rich edit control with its status bar, inside the main frame.
#pragma once
#include "Forms.h"
#include "Languages.h"

#include <string>

namespace pw {

class TRichEdit98;
class TStatusBar;
class TFindDialog;
class TSpellDemoForm;

class TMDIForm : public TForm {
public:
    explicit TMDIForm(TComponent* AOwner);

    // Commands the main frame dispatches to the active document.
    void SaveDocument();
    void SaveDocumentAs();
    void OpenDocument(const std::string& AFileName);
    // Loads a recovery copy: the document keeps its old name (the caption adds
    // " (recovered)"), modified and untitled, so nothing is written over without a Save.
    void RecoverDocument(const std::string& CopyFileName, const std::string& AFileName);
    void PrintDocument();
    void UndoEdit();
    void RedoEdit();
    void CutText();
    void CopyText();
    void PasteText();
    void SelectAllText();
    void DoFind(TFindDialog* Dialog);
    void DoReplace();
    void CheckSpelling();
    void SetTextLanguage(TLanguage Language);

    TRichEdit98* RichEdit() const { return FRichEdit; }
    TStatusBar* StatusBar() const { return FStatusBar; }
    bool Modified() const { return FModified; }
    bool Untitled() const { return FUntitled; }
    const std::string& FileName() const { return FFileName; }

    // Number of document windows created in this process (never decremented).
    static int DocumentCounter();

    void AfterConstruction() override;

protected:
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void RichEditChange(TObject* Sender);
    void RichEditSelectionChange(TObject* Sender);
    void RichEditURLClick(TObject* Sender, const std::string& URL);

private:
    TRichEdit98* FRichEdit;
    TStatusBar* FStatusBar;
    bool FModified = false;
    std::string FFileName;
    bool FUntitled = true;
    TColor FLastTextColor = -1;
    TColor FLastHighlightColor = -1;
    std::string FClickedWord;
    int FWordStart = 0;
    int FWordEnd = 0;

    void SetModified(bool Value);
    void SetFileName(const std::string& Name);
    void UpdateCommandStates();
    bool ConfirmClose();
    TSpellDemoForm* Frame() const;
    // One search of the editor from Start to the end of the text; gives the found range or -1.
    int FindFrom(int Start, const std::string& What, unsigned Options, int& FoundEnd);
    void ShowNotFound(TFindDialog* Dialog, const std::string& What);
};

} // namespace pw
