#include "Graphics.h"

#include "WinApi.h"

#include <cmath>

namespace pw {

uint32_t ColorToRGB(TColor c)
{
    if (c < 0) return GetSysColor(static_cast<int>(static_cast<uint32_t>(c) & 0xFF));
    return static_cast<uint32_t>(c);
}

int ScreenPixelsPerInch()
{
    static int ppi = [] {
        HDC dc = GetDC(nullptr);
        int v = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {}

TFont::~TFont()
{
    if (FHandle) DeleteObject(FHandle);
}

void TFont::Changed()
{
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
    if (OnChange) OnChange(this);
}

void TFont::SetName(const std::string& v)
{
    if (v.empty() || v == FName) return;
    FName = v;
    Changed();
}

int TFont::Size() const
{
    return -static_cast<int>(std::lround(static_cast<double>(FHeight) * 72 / FPixelsPerInch));
}

void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }

void TFont::SetHeight(int v)
{
    if (v == FHeight) return;
    FHeight = v;
    Changed();
}

void TFont::SetStyle(TFontStyles v)
{
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TFont::SetColor(TColor v)
{
    if (v == FColor) return;
    FColor = v;
    Changed();
}

void TFont::SetCharset(unsigned char v)
{
    if (v == FCharset) return;
    FCharset = v;
    Changed();
}

void TFont::SetPitch(TFontPitch v)
{
    if (v == FPitch) return;
    FPitch = v;
    Changed();
}

HFONT TFont::Handle()
{
    if (!FHandle) {
        LOGFONTA lf = {};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharset;
        lf.lfPitchAndFamily = FPitch == TFontPitch::fpFixed ? FIXED_PITCH
                            : FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        FName = f->FName;
        FHeight = MulDiv(f->FHeight, FPixelsPerInch, f->FPixelsPerInch);
        FStyle = f->FStyle;
        FColor = f->FColor;
        FCharset = f->FCharset;
        FPitch = f->FPitch;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

} // namespace pw
