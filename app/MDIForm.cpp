#include "MDIForm.h"

#include "Clipbrd.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "DocumentFormat.h"
#include "GoToWeb.h"
#include "Guards.h"
#include "LanguagesCombo.h"
#include "LiveSpeller.h"
#include "MainForm.h"
#include "Menus.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "RichEditText.h"
#include "Ruler.h"
#include "RulerBinding.h"
#include "SpellChecker.h"
#include "StdCtrls.h"
#include "Streams.h"
#include "SysUtils.h"
#include "TextAttributes98.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace pw {

namespace {
int g_documentCounter = 0;
}

int TMDIForm::DocumentCounter() { return g_documentCounter; }

TMDIForm::TMDIForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("MDIForm");
    SetFormStyle(TFormStyle::fsMDIChild);
    SetPosition(TPosition::poDefault);
    SetBounds(0, 0, 550, 404);
    Font()->SetName("Arial");
    Font()->SetHeight(-10);

    FStatusBar = new TStatusBar(this);
    FStatusBar->SetName("StatusBar");
    FStatusBar->SetHeight(15);
    FStatusBar->SetAlign(TAlign::alBottom);
    FStatusBar->AddPanel(60);
    FStatusBar->AddPanel(150);
    FStatusBar->SetParent(this);

    CreateRuler();

    FRichEdit = new TRichEdit98(this);
    FRichEdit->SetName("RichEdit");
    FRichEdit->SetAlign(TAlign::alClient);
    FRichEdit->SetAutoURLDetect(true);
    FRichEdit->SetHideSelection(false);
    FRichEdit->SetLanguage(1033);
    FRichEdit->SetScrollBars(TScrollStyle::ssVertical);
    FRichEdit->SetShowSelectionBar(true);
    FRichEdit->SetWantTabs(true);
    FRichEdit->SetShowHint(true);
    FRichEdit->OnChange = [this](TObject* s) { RichEditChange(s); };
    FRichEdit->OnSelectionChange = [this](TObject* s) { RichEditSelectionChange(s); };
    FRichEdit->OnURLClick = [this](TObject* s, const std::string& url) { RichEditURLClick(s, url); };
    FRichEdit->OnMouseDown = [this](TObject* s, TMouseButton b, unsigned sh, int x, int y) {
        RichEditMouseDown(s, b, sh, x, y);
    };
    FRichEdit->SetParent(this);
    FVariantsMenu = new TPopupMenu(this);
    FVariantsMenu->SetName("VariantsMenu");
    FVariantsMenu->OnPopup = [this](TObject* s) { VariantsMenuPopup(s); };
    CreateVariantsStyler();
    FRuler->SetRichedit(FRichEdit);
    SetActiveControl(FRichEdit);

    GoToWeb = new TGoToWeb(this);
    GoToWeb->SetName("GoToWeb");
    GoToWeb->SetBrowserState(gwNormal);

    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnCloseQuery = [this](TObject* s, bool& c) { FormCloseQuery(s, c); };
    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnResize = [this](TObject* s) { FormResize(s); };
}

void TMDIForm::AfterConstruction()
{
    HandleNeeded();
    // The form data's content: an empty document in 8-point Arial.
    FRichEdit->SetRTFText(EmptyDocumentRTF);
    if (TSpellDemoForm* f = Frame()) {
        FLiveSpeller = new TLiveSpeller(this, FRichEdit, f->Speller);
        FLiveSpeller->SetEnabled(f->CheckAsYouType());
    }
    TForm::AfterConstruction();
}

TSpellDemoForm* TMDIForm::Frame() const { return SpellDemoForm; }

void TMDIForm::FormCreate(TObject*)
{
    SetFileName(Format("Document%d.rtf", ++g_documentCounter));
    FRichEdit->Clear();
    FRichEdit->SelectionAttributes()->SetBackColor(clNone);
    RichEditSelectionChange(this);
    FUntitled = true;
    SetModified(false);
    if (TSpellDemoForm* f = Frame()) f->SelectFontFace("Arial");
    FRuler->SetMarginRight(GetSystemMetrics(SM_CXVSCROLL));
    FormResize(this);
    FRuler->SetTabDist(TabDistForResolution(ScreenPixelsPerInchX()));
}

void TMDIForm::SetModified(bool Value)
{
    FModified = Value;
    FStatusBar->SetPanelText(1, Value ? "Modified" : "");
}

void TMDIForm::SetFileName(const std::string& Name)
{
    FFileName = Name;
    SetText(Name);
}

