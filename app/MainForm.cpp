#include "MainForm.h"

namespace pw {

TSpellDemoForm::TSpellDemoForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("SpellDemoForm");
    SetText("Penwise v 1.5");
    SetFormStyle(TFormStyle::fsMDIForm);
    SetPosition(TPosition::poScreenCenter);
    SetBounds(0, 0, 738, 528);
}

} // namespace pw
