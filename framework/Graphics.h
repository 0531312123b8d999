// Colours and fonts.
#pragma once
#include "Classes.h"
#include "WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace pw {

// RGB with red in the low byte below 2^24; system colours are 0x80000000 | COLOR_xxx.
using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
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
    // Takes face, height, style and character set from a logical font.
    void AssignLogFont(const LOGFONTA& lf);

    TNotifyEvent OnChange;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle = 0;
    TColor FColor = clWindowText;
    unsigned char FCharset = 1; // DEFAULT_CHARSET
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FPixelsPerInch;
    HFONT FHandle = nullptr;
    void Changed();
};

int ScreenPixelsPerInch();

// ---- GDI handles ----

// Owns one GDI object and deletes it; moves, never copies.
template <class H>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H h) : FHandle(h) {}
    TGdiObject(TGdiObject&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& o) noexcept
    {
        if (this != &o) Reset(std::exchange(o.FHandle, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    ~TGdiObject() { Reset(); }

    H Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    void Reset(H h = nullptr)
    {
        if (FHandle && FHandle != h) DeleteObject(FHandle);
        FHandle = h;
    }
    H Release() { return std::exchange(FHandle, nullptr); }

private:
    H FHandle = nullptr;
};

using TBitmapHandle = TGdiObject<HBITMAP>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TFontHandle = TGdiObject<HFONT>;
using TRegionHandle = TGdiObject<HRGN>;

// Selects an object into a DC for a scope and puts back what it replaced.
class TSelectGuard {
public:
    TSelectGuard(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(obj ? SelectObject(dc, obj) : nullptr) {}
    TSelectGuard(const TSelectGuard&) = delete;
    TSelectGuard& operator=(const TSelectGuard&) = delete;
    ~TSelectGuard()
    {
        if (FOld) SelectObject(FDC, FOld);
    }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// Saves a DC's whole state (modes, colours, clipping, origin, selections) for a scope.
class TDCGuard {
public:
    explicit TDCGuard(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    TDCGuard(const TDCGuard&) = delete;
    TDCGuard& operator=(const TDCGuard&) = delete;
    ~TDCGuard()
    {
        if (FSaved) RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved;
};

// A memory DC compatible with the screen, deleted at the end of its scope.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatible = nullptr) : FDC(CreateCompatibleDC(compatible)) {}
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    ~TMemoryDC()
    {
        if (FDC) DeleteDC(FDC);
    }
    HDC Get() const { return FDC; }

private:
    HDC FDC;
};

// The DC of a window (of the screen for no window) for a scope: GetDC now, ReleaseDC when the
// scope is left.
class TWindowDC {
public:
    explicit TWindowDC(HWND Window) : FWindow(Window), FDC(GetDC(Window)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC()
    {
        if (FDC) ReleaseDC(FWindow, FDC);
    }
    HDC Get() const { return FDC; }

private:
    HWND FWindow;
    HDC FDC;
};

// The DC that paints a window's invalid area: BeginPaint now, EndPaint when the scope is left.
class TPaintDC {
public:
    explicit TPaintDC(HWND Window) : FWindow(Window), FDC(BeginPaint(Window, &FPaint)) {}
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { EndPaint(FWindow, &FPaint); }
    HDC Get() const { return FDC; }
    const RECT& PaintRect() const { return FPaint.rcPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint = {};
    HDC FDC;
};

// ---- Brushes, pens ----

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TBitmap;

class TBrush : public TPersistent {
public:
    TBrush() = default;
    ~TBrush() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v); // also makes a clear brush solid again
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle v);
    // A pattern brush from a bitmap (not owned; copied when the handle is made).
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* v);
    HBRUSH Handle();
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
    TBitmap* FBitmap = nullptr;
    TBrushHandle FHandle;
    void Changed();
};

class TPen : public TPersistent {
public:
    TPen() = default;
    ~TPen() override;
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    int Width() const { return FWidth; }
    void SetWidth(int v);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle v);
    // The raster operation lines are drawn with (the DC's ROP2).
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode v);
    HPEN Handle();
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
    TPenHandle FHandle;
    void Changed();
};

// ---- Canvas ----

// Drawing on a device context with a font, a pen and a brush. The canvas selects its objects
// into the DC while it is attached and puts back what it replaced when it is detached
// (SetHandle(nullptr)) or destroyed: the DC is left as it was found.
class TCanvas : public TPersistent {
public:
    TCanvas();
    explicit TCanvas(HDC dc);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return FDC != nullptr; }

    TFont* Font() { return &FFont; }
    TPen* Pen() { return &FPen; }
    TBrush* Brush() { return &FBrush; }
    void SetFont(TFont* f) { FFont.Assign(f); }

    POINT PenPos();
    void SetPenPos(POINT p) { MoveTo(p.x, p.y); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polyline(const POINT* Points, int Count);
    void Polygon(const POINT* Points, int Count);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void FillRect(const RECT& r);
    void FrameRect(const RECT& r);
    void DrawFocusRect(const RECT& r);

    TColor Pixels(int X, int Y);
    void SetPixel(int X, int Y, TColor c);

    // Text in the font, transparent when the brush is clear, else on the brush colour.
    void TextOut(int X, int Y, const std::string& Text);
    void TextOutW(int X, int Y, const std::wstring& Text);
    void TextRect(const RECT& r, int X, int Y, const std::string& Text);
    // DrawTextA in the canvas's font and brush (DT_* flags); gives the text height.
    int DrawTextRect(RECT& r, const std::string& Text, UINT Format);
    SIZE TextExtent(const std::string& Text);
    SIZE TextExtentW(const std::wstring& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // Bitmaps and other canvases; CopyMode is the raster operation of these copies.
    void Draw(int X, int Y, TBitmap* Bitmap);
    void StretchDraw(const RECT& r, TBitmap* Bitmap);
    void CopyRect(const RECT& Dest, TCanvas* Source, const RECT& Src);
    DWORD CopyMode() const { return FCopyMode; }
    void SetCopyMode(DWORD v) { FCopyMode = v; }

    TNotifyEvent OnChange;

protected:
    // Gives the DC to draw on when none is attached yet (a control's canvas makes one).
    virtual void CreateHandle() {}
    void RequiredState(unsigned state);

private:
    HDC FDC = nullptr;
    TFont FFont;
    TPen FPen;
    TBrush FBrush;
    DWORD FCopyMode = SRCCOPY;
    unsigned FState = 0;
    HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
    int FOldRop2 = 0, FOldBkMode = 0;
    COLORREF FOldTextColor = 0, FOldBkColor = 0;
    bool FSavedModes = false;
    void DeselectHandles();
    void SelectFont();
    void SelectPen();
    void SelectBrush();
};

// Attaches a DC to a canvas for a scope and detaches it (the DC as it was found) however the
// scope is left.
class TCanvasAttach {
public:
    TCanvasAttach(TCanvas* Canvas, HDC DC) : FCanvas(Canvas) { FCanvas->SetHandle(DC); }
    TCanvasAttach(const TCanvasAttach&) = delete;
    TCanvasAttach& operator=(const TCanvasAttach&) = delete;
    ~TCanvasAttach() { FCanvas->SetHandle(nullptr); }

private:
    TCanvas* FCanvas;
};

// ---- Bitmap ----

enum class TTransparentMode { tmAuto, tmFixed };

// A device-dependent picture with a memory-DC canvas of its own. Transparent bitmaps leave
// out their transparent colour (the bottom-left pixel in tmAuto mode) when drawn.
class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int v) { SetSize(v, FHeight); }
    void SetHeight(int v) { SetSize(FWidth, v); }
    // A new size keeps what fits of the picture; new areas are white.
    void SetSize(int Width, int Height);
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
    bool Monochrome() const { return FMonochrome; }
    void SetMonochrome(bool v);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TColor TransparentColor();
    void SetTransparentColor(TColor v);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode v);

    HBITMAP Handle();
    // Takes ownership of a bitmap handle (its size and colour depth are read from it).
    void SetHandle(HBITMAP h);
    // Gives up the handle; the bitmap is empty afterwards.
    HBITMAP ReleaseHandle();
    TCanvas* Canvas();

    void LoadFromResourceName(HINSTANCE Instance, const std::string& Name);
    void LoadFromResourceID(HINSTANCE Instance, int Id);
    void Assign(TPersistent* Source) override;
    void Dormant(); // leaves the canvas: the handle may go to another DC

    // Draws onto a DC, leaving out the transparent colour when Transparent is set.
    void DrawTo(HDC dc, int X, int Y, int W, int H, DWORD Rop = SRCCOPY);

    TNotifyEvent OnChange;

private:
    int FWidth = 0, FHeight = 0;
    bool FMonochrome = false;
    bool FTransparent = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = TTransparentMode::tmAuto;
    TBitmapHandle FHandle;
    class TBitmapCanvas;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    void Changed();
    void Adopt(HBITMAP h);
};

// The colour a DC shows for a TColor (system colours resolved).
inline COLORREF ColorRef(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); }

// Draws a frame of Width pixels just inside R (left and top in TopColor, right and bottom in
// BottomColor, the bottom-right colour owning the two corners where they meet) and shrinks R by
// it.
void Frame3D(HDC DC, RECT& R, TColor TopColor, TColor BottomColor, int Width);
// The same frame one pixel wide, R left as it is.
inline void Frame3D(HDC DC, const RECT& R, TColor TopColor, TColor BottomColor)
{
    RECT r = R;
    Frame3D(DC, r, TopColor, BottomColor, 1);
}

} // namespace pw
