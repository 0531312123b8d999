// The right-click menu of a document: corrections for the misspelt word under the mouse,
// adding it to the custom dictionary, and the interactive check.
#include "MDIForm.h"

#include "MainForm.h"
#include "MenuStylers97.h"
#include "Menus.h"
#include "RichEdit98.h"
#include "RichEditText.h"
#include "SpellChecker.h"
#include "StringList.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace pw {

void TMDIForm::RichEditMouseDown(TObject*, TMouseButton Button, unsigned, int X, int Y)
{
    if (Button != TMouseButton::mbRight) return;
    // The caret goes to the clicked character, so the editor's language follows the clicked
    // text. No left click is made up for it: a control that counts clicks itself (Wine's)
    // takes two right clicks in a row for a double click and selects a word, after an undo
    // one beyond the end of its text, and its next replacement of the selection crashes.
    FRichEdit->SetSelStart(redit::CharAt(FRichEdit, POINT{X, Y}));
    if (!CaptureClickedWord()) return;
    POINT pt{X, Y};
    ClientToScreen(FRichEdit->Handle(), &pt);
    FVariantsMenu->SetPopupComponent(FRichEdit);
    FVariantsMenu->Popup(pt.x, pt.y);
}

bool TMDIForm::CaptureClickedWord()
{
    int p = FRichEdit->SelStart();
    int start = redit::WordBreak(FRichEdit, WB_MOVEWORDLEFT, p);
    int left = redit::WordBreak(FRichEdit, WB_LEFT, p);
    if (start < left) start = left;
    int end = redit::WordBreak(FRichEdit, WB_RIGHTBREAK, p);
    // One letter, or a run of characters far longer than any word, gets no menu.
    if (end - start < 2 || end - start > 4 * MaxClickedWord) return false;
    // In the editor's code page, a byte a character: double-byte text that needs more is cut.
    std::string word = WideToString(redit::TextRange(FRichEdit, start, end), FRichEdit->CodePage());
    word.resize(std::min(word.size(), static_cast<size_t>(end - start)));
    word.resize(std::strlen(word.c_str()));
    // Blanks and control characters end the word; bytes of 128 and above are letters.
    while (!word.empty() && static_cast<unsigned char>(word.back()) < 33) word.pop_back();
    if (word.size() < 2 || word.size() > static_cast<size_t>(MaxClickedWord)) return false;
    FClickedWord = word;
    FWordStart = start;
    FWordEnd = start + static_cast<int>(word.size());
    return true;
}

TMenuItem* TMDIForm::AddVariantsItem(const std::string& Caption, int Tag, void (TMDIForm::*Handler)(TObject*))
{
    auto* item = new TMenuItem(this);
    item->SetCaption(Caption);
    item->SetTag(Tag);
    if (Handler) item->OnClick = [this, Handler](TObject* s) { (this->*Handler)(s); };
    FVariantsMenu->Items()->Add(item);
    return item;
}

void TMDIForm::VariantsMenuPopup(TObject*)
{
    TMenuItem* root = FVariantsMenu->Items();
    while (root->Count() > 0) root->Delete(root->Count() - 1);
    TSpellDemoForm* f = Frame();
    if (!f) return;
    TLanguage language = FRichEdit->Language();
    if (f->Speller->CheckWord(FClickedWord, language)) return;
    AddVariantsItem("Spelling", 8, &TMDIForm::SpellMIClick)->SetShortCut(TextToShortCut("F7"));
    AddVariantsItem("Add word", -2, &TMDIForm::AddWordMIClick);
    TStringList variants;
    f->Speller->GetVariants(FClickedWord, &variants, language);
    if (variants.Count() > 0) AddVariantsItem("-", -2, nullptr);
    unsigned codePage = FRichEdit->CodePage();
    for (int i = 0; i < variants.Count(); ++i) {
        TMenuItem* item = AddVariantsItem("", -2, &TMDIForm::VariantMIClick);
        // Shown as the letters of the editor's language, never as a separator or a mnemonic.
        item->SetTextCaption(variants.Strings(i), codePage);
        item->SetDefault(true);
    }
}

void TMDIForm::CreateVariantsStyler()
{
    FVariantsMenu97 = new TPopupMenus97(this);
    FVariantsMenu97->SetName("VariantsMenu97");
    if (TSpellDemoForm* f = Frame()) FVariantsMenu97->SetImages(f->Images);
    FVariantsMenu97->SetBanner(false);
    FVariantsMenu97->SetBannerJustification(TBannerJustification::bjBottom);
    FVariantsMenu97->SetBannerWidth(25);
    TFont* banner = FVariantsMenu97->BannerFont();
    banner->SetName("Comic Sans MS");
    banner->SetHeight(-20);
    banner->SetColor(10485760);
    FVariantsMenu97->SetBannerColor(clBlack);
    FVariantsMenu97->SetBannerEndColor(clActiveCaption);
    FVariantsMenu97->SetBannerNumColors(100);
    FVariantsMenu97->SetBannerSeparator('|');
    FVariantsMenu97->SetItemHeight(0);
    FVariantsMenu97->SetItemWidth(0);
    TFont font;
    font.Assign(FVariantsMenu97->Font());
    font.SetName("Tahoma");
    font.SetHeight(-13);
    font.SetStyle(0);
    font.SetCharset(RUSSIAN_CHARSET);
    FVariantsMenu97->SetFont(&font);
    font.SetColor(FVariantsMenu97->HiliteFont()->Color());
    FVariantsMenu97->SetHiliteFont(&font);
    FVariantsMenu97->SetDefaultFont(false);
    FVariantsMenu97->Brush()->SetColor(clBtnFace);
    FVariantsMenu97->SetHiliteBar(clHighlight);
    FVariantsMenu97->SetMenus97Look(TMenus97Look::mlIE4Look);
    FVariantsMenu97->OnDrawItem = [this](TMenu* m, TMenuItem* i, const RECT& r, TOwnerDrawState st) {
        return VariantsMenu97DrawItem(m, i, r, st);
    };
    FVariantsMenu97->SetPopupMenu(FVariantsMenu);
}

bool TMDIForm::VariantsMenu97DrawItem(TMenu*, TMenuItem* Item, const RECT& Rect, unsigned)
{
    // Spelling, Add word and the separator are drawn as the styler draws every item.
    if (Item->MenuIndex() < 3) return false;
    TCanvas* canvas = FVariantsMenu97->Canvas();
    canvas->FillRect(Rect);
    canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
    canvas->TextOutW(Rect.left + 22, Rect.top + 2, StringToWide(Item->Caption(), FRichEdit->CodePage()));
    return true;
}

void TMDIForm::SpellMIClick(TObject*) { CheckSpelling(); }

void TMDIForm::AddWordMIClick(TObject*)
{
    if (TSpellDemoForm* f = Frame()) f->Speller->AddWord(FClickedWord, FRichEdit->Language());
}

void TMDIForm::VariantMIClick(TObject* Sender)
{
    auto* item = static_cast<TMenuItem*>(Sender);
    FRichEdit->SetSelStart(FWordStart);
    FRichEdit->SetSelLength(FWordEnd - FWordStart);
    FRichEdit->SetSelText(item->Caption());
}

} // namespace pw
