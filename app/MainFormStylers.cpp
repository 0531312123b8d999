// The frame's menu stylers: the main menu with its images and banner, and the two colour
// menus, whose swatches are drawn by the frame's handlers on the stylers' canvases.
#include "MainForm.h"

#include "ComCtrls.h"
#include "MenuStylers97.h"
#include "Menus.h"

namespace pw {

namespace {

void SetFontOf(TFont* Font, const char* Name, int Height, TFontStyles Style, TColor Color, unsigned char Charset)
{
    Font->SetName(Name);
    Font->SetHeight(Height);
    Font->SetStyle(Style);
    Font->SetColor(Color);
    Font->SetCharset(Charset);
}

void SetUpColorStyler(TPopupMenus97* Styler, TPopupMenu* Menu)
{
    Styler->SetBanner(false);
    Styler->SetBannerJustification(TBannerJustification::bjCenter);
    Styler->SetBannerWidth(20);
    SetFontOf(Styler->BannerFont(), "Arial", -20, 0, clWhite, DEFAULT_CHARSET);
    Styler->SetBannerColor(clBlack);
    Styler->SetBannerEndColor(clActiveCaption);
    Styler->SetBannerNumColors(6);
    Styler->SetBannerSeparator('|');
    Styler->SetItemHeight(20);
    Styler->SetItemWidth(6);
    TFont font;
    SetFontOf(&font, "Tahoma", -13, 0, clWindowText, RUSSIAN_CHARSET);
    Styler->SetFont(&font);
    Styler->SetHiliteFont(&font);
    Styler->SetDefaultFont(false);
    Styler->Brush()->SetColor(clBtnFace);
    Styler->SetHiliteBar(clHighlight);
    Styler->SetPopupMenu(Menu);
}

} // namespace

void TSpellDemoForm::CreateMenuStylers()
{
    MainMenu97 = new TMainMenus97(this);
    MainMenu97->SetName("MainMenu97");
    MainMenu97->SetImages(Images);
    MainMenu97->SetBanner(true);
    MainMenu97->SetBannerText(" Corvex");
    MainMenu97->SetBannerJustification(TBannerJustification::bjBottom);
    MainMenu97->SetBannerWidth(25);
    SetFontOf(MainMenu97->BannerFont(), "Courier New", -20, fsBold | fsItalic, 10485760, ANSI_CHARSET);
    MainMenu97->SetBannerColor(clBlack);
    MainMenu97->SetBannerEndColor(clActiveCaption);
    MainMenu97->SetBannerNumColors(100);
    MainMenu97->SetBannerSeparator('|');
    MainMenu97->SetItemHeight(0);
    MainMenu97->SetItemWidth(0);
    MainMenu97->Brush()->SetColor(clBtnFace);
    MainMenu97->SetHiliteBar(clHighlight);
    MainMenu97->SetMenus97Look(TMenus97Look::mlIE4Look);
    MainMenu97->SetMenuBarBorder(false);
    MainMenu97->SetMainMenu(MainMenu);

    auto draw = [this](TMenu* Menu, TMenuItem* Item, const RECT& Rect, TOwnerDrawState State) {
        TPopupMenus97* styler = Menu == ColorMenu ? ColorMenu97 : HighlightMenu97;
        ColorMenu97DrawItem(Item, styler->Canvas(), Rect, State);
        return true;
    };
    auto measure = [this](TMenu*, TMenuItem* Item, int& Height, int& Width) {
        ColorMenu97MeasureItem(Item, Width, Height);
    };
    ColorMenu97 = new TPopupMenus97(this);
    ColorMenu97->SetName("ColorMenu97");
    HighlightMenu97 = new TPopupMenus97(this);
    HighlightMenu97->SetName("HighlightMenu97");
    for (auto [styler, menu] : {std::pair{ColorMenu97, ColorMenu}, std::pair{HighlightMenu97, HighlightMenu}}) {
        styler->OnDrawItem = draw;
        styler->OnMeasureItem = measure;
        SetUpColorStyler(styler, menu);
    }
}

} // namespace pw
