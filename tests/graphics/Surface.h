// A screen-compatible memory bitmap to draw into and read back, for the pixel tests.
#pragma once
#include "Graphics.h"

#include <cstdio>
#include <string>
#include <vector>

class Surface {
public:
    Surface(int w, int h, COLORREF fill = RGB(255, 255, 255)) : FWidth(w), FHeight(h)
    {
        HDC screen = GetDC(nullptr);
        FBitmap.Reset(CreateCompatibleBitmap(screen, w, h));
        ReleaseDC(nullptr, screen);
        FOld = SelectObject(FDC.Get(), FBitmap.Get());
        Fill(fill);
    }
    ~Surface() { SelectObject(FDC.Get(), FOld); }
    HDC DC() const { return FDC.Get(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    COLORREF At(int x, int y) const { return GetPixel(FDC.Get(), x, y) & 0xFFFFFF; }
    // Writes the pixels as a 24-bit BMP file (for looking at a failure).
    void Save(const std::string& path) const
    {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), FWidth, FHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        int stride = (FWidth * 3 + 3) & ~3;
        std::vector<char> bits(static_cast<size_t>(stride * FHeight));
        GetDIBits(FDC.Get(), FBitmap.Get(), 0, static_cast<UINT>(FHeight), bits.data(), &bi, DIB_RGB_COLORS);
        BITMAPFILEHEADER fh = {0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + bits.size()), 0, 0,
                               static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(&fh, sizeof fh, 1, f);
            std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
            std::fwrite(bits.data(), 1, bits.size(), f);
            std::fclose(f);
        }
    }
    void Fill(COLORREF c)
    {
        pw::TBrushHandle b(CreateSolidBrush(c));
        RECT r{0, 0, FWidth, FHeight};
        FillRect(FDC.Get(), &r, b.Get());
    }

private:
    int FWidth, FHeight;
    pw::TMemoryDC FDC;
    pw::TBitmapHandle FBitmap;
    HGDIOBJ FOld;
};

// Where the glyphs of a text fall, drawn black on white as the canvases draw them (with the
// platform's smoothing): Solid tells the pixels whose whole neighbourhood is fully inked,
// Clear those with no ink nearby; the smoothed edges are neither.
class GlyphMap {
public:
    GlyphMap(pw::TFont* font, const std::string& text)
    {
        pw::TBitmap paper;
        pw::TMemoryDC dc;
        pw::TCanvas measure(dc.Get());
        measure.Font()->Assign(font);
        SIZE s = measure.TextExtent(text);
        FW = s.cx;
        FH = s.cy;
        paper.SetSize(FW, FH);  // white
        pw::TCanvas* c = paper.Canvas();
        c->Font()->Assign(font);
        c->Font()->SetColor(pw::clBlack);
        c->Brush()->SetStyle(pw::TBrushStyle::bsClear);
        c->TextOut(0, 0, text);
        FInk.resize(static_cast<size_t>(FW * FH));
        for (int y = 0; y < FH; ++y)
            for (int x = 0; x < FW; ++x) {
                COLORREF p = GetPixel(c->Handle(), x, y) & 0xFFFFFF;
                FInk[static_cast<size_t>(y * FW + x)] = p == 0 ? Full : p == RGB(255, 255, 255) ? None : Part;
            }
    }
    int Width() const { return FW; }
    int Height() const { return FH; }
    bool Ink(int x, int y) const { return At(x, y) != None; }
    bool Solid(int x, int y, int margin = 1) const { return All(x, y, margin, Full); }
    bool Clear(int x, int y, int margin = 2) const { return All(x, y, margin, None); }

private:
    enum Coverage : unsigned char { None, Part, Full };
    int FW = 0, FH = 0;
    std::vector<Coverage> FInk;
    Coverage At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < FW && y < FH ? FInk[static_cast<size_t>(y * FW + x)] : None;
    }
    bool All(int x, int y, int m, Coverage c) const
    {
        for (int dy = -m; dy <= m; ++dy)
            for (int dx = -m; dx <= m; ++dx)
                if (At(x + dx, y + dy) != c) return false;
        return true;
    }
};
