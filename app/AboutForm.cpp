#include "AboutForm.h"

#include "ArtLabel.h"
#include "DUXBevel.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"

#include <algorithm>

namespace pw {

TAboutForm* AboutForm = nullptr;

namespace {
constexpr int AboutClientWidth = 298, AboutClientHeight = 321;
constexpr TColor AboutColor = 12895428;  // RGB 196, 196, 196
}

TAboutForm::TAboutForm(TComponent* AOwner) : TForm(AOwner)
{
    AboutForm = this;
    SetName("AboutForm");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetVisible(false);
    SetCaption("About Penwise v 1.5");
    SetDialogKeys(true);
    SetColor(AboutColor);
    Font()->SetName("Arial");
    Font()->SetHeight(-10);
    RECT r = {0, 0, AboutClientWidth, AboutClientHeight};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, FALSE,
                       WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    SetBounds(0, 0, r.right - r.left, r.bottom - r.top);

    // In creation order: later controls are drawn over earlier ones.
    DUXBevel1 = AddBevel("DUXBevel1", 8, 8, 281, 186);
    Image1 = new TImage(this);
    Image1->SetName("Image1");
    Image1->SetParent(this);
    Image1->SetBounds(16, 200, 265, 65);
    Image1->SetStretch(true);
    try {
        Image1->Picture()->LoadFromResourceName(GetModuleHandleA(nullptr), "ABOUTIMAGE");
    } catch (const EResNotFound&) {
        // A program built without its resources shows the box without its picture.
    }
    CreateTitle();
    DUXBevel2 = AddBevel("DUXBevel2", 8, 192, 281, 81);
    Label1 = AddLabel("Label1", 16, 64, 168, 13, "Penwise has many new abilities like :");
    Label2 = AddLabel("Label2", 32, 80, 90, 13, "--> It is a richeditor.");
    Label3 = AddLabel("Label3", 32, 96, 164, 13, "--> It has spelling check capability. ");
    // Every label wraps its text. The one-line texts are made at least as wide as their text,
    // so that where a font runs a little wider than the form's widths allow (Wine's
    // replacement of Arial) their last words do not wrap onto a second line the label's height
    // hides. Wine's static control draws a few pixels wider than the text measures, hence the
    // allowance.
    for (TLabel* l : {Label1, Label2, Label3}) {
        TMemoryDC dc;
        TCanvas measure(dc.Get());
        measure.Font()->Assign(l->Font());
        l->SetWidth(std::max(l->Width(), measure.TextWidth(l->Caption()) + 4));
    }
    Label4 = AddLabel("Label4", 32, 112, 241, 52,
                      "--> you can press right mouse button on any word in editor window. A misspelled word "
                      "then offers its alternatives in a pop-up menu, from which you can also start the "
                      "interactive spelling check.");
    OKButton = new TButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetParent(this);
    OKButton->SetBounds(111, 290, 75, 24);
    OKButton->SetFont(Font());
    OKButton->SetCaption("OK");
    OKButton->SetDefault(true);
    OKButton->SetTabOrder(0);
    OKButton->OnClick = [this](TObject*) { SetModalResult(mrOk); };
}

TAboutForm::~TAboutForm()
{
    if (AboutForm == this) AboutForm = nullptr;
}

TDUXBevel* TAboutForm::AddBevel(const char* Name, int Left, int Top, int Width, int Height)
{
    auto* b = new TDUXBevel(this);
    b->SetName(Name);
    b->SetParent(this);
    b->SetBounds(Left, Top, Width, Height);
    b->SetShape(TBevelShape::bsFrame);
    b->SetHighlight(clWhite);
    b->SetShadow(clBlack);
    return b;
}

void TAboutForm::CreateTitle()
{
    ArtLabel1 = new TArtLabel(this);
    ArtLabel1->SetName("ArtLabel1");
    ArtLabel1->SetParent(this);
    ArtLabel1->SetBounds(16, 16, 257, 41);
    ArtLabel1->SetCaption("About Penwise :");
    ArtLabel1->SetArtStyle({asShadow, asGradient});
    ArtLabel1->Font()->SetName("Arial");
    ArtLabel1->Font()->SetHeight(-32);
    ArtLabel1->Font()->SetStyle(fsBold);
    ArtLabel1->SetTransparent(false);
    ArtLabel1->SetColor(AboutColor);
    ArtLabel1->SetShadowColor(clGray);
    ArtLabel1->SetOutlineColor(clWhite);
    ArtLabel1->SetAutoSize(false);
    ArtLabel1->SetShadowLength(3);
    ArtLabel1->SetTextAlign(TAlignment::taLeftJustify);
    TGradient* g = ArtLabel1->Gradient();
    g->SetGradientStyle(gsLine);
    g->SetLineSize(2);
    g->SetColor1(clSilver);
    g->SetColor2(clBlue);
    g->SetColor3(clAqua);
    g->SetColor4(8388863);
    g->SetColor5(33023);
    g->SetColorCount(4);
    g->SetLineDirection(diVertical);
}

TLabel* TAboutForm::AddLabel(const char* Name, int Left, int Top, int Width, int Height, const char* Caption)
{
    auto* l = new TLabel(this);
    l->SetName(Name);
    l->SetParent(this);
    l->SetBounds(Left, Top, Width, Height);
    l->SetFont(Font());
    l->SetCaption(Caption);
    return l;
}

void TAboutForm::AfterConstruction()
{
    // The box exists, hidden, from start-up on; About only shows it.
    HandleNeeded();
    TForm::AfterConstruction();
}

// Enter (and Esc) close the box as its OK button does.
void TAboutForm::DialogKey(int) { OKButton->Click(); }

} // namespace pw
