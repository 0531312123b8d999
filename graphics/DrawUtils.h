// Drawing helpers of the decorative controls: colour arithmetic, text effects, masked
// drawing and tiling. None of them keeps state.
#pragma once
#include "Graphics.h"

#include <cstdint>
#include <string>

namespace pw {

// The three 8-bit components of an RGB colour (no system-colour resolution).
void SplitRGB(TColor Color, int& R, int& G, int& B);
// Value rounded to nearest (ties to even) and limited to 0..255.
int ClampToByte(float Value);
TColor RGBFromReals(float R, float G, float B);
// Color (system colours resolved to RGB first) with Amount added to each component.
TColor LightenColor(TColor Color, int Amount);
TColor DarkenColor(TColor Color, int Amount);

// Text effects: each draws the decoration in the canvas's font, then Text at (X, Y) in the
// font's own colour. They leave the brush clear.
void DrawShadowText(TCanvas* Canvas, int X, int Y, const std::string& Text, TColor Color, int DX, int DY);
void DrawOutlinedText(TCanvas* Canvas, int X, int Y, const std::string& Text, TColor Color);
void Draw3DText(TCanvas* Canvas, const std::string& Text, int X, int Y, TColor TopLeftColor,
                TColor BottomRightColor);

// Makes Mask a monochrome picture of Picture's size, black wherever Picture differs from
// Background (smoothed glyph edges included) and white elsewhere.
void MakeMask(TBitmap* Picture, TColor Background, TBitmap* Mask);
// Draws Image at (X, Y) where the monochrome Mask is black; keeps the canvas where it is white.
void DrawMasked(TCanvas* Canvas, int X, int Y, TBitmap* Mask, TBitmap* Image);
// The glyphs of Text at (X, Y) show Bitmap scaled to the text's box; the rest stays.
void DrawTextFilledStretched(TCanvas* Canvas, int X, int Y, const std::string& Text, TBitmap* Bitmap);
// As above with Bitmap at its natural size from the box's top-left corner, cut to the box.
void DrawTextFilled(TCanvas* Canvas, int X, int Y, const std::string& Text, TBitmap* Bitmap);
// Repeats Bitmap over Rect row by row; tiles at the right and bottom edges are cut.
void TileBitmap(TCanvas* Canvas, TBitmap* Bitmap, const RECT& Rect);

} // namespace pw
