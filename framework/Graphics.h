// Colours and fonts.
#pragma once
#include "Classes.h"

#include <cstdint>
#include <string>

struct HFONT__;
typedef HFONT__* HFONT;

namespace pw {

// RGB with red in the low byte below 2^24; system colours are 0x80000000 | COLOR_xxx.
using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clMenu = SystemColor(4), clWindow = SystemColor(5), clWindowFrame = SystemColor(6),
                 clMenuText = SystemColor(7), clWindowText = SystemColor(8), clCaptionText = SystemColor(9),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clBtnHighlight = SystemColor(20), cl3DDkShadow = SystemColor(21),
                 cl3DLight = SystemColor(22), clInfoText = SystemColor(23), clInfoBk = SystemColor(24);

// Resolves system colours to their current RGB value.
uint32_t ColorToRGB(TColor c);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// A font description with a lazily created GDI handle; OnChange fires after every change.
class TFont : public TPersistent {
public:
    TFont();
    ~TFont() override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v);
    // Size in points; Height in pixels (negative = character height), linked through the
    // screen's pixels per inch.
    int Size() const;
    void SetSize(int v);
    int Height() const { return FHeight; }
    void SetHeight(int v);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    unsigned char Charset() const { return FCharset; }
    void SetCharset(unsigned char v);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch v);
    int PixelsPerInch() const { return FPixelsPerInch; }

    HFONT Handle();
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    unsigned char FCharset = 1;  // DEFAULT_CHARSET
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FPixelsPerInch;
    HFONT FHandle = nullptr;
    void Changed();
};

int ScreenPixelsPerInch();

} // namespace pw
