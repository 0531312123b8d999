// A document window: one rich edit control with its status bar, inside the main frame.
#pragma once
#include "Forms.h"
#include "Languages.h"
#include "RichEdit.h"
#include "RulerGeometry.h"
#include "Speller.h"

#include <string>

namespace pw {

class TRichEdit98;
class TStatusBar;
class TFindDialog;
class TSpellDemoForm;
class TPopupMenu;
class TMenuItem;
class TMenu;
class TPopupMenus97;
class TqelRuler;
class TGoToWeb;
class TLiveSpeller;

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
    // Misspelt words underlined as the user types.
    void SetCheckAsYouType(bool Value);
    TLiveSpeller* LiveSpeller() const { return FLiveSpeller; }

    // Formatting of the selected text and paragraphs.
    void SetFontName(const std::string& Name);
    void SetFontSize(int Points);
    void SetBold(bool On);
    void SetItalic(bool On);
    void SetUnderline(bool On);
    void SetTextColor(TColor Color);
    void SetHighlightColor(TColor Color);
    void SetAlignment(unsigned char Alignment);  // 0 left, 1 right, 2 centre
    void SetBullets(bool On);

    // The right-click menu of corrections, and the word it was opened for.
    TPopupMenu* VariantsMenu() const { return FVariantsMenu; }
    TPopupMenus97* VariantsMenu97() const { return FVariantsMenu97; }
    const std::string& ClickedWord() const { return FClickedWord; }
    int WordStart() const { return FWordStart; }
    int WordEnd() const { return FWordEnd; }
    // The longest word the right-click menu checks: as long as the engine takes at once, so a
    // long word is judged by the engine like any other. A longer run of letters gets no menu.
    static constexpr int MaxClickedWord = MaxSpellTextLength;

    TRichEdit98* RichEdit() const { return FRichEdit; }
    TStatusBar* StatusBar() const { return FStatusBar; }
    TqelRuler* Ruler() const { return FRuler; }
    bool Modified() const { return FModified; }
    bool Untitled() const { return FUntitled; }
    const std::string& FileName() const { return FFileName; }

    // Number of document windows created in this process (never decremented).
    static int DocumentCounter();

    void AfterConstruction() override;

    TGoToWeb* GoToWeb;  // opens clicked web addresses

protected:
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void RichEditChange(TObject* Sender);
    void RichEditSelectionChange(TObject* Sender);
    void RichEditURLClick(TObject* Sender, const std::string& URL);
    void RichEditMouseDown(TObject* Sender, TMouseButton Button, unsigned Shift, int X, int Y);
    void VariantsMenuPopup(TObject* Sender);
    void SpellMIClick(TObject* Sender);
    void AddWordMIClick(TObject* Sender);
    void VariantMIClick(TObject* Sender);
    // The suggestions in the letters of the editor's language; the other items as styled.
    bool VariantsMenu97DrawItem(TMenu* Menu, TMenuItem* Item, const RECT& Rect, unsigned State);
    void FormResize(TObject* Sender);
    void RulerIndentChange(TObject* Sender, TIndentID IndentID);

private:
    TRichEdit98* FRichEdit;
    TStatusBar* FStatusBar;
    TqelRuler* FRuler;
    TLiveSpeller* FLiveSpeller = nullptr;
    bool FModified = false;
    std::string FFileName;
    bool FUntitled = true;
    TColor FLastTextColor = -1;
    TColor FLastHighlightColor = -1;
    std::string FClickedWord;
    int FWordStart = 0;
    int FWordEnd = 0;
    TPopupMenu* FVariantsMenu;
    TPopupMenus97* FVariantsMenu97;

    void SetModified(bool Value);
    void SetFileName(const std::string& Name);
    // Reads a document file into the editor, wrapped unless a paragraph is too long for it;
    // gives the length of that paragraph (0 when wrapped), which TellUnwrapped tells the user.
    int LoadFile(const std::string& FileName);
    void TellUnwrapped(const std::string& Name, int Longest);
    void UpdateCommandStates();
    bool ConfirmClose();
    TSpellDemoForm* Frame() const;
    // One search of the editor from Start to the end of the text; gives the found range or -1.
    int FindFrom(int Start, const std::string& What, unsigned Options, int& FoundEnd);
    void ShowNotFound(TFindDialog* Dialog, const std::string& What);
    // Finds the word at the caret into ClickedWord; false when there is none to offer a menu for.
    bool CaptureClickedWord();
    void SyncFormatBar(TSpellDemoForm* Frame);
    TMenuItem* AddVariantsItem(const std::string& Caption, int Tag, void (TMDIForm::*Handler)(TObject*));
    void CreateVariantsStyler();
    // The ruler above the text (MDIFormRuler.cpp); its markers show the indents of the
    // paragraph at the caret.
    void CreateRuler();
    void RulerFollowParagraph();
};

} // namespace pw
