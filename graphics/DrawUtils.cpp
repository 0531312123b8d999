#include "DrawUtils.h"

#include <cmath>

namespace pw {

void SplitRGB(TColor Color, int& R, int& G, int& B)
{
    auto c = static_cast<uint32_t>(Color);
    R = static_cast<int>(c & 0xFF);
    G = static_cast<int>((c >> 8) & 0xFF);
    B = static_cast<int>((c >> 16) & 0xFF);
}

int ClampToByte(float Value)
{
    // The default rounding mode rounds to nearest with ties to even.
    float r = std::nearbyint(Value);
    if (!(r > 0)) return 0;  // also NaN
    if (r > 255) return 255;
    return static_cast<int>(r);
}

TColor RGBFromReals(float R, float G, float B)
{
    return static_cast<TColor>(ClampToByte(R) | (ClampToByte(G) << 8) | (ClampToByte(B) << 16));
}

TColor LightenColor(TColor Color, int Amount)
{
    int r, g, b;
    SplitRGB(static_cast<TColor>(ColorToRGB(Color)), r, g, b);
    auto a = static_cast<float>(Amount);
    return RGBFromReals(static_cast<float>(r) + a, static_cast<float>(g) + a, static_cast<float>(b) + a);
}

TColor DarkenColor(TColor Color, int Amount) { return LightenColor(Color, -Amount); }

} // namespace pw
