// Character and paragraph attributes of a rich edit 2.0 control: every read fetches the
// control's format record, every write sends one record with just that property's mask.
#pragma once
#include "Graphics.h"
#include "Languages.h"
#include "RichEdit.h"

#include <richedit.h>

#include <string>

namespace pw {

class TCustomRichEdit98;

enum class TAttributeKind : unsigned char { atSelected = 0, atDefaultText = 1 };

class TTextAttributes98 : public TPersistent {
public:
    TTextAttributes98(TCustomRichEdit98* RichEdit, TAttributeKind Kind);

    TColor Color();
    void SetColor(TColor v);
    std::string Name();
    void SetName(const std::string& v);
    TFontPitch Pitch();
    void SetPitch(TFontPitch v);
    int Size();
    void SetSize(int v);
    WORD Weight();
    void SetWeight(WORD v);
    TColor BackColor();
    void SetBackColor(TColor v);
    TLanguage Language();
    void SetLanguage(TLanguage v);
    unsigned char VerticalPosition();
    void SetVerticalPosition(unsigned char v);
    double Offset();
    void SetOffset(double v);
    double Spacing();
    void SetSpacing(double v);
    double Kerning();
    void SetKerning(double v);
    unsigned char UnderlineType();
    void SetUnderlineType(unsigned char v);
    unsigned char Animation();
    void SetAnimation(unsigned char v);
    bool Bold() { return Effect(CFE_BOLD); }
    void SetBold(bool v) { SetEffect(CFM_BOLD, v); }
    bool Italic() { return Effect(CFE_ITALIC); }
    void SetItalic(bool v) { SetEffect(CFM_ITALIC, v); }
    bool SmallCaps() { return Effect(CFE_SMALLCAPS); }
    void SetSmallCaps(bool v) { SetEffect(CFM_SMALLCAPS, v); }
    bool AllCaps() { return Effect(CFE_ALLCAPS); }
    void SetAllCaps(bool v) { SetEffect(CFM_ALLCAPS, v); }
    bool Hidden() { return Effect(CFE_HIDDEN); }
    void SetHidden(bool v) { SetEffect(CFM_HIDDEN, v); }
    bool Outline() { return Effect(CFE_OUTLINE); }
    void SetOutline(bool v) { SetEffect(CFM_OUTLINE, v); }
    bool Shadow() { return Effect(CFE_SHADOW); }
    void SetShadow(bool v) { SetEffect(CFM_SHADOW, v); }
    bool Emboss() { return Effect(CFE_EMBOSS); }
    void SetEmboss(bool v) { SetEffect(CFM_EMBOSS, v); }
    bool Imprint() { return Effect(CFE_IMPRINT); }
    void SetImprint(bool v) { SetEffect(CFM_IMPRINT, v); }

    void Assign(TPersistent* Source) override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    TCustomRichEdit98* FRichEdit;
    TAttributeKind FKind;
    CHARFORMAT2W Get();
    void Set(CHARFORMAT2W& Format);
    bool Effect(DWORD Bit);
    void SetEffect(DWORD Bit, bool Value);
    void CopyTo(TTextAttributes98* Dest);
};

class TParaAttributes98 : public TParaAttributes {
public:
    explicit TParaAttributes98(TCustomRichEdit98* RichEdit);
    // Read back too, so that a ruler can show the indents of the paragraph at the caret.
    double StartIndent();
    void SetStartIndent(double v);
    double IndentOffset();
    void SetIndentOffset(double v);
    double RightIndent();
    void SetRightIndent(double v);
    unsigned char Alignment();
    void SetAlignment(unsigned char v);
    unsigned char Numbering();
    void SetNumbering(unsigned char v);
    void SetNumberingTab(double v);
private:
    TCustomRichEdit98* FRichEdit;
    PARAFORMAT2 Get();
    void Set(PARAFORMAT2& Format);
};

// Points to twips (x 20, nearest, ties to even) and back (x 0.05).
int PointsToTwips(double Points);
double TwipsToPoints(long Twips);

} // namespace pw
