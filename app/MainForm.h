// The main frame: an MDI frame with the menu, the tool bars, the shared image list and
// dialogs. Document commands go to the active document window.
#pragma once
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"

#include <string>
#include <vector>

namespace pw {

class TMainMenu;
class TMenuItem;
class TPopupMenu;
class TCoolBar;
class TToolBar;
class TMenuToolBar;
class TToolButton;
class TImageList;
class TComboBox;
class TOpenDialog;
class TSaveDialog;
class TFindDialog;
class TReplaceDialog;
class TPrinterSetupDialog;
class TColorDialog;
class TMDIForm;
class TSpellChecker;
class TLanguagesCombo;
class TArtLabel;
class TMDIClientPainter;
class TRecentFiles;
class TRecovery;
struct TUserSettings;
class TMainMenus97;
class TPopupMenus97;

class TSpellDemoForm : public TForm {
public:
    explicit TSpellDemoForm(TComponent* AOwner);
    ~TSpellDemoForm() override;

    // The active document window, or nullptr.
    TMDIForm* ActiveDocument();
    void SelectFontFace(const std::string& Face);

    // Command handlers.
    void NewMIClick(TObject* Sender);
    void OpenMIClick(TObject* Sender);
    void SaveMIClick(TObject* Sender);
    void SaveAsMIClick(TObject* Sender);
    void PrintSetupMIClick(TObject* Sender);
    void PrintMIClick(TObject* Sender);
    void ExitMIClick(TObject* Sender);
    void UndoMIClick(TObject* Sender);
    void RedoMIClick(TObject* Sender);
    void CutMIClick(TObject* Sender);
    void CopyMIClick(TObject* Sender);
    void PasteMIClick(TObject* Sender);
    void SelectAllMIClick(TObject* Sender);
    void FindMIClick(TObject* Sender);
    void ReplaceMIClick(TObject* Sender);
    void FindDialogFind(TObject* Sender);
    void ReplaceDialogReplace(TObject* Sender);
    void SpellMIClick(TObject* Sender);
    void CascadeMIClick(TObject* Sender);
    void TileMIClick(TObject* Sender);
    void ArrangeIconsMIClick(TObject* Sender);
    void AboutMIClick(TObject* Sender);
    void CheckAsYouTypeMIClick(TObject* Sender);

    // Formatting commands (the format tool bar and the colour menus).
    void FontComboChange(TObject* Sender);
    void FontComboDrawItem(TWinControl* Control, int Index, const RECT& Rect, UINT State, HDC DC);
    void FontSizeDropDown(TObject* Sender);
    void FontSizeChange(TObject* Sender);
    void FontSizeKeyPress(TObject* Sender, char& Key);
    void FontSizeKeyUp(TObject* Sender, WORD& Key, unsigned Shift);
    void BoldBtnClick(TObject* Sender);
    void ItalicBtnClick(TObject* Sender);
    void UndrlBtnClick(TObject* Sender);
    void LeftBtnClick(TObject* Sender);
    void CenterBtnClick(TObject* Sender);
    void RightBtnClick(TObject* Sender);
    void BulletsBtnClick(TObject* Sender);
    void ColorMIClick(TObject* Sender);
    void HighlightMIClick(TObject* Sender);
    void OtherMIClick(TObject* Sender);
    void ColorMenuPopup(TObject* Sender);
    void HighlightMenuPopup(TObject* Sender);
    // Owner drawing of both colour menus: swatches, and tall buttons for Auto, Other and None.
    void ColorMenu97MeasureItem(TMenuItem* Item, int& Width, int& Height);
    void ColorMenu97DrawItem(TMenuItem* Item, TCanvas* Canvas, const RECT& Rect, unsigned State);
    // Paints a bar of Color over the bottom four rows of the button's image.
    void SetColorButton(TToolButton* Button, TColor Color);
    // The language combo box marks the selected text (or the insertion point).
    void LanguagesChange(TObject* Sender);
    // Files from the shell, recent files and recovery copies (FrameFiles.cpp).
    // Keeps the per-user state under Settings: reads the recent files, starts the recovery
    // copies and, once the loop runs, offers the copies a previous run left.
    void StartSession(const TUserSettings& Settings);
    // A new document window, as New makes it.
    TMDIForm* NewDocument();
    // Opens a file in a new document window, as Open does.
    void OpenFile(const std::string& FileName);
    // Opens each file; one that cannot be opened shows its message and the others still open.
    void OpenFiles(const std::vector<std::string>& FileNames);
    // Opens the files once the message loop runs (files of the command line or another start).
    void QueueFiles(const std::vector<std::string>& FileNames);
    // A document was opened or saved under its file name.
    void DocumentFiled(TMDIForm* Document);
    void RecentFileChoose(const std::string& FileName);
    // Offers the copies a run that did not exit cleanly left, and opens them when wanted.
    void OfferRecovery();
    void WndProc(TMessage& Message) override;

