#include "TextAttributes98.h"

#include "RichEdit98.h"
#include "RichEditText.h"

#include <cfenv>
#include <cmath>
#include <cstring>

namespace pw {

int PointsToTwips(double Points)
{
    // Single-precision factor, rounded as the processor rounds by default: ties to even.
    double v = Points * static_cast<double>(20.0f);
    return static_cast<int>(std::nearbyint(v));
}

double TwipsToPoints(long Twips) { return static_cast<double>(static_cast<long double>(Twips) * 0.05L); }

// ---- TTextAttributes98 ----

TTextAttributes98::TTextAttributes98(TCustomRichEdit98* RichEdit, TAttributeKind Kind)
    : FRichEdit(RichEdit), FKind(Kind)
{
}

CHARFORMAT2W TTextAttributes98::Get()
{
    CHARFORMAT2W f = redit::BlankCharFormat();
    if (FRichEdit->HandleAllocated())
        FRichEdit->Perform(EM_GETCHARFORMAT, FKind == TAttributeKind::atSelected ? SCF_SELECTION : SCF_DEFAULT,
                           reinterpret_cast<LPARAM>(&f));
    return f;
}

void TTextAttributes98::Set(CHARFORMAT2W& f)
{
    f.cbSize = sizeof f;
    if (FRichEdit->HandleAllocated())
        FRichEdit->Perform(EM_SETCHARFORMAT, FKind == TAttributeKind::atSelected ? SCF_SELECTION : SCF_DEFAULT,
                           reinterpret_cast<LPARAM>(&f));
}

TColor TTextAttributes98::Color()
{
    CHARFORMAT2W f = Get();
    return (f.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(f.crTextColor);
}

void TTextAttributes98::SetColor(TColor v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_COLOR);
    if (v == clWindowText) f.dwEffects = CFE_AUTOCOLOR;
    else f.crTextColor = ColorToRGB(v);
    Set(f);
}

std::string TTextAttributes98::Name()
{
    CHARFORMAT2W f = Get();
    std::wstring w(f.szFaceName, wcsnlen(f.szFaceName, LF_FACESIZE));
    return WideToString(w, CP_ACP);
}

void TTextAttributes98::SetName(const std::string& v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_FACE);
    std::wstring w = StringToWide(v, CP_ACP).substr(0, LF_FACESIZE - 1);
    std::memcpy(f.szFaceName, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    Set(f);
}

TFontPitch TTextAttributes98::Pitch()
{
    switch (Get().bPitchAndFamily & 3) {
    case 1: return TFontPitch::fpFixed;
    case 2: return TFontPitch::fpVariable;
    default: return TFontPitch::fpDefault;
    }
}

void TTextAttributes98::SetPitch(TFontPitch v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(0);
    f.bPitchAndFamily = v == TFontPitch::fpVariable ? 2 : v == TFontPitch::fpFixed ? 1 : 0;
    Set(f);
}

int TTextAttributes98::Size() { return static_cast<int>(Get().yHeight / 20); }

void TTextAttributes98::SetSize(int v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_SIZE);
    f.yHeight = v * 20;
    Set(f);
}

WORD TTextAttributes98::Weight() { return Get().wWeight; }

void TTextAttributes98::SetWeight(WORD v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_WEIGHT);
    f.wWeight = v;
    Set(f);
}

TColor TTextAttributes98::BackColor()
{
    CHARFORMAT2W f = Get();
    // Text without a highlight has the automatic background.
    if (f.dwEffects & CFE_AUTOBACKCOLOR) return clNone;
    return static_cast<TColor>(f.crBackColor);
}

void TTextAttributes98::SetBackColor(TColor v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_BACKCOLOR);
    // "No colour" is the control's automatic background; as a colour value it would paint the
    // text's background black.
    if (v == clNone || v == clDefault) f.dwEffects = CFE_AUTOBACKCOLOR;
    else f.crBackColor = ColorToRGB(v);
    Set(f);
}

TLanguage TTextAttributes98::Language() { return static_cast<TLanguage>(LOWORD(Get().lcid)); }