void TMDIForm::SetCheckAsYouType(bool Value)
{
    if (FLiveSpeller) FLiveSpeller->SetEnabled(Value);
}

void TMDIForm::RichEditChange(TObject*)
{
    SetModified(true);
    UpdateCommandStates();
}

void TMDIForm::RichEditSelectionChange(TObject*)
{
    UpdateCommandStates();
    // The conversion code page follows the language of the text at the caret.
    FRichEdit->SetLanguage(FRichEdit->SelectionAttributes()->Language());
    if (TSpellDemoForm* f = Frame()) SyncFormatBar(f);
    RulerFollowParagraph();
    FStatusBar->SetPanelText(0, Format("%d : %d", FRichEdit->CaretLine() + 1, FRichEdit->CaretColumn() + 1));
}

// The formatting tool bar shows the formatting at the caret.
void TMDIForm::SyncFormatBar(TSpellDemoForm* f)
{
    TTextAttributes98* a = FRichEdit->SelectionAttributes();
    f->SelectFontFace(a->Name());
    f->FontSize->SetText(IntToStr(a->Size()));
    f->BoldBtn->SetDown(a->Bold());
    f->ItalicBtn->SetDown(a->Italic());
    f->UndrlBtn->SetDown(a->UnderlineType() != 0);
    // The colour buttons are repainted only for a colour they do not show yet.
    if (TColor c = a->Color(); c != FLastTextColor) {
        f->SetColorButton(f->TextColorBtn, c);
        FLastTextColor = c;
    }
    if (TColor c = a->BackColor(); c != FLastHighlightColor) {
        f->SetColorButton(f->BackColorBtn, c);
        FLastHighlightColor = c;
    }
    // Showing the language is no choice of the user's: it is not applied back to the text.
    {
        TValueGuard<bool> shown(f->AcceptLanguageChange, false, true);
        f->Languages->SetLanguage(a->Language());
    }
    TParaAttributes98* p = FRichEdit->ParagraphAttributes();
    f->BulletsBtn->SetDown(p->Numbering() != 0);
    unsigned char align = p->Alignment();
    f->LeftBtn->SetDown(align == 0);
    f->CenterBtn->SetDown(align == 2);
    f->RightBtn->SetDown(align == 1);
}

void TMDIForm::UpdateCommandStates()
{
    TSpellDemoForm* f = Frame();
    if (!f) return;
    bool hasSelection = FRichEdit->SelLength() > 0;
    f->CopyBtn->SetEnabled(hasSelection);
    f->CutBtn->SetEnabled(hasSelection);
    bool hasLines = FRichEdit->Lines()->Count() > 0;
    f->FindBtn->SetEnabled(hasLines);
    f->ReplaceBtn->SetEnabled(hasLines);
    f->PasteBtn->SetEnabled(Clipboard()->HasFormat(CF_TEXT));
    f->UndoBtn->SetEnabled(FRichEdit->CanUndo());
    f->RedoBtn->SetEnabled(FRichEdit->CanRedo());
    f->CopyMI->SetEnabled(f->CopyBtn->Enabled());
    f->CutMI->SetEnabled(f->CutBtn->Enabled());
    f->FindMI->SetEnabled(f->FindBtn->Enabled());
    f->ReplaceMI->SetEnabled(f->ReplaceBtn->Enabled());
    f->PasteMI->SetEnabled(f->PasteBtn->Enabled());
    f->UndoMI->SetEnabled(f->UndoBtn->Enabled());
    f->RedoMI->SetEnabled(f->RedoBtn->Enabled());
}

void TMDIForm::FormActivate(TObject*)
{
    UpdateCommandStates();
    FLastTextColor = -1;
    FLastHighlightColor = -1;
    RichEditSelectionChange(this);
}

void TMDIForm::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; }

void TMDIForm::FormCloseQuery(TObject*, bool& CanClose) { CanClose = ConfirmClose(); }

bool TMDIForm::ConfirmClose()
{
    if (!FModified) return true;
    std::string text = Format("File is %s modified.\rSave before closing?", FFileName.c_str());
    int answer = Application->MessageBox(text, "Warning", MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) Abort();
    if (answer == IDYES) {
        SaveDocument();
        // A cancelled Save dialog keeps the document (and the window) as it was.
        if (FModified) Abort();
    }
    return true;
}

void TMDIForm::SaveDocument()
{
    if (FUntitled) {
        SaveDocumentAs();
        return;
    }
    FRichEdit->Lines()->SaveToFile(FFileName);
    SetModified(false);
    if (TSpellDemoForm* f = Frame()) f->DocumentFiled(this);
}

