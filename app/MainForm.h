// The main frame: an MDI frame with the menu, the tool bars, the shared image list and
// dialogs. Document commands go to the active document window.
#pragma once
#include "Forms.h"
#include "Graphics.h"

#include <string>

namespace pw {

class TMainMenu;
class TMenuItem;
class TPopupMenu;
class TCoolBar;
class TToolBar;
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

    TMainMenu* MainMenu;
    TMenuItem *FileMI, *NewMI, *OpenMI, *SaveMI, *SaveAsMI, *PrintSetupMI, *PrintMI, *ExitMI;
    TMenuItem *EditMI, *UndoMI, *RedoMI, *CutMI, *CopyMI, *PasteMI, *SelectAllMI, *FindMI, *ReplaceMI, *SpellMI;
    TMenuItem *WindowMI, *CascadeMI, *TileMI, *ArrangeIconsMI, *HelpMI, *AboutMI;
    TCoolBar* CoolBar1;
    TToolBar* MainToolBar;
    TToolBar* FmtToolBar;
    TToolButton *NewBtn, *OpenBtn, *SaveBtn, *PrintBtn, *UndoBtn, *RedoBtn, *CutBtn, *CopyBtn, *PasteBtn;
    TToolButton *FindBtn, *ReplaceBtn, *SpellBtn, *ExitBtn;
    TComboBox* FontCombo;
    TComboBox* FontSize;
    TToolButton *BoldBtn, *ItalicBtn, *UndrlBtn, *TextColorBtn, *BackColorBtn, *LeftBtn, *CenterBtn, *RightBtn;
    TToolButton* BulletsBtn;
    TImageList* Images;
    TSpellChecker* Speller;  // shared by all documents
    TOpenDialog* OpenDialog;
    TSaveDialog* SaveDialog;
    TFindDialog* FindDialog;
    TReplaceDialog* ReplaceDialog;
    TPrinterSetupDialog* PrinterSetupDialog;
    TColorDialog* ColorDialog;
    TPopupMenu* ColorMenu;
    TPopupMenu* HighlightMenu;
    TMenuItem *AutoMI = nullptr, *OtherMI = nullptr, *NoneMI2 = nullptr;
    TLanguagesCombo* Languages;

    bool FontSizeDropped = false;
    bool AcceptLanguageChange = false;

protected:
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);

private:
    void CreateMenu();
    void CreateToolBars();
    void CreateFormatBar();
    void CreateDialogs();
    void CreateColorMenus();
    TMenuItem* AddItem(TMenuItem* Parent, const char* Name, const char* Caption, unsigned short Key, int Tag,
                       void (TSpellDemoForm::*Handler)(TObject*));
    TToolButton* AddButton(TToolBar* Bar, const char* Name, const char* Hint, int Image,
                           void (TSpellDemoForm::*Handler)(TObject*));
    void AddDivider(TToolBar* Bar);
    void CreateLanguages();
    void FocusEditor();
    void ApplyFontSize();
    void CheckColorItems(TPopupMenu* Menu, TColor Color);
    void OwnerDrawColorItem(TMenuItem* Item);
    bool IsTallColorItem(TMenuItem* Item) const { return Item == AutoMI || Item == OtherMI || Item == NoneMI2; }
};

// The size that a font size text names, in points; EConvertError for a text that is not a
// whole number of points the editor can show.
int FontSizeFromText(const std::string& Text);
constexpr int MaxFontSize = 1638;

// The one main frame of the process.
extern TSpellDemoForm* SpellDemoForm;

} // namespace pw