void TTextAttributes98::SetLanguage(TLanguage v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_LCID);
    f.lcid = v;
    Set(f);
    if (FKind == TAttributeKind::atSelected) FRichEdit->OnLanguagesChanged(FRichEdit);
}

unsigned char TTextAttributes98::VerticalPosition()
{
    DWORD e = Get().dwEffects & (CFE_SUBSCRIPT | CFE_SUPERSCRIPT);
    return e == CFE_SUBSCRIPT ? 1 : e == CFE_SUPERSCRIPT ? 2 : 0;
}

void TTextAttributes98::SetVerticalPosition(unsigned char v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_SUBSCRIPT | CFM_SUPERSCRIPT);
    f.dwEffects = static_cast<DWORD>(v) << 16;
    Set(f);
}

double TTextAttributes98::Offset() { return TwipsToPoints(Get().yOffset); }

void TTextAttributes98::SetOffset(double v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_OFFSET);
    f.yOffset = PointsToTwips(v);
    Set(f);
}

double TTextAttributes98::Spacing() { return TwipsToPoints(Get().sSpacing); }

void TTextAttributes98::SetSpacing(double v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_SPACING);
    f.sSpacing = static_cast<SHORT>(PointsToTwips(v));
    Set(f);
}

double TTextAttributes98::Kerning() { return TwipsToPoints(Get().wKerning); }

void TTextAttributes98::SetKerning(double v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_KERNING);
    f.wKerning = static_cast<WORD>(PointsToTwips(v));
    Set(f);
}

unsigned char TTextAttributes98::UnderlineType() { return Get().bUnderlineType; }

void TTextAttributes98::SetUnderlineType(unsigned char v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_UNDERLINETYPE);
    f.bUnderlineType = v;
    Set(f);
}

unsigned char TTextAttributes98::Animation() { return Get().bAnimation; }

void TTextAttributes98::SetAnimation(unsigned char v)
{
    CHARFORMAT2W f = redit::BlankCharFormat(CFM_ANIMATION);
    f.bAnimation = v;
    Set(f);
}

bool TTextAttributes98::Effect(DWORD Bit) { return (Get().dwEffects & Bit) != 0; }

void TTextAttributes98::SetEffect(DWORD Bit, bool Value)
{
    CHARFORMAT2W f = redit::BlankCharFormat(Bit);
    f.dwEffects = Value ? Bit : 0;
    Set(f);
}

void TTextAttributes98::CopyTo(TTextAttributes98* d)
{
    d->SetColor(Color());
    d->SetName(Name());
    d->SetSize(Size());
    d->SetPitch(Pitch());
    d->SetWeight(Weight());
    d->SetBackColor(BackColor());
    d->SetLanguage(Language());
    d->SetVerticalPosition(VerticalPosition());
    d->SetOffset(Offset());
    d->SetSpacing(Spacing());
    d->SetKerning(Kerning());
    d->SetUnderlineType(UnderlineType());
    d->SetBold(Bold());
    d->SetItalic(Italic());
    d->SetAnimation(Animation());
    d->SetSmallCaps(SmallCaps());
    d->SetAllCaps(AllCaps());
    d->SetHidden(Hidden());
    d->SetOutline(Outline());
    d->SetShadow(Shadow());
    d->SetEmboss(Emboss());
    d->SetImprint(Imprint());
}

void TTextAttributes98::Assign(TPersistent* Source)
{
    if (auto* a = dynamic_cast<TTextAttributes98*>(Source)) {
        a->CopyTo(this);
    } else if (auto* t = dynamic_cast<TTextAttributes*>(Source)) {
        SetColor(t->Color);
        SetName(t->Name);
        SetSize(t->Size);
        SetPitch(t->Pitch);
        SetBold(t->Style & fsBold);
        SetItalic(t->Style & fsItalic);
        SetUnderlineType((t->Style & fsUnderline) ? 1 : 0);
    } else if (auto* f = dynamic_cast<TFont*>(Source)) {
        SetColor(f->Color());
        SetName(f->Name());
        SetSize(f->Size());
        SetPitch(f->Pitch());
        SetBold(f->Style() & fsBold);
        SetItalic(f->Style() & fsItalic);
        SetUnderlineType((f->Style() & fsUnderline) ? 1 : 0);
    } else {
        TPersistent::Assign(Source);
    }
}

