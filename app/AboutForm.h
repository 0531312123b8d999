// The about box: a fixed dialog with a decorative title, a picture and four lines of text.
// Created once at start-up and shown modally for Help, About.
#pragma once
#include "Forms.h"

namespace pw {

class TButton;
class TLabel;

class TAboutForm : public TForm {
public:
    explicit TAboutForm(TComponent* AOwner);
    ~TAboutForm() override;
    void AfterConstruction() override;
    void WndProc(TMessage& Message) override;

    TLabel *Label1, *Label2, *Label3, *Label4;
    TButton* OKButton;

protected:
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    TLabel* AddLabel(const char* Name, int Left, int Top, int Width, int Height, const char* Caption);
};

// The one about box of the process.
extern TAboutForm* AboutForm;

} // namespace pw
