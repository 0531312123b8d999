// The formatting commands of the main frame: the format tool bar, the colour menus and the
// language combo box act on the active document.
#include "MainForm.h"

#include "ComCtrls.h"
#include "Dialogs.h"
#include "LanguagesCombo.h"
#include "MDIForm.h"
#include "Menus.h"
#include "RichEdit98.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TextAttributes98.h"

namespace pw {

int FontSizeFromText(const std::string& Text)
{
    int size = 0;
    if (!TryStrToInt(Text, size) || size < 1 || size > MaxFontSize)
        throw EConvertError(
            Format("\"%s\" is not a font size: give a whole number of points from 1 to %d", Text.c_str(), MaxFontSize));
    return size;
}

void TSpellDemoForm::FocusEditor()
{
    if (TMDIForm* d = ActiveDocument()) d->RichEdit()->SetFocus();
}

void TSpellDemoForm::FontComboChange(TObject*)
{
    TMDIForm* d = ActiveDocument();
    if (!d) return;
    d->SetFontName(FontCombo->Text());
    FocusEditor();
}

void TSpellDemoForm::FontComboDrawItem(TWinControl*, int Index, const RECT& Rect, UINT State, HDC DC)
{
    bool selected = State & ODS_SELECTED;
    FillRect(DC, &Rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (Index < 0 || Index >= FontCombo->Items()->Count()) return;
    {
        TCanvas canvas(DC);
        canvas.SetFont(FontCombo->Font());
        canvas.Font()->SetColor(selected ? clHighlightText : clWindowText);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.TextOut(Rect.left + 18, Rect.top, FontCombo->Items()->Strings(Index));
    }
    // The mark of the font's kind: 2 TrueType, 1 any other.
    int kind = static_cast<int>(reinterpret_cast<intptr_t>(FontCombo->Items()->Objects(Index)));
    if (HICON icon = ImageList_GetIcon(Images->Handle(), kind + 18, ILD_NORMAL)) {
        DrawIconEx(DC, Rect.left + 1, Rect.top, icon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
}

void TSpellDemoForm::FontSizeDropDown(TObject*) { FontSizeDropped = true; }

void TSpellDemoForm::FontSizeChange(TObject*)
{
    // Typed text is applied with Enter only; a choice in the dropped-down list at once.
    if (!FontSizeDropped || !FontSize->ChoosingItem()) return;
    FontSizeDropped = false;
    ApplyFontSize();
}

void TSpellDemoForm::FontSizeKeyPress(TObject*, char& Key)
{
    unsigned char k = static_cast<unsigned char>(Key);
    if (!(k >= '0' && k <= '9') && !(k >= 1 && k <= 31)) Key = 0;
}

void TSpellDemoForm::FontSizeKeyUp(TObject*, WORD& Key, unsigned)
{
    if (Key == VK_RETURN) ApplyFontSize();
}

void TSpellDemoForm::ApplyFontSize()
{
    TMDIForm* d = ActiveDocument();
    if (!d) return;
    d->SetFontSize(FontSizeFromText(FontSize->Text()));
    FocusEditor();
}

void TSpellDemoForm::BoldBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetBold(BoldBtn->Down());
}
void TSpellDemoForm::ItalicBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetItalic(ItalicBtn->Down());
}
void TSpellDemoForm::UndrlBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetUnderline(UndrlBtn->Down());
}
void TSpellDemoForm::LeftBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetAlignment(0);
}
void TSpellDemoForm::CenterBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetAlignment(2);
}
void TSpellDemoForm::RightBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetAlignment(1);
}
void TSpellDemoForm::BulletsBtnClick(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) d->SetBullets(BulletsBtn->Down());
}

void TSpellDemoForm::ColorMIClick(TObject* Sender)
{
    if (TMDIForm* d = ActiveDocument()) d->SetTextColor(static_cast<TMenuItem*>(Sender)->Tag());
}

void TSpellDemoForm::HighlightMIClick(TObject* Sender)
{
    if (TMDIForm* d = ActiveDocument()) d->SetHighlightColor(static_cast<TMenuItem*>(Sender)->Tag());
}

void TSpellDemoForm::OtherMIClick(TObject*)
{
    if (!ColorDialog->Execute()) return;
    auto* item = new TMenuItem(this);
    item->SetTag(ColorDialog->Color());
    item->SetBreak(TMenuBreak::mbBreak);
    item->OnClick = [this](TObject* s) { ColorMIClick(s); };
    // The custom colours make one column after Other, newest at the top, at most four.
    TMenuItem* root = ColorMenu->Items();
    const int first = OtherMI->MenuIndex() + 1;
    if (root->Count() > first) root->Items(first)->SetBreak(TMenuBreak::mbNone);
    root->Insert(first, item);
    if (root->Count() > first + 4) root->Delete(first + 4);
    ColorMIClick(item);
}

void TSpellDemoForm::CheckColorItems(TPopupMenu* Menu, TColor Color)
{
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem* item = Menu->Items()->Items(i);
        // Set directly, not through the radio group: Other and Black are both checked for black.
        item->SetChecked(false);
    }
    for (int i = 0; i < Menu->Items()->Count(); ++i) {
        TMenuItem* item = Menu->Items()->Items(i);
        if (item->Tag() == Color) item->SetChecked(true);
    }
}

