#include "MainForm.h"

#include "AboutForm.h"
#include "ArtLabel.h"
#include "ClientPainter.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "FontFaces.h"
#include "MDIForm.h"
#include "MenuToolBar.h"
#include "Menus.h"
#include "Menus97.h"
#include "Registry.h"
#include "SpellChecker.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "UserSettings.h"

namespace pw {

TSpellDemoForm* SpellDemoForm = nullptr;

namespace {

// The shortcuts of the main menu: a virtual key with its modifier keys.
constexpr TShortCut NewShortCut = scCtrl | 'N';
constexpr TShortCut OpenShortCut = scCtrl | 'O';
constexpr TShortCut SaveShortCut = scCtrl | 'S';
constexpr TShortCut PrintShortCut = scCtrl | 'P';
constexpr TShortCut ExitShortCut = scAlt | VK_F4;
constexpr TShortCut UndoShortCut = scAlt | VK_BACK;
constexpr TShortCut RedoShortCut = scCtrl | 'Y';
constexpr TShortCut CutShortCut = scCtrl | 'X';
constexpr TShortCut CopyShortCut = scCtrl | 'C';
constexpr TShortCut PasteShortCut = scCtrl | 'V';
constexpr TShortCut SelectAllShortCut = scCtrl | 'A';
constexpr TShortCut FindShortCut = scCtrl | 'F';
constexpr TShortCut ReplaceShortCut = scCtrl | 'H';
constexpr TShortCut SpellingShortCut = VK_F7;

} // namespace

TSpellDemoForm::TSpellDemoForm(TComponent* AOwner) : TForm(AOwner)
{
    SpellDemoForm = this;
    SetName("SpellDemoForm");
    SetText("Penwise v 1.5");
    SetFormStyle(TFormStyle::fsMDIForm);
    SetPosition(TPosition::poScreenCenter);
    SetBounds(0, 0, 738, 528);
    Font()->SetName("Arial");
    Font()->SetHeight(-10);

    Images = new TImageList(this);
    Images->SetName("Images");
    try {
        Images->AddResource("TOOLIMAGES", RGB(255, 0, 255));
    } catch (const EResNotFound&) {
        // A program built without its resources still runs, without images.
    }
    Speller = new TSpellChecker(this);
    Speller->SetName("Speller");
    Speller->SetLanguage(1033);
    Speller->SetOptions({spoSuggestFromUserDict, spoIgnoreAllCaps, spoIgnoreMixedDigits, spoIgnoreRomanNumerals,
                         spoFindUncappedSentences, spoFindMissingSpaces, spoFindRepeatWord, spoFindExtraSpaces});
    Speller->SetCaption("Spelling check \x97 %s");
    Speller->SetModalDialog(false);
    Speller->SetHTMLSupport(true);
    Speller->SetFinishMessage("Spelling check is complete");
    Speller->SetShowFinishMessage(true);
    CreateMenu();
    CreateFileServices();
    {
        TRegistry settings;
        if (settings.OpenKeyReadOnly(UserSettingsKey()))
            FCheckAsYouType = settings.ReadInteger("CheckSpellingAsYouType", 1) != 0;
    }
    CheckAsYouTypeMI->SetChecked(FCheckAsYouType);
    CreateDialogs();
    CreateColorMenus();
    CreateMenuStylers();
    CreateToolBars();
    CreateArtLabel();
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TSpellDemoForm::CreateArtLabel()
{
    ArtLabel1 = new TArtLabel(this);
    ArtLabel1->SetName("ArtLabel1");
    ArtLabel1->SetBounds(48, 200, 641, 121);
    ArtLabel1->SetCaption("FREEWARE");
    ArtLabel1->SetArtStyle({as3DRaise, asShadow, asGradient});
    ArtLabel1->Font()->SetName("Arial");
    ArtLabel1->Font()->SetHeight(-93);
    ArtLabel1->Font()->SetStyle(fsBold);
    ArtLabel1->SetTransparent(false);
    ArtLabel1->SetColor(clBtnFace);
    ArtLabel1->SetShadowColor(clGray);
    ArtLabel1->SetOutlineColor(clWhite);
    ArtLabel1->SetAutoSize(false);
    ArtLabel1->SetShadowLength(3);
    ArtLabel1->SetTextAlign(TAlignment::taCenter);
    TGradient* g = ArtLabel1->Gradient();
    g->SetGradientStyle(gsLine);
    g->SetLineSize(2);
    g->SetColor1(clSilver);
    g->SetColor2(clGray);
    g->SetColor3(5987163);
    g->SetColor4(clWhite);
    g->SetColor5(clBlack);
    g->SetColorCount(3);
    g->SetLineDirection(diHorizonal);
    // The MDI client window covers the frame's client area: the label is drawn on that
    // window's background, where the form puts it, below the documents.
    FClientPainter = new TMDIClientPainter(this);
    FClientPainter->Add(ArtLabel1);
    // The menu stylers, made before, have asked for the frame's window already.
    if (HandleAllocated()) FClientPainter->Attach();
}

void TSpellDemoForm::CreateWnd()
{
    TForm::CreateWnd();
    if (FClientPainter) FClientPainter->Attach();
}

TSpellDemoForm::~TSpellDemoForm()
{
    // The documents go first, while the frame's dialogs and buttons they use still exist.
    while (MDIChildCount() > 0) delete MDIChildren(0);
    if (SpellDemoForm == this) SpellDemoForm = nullptr;
}

TMenuItem* TSpellDemoForm::AddItem(TMenuItem* Parent, const char* Name, const char* Caption, TShortCut Key, int Tag,
                                   void (TSpellDemoForm::*Handler)(TObject*))
{
    auto* item = new TMenuItem(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->SetShortCut(Key);
    item->SetTag(Tag);
    if (Handler) item->OnClick = [this, Handler](TObject* s) { (this->*Handler)(s); };
    Parent->Add(item);
    return item;
}

void TSpellDemoForm::CreateMenu()
{
    MainMenu = new TMainMenu(this);
    MainMenu->SetName("MainMenu");
    TMenuItem* root = MainMenu->Items();
    using F = TSpellDemoForm;
    FileMI = AddItem(root, "FileMI", "&File", scNone, BarItemTag, nullptr);
    NewMI = AddItem(FileMI, "NewMI", "&New", NewShortCut, DropDownItemTag, &F::NewMIClick);
    OpenMI = AddItem(FileMI, "OpenMI", "&Open", OpenShortCut, 1, &F::OpenMIClick);
    AddItem(FileMI, "N1", "-", scNone, DropDownItemTag, nullptr);
    SaveMI = AddItem(FileMI, "SaveMI", "&Save", SaveShortCut, 2, &F::SaveMIClick);
    SaveAsMI = AddItem(FileMI, "SaveAsMI", "Save &as", scNone, DropDownItemTag, &F::SaveAsMIClick);
    AddItem(FileMI, "N2", "-", scNone, DropDownItemTag, nullptr);
    PrintSetupMI = AddItem(FileMI, "PrintSetupMI", "P&rinter setup", scNone, DropDownItemTag, &F::PrintSetupMIClick);
    PrintMI = AddItem(FileMI, "PrintMI", "&Print", PrintShortCut, 11, &F::PrintMIClick);
    AddItem(FileMI, "N5", "-", scNone, DropDownItemTag, nullptr);
    ExitMI = AddItem(FileMI, "ExitMI", "E&xit", ExitShortCut, 10, &F::ExitMIClick);
    EditMI = AddItem(root, "EditMI", "&Edit", scNone, BarItemTag, nullptr);
    UndoMI = AddItem(EditMI, "UndoMI", "&Undo", UndoShortCut, 9, &F::UndoMIClick);
    RedoMI = AddItem(EditMI, "RedoMI", "R&edo", RedoShortCut, 21, &F::RedoMIClick);
    AddItem(EditMI, "N3", "-", scNone, DropDownItemTag, nullptr);
    CutMI = AddItem(EditMI, "CutMI", "&Cut", CutShortCut, 3, &F::CutMIClick);
    CopyMI = AddItem(EditMI, "CopyMI", "C&opy", CopyShortCut, 4, &F::CopyMIClick);
    PasteMI = AddItem(EditMI, "PasteMI", "&Paste", PasteShortCut, 5, &F::PasteMIClick);
    AddItem(EditMI, "N4", "-", scNone, DropDownItemTag, nullptr);
    SelectAllMI =
        AddItem(EditMI, "SelectAllMI", "Select &all", SelectAllShortCut, DropDownItemTag, &F::SelectAllMIClick);
    AddItem(EditMI, "N6", "-", scNone, DropDownItemTag, nullptr);
    FindMI = AddItem(EditMI, "FindMI", "&Find", FindShortCut, 6, &F::FindMIClick);
    ReplaceMI = AddItem(EditMI, "ReplaceMI", "&Replace", ReplaceShortCut, 7, &F::ReplaceMIClick);
    AddItem(EditMI, "N7", "-", scNone, DropDownItemTag, nullptr);
    SpellMI = AddItem(EditMI, "SpellMI", "&Spelling", SpellingShortCut, 8, &F::SpellMIClick);
    CheckAsYouTypeMI = AddItem(EditMI, "CheckAsYouTypeMI", "Check spelling as you &type", scNone, DropDownItemTag,
                               &F::CheckAsYouTypeMIClick);
    WindowMI = AddItem(root, "WindowMI", "&Window", scNone, BarItemTag, nullptr);
    CascadeMI = AddItem(WindowMI, "CascadeMI", "&Cascade", scNone, 24, &F::CascadeMIClick);
    TileMI = AddItem(WindowMI, "TileMI", "&Tile", scNone, 25, &F::TileMIClick);
    ArrangeIconsMI =
        AddItem(WindowMI, "ArrangeIconsMI", "&Arrange icons", scNone, DropDownItemTag, &F::ArrangeIconsMIClick);
    HelpMI = AddItem(root, "HelpMI", "&Help", scNone, BarItemTag, nullptr);
    AboutMI = AddItem(HelpMI, "AboutMI", "&About", scNone, DropDownItemTag, &F::AboutMIClick);
    SetWindowMenuItem(WindowMI);
    SetMenu(MainMenu);
}

TToolButton* TSpellDemoForm::AddButton(TToolBar* Bar, const char* Name, const char* Hint, int Image,
                                       void (TSpellDemoForm::*Handler)(TObject*))
{
    auto* b = new TToolButton(this);
    b->SetName(Name);
    b->SetHint(Hint);
    b->SetImageIndex(Image);
    if (Handler) b->OnClick = [this, Handler](TObject* s) { (this->*Handler)(s); };
    b->SetParent(Bar);
    return b;
}

void TSpellDemoForm::AddDivider(TToolBar* Bar)
{
    auto* d = new TToolButton(this);
    d->SetStyle(TToolButtonStyle::tbsDivider);
    d->SetWidth(8);
    d->SetParent(Bar);
}

void TSpellDemoForm::CreateToolBars()
{
    CoolBar1 = new TCoolBar(this);
    CoolBar1->SetName("CoolBar1");
    CoolBar1->SetAlign(TAlign::alTop);
    CoolBar1->SetParent(this);
    // The main menu as buttons in the first band; the frame's own menu row goes.
    MenuToolBar = new TMenuToolBar(this);
    MenuToolBar->SetName("MenuToolBar");
    MenuToolBar->SetBounds(0, 0, 676, MenuToolBar->Height());
    CoolBar1->AddBand(MenuToolBar, 0, 676);
    MainToolBar = new TToolBar(this);
    MainToolBar->SetName("MainToolBar");
    MainToolBar->SetImages(Images);
    MainToolBar->SetBounds(0, 0, 676, 22);
    using F = TSpellDemoForm;
    NewBtn = AddButton(MainToolBar, "NewBtn", "New", 0, &F::NewMIClick);
    OpenBtn = AddButton(MainToolBar, "OpenBtn", "Open", 1, &F::OpenMIClick);
    SaveBtn = AddButton(MainToolBar, "SaveBtn", "Save", 2, &F::SaveMIClick);
    AddDivider(MainToolBar);
    PrintBtn = AddButton(MainToolBar, "PrintBtn", "Print", 11, &F::PrintMIClick);
    AddDivider(MainToolBar);
    UndoBtn = AddButton(MainToolBar, "UndoBtn", "Undo", 9, &F::UndoMIClick);
    RedoBtn = AddButton(MainToolBar, "RedoBtn", "Redo", 21, &F::RedoMIClick);
    AddDivider(MainToolBar);
    CutBtn = AddButton(MainToolBar, "CutBtn", "Cut", 3, &F::CutMIClick);
    CopyBtn = AddButton(MainToolBar, "CopyBtn", "Copy", 4, &F::CopyMIClick);
    PasteBtn = AddButton(MainToolBar, "PasteBtn", "Paste", 5, &F::PasteMIClick);
    AddDivider(MainToolBar);
    FindBtn = AddButton(MainToolBar, "FindBtn", "Find", 6, &F::FindMIClick);
    ReplaceBtn = AddButton(MainToolBar, "ReplaceBtn", "Replace", 7, &F::ReplaceMIClick);
    AddDivider(MainToolBar);
    SpellBtn = AddButton(MainToolBar, "SpellBtn", "Spell", 8, &F::SpellMIClick);
    AddDivider(MainToolBar);
    ExitBtn = AddButton(MainToolBar, "ExitBtn", "Exit", 10, &F::ExitMIClick);
    CoolBar1->AddBand(MainToolBar, 22, 676);
    CreateFormatBar();
    CoolBar1->AddBand(FmtToolBar, 22, 685);
}

void TSpellDemoForm::CreateFormatBar()
{
    FmtToolBar = new TToolBar(this);
    FmtToolBar->SetName("FmtToolBar");
    FmtToolBar->SetImages(Images);
    FmtToolBar->SetBounds(0, 0, 685, 22);
    FontCombo = new TComboBox(this);
    FontCombo->SetName("FontCombo");
    FontCombo->SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    FontCombo->SetItemHeight(16);
    FontCombo->SetSorted(true);
    FontCombo->SetHint("Typeface");
    FontCombo->SetTabStop(false);
    FontCombo->SetBounds(0, 0, 171, 22);
    FontCombo->OnChange = [this](TObject* s) { FontComboChange(s); };
    FontCombo->OnDrawItem = [this](TWinControl* c, int i, const RECT& r, UINT st, HDC dc) {
        FontComboDrawItem(c, i, r, st, dc);
    };
    FontCombo->SetParent(FmtToolBar);
    auto* sep = new TToolButton(this);
    sep->SetStyle(TToolButtonStyle::tbsSeparator);
    sep->SetWidth(8);
    sep->SetParent(FmtToolBar);
    FontSize = new TComboBox(this);
    FontSize->SetName("FontSize");
    FontSize->Font()->SetName("Arial");
    FontSize->Font()->SetHeight(-11);
    FontSize->SetItemHeight(14);
    for (const char* s :
         {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "32", "48", "64", "96"})
        FontSize->Items()->Add(s);
    FontSize->SetText("8");
    FontSize->SetHint("Size");
    FontSize->SetTabStop(false);
    FontSize->SetBounds(0, 0, 52, 22);
    FontSize->OnChange = [this](TObject* s) { FontSizeChange(s); };
    FontSize->OnDropDown = [this](TObject* s) { FontSizeDropDown(s); };
    FontSize->OnKeyPress = [this](TObject* s, char& k) { FontSizeKeyPress(s, k); };
    FontSize->OnKeyUp = [this](TObject* s, WORD& k, unsigned sh) { FontSizeKeyUp(s, k, sh); };
    FontSize->SetParent(FmtToolBar);
    AddDivider(FmtToolBar);
    using F = TSpellDemoForm;
    auto check = [this](const char* name, const char* hint, int image, void (F::*handler)(TObject*)) {
        TToolButton* b = AddButton(FmtToolBar, name, hint, image, handler);
        b->SetStyle(TToolButtonStyle::tbsCheck);
        return b;
    };
    BoldBtn = check("BoldBtn", "Bold", 12, &F::BoldBtnClick);
    ItalicBtn = check("ItalicBtn", "Italic", 13, &F::ItalicBtnClick);
    UndrlBtn = check("UndrlBtn", "Underline", 14, &F::UndrlBtnClick);
    AddDivider(FmtToolBar);
    TextColorBtn = AddButton(FmtToolBar, "TextColorBtn", "Text color", 22, nullptr);
    TextColorBtn->SetStyle(TToolButtonStyle::tbsDropDown);
    TextColorBtn->SetDropdownMenu(ColorMenu);
    BackColorBtn = AddButton(FmtToolBar, "BackColorBtn", "Highlight", 23, nullptr);
    BackColorBtn->SetStyle(TToolButtonStyle::tbsDropDown);
    BackColorBtn->SetDropdownMenu(HighlightMenu);
    AddDivider(FmtToolBar);
    LeftBtn = check("LeftBtn", "Left justify", 15, &F::LeftBtnClick);
    CenterBtn = check("CenterBtn", "Center", 16, &F::CenterBtnClick);
    RightBtn = check("RightBtn", "Right justify", 17, &F::RightBtnClick);
    for (TToolButton* b : {LeftBtn, CenterBtn, RightBtn}) b->SetGrouped(true);
    AddDivider(FmtToolBar);
    BulletsBtn = check("BulletsBtn", "Bulleted", 18, &F::BulletsBtnClick);
    auto* langSep = new TToolButton(this);
    langSep->SetStyle(TToolButtonStyle::tbsSeparator);
    langSep->SetWidth(8);
    langSep->SetParent(FmtToolBar);
    CreateLanguages();
}

void TSpellDemoForm::CreateDialogs()
{
    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetName("OpenDialog");
    OpenDialog->SetDefaultExt("rtf");
    OpenDialog->SetFilter("Rich Text Format Files (*.rtf)|*.rtf|Text files (*.txt)|*.txt|All files (*.*)|*.*");
    OpenDialog->SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist);
    SaveDialog = new TSaveDialog(this);
    SaveDialog->SetName("SaveDialog");
    SaveDialog->SetDefaultExt("rtf");
    SaveDialog->SetFilter("Rich Text Format Files (*.rtf)|*.rtf|Text files (*.txt)|*.txt");
    SaveDialog->SetOptions(ofOverwritePrompt | ofHideReadOnly);
    FindDialog = new TFindDialog(this);
    FindDialog->SetName("FindDialog");
    FindDialog->OnFind = [this](TObject* s) { FindDialogFind(s); };
    ReplaceDialog = new TReplaceDialog(this);
    ReplaceDialog->SetName("ReplaceDialog");
    ReplaceDialog->OnFind = [this](TObject* s) { FindDialogFind(s); };
    ReplaceDialog->OnReplace = [this](TObject* s) { ReplaceDialogReplace(s); };
    PrinterSetupDialog = new TPrinterSetupDialog(this);
    PrinterSetupDialog->SetName("PrinterSetupDialog");
    ColorDialog = new TColorDialog(this);
    ColorDialog->SetName("ColorDialog");
}

void TSpellDemoForm::CreateColorMenus()
{
    struct TSwatch {
        const char* Name;
        const char* Caption;
        TColor Value;
        TMenuBreak Break;
    };
    static const TSwatch swatches[] = {
        {"Black", "Black", 0, TMenuBreak::mbBarBreak},       {"Maroon", "Maroon", 128, TMenuBreak::mbNone},
        {"Green", "Green", 32768, TMenuBreak::mbNone},       {"Olive", "Olive", 32896, TMenuBreak::mbNone},
        {"Navy", "Navy", 8388608, TMenuBreak::mbBreak},      {"Purple", "Purple", 8388736, TMenuBreak::mbNone},
        {"Teal", "Teal", 8421376, TMenuBreak::mbNone},       {"Gray", "Gray", 8421504, TMenuBreak::mbNone},
        {"Silver", "Silver", 12632256, TMenuBreak::mbBreak}, {"Red", "Red", 255, TMenuBreak::mbNone},
        {"Lime", "Lime", 65280, TMenuBreak::mbNone},         {"Yellow", "Yellow", 65535, TMenuBreak::mbNone},
        {"Blue", "Blue", 16711680, TMenuBreak::mbBreak},     {"Fuchsia", "Fuchsia", 16711935, TMenuBreak::mbNone},
        {"Aqua", "Aqua", 16776960, TMenuBreak::mbNone},      {"White", "White", 16777215, TMenuBreak::mbNone},
    };
    auto add = [this](TPopupMenu* menu, const std::string& name, const char* caption, TColor value, TMenuBreak brk) {
        auto* item = new TMenuItem(this);
        item->SetName(name);
        item->SetCaption(caption);
        item->SetTag(value);
        item->SetBreak(brk);
        item->SetRadioItem(true);
        item->SetHint(caption);
        item->OnClick = [this, menu](TObject* s) {
            if (menu == ColorMenu) ColorMIClick(s);
            else HighlightMIClick(s);
        };
        menu->Items()->Add(item);
        return item;
    };
    ColorMenu = new TPopupMenu(this);
    ColorMenu->SetName("ColorMenu");
    ColorMenu->OnPopup = [this](TObject* s) { ColorMenuPopup(s); };
    AutoMI = add(ColorMenu, "AutoMI", "Auto", clWindowText, TMenuBreak::mbNone);
    AutoMI->SetHint("");
    for (const TSwatch& s : swatches) add(ColorMenu, std::string(s.Name) + "MI", s.Caption, s.Value, s.Break);
    OtherMI = add(ColorMenu, "OtherMI", "Other", 0, TMenuBreak::mbBarBreak);
    OtherMI->SetRadioItem(false);
    OtherMI->SetGroupIndex(1);
    OtherMI->OnClick = [this](TObject* s) { OtherMIClick(s); };
    HighlightMenu = new TPopupMenu(this);
    HighlightMenu->SetName("HighlightMenu");
    HighlightMenu->OnPopup = [this](TObject* s) { HighlightMenuPopup(s); };
    for (const TSwatch& s : swatches)
        add(HighlightMenu, std::string(s.Name) + "MI2", s.Caption, s.Value == 0 ? 1 : s.Value, s.Break);
    NoneMI2 = add(HighlightMenu, "NoneMI2", "None", clNone, TMenuBreak::mbBarBreak);
}

void TSpellDemoForm::FormCreate(TObject*)
{
    TStringList faces;
    EnumerateFontFaces(faces);
    FontCombo->Items()->BeginUpdate();
    for (int i = 0; i < faces.Count(); ++i) FontCombo->Items()->AddObject(faces.Strings(i), faces.Objects(i));
    FontCombo->Items()->EndUpdate();
    FontSizeDropped = false;
    SelectFontFace("Arial");
    FmtToolBar->Perform(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    AcceptLanguageChange = true;
}

void TSpellDemoForm::SelectFontFace(const std::string& Face)
{
    FontCombo->SetItemIndex(FontCombo->Items()->IndexOf(Face));
}

void TSpellDemoForm::FormShow(TObject*) { NewMIClick(this); }

TMDIForm* TSpellDemoForm::ActiveDocument() { return dynamic_cast<TMDIForm*>(ActiveMDIChild()); }

void TSpellDemoForm::NewMIClick(TObject*) { NewDocument(); }

void TSpellDemoForm::OpenMIClick(TObject*)
{
    OpenDialog->SetFileName("");
    if (!OpenDialog->Execute()) return;
    OpenFile(OpenDialog->FileName());
}

void TSpellDemoForm::SaveMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SaveDocument();
}
void TSpellDemoForm::SaveAsMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SaveDocumentAs();
}
void TSpellDemoForm::PrintSetupMIClick(TObject*) { PrinterSetupDialog->Execute(); }
void TSpellDemoForm::PrintMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->PrintDocument();
}
void TSpellDemoForm::ExitMIClick(TObject*) { Close(); }
void TSpellDemoForm::UndoMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->UndoEdit();
}
void TSpellDemoForm::RedoMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->RedoEdit();
}
void TSpellDemoForm::CutMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->CutText();
}
void TSpellDemoForm::CopyMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->CopyText();
}
void TSpellDemoForm::PasteMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->PasteText();
}
void TSpellDemoForm::SelectAllMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SelectAllText();
}
void TSpellDemoForm::FindMIClick(TObject*) { FindDialog->Execute(); }
void TSpellDemoForm::ReplaceMIClick(TObject*) { ReplaceDialog->Execute(); }

