// A window-less decorative label: its caption with a drop shadow, an outline or a 3D edge,
// letters filled with a gradient or a picture, built off-screen and copied in one step.
#pragma once
#include "Controls.h"
#include "Gradient.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace pw {

enum TArtStyleMember : unsigned char { as3DSunk, as3DRaise, asShadow, asBitmap, asOutlined, asBitmapFit, asGradient };

// A set of TArtStyleMember, one bit each.
class TArtStyle {
public:
    constexpr TArtStyle() = default;
    constexpr TArtStyle(std::initializer_list<TArtStyleMember> Members)
    {
        for (TArtStyleMember m : Members) FBits = static_cast<unsigned char>(FBits | (1u << m));
    }
    constexpr bool Contains(TArtStyleMember m) const { return (FBits >> m) & 1u; }
    constexpr unsigned char Bits() const { return FBits; }
    constexpr bool operator==(const TArtStyle&) const = default;

private:
    unsigned char FBits = 0;
};

class TArtLabel : public TGraphicControl {
public:
    explicit TArtLabel(TComponent* AOwner);
    ~TArtLabel() override;

    TArtStyle ArtStyle() const { return FArtStyle; }
    void SetArtStyle(TArtStyle v);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    // The caption's font: the label's own, which the parent's font does not reach.
    TFont* Font() { return &FFont; }
    void SetFont(TFont* v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    void SetColor(TColor v) override; // the background
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    // Sizes the label to its caption when the caption, the font or AutoSize itself change.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    int ShadowLength() const { return FShadowLength; }
    void SetShadowLength(int v);
    TGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(TGradient* v);
    TAlignment TextAlign() const { return FTextAlign; }
    void SetTextAlign(TAlignment v);

    // Times the cached gradient picture was painted (it is rebuilt only when needed).
    int GradientBuilds() const { return FGradientBuilds; }

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> FBuffer;
    std::unique_ptr<TBitmap> FGradientBitmap;
    TArtStyle FArtStyle{as3DRaise, asShadow};
    TAlignment FTextAlign = TAlignment::taLeftJustify;
    std::string FCaption = "Art Label";
    bool FAutoSize = false;
    bool FTransparent = false;
    std::unique_ptr<TBitmap> FBitmap;
    TColor FShadowColor = clGray;
    TColor FOutlineColor = clWhite;
    int FShadowLength = 3;
    std::unique_ptr<TGradient> FGradient;
    bool FGradientDirty = true;
    TFont FFont;
    int FGradientBuilds = 0;

    void AdjustSize();
    POINT TextOrigin(TCanvas* B);
    void DrawEffects(TCanvas* B, int X, int Y, bool MaskOnly);
    void DrawLetterFill(TCanvas* B, int X, int Y);
    void DrawTransparent(const RECT& R, int X, int Y);
    void PaintParentBackground(HDC DC);
};

} // namespace pw