void TSpellDemoForm::ColorMenuPopup(TObject*)
{
    if (TMDIForm* d = ActiveDocument()) CheckColorItems(ColorMenu, d->RichEdit()->SelectionAttributes()->Color());
}

void TSpellDemoForm::HighlightMenuPopup(TObject*)
{
    if (TMDIForm* d = ActiveDocument())
        CheckColorItems(HighlightMenu, d->RichEdit()->SelectionAttributes()->BackColor());
}

void TSpellDemoForm::ColorMenu97MeasureItem(TMenuItem* Item, int& Width, int& Height)
{
    // The swatches keep the size their styler proposes (20 pixels high); Auto, Other and None
    // stand as tall as a column of four.
    (void)Width;
    if (IsTallColorItem(Item)) Height = 80;
}

namespace {

constexpr TColor clLightGrey = 14737632;

// The caption written downwards, centred about the middle of an 80-pixel item.
void VerticalCaption(TCanvas* c, const RECT& r, const std::string& Caption)
{
    int h = c->TextHeight(Caption) * 4 / 5;
    int y = (static_cast<int>(Caption.size()) - 3) * h / 2 + 40;
    for (size_t i = Caption.size(); i-- > 0;) {
        std::string ch(1, Caption[i]);
        c->TextOut(r.left - 2 + (20 - c->TextWidth(ch)) / 2, r.top - 2 + y, ch);
        y -= h;
    }
}

} // namespace

void TSpellDemoForm::ColorMenu97DrawItem(TMenuItem* Item, TCanvas* Canvas, const RECT& Rect, unsigned State)
{
    bool selected = State & odSelected, checked = Item->Checked();
    const TColor menu = clBtnFace;
    Canvas->Brush()->SetColor(selected || !checked ? menu : clLightGrey);
    Canvas->FillRect(Rect);
    if (selected && checked) Frame3D(Canvas->Handle(), Rect, clBtnShadow, clBtnHighlight);
    else if (selected) Frame3D(Canvas->Handle(), Rect, clBtnHighlight, clBtnShadow);
    else if (checked) Frame3D(Canvas->Handle(), Rect, clBtnShadow, clBtnHighlight);
    RECT r{Rect.left + 3, Rect.top + 3, Rect.right - 3, Rect.bottom - 3};
    Canvas->Pen()->SetColor(clGray);
    Canvas->Pen()->SetWidth(1);
    bool button = Item == OtherMI || Item == NoneMI2;
    Canvas->Brush()->SetColor(button ? (checked && !selected ? clLightGrey : menu) : Item->Tag());
    Canvas->Rectangle(r);
    if (!IsTallColorItem(Item)) return;
    Canvas->Font()->SetName("Tahoma");
    Canvas->Font()->SetHeight(-13);
    Canvas->Font()->SetColor(Item == AutoMI ? clWhite : clBlack);
    Canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    VerticalCaption(Canvas, r, Item->Caption());
}

void TSpellDemoForm::SetColorButton(TToolButton* Button, TColor Color)
{
    int index = Button->ImageIndex();
    if (index < 0 || index >= Images->Count()) return;
    const RECT all{0, 0, 16, 16}, bar{0, 12, 16, 16};
    // "No colour" leaves the bar transparent: the button face shows where the colour would.
    bool none = Color == clNone || Color == clDefault;
    TBitmapHandle image(CreateCompatibleBitmap(TWindowDC(nullptr).Get(), 16, 16));
    TBitmapHandle mask(CreateBitmap(16, 16, 1, 1, nullptr));
    if (!image || !mask) throw EOutOfResources("Cannot make the colour bar of a button");
    TMemoryDC dc;
    {
        // The picture where the mask is black, black where it is transparent; then the bar.
        TSelectGuard sel(dc.Get(), image.Get());
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        ImageList_Draw(Images->Handle(), index, dc.Get(), 0, 0, ILD_TRANSPARENT);
        TBrushHandle colour(CreateSolidBrush(none ? RGB(0, 0, 0) : ColorRef(Color)));
        FillRect(dc.Get(), &bar, colour.Get());
    }
    {
        TSelectGuard sel(dc.Get(), mask.Get());
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ImageList_Draw(Images->Handle(), index, dc.Get(), 0, 0, ILD_MASK);
        FillRect(dc.Get(), &bar, static_cast<HBRUSH>(GetStockObject(none ? WHITE_BRUSH : BLACK_BRUSH)));
    }
    Images->Replace(index, image.Get(), mask.Get());
}

void TSpellDemoForm::LanguagesChange(TObject*)
{
    if (!AcceptLanguageChange) return;
    TMDIForm* d = ActiveDocument();
    if (!d) return;
    d->SetTextLanguage(Languages->Language());
    FocusEditor();
}

void TSpellDemoForm::CreateLanguages()
{
    Languages = new TLanguagesCombo(this);
    Languages->SetName("Languages");
    Languages->SetLanguage(NoLanguage);
    Languages->SetLanguageType(TLanguageType::ltInstalled);
    Languages->SetViewType(TLanguageViewType::lvtLocalized);
    Languages->SetShowFlag(true);
    Languages->SetHint("Language");
    Languages->SetTabStop(false);
    Languages->SetBounds(0, 0, 146, 22);
    Languages->OnChange = [this](TObject* s) { LanguagesChange(s); };
    Languages->SetParent(FmtToolBar);
}

} // namespace pw