void TSpellDemoForm::FindDialogFind(TObject* Sender)
{
    if (TMDIForm* d = ActiveDocument()) d->DoFind(dynamic_cast<TFindDialog*>(Sender));
}

void TSpellDemoForm::ReplaceDialogReplace(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->DoReplace();
}
void TSpellDemoForm::SpellMIClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->CheckSpelling();
}
void TSpellDemoForm::CascadeMIClick(TObject*) { Cascade(); }
void TSpellDemoForm::TileMIClick(TObject*) { Tile(); }
void TSpellDemoForm::ArrangeIconsMIClick(TObject*) { ArrangeIcons(); }
void TSpellDemoForm::AboutMIClick(TObject*)
{
    if (AboutForm) AboutForm->ShowModal();
}

void TSpellDemoForm::CheckAsYouTypeMIClick(TObject*) { SetCheckAsYouType(!FCheckAsYouType); }

void TSpellDemoForm::SetCheckAsYouType(bool Value)
{
    FCheckAsYouType = Value;
    CheckAsYouTypeMI->SetChecked(Value);
    for (int i = 0; i < MDIChildCount(); ++i)
        if (auto* doc = dynamic_cast<TMDIForm*>(MDIChildren(i))) doc->SetCheckAsYouType(Value);
    TRegistry settings;
    if (settings.OpenKey(UserSettingsKey(), true)) settings.WriteInteger("CheckSpellingAsYouType", Value ? 1 : 0);
}

} // namespace pw