void TTextAttributes98::AssignTo(TPersistent* Dest)
{
    if (auto* a = dynamic_cast<TTextAttributes98*>(Dest)) {
        CopyTo(a);
    } else if (auto* t = dynamic_cast<TTextAttributes*>(Dest)) {
        t->Color = Color();
        t->Name = Name();
        t->Style = Bold() ? TFontStyles(fsBold) : 0u;
        if (Italic()) t->Style |= fsItalic;
        if (UnderlineType() != 0) t->Style |= fsUnderline;
        t->Charset = LanguageCharset(Language());
        t->Size = Size();
        t->Pitch = Pitch();
    } else if (auto* f = dynamic_cast<TFont*>(Dest)) {
        f->SetColor(Color());
        f->SetName(Name());
        f->SetStyle(Bold() ? TFontStyles(fsBold) : 0u);
        if (Italic()) f->SetStyle(f->Style() | fsItalic);
        if (UnderlineType() != 0) f->SetStyle(f->Style() | fsUnderline);
        f->SetCharset(LanguageCharset(Language()));
        f->SetSize(Size());
        f->SetPitch(Pitch());
    } else {
        TPersistent::AssignTo(Dest);
    }
}

// ---- TParaAttributes98 ----

TParaAttributes98::TParaAttributes98(TCustomRichEdit98* RichEdit) : TParaAttributes(RichEdit), FRichEdit(RichEdit) {}

PARAFORMAT2 TParaAttributes98::Get()
{
    PARAFORMAT2 p;
    std::memset(&p, 0, sizeof p);
    p.cbSize = sizeof p;
    if (FRichEdit->HandleAllocated()) FRichEdit->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    return p;
}

void TParaAttributes98::Set(PARAFORMAT2& p)
{
    p.cbSize = sizeof p;
    if (FRichEdit->HandleAllocated()) FRichEdit->Perform(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
}

static PARAFORMAT2 BlankPara(DWORD mask)
{
    PARAFORMAT2 p;
    std::memset(&p, 0, sizeof p);
    p.cbSize = sizeof p;
    p.dwMask = mask;
    return p;
}

double TParaAttributes98::StartIndent() { return TwipsToPoints(Get().dxStartIndent); }

void TParaAttributes98::SetStartIndent(double v)
{
    PARAFORMAT2 p = BlankPara(PFM_STARTINDENT);
    p.dxStartIndent = PointsToTwips(v);
    Set(p);
}

double TParaAttributes98::IndentOffset() { return TwipsToPoints(Get().dxOffset); }

void TParaAttributes98::SetIndentOffset(double v)
{
    PARAFORMAT2 p = BlankPara(PFM_OFFSET);
    p.dxOffset = PointsToTwips(v);
    Set(p);
}

double TParaAttributes98::RightIndent() { return TwipsToPoints(Get().dxRightIndent); }

void TParaAttributes98::SetRightIndent(double v)
{
    PARAFORMAT2 p = BlankPara(PFM_RIGHTINDENT);
    p.dxRightIndent = PointsToTwips(v);
    Set(p);
}

unsigned char TParaAttributes98::Alignment() { return static_cast<unsigned char>(Get().wAlignment - 1); }

void TParaAttributes98::SetAlignment(unsigned char v)
{
    PARAFORMAT2 p = BlankPara(PFM_ALIGNMENT);
    p.wAlignment = static_cast<WORD>(v + 1);
    Set(p);
}

unsigned char TParaAttributes98::Numbering() { return static_cast<unsigned char>(Get().wNumbering & 0xFF); }

void TParaAttributes98::SetNumbering(unsigned char v)
{
    PARAFORMAT2 p = BlankPara(PFM_NUMBERING);
    p.wNumbering = v;
    Set(p);
}

void TParaAttributes98::SetNumberingTab(double v)
{
    PARAFORMAT2 p = BlankPara(PFM_NUMBERINGTAB);
    p.wNumberingTab = static_cast<WORD>(PointsToTwips(v));
    Set(p);
}

} // namespace pw
