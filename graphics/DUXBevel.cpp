#include "DUXBevel.h"

namespace pw {

TDUXBevel::TDUXBevel(TComponent* AOwner) : TBevel(AOwner) {}

void TDUXBevel::SetHighlight(TColor v)
{
    FHighlight = v;
    Invalidate();
}

void TDUXBevel::SetShadow(TColor v)
{
    FShadow = v;
    Invalidate();
}

void TDUXBevel::Paint() { PaintBevel(FHighlight, FShadow); }

} // namespace pw
