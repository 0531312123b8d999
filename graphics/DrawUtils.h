// Drawing helpers of the decorative controls: colour arithmetic, text effects, masked
// drawing and tiling. None of them keeps state.
#pragma once
#include "Graphics.h"

#include <cstdint>

namespace pw {

// The three 8-bit components of an RGB colour (no system-colour resolution).
void SplitRGB(TColor Color, int& R, int& G, int& B);
// Value rounded to nearest (ties to even) and limited to 0..255.
int ClampToByte(float Value);
TColor RGBFromReals(float R, float G, float B);
// Color (system colours resolved to RGB first) with Amount added to each component.
TColor LightenColor(TColor Color, int Amount);
TColor DarkenColor(TColor Color, int Amount);

} // namespace pw
