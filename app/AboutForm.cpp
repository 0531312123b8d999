#include "AboutForm.h"

#include "StdCtrls.h"

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
    SetColor(AboutColor);
    Font()->SetName("Arial");
    Font()->SetHeight(-10);
    RECT r = {0, 0, AboutClientWidth, AboutClientHeight};
    AdjustWindowRectEx(&r, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, FALSE,
                       WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    SetBounds(0, 0, r.right - r.left, r.bottom - r.top);

    Label1 = AddLabel("Label1", 16, 64, 168, 13, "Penwise has many new abilities like :");
    Label2 = AddLabel("Label2", 32, 80, 90, 13, "--> It is a richeditor.");
    Label3 = AddLabel("Label3", 32, 96, 164, 13, "--> It has spelling check capability. ");
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

void TAboutForm::CreateWnd()
{
    TForm::CreateWnd();
    // Tab, Enter and Esc move and act as in a dialog box.
    if (FHandle && Application) Application->AddModelessDialog(FHandle);
}

void TAboutForm::DestroyWnd()
{
    if (FHandle && Application) Application->RemoveModelessDialog(FHandle);
    TForm::DestroyWnd();
}

void TAboutForm::WndProc(TMessage& Message)
{
    // Enter and Esc arrive from the dialog navigation as IDOK and IDCANCEL without a sender.
    if (Message.Msg == WM_COMMAND && Message.LParam == 0 && HIWORD(Message.WParam) <= 1 &&
        (LOWORD(Message.WParam) == IDOK || LOWORD(Message.WParam) == IDCANCEL)) {
        OKButton->Click();
        return;
    }
    TForm::WndProc(Message);
}

} // namespace pw
