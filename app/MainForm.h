// The main frame: an MDI frame that holds the document windows.
#pragma once
#include "Forms.h"

namespace pw {

class TSpellDemoForm : public TForm {
public:
    explicit TSpellDemoForm(TComponent* AOwner);
};

} // namespace pw
