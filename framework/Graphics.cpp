#include "Graphics.h"

#include "SysUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace pw {

uint32_t ColorToRGB(TColor c)
{
    if (c < 0) return GetSysColor(static_cast<int>(static_cast<uint32_t>(c) & 0xFF));
    return static_cast<uint32_t>(c);
}

int ScreenPixelsPerInch()
{
    static int ppi = [] {
        TWindowDC screen(nullptr);
        int v = GetDeviceCaps(screen.Get(), LOGPIXELSY);
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

int TFont::Size() const { return -static_cast<int>(std::lround(static_cast<double>(FHeight) * 72 / FPixelsPerInch)); }

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
            : FPitch == TFontPitch::fpVariable              ? VARIABLE_PITCH
                                                            : DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
        FHandle = CreateFontIndirectA(&lf);
    }
    return FHandle;
}

void TFont::AssignLogFont(const LOGFONTA& lf)
{
    FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    FStyle = 0;
    if (lf.lfWeight >= FW_BOLD) FStyle |= fsBold;
    if (lf.lfItalic) FStyle |= fsItalic;
    if (lf.lfUnderline) FStyle |= fsUnderline;
    if (lf.lfStrikeOut) FStyle |= fsStrikeOut;
    FCharset = lf.lfCharSet;
    Changed();
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

namespace pw {

// ---- TBrush ----

TBrush::~TBrush() = default;

void TBrush::Changed()
{
    FHandle.Reset();
    if (OnChange) OnChange(this);
}

void TBrush::SetColor(TColor v)
{
    if (v == FColor && FStyle != TBrushStyle::bsClear) return;
    FColor = v;
    if (FStyle == TBrushStyle::bsClear) FStyle = TBrushStyle::bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle v)
{
    if (v == FStyle) return;
    FStyle = v;
    Changed();
}

void TBrush::SetBitmap(TBitmap* v)
{
    FBitmap = v;
    Changed();
}

HBRUSH TBrush::Handle()
{
    if (!FHandle) {
        LOGBRUSH lb = {};
        lb.lbColor = ColorRef(FColor);
        if (FBitmap && !FBitmap->Empty()) {
            // The brush keeps its own copy: the bitmap may change or go.
            HBITMAP copy = static_cast<HBITMAP>(CopyImage(FBitmap->Handle(), IMAGE_BITMAP, 0, 0, 0));
            FHandle.Reset(CreatePatternBrush(copy));
            DeleteObject(copy);
            return FHandle.Get();
        }
        switch (FStyle) {
        case TBrushStyle::bsSolid: lb.lbStyle = BS_SOLID; break;
        case TBrushStyle::bsClear: lb.lbStyle = BS_HOLLOW; break;
        default:
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = static_cast<ULONG_PTR>(static_cast<int>(FStyle) - static_cast<int>(TBrushStyle::bsHorizontal));
            break;
        }
        FHandle.Reset(CreateBrushIndirect(&lb));
    }
    return FHandle.Get();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        FColor = b->FColor;
        FStyle = b->FStyle;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TPen ----

TPen::~TPen() = default;

void TPen::Changed()
{
    FHandle.Reset();
    if (OnChange) OnChange(this);
}

void TPen::SetColor(TColor v)
{
    if (v != FColor) {
        FColor = v;
        Changed();
    }
}
void TPen::SetWidth(int v)
{
    if (v != FWidth && v >= 0) {
        FWidth = v;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle v)
{
    if (v != FStyle) {
        FStyle = v;
        Changed();
    }
}
void TPen::SetMode(TPenMode v)
{
    if (v != FMode) {
        FMode = v;
        Changed();
    }
}

HPEN TPen::Handle()
{
    if (!FHandle) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        FHandle.Reset(CreatePen(styles[static_cast<int>(FStyle)], FWidth, ColorRef(FColor)));
    }
    return FHandle.Get();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TCanvas ----

namespace {
enum : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
}

TCanvas::TCanvas()
{
    FFont.OnChange = [this](TObject*) {
        FState &= ~csFontValid;
        if (OnChange) OnChange(this);
    };
    FPen.OnChange = [this](TObject*) {
        FState &= ~csPenValid;
        if (OnChange) OnChange(this);
    };
    FBrush.OnChange = [this](TObject*) {
        FState &= ~csBrushValid;
        if (OnChange) OnChange(this);
    };
}

TCanvas::TCanvas(HDC dc) : TCanvas() { SetHandle(dc); }

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::DeselectHandles()
{
    if (!FDC) return;
    if (FOldFont) SelectObject(FDC, FOldFont);
    if (FOldPen) SelectObject(FDC, FOldPen);
    if (FOldBrush) SelectObject(FDC, FOldBrush);
    if (FSavedModes) {
        SetROP2(FDC, FOldRop2);
        SetBkMode(FDC, FOldBkMode);
        SetTextColor(FDC, FOldTextColor);
        SetBkColor(FDC, FOldBkColor);
    }
    FOldFont = FOldPen = FOldBrush = nullptr;
    FSavedModes = false;
    FState = 0;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == FDC) return;
    DeselectHandles();
    FDC = dc;
    if (FDC) {
        FOldRop2 = GetROP2(FDC);
        FOldBkMode = GetBkMode(FDC);
        FOldTextColor = GetTextColor(FDC);
        FOldBkColor = GetBkColor(FDC);
        FSavedModes = true;
        FState = csHandleValid;
    }
}

HDC TCanvas::Handle()
{
    if (!FDC) CreateHandle();
    if (!FDC) throw EOutOfResources("Canvas does not allow drawing");
    return FDC;
}

void TCanvas::SelectFont()
{
    HGDIOBJ old = SelectObject(FDC, FFont.Handle());
    if (!FOldFont) FOldFont = old;
    SetTextColor(FDC, ColorRef(FFont.Color()));
}

void TCanvas::SelectPen()
{
    HGDIOBJ old = SelectObject(FDC, FPen.Handle());
    if (!FOldPen) FOldPen = old;
    static const int rops[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                               R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(FDC, rops[static_cast<int>(FPen.Mode())]);
}

void TCanvas::SelectBrush()
{
    HGDIOBJ old = SelectObject(FDC, FBrush.Handle());
    if (!FOldBrush) FOldBrush = old;
    SetBkColor(FDC, ColorRef(FBrush.Color()));
    SetBkMode(FDC, FBrush.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::RequiredState(unsigned state)
{
    Handle();
    unsigned need = state & ~FState;
    if (need & csFontValid) SelectFont();
    if (need & csPenValid) SelectPen();
    if (need & csBrushValid) SelectBrush();
    FState |= state;
}

POINT TCanvas::PenPos()
{
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return p;
}

void TCanvas::MoveTo(int X, int Y) { ::MoveToEx(Handle(), X, Y, nullptr); }

void TCanvas::LineTo(int X, int Y)
{
    RequiredState(csPenValid | csBrushValid);
    ::LineTo(FDC, X, Y);
}

void TCanvas::Polyline(const POINT* Points, int Count)
{
    RequiredState(csPenValid | csBrushValid);
    ::Polyline(FDC, Points, Count);
}

void TCanvas::Polygon(const POINT* Points, int Count)
{
    RequiredState(csPenValid | csBrushValid);
    ::Polygon(FDC, Points, Count);
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    RequiredState(csPenValid | csBrushValid);
    ::Rectangle(FDC, X1, Y1, X2, Y2);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    RequiredState(csPenValid | csBrushValid);
    ::RoundRect(FDC, X1, Y1, X2, Y2, X3, Y3);
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    RequiredState(csPenValid | csBrushValid);
    ::Ellipse(FDC, X1, Y1, X2, Y2);
}

void TCanvas::FillRect(const RECT& r)
{
    RequiredState(csBrushValid);
    ::FillRect(FDC, &r, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& r)
{
    RequiredState(csBrushValid);
    ::FrameRect(FDC, &r, FBrush.Handle());
}

void TCanvas::DrawFocusRect(const RECT& r)
{
    RequiredState(csBrushValid);
    ::DrawFocusRect(FDC, &r);
}

TColor TCanvas::Pixels(int X, int Y) { return static_cast<TColor>(::GetPixel(Handle(), X, Y)); }

void TCanvas::SetPixel(int X, int Y, TColor c) { ::SetPixelV(Handle(), X, Y, ColorRef(c)); }

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    RequiredState(csFontValid | csBrushValid);
    ::TextOutA(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
    ::MoveToEx(FDC, X + TextExtent(Text).cx, Y, nullptr);
}

void TCanvas::TextOutW(int X, int Y, const std::wstring& Text)
{
    RequiredState(csFontValid | csBrushValid);
    ::TextOutW(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
}

void TCanvas::TextRect(const RECT& r, int X, int Y, const std::string& Text)
{
    RequiredState(csFontValid | csBrushValid);
    UINT options = ETO_CLIPPED | (FBrush.Style() != TBrushStyle::bsClear ? ETO_OPAQUE : 0);
    ::ExtTextOutA(FDC, X, Y, options, &r, Text.data(), static_cast<UINT>(Text.size()), nullptr);
}

int TCanvas::DrawTextRect(RECT& r, const std::string& Text, UINT Format)
{
    RequiredState(csFontValid | csBrushValid);
    return ::DrawTextA(FDC, Text.data(), static_cast<int>(Text.size()), &r, Format);
}

SIZE TCanvas::TextExtent(const std::string& Text)
{
    RequiredState(csFontValid);
    SIZE s{};
    ::GetTextExtentPoint32A(FDC, Text.data(), static_cast<int>(Text.size()), &s);
    return s;
}

SIZE TCanvas::TextExtentW(const std::wstring& Text)
{
    RequiredState(csFontValid);
    SIZE s{};
    ::GetTextExtentPoint32W(FDC, Text.data(), static_cast<int>(Text.size()), &s);
    return s;
}

void TCanvas::Draw(int X, int Y, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Empty()) return;
    RequiredState(csHandleValid);
    Bitmap->DrawTo(FDC, X, Y, Bitmap->Width(), Bitmap->Height(), FCopyMode);
}

void TCanvas::StretchDraw(const RECT& r, TBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Empty()) return;
    RequiredState(csHandleValid);
    Bitmap->DrawTo(FDC, r.left, r.top, r.right - r.left, r.bottom - r.top, FCopyMode);
}

void TCanvas::CopyRect(const RECT& Dest, TCanvas* Source, const RECT& Src)
{
    RequiredState(csBrushValid);
    HDC src = Source->Handle();
    ::StretchBlt(FDC, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, src, Src.left, Src.top,
                 Src.right - Src.left, Src.bottom - Src.top, FCopyMode);
}

// ---- TBitmap ----

// The bitmap's own canvas: a memory DC holding the picture while the canvas is in use.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* b) : FOwner(b) {}
    ~TBitmapCanvas() override { Free(); }
    void Free()
    {
        HDC dc = HandleAllocated() ? Handle() : nullptr;
        SetHandle(nullptr);
        FSelect.reset();
        if (dc) DeleteDC(dc);
    }

protected:
    void CreateHandle() override
    {
        HDC dc = CreateCompatibleDC(nullptr);
        if (!dc) return;
        FSelect = std::make_unique<TSelectGuard>(dc, FOwner->Handle());
        SetHandle(dc);
    }

private:
    TBitmap* FOwner;
    std::unique_ptr<TSelectGuard> FSelect;
};

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int Width, int Height) { SetSize(Width, Height); }

TBitmap::~TBitmap() = default;

void TBitmap::Changed()
{
    if (OnChange) OnChange(this);
}

void TBitmap::Dormant()
{
    if (FCanvas) FCanvas->Free();
}

void TBitmap::Adopt(HBITMAP h)
{
    Dormant();
    FHandle.Reset(h);
    BITMAP bm = {};
    if (h && GetObjectA(h, sizeof bm, &bm)) {
        FWidth = bm.bmWidth;
        FHeight = bm.bmHeight;
        FMonochrome = bm.bmPlanes == 1 && bm.bmBitsPixel == 1;
    } else {
        FWidth = FHeight = 0;
    }
}

HBITMAP TBitmap::Handle()
{
    if (!FHandle && !Empty()) SetSize(FWidth, FHeight);
    return FHandle.Get();
}

void TBitmap::SetHandle(HBITMAP h)
{
    Adopt(h);
    Changed();
}

HBITMAP TBitmap::ReleaseHandle()
{
    Dormant();
    FWidth = FHeight = 0;
    return FHandle.Release();
}

void TBitmap::SetSize(int Width, int Height)
{
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (FHandle && Width == FWidth && Height == FHeight) return;
    HBITMAP fresh = nullptr;
    if (Width > 0 && Height > 0) {
        if (FMonochrome) {
            fresh = CreateBitmap(Width, Height, 1, 1, nullptr);
        } else {
            TWindowDC screen(nullptr);
            fresh = CreateCompatibleBitmap(screen.Get(), Width, Height);
        }
        if (!fresh)
            throw EOutOfResources("Out of system resources: cannot create a bitmap of " + std::to_string(Width) +
                                  " x " + std::to_string(Height));
        TMemoryDC dst;
        TSelectGuard sel(dst.Get(), fresh);
        // A white brush, not WHITENESS: Wine's WHITENESS also sets the unused top byte of
        // 32-bit pixels, and such white no longer matches white as a transparent colour.
        RECT all{0, 0, Width, Height};
        ::FillRect(dst.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (FHandle) {
            Dormant();
            TMemoryDC src;
            TSelectGuard old(src.Get(), FHandle.Get());
            BitBlt(dst.Get(), 0, 0, std::min(Width, FWidth), std::min(Height, FHeight), src.Get(), 0, 0, SRCCOPY);
        }
    }
    Dormant();
    FHandle.Reset(fresh);
    FWidth = Width;
    FHeight = Height;
    Changed();
}

void TBitmap::SetMonochrome(bool v)
{
    if (v == FMonochrome) return;
    FMonochrome = v;
    if (!Empty()) {
        // Make the picture again in the new depth, keeping its content.
        int w = FWidth, h = FHeight;
        TBitmapHandle old(ReleaseHandle());
        SetSize(w, h);
        TMemoryDC src;
        TSelectGuard s(src.Get(), old.Get());
        BitBlt(Canvas()->Handle(), 0, 0, w, h, src.Get(), 0, 0, SRCCOPY);
        Dormant();
    }
    Changed();
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

void TBitmap::SetTransparent(bool v)
{
    if (v != FTransparent) {
        FTransparent = v;
        Changed();
    }
}

void TBitmap::SetTransparentColor(TColor v)
{
    FTransparentColor = v;
    FTransparentMode = v == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode v)
{
    if (v == TTransparentMode::tmAuto) FTransparentColor = clDefault;
    FTransparentMode = v;
    Changed();
}

TColor TBitmap::TransparentColor()
{
    if (FTransparentMode == TTransparentMode::tmFixed && FTransparentColor != clDefault) return FTransparentColor;
    if (Empty()) return clDefault;
    return static_cast<TColor>(GetPixel(Canvas()->Handle(), 0, FHeight - 1));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& Name)
{
    HBITMAP h = static_cast<HBITMAP>(LoadImageA(Instance, Name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!h) throw EResNotFound("Resource " + Name + " not found");
    SetHandle(h);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int Id)
{
    HBITMAP h =
        static_cast<HBITMAP>(LoadImageA(Instance, MAKEINTRESOURCEA(Id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!h) throw EResNotFound("Resource " + std::to_string(Id) + " not found");
    SetHandle(h);
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        FTransparent = b->FTransparent;
        FTransparentColor = b->FTransparentColor;
        FTransparentMode = b->FTransparentMode;
        FMonochrome = b->FMonochrome;
        if (b->Empty()) {
            Adopt(nullptr);
        } else {
            b->Dormant();
            Adopt(static_cast<HBITMAP>(CopyImage(b->Handle(), IMAGE_BITMAP, 0, 0, 0)));
        }
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBitmap::DrawTo(HDC dc, int X, int Y, int W, int H, DWORD Rop)
{
    if (Empty()) return;
    HDC src = Canvas()->Handle();
    if (!FTransparent) {
        StretchBlt(dc, X, Y, W, H, src, 0, 0, FWidth, FHeight, Rop);
        return;
    }
    // A mask that is black where the picture shows and white where it is transparent.
    COLORREF key = static_cast<COLORREF>(ColorToRGB(TransparentColor()));
    TBitmapHandle mask(CreateBitmap(FWidth, FHeight, 1, 1, nullptr));
    TMemoryDC mdc;
    TSelectGuard msel(mdc.Get(), mask.Get());
    COLORREF oldBk = SetBkColor(src, key);
    BitBlt(mdc.Get(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    // Destination: keep it where the mask is white, then add the picture where it is black.
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    StretchBlt(dc, X, Y, W, H, src, 0, 0, FWidth, FHeight, SRCINVERT);
    StretchBlt(dc, X, Y, W, H, mdc.Get(), 0, 0, FWidth, FHeight, SRCAND);
    StretchBlt(dc, X, Y, W, H, src, 0, 0, FWidth, FHeight, SRCINVERT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void Frame3D(HDC DC, RECT& R, TColor TopColor, TColor BottomColor, int Width)
{
    TBrushHandle top(CreateSolidBrush(ColorRef(TopColor)));
    TBrushHandle bottom(CreateSolidBrush(ColorRef(BottomColor)));
    for (int i = 0; i < Width && R.right > R.left && R.bottom > R.top; ++i) {
        RECT l{R.left, R.top, R.left + 1, R.bottom - 1}, t{R.left, R.top, R.right - 1, R.top + 1};
        RECT rr{R.right - 1, R.top, R.right, R.bottom}, b{R.left, R.bottom - 1, R.right, R.bottom};
        FillRect(DC, &l, top.Get());
        FillRect(DC, &t, top.Get());
        FillRect(DC, &rr, bottom.Get());
        FillRect(DC, &b, bottom.Get());
        InflateRect(&R, -1, -1);
    }
}

} // namespace pw