    TMainMenu* MainMenu;
    TMenuItem *FileMI, *NewMI, *OpenMI, *SaveMI, *SaveAsMI, *PrintSetupMI, *PrintMI, *ExitMI;
    TMenuItem *EditMI, *UndoMI, *RedoMI, *CutMI, *CopyMI, *PasteMI, *SelectAllMI, *FindMI, *ReplaceMI, *SpellMI;
    TMenuItem* CheckAsYouTypeMI;
    TMenuItem *WindowMI, *CascadeMI, *TileMI, *ArrangeIconsMI, *HelpMI, *AboutMI;
    TCoolBar* CoolBar1;
    TMenuToolBar* MenuToolBar;
    TToolBar* MainToolBar;
    TToolBar* FmtToolBar;
    TToolButton *NewBtn, *OpenBtn, *SaveBtn, *PrintBtn, *UndoBtn, *RedoBtn, *CutBtn, *CopyBtn, *PasteBtn;
    TToolButton *FindBtn, *ReplaceBtn, *SpellBtn, *ExitBtn;
    TComboBox* FontCombo;
    TComboBox* FontSize;
    TToolButton *BoldBtn, *ItalicBtn, *UndrlBtn, *TextColorBtn, *BackColorBtn, *LeftBtn, *CenterBtn, *RightBtn;
    TToolButton* BulletsBtn;
    TImageList* Images;
    TSpellChecker* Speller; // shared by all documents
    TOpenDialog* OpenDialog;
    TSaveDialog* SaveDialog;
    TFindDialog* FindDialog;
    TReplaceDialog* ReplaceDialog;
    TPrinterSetupDialog* PrinterSetupDialog;
    TColorDialog* ColorDialog;
    TPopupMenu* ColorMenu;
    TPopupMenu* HighlightMenu;
    TMainMenus97* MainMenu97;
    TPopupMenus97* ColorMenu97;
    TPopupMenus97* HighlightMenu97;
    TMenuItem *AutoMI = nullptr, *OtherMI = nullptr, *NoneMI2 = nullptr;
    TLanguagesCombo* Languages;
    TRecentFiles* RecentFiles;
    TRecovery* Recovery;

    // Misspelt words underlined while the user types: a setting of the user's, on by default.
    bool CheckAsYouType() const { return FCheckAsYouType; }
    void SetCheckAsYouType(bool Value);
    TArtLabel* ArtLabel1; // on the MDI client's background, below the documents

    bool FontSizeDropped = false;
    bool AcceptLanguageChange = false;

protected:
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void CreateWnd() override;

private:
    bool FCheckAsYouType = true;
    std::vector<std::string> FQueuedFiles;
    void OpenQueuedFiles();
    void CreateFileServices();
    void CreateMenu();
    void CreateToolBars();
    void CreateFormatBar();
    void CreateDialogs();
    void CreateColorMenus();
    void CreateArtLabel();
    TMDIClientPainter* FClientPainter = nullptr;
    TMenuItem* AddItem(TMenuItem* Parent, const char* Name, const char* Caption, TShortCut Key, int Tag,
                       void (TSpellDemoForm::*Handler)(TObject*));
    TToolButton* AddButton(TToolBar* Bar, const char* Name, const char* Hint, int Image,
                           void (TSpellDemoForm::*Handler)(TObject*));
    void AddDivider(TToolBar* Bar);
    void CreateLanguages();
    void FocusEditor();
    void ApplyFontSize();
    void CheckColorItems(TPopupMenu* Menu, TColor Color);
    // The stylers of the main menu and of the two colour menus (after those menus exist).
    void CreateMenuStylers();
    bool IsTallColorItem(TMenuItem* Item) const { return Item == AutoMI || Item == OtherMI || Item == NoneMI2; }
};

// The size that a font size text names, in points; EConvertError for a text that is not a
// whole number of points the editor can show.
int FontSizeFromText(const std::string& Text);
constexpr int MaxFontSize = 1638;
// The one main frame of the process.
extern TSpellDemoForm* SpellDemoForm;

} // namespace pw