void TMDIForm::SaveDocumentAs()
{
    TSpellDemoForm* f = Frame();
    if (!f) return;
    f->SaveDialog->SetFileName(FFileName);
    if (!f->SaveDialog->Execute()) return;
    SetFileName(f->SaveDialog->FileName());
    FRichEdit->Lines()->SaveToFile(FFileName);
    FUntitled = false;
    SetModified(false);
    f->DocumentFiled(this);
}

namespace {

// A file that is not RTF and holds NUL bytes near its start is no document of ours: loading
// it as text would show a fragment of it.
void CheckDocumentFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    char head[65536];
    long n = f.Read(head, sizeof head);
    TDocumentEncoding kind = DocumentEncoding(head, static_cast<size_t>(std::max(n, 0L)));
    if (kind == TDocumentEncoding::deRTF || kind == TDocumentEncoding::deUTF16LE ||
        kind == TDocumentEncoding::deUTF16BE)
        return;
    if (std::memchr(head, 0, static_cast<size_t>(std::max(n, 0L))))
        throw EConvertError("\"" + FileName + "\" is neither a Rich Text Format nor a text document");
}

// The longest paragraph a document is shown wrapped with. Some rich edit controls lay a
// paragraph out in time and memory that grow with the square of its length (Wine's needs
// seconds and hundreds of megabytes for 20,000 characters, and more than the machine has for
// a text file of one 2 MB line); one unwrapped line costs them little whatever its length.
const int kLongestWrappedParagraph = 10000;

int LongestParagraph(const std::wstring& Text)
{
    size_t longest = 0, start = 0;
    for (;;) {
        size_t end = Text.find(L'\r', start);
        longest = std::max(longest, (end == std::wstring::npos ? Text.size() : end) - start);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return static_cast<int>(longest);
}

} // namespace

int TMDIForm::LoadFile(const std::string& FileName)
{
    CheckDocumentFile(FileName);
    // Read in unwrapped; wrapped only once no paragraph is too long for it.
    FRichEdit->SetWordWrap(false);
    FRichEdit->Lines()->LoadFromFile(FileName);
    int longest = LongestParagraph(redit::Text(FRichEdit));
    if (longest > kLongestWrappedParagraph) return longest;
    FRichEdit->SetWordWrap(true);
    return 0;
}

void TMDIForm::TellUnwrapped(const std::string& Name, int Longest)
{
    if (!Longest) return;
    Application->MessageBox(Format("\"%s\" has a paragraph of %d characters. Paragraphs of more than %d "
                                   "characters are shown on one line each, without wrapping, so that Penwise "
                                   "stays responsive. The text is not changed.",
                                   Name.c_str(), Longest, kLongestWrappedParagraph),
                            "Message", MB_OK | MB_ICONINFORMATION);
}

void TMDIForm::OpenDocument(const std::string& AFileName)
{
    SetFileName(AFileName);
    int unwrapped = LoadFile(AFileName);
    FUntitled = false;
    SetModified(false);
    RichEditSelectionChange(this);
    if (TSpellDemoForm* f = Frame()) f->DocumentFiled(this);
    TellUnwrapped(AFileName, unwrapped);
}

void TMDIForm::RecoverDocument(const std::string& CopyFileName, const std::string& AFileName)
{
    SetFileName(AFileName);
    int unwrapped = LoadFile(CopyFileName);
    // Told apart from a document of that name that is open as well.
    SetText(AFileName + " (recovered)");
    FUntitled = true;
    SetModified(true);
    RichEditSelectionChange(this);
    TellUnwrapped(AFileName, unwrapped);
}

void TMDIForm::PrintDocument() { FRichEdit->Print(Text()); }

void TMDIForm::UndoEdit()
{
    FRichEdit->Undo();
    UpdateCommandStates();
}

void TMDIForm::RedoEdit()
{
    FRichEdit->Redo();
    UpdateCommandStates();
}

void TMDIForm::CutText()
{
    FRichEdit->CutToClipboard();
    SetModified(true);
    UpdateCommandStates();
}

void TMDIForm::CopyText()
{
    FRichEdit->CopyToClipboard();
    UpdateCommandStates();
}

void TMDIForm::PasteText()
{
    FRichEdit->PasteFromClipboard();
    SetModified(true);
    UpdateCommandStates();
}

void TMDIForm::SelectAllText()
{
    FRichEdit->SelectAll();
    UpdateCommandStates();
}

