// Helpers for styled menu tests: a memory bitmap to draw into, the owner-draw messages as
// the system sends them, and a count of the process's GDI objects.
#pragma once
#include "WinApi.h"

#include <functional>
#include <string>
#include <vector>

namespace menutest {

// A 24-bit bitmap selected into a memory DC, filled with one colour.
class TDib {
public:
    TDib(int Width, int Height, COLORREF Fill);
    ~TDib();
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;
    HDC DC() const { return FDC; }
    COLORREF At(int X, int Y) const { return GetPixel(FDC, X, Y); }
    int Count(const RECT& Area, COLORREF Colour) const;
    // Smallest rectangle holding the pixels of Area for which Match is true (empty if none).
    RECT Bounds(const RECT& Area, const std::function<bool(COLORREF)>& Match) const;
    void Save(const std::string& Path) const;
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

private:
    HDC FDC;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
    int FWidth, FHeight;
};

struct TItemInfo {
    UINT Id = 0;
    UINT Type = 0;
    UINT State = 0;
    ULONG_PTR Data = 0;
    HMENU SubMenu = nullptr;
    std::string Text;
};
TItemInfo ItemAt(HMENU Menu, int Position);
// Every item of Menu and its drop-downs, depth first.
std::vector<TItemInfo> AllItems(HMENU Menu);
int PositionOf(HMENU Menu, UINT Id);

// Sends WM_MEASUREITEM / WM_DRAWITEM to Window for the item at Position of Menu, with the
// item's own id and data, as the system does.
SIZE Measure(HWND Window, HMENU Menu, int Position);
void Draw(HWND Window, HMENU Menu, int Position, HDC DC, const RECT& Rect, UINT State);

// Saves the whole screen as a BMP file (the picture tools).
void SaveScreen(const std::string& Path);

COLORREF Sys(int Index);

} // namespace menutest
