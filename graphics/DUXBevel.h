// A bevel whose light and dark edge colours are its own properties.
#pragma once
#include "ExtCtrls.h"

#include <string>

namespace pw {

class TDUXBevel : public TBevel {
public:
    explicit TDUXBevel(TComponent* AOwner);

    // Stored with the form, never drawn; at most 32 characters.
    const std::string& About() const { return FAbout; }
    void SetAbout(const std::string& v) { FAbout = v.substr(0, 32); }
    TColor Highlight() const { return FHighlight; }
    void SetHighlight(TColor v);
    TColor Shadow() const { return FShadow; }
    void SetShadow(TColor v);

protected:
    void Paint() override;

private:
    std::string FAbout;
    TColor FHighlight = clWhite;
    TColor FShadow = clBlack;
};

} // namespace pw