int TMDIForm::FindFrom(int Start, const std::string& What, unsigned Options, int& FoundEnd)
{
    // An empty search text matches nothing: searching for it would never advance.
    if (What.empty()) return -1;
    DWORD flags = 0;
    if (Options & frMatchCase) flags |= FR_MATCHCASE;
    if (Options & frWholeWord) flags |= FR_WHOLEWORD;
    if (Options & frDown) flags |= FR_DOWN;
    TCharRange found;
    if (!redit::FindText(FRichEdit, StringToWide(What, CP_ACP), Start, flags, found)) return -1;
    FoundEnd = found.End;
    return found.Start;
}

void TMDIForm::ShowNotFound(TFindDialog* Dialog, const std::string& What)
{
    Application->MessageBox(Format("Text \xAB%s\xBB not found", What.c_str()), "Message", MB_OK | MB_ICONINFORMATION,
                            Dialog->Handle());
}

void TMDIForm::DoFind(TFindDialog* Dialog)
{
    unsigned options = Dialog->Options();
    int start = FRichEdit->SelStart();
    if (options & frFindNext) start += FRichEdit->SelLength();
    int end = 0;
    int pos = FindFrom(start, Dialog->FindText(), options, end);
    if (pos < 0) {
        ShowNotFound(Dialog, Dialog->FindText());
        return;
    }
    FRichEdit->SetSelStart(pos);
    FRichEdit->SetSelLength(end - pos);
    UpdateCommandStates();
}

void TMDIForm::DoReplace()
{
    TSpellDemoForm* f = Frame();
    if (!f) return;
    TReplaceDialog* d = f->ReplaceDialog;
    unsigned options = d->Options();
    if (options & frReplaceAll) {
        int count = 0;
        int start = FRichEdit->SelStart();
        int end = 0;
        for (int pos; (pos = FindFrom(start, d->FindText(), options, end)) >= 0;) {
            FRichEdit->SetSelStart(pos);
            FRichEdit->SetSelLength(end - pos);
            FRichEdit->SetSelText(d->ReplaceText());
            UpdateCommandStates();
            ++count;
            // Continue after the inserted text: what it brought in is not searched again.
            start = FRichEdit->SelStart() + FRichEdit->SelLength();
        }
        Application->MessageBox(Format("%d replaces were made", count), "Message", MB_OK | MB_ICONINFORMATION,
                                d->Handle());
        return;
    }
    int start = FRichEdit->SelStart();
    if (options & frFindNext) start += FRichEdit->SelLength();
    int end = 0;
    int pos = FindFrom(start, d->FindText(), options, end);
    if (pos < 0) {
        ShowNotFound(d, d->FindText());
        return;
    }
    FRichEdit->SetSelStart(pos);
    FRichEdit->SetSelLength(end - pos);
    FRichEdit->SetSelText(d->ReplaceText());
    UpdateCommandStates();
}

void TMDIForm::CheckSpelling()
{
    if (TSpellDemoForm* f = Frame()) f->Speller->CheckControl(FRichEdit);
}

void TMDIForm::SetTextLanguage(TLanguage Language) { FRichEdit->SelectionAttributes()->SetLanguage(Language); }

void TMDIForm::SetFontName(const std::string& Name) { FRichEdit->SelectionAttributes()->SetName(Name); }
void TMDIForm::SetFontSize(int Points) { FRichEdit->SelectionAttributes()->SetSize(Points); }
void TMDIForm::SetBold(bool On) { FRichEdit->SelectionAttributes()->SetBold(On); }
void TMDIForm::SetItalic(bool On) { FRichEdit->SelectionAttributes()->SetItalic(On); }
void TMDIForm::SetUnderline(bool On) { FRichEdit->SelectionAttributes()->SetUnderlineType(On ? 1 : 0); }
void TMDIForm::SetTextColor(TColor Color) { FRichEdit->SelectionAttributes()->SetColor(Color); }
void TMDIForm::SetHighlightColor(TColor Color) { FRichEdit->SelectionAttributes()->SetBackColor(Color); }
void TMDIForm::SetAlignment(unsigned char Alignment) { FRichEdit->ParagraphAttributes()->SetAlignment(Alignment); }

void TMDIForm::SetBullets(bool On)
{
    TParaAttributes98* p = FRichEdit->ParagraphAttributes();
    if (!On) {
        p->SetNumbering(0);
        return;
    }
    p->SetNumbering(1);
    p->SetNumberingTab(FRichEdit->SelectionAttributes()->Size());
}

void TMDIForm::RichEditURLClick(TObject*, const std::string& URL)
{
    // Whether a browser could be started is not reported.
    GoToWeb->SetUrl(URL);
    GoToWeb->OpenUrl();
}

} // namespace pw
