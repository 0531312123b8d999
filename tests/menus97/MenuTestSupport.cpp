#include "MenuTestSupport.h"

#include <algorithm>
#include <cstdio>

namespace menutest {

TDib::TDib(int Width, int Height, COLORREF Fill) : FWidth(Width), FHeight(Height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = Width;
    bi.bmiHeader.biHeight = -Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    FBitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    FDC = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    FOld = SelectObject(FDC, FBitmap);
    HBRUSH b = CreateSolidBrush(Fill);
    RECT r{0, 0, Width, Height};
    FillRect(FDC, &r, b);
    DeleteObject(b);
}

TDib::~TDib()
{
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
}

int TDib::Count(const RECT& Area, COLORREF Colour) const
{
    int n = 0;
    for (int y = Area.top; y < Area.bottom; ++y)
        for (int x = Area.left; x < Area.right; ++x)
            if (At(x, y) == Colour) ++n;
    return n;
}

RECT TDib::Bounds(const RECT& Area, const std::function<bool(COLORREF)>& Match) const
{
    RECT b{Area.right, Area.bottom, Area.left, Area.top};
    for (int y = Area.top; y < Area.bottom; ++y)
        for (int x = Area.left; x < Area.right; ++x)
            if (Match(At(x, y))) {
                b.left = std::min<LONG>(b.left, x);
                b.top = std::min<LONG>(b.top, y);
                b.right = std::max<LONG>(b.right, x + 1);
                b.bottom = std::max<LONG>(b.bottom, y + 1);
            }
    if (b.right <= b.left) return RECT{};
    return b;
}

void TDib::Save(const std::string& Path) const
{
    // A plain 24-bit bottom-up BMP, for looking at a failing test's drawing.
    int rowBytes = (FWidth * 3 + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<size_t>(rowBytes) * static_cast<size_t>(FHeight));
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
            COLORREF c = At(x, y);
            unsigned char* p = &rows[static_cast<size_t>((FHeight - 1 - y) * rowBytes + x * 3)];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = FWidth;
    ih.biHeight = FHeight;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(rows.size());
    if (FILE* f = std::fopen(Path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&ih, sizeof ih, 1, f);
        std::fwrite(rows.data(), 1, rows.size(), f);
        std::fclose(f);
    }
}

TItemInfo ItemAt(HMENU Menu, int Position)
{
    char text[256] = {};
    MENUITEMINFOA mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = sizeof text - 1;
    TItemInfo r;
    if (!GetMenuItemInfoA(Menu, static_cast<UINT>(Position), TRUE, &mi)) return r;
    r.Id = mi.wID;
    r.Type = mi.fType;
    r.State = mi.fState;
    r.Data = mi.dwItemData;
    r.SubMenu = mi.hSubMenu;
    r.Text = text;
    return r;
}

std::vector<TItemInfo> AllItems(HMENU Menu)
{
    std::vector<TItemInfo> all;
    int n = GetMenuItemCount(Menu);
    for (int p = 0; p < n; ++p) {
        TItemInfo i = ItemAt(Menu, p);
        all.push_back(i);
        if (i.SubMenu) {
            auto sub = AllItems(i.SubMenu);
            all.insert(all.end(), sub.begin(), sub.end());
        }
    }
    return all;
}

int PositionOf(HMENU Menu, UINT Id)
{
    int n = GetMenuItemCount(Menu);
    for (int p = 0; p < n; ++p)
        if (ItemAt(Menu, p).Id == Id) return p;
    return -1;
}

SIZE Measure(HWND Window, HMENU Menu, int Position)
{
    TItemInfo i = ItemAt(Menu, Position);
    MEASUREITEMSTRUCT m = {};
    m.CtlType = ODT_MENU;
    m.itemID = i.Id;
    m.itemData = i.Data;
    SendMessageA(Window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
    return SIZE{static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
}

void Draw(HWND Window, HMENU Menu, int Position, HDC DC, const RECT& Rect, UINT State)
{
    TItemInfo i = ItemAt(Menu, Position);
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_MENU;
    d.itemID = i.Id;
    d.itemAction = ODA_DRAWENTIRE;
    d.itemState = State | ((i.State & MFS_GRAYED) ? ODS_GRAYED | ODS_DISABLED : 0) |
                  ((i.State & MFS_CHECKED) ? ODS_CHECKED : 0);
    d.hwndItem = reinterpret_cast<HWND>(Menu);
    d.hDC = DC;
    d.rcItem = Rect;
    d.itemData = i.Data;
    SendMessageA(Window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

void SaveScreen(const std::string& Path)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    TDib dib(w, h, RGB(0, 0, 0));
    HDC screen = GetDC(nullptr);
    BitBlt(dib.DC(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    dib.Save(Path);
}

COLORREF Sys(int Index) { return GetSysColor(Index); }

} // namespace menutest
