// Painting of styled menu items: background, glyph cell, text, banner.
#include "Menus97.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "MenuDrawing97.h"

#include <algorithm>

namespace pw {

namespace {

// The ternary raster operation D xor (S and (P xor D)): brush where the source is white.
constexpr DWORD RopDSPDxax = 0x00E20746;
// A font's escapement (in tenths of a degree) for text that runs upwards.
constexpr LONG UpwardsEscapement = 900;

using menus97::FillSolid;
using menus97::Line;

} // namespace

LRESULT TCustomMenus97::HandleDrawItem(const DRAWITEMSTRUCT& Draw)
{
    if (!FMenu || Draw.CtlType != ODT_MENU) return 1;
    TOwnerDrawState state = Draw.itemState & 0xFF;
    TDCGuard saved(Draw.hDC);
    TCanvasAttach attach(FCanvas.get(), Draw.hDC);
    FCanvas->Font()->Assign(FFont.get());
    FCanvas->Brush()->Assign(FBrush.get());
    if (static_cast<int>(Draw.itemID) >= 0 && (state & odSelected)) {
        // What an OnDrawItem handler finds preset for a selected item.
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    if (TMenuItem* item = FindItem(LOWORD(Draw.itemID))) DrawItem(item, Draw.rcItem, state);
    if (state & odFocused) DrawFocusRect(Draw.hDC, &Draw.rcItem);
    return 1;
}

void TCustomMenus97::DrawItem(TMenuItem* Item, RECT Rect, TOwnerDrawState State)
{
    // Drawing reads the item and never writes it: a write would rebuild the open menu.
    if (State & odSelected) {
        std::string hint = OnHint ? OnHint(FMenu, Item, Item->Hint()) : Item->Hint();
        if (Application) Application->SetHint(hint);
    }
    if (OnDrawItem && OnDrawItem(FMenu, Item, Rect, State)) return;
    if (FBannerDirty && IsBannerItem(Item)) {
        FBannerBitmap.reset();
        FBannerDirty = false;
        CalcBannerRect(GetBannerItem(Item));
        // The items may start inside the drop-down's client area (Wine leaves a margin): the
        // banner stands where the first item starts.
        POINT offset = OffsetInMenu(Item);
        OffsetRect(&FBannerRect, Rect.left - offset.x, Rect.top - offset.y);
    }
    if (FBanner) DrawBanner(Item, Rect);
    if (Item->Tag() == BarItemTag || Item->Tag() >= FirstBarImageTag) DrawMenuBarItem(Item, Rect, State);
    else DrawPopupItem(Item, Rect, State);
}

void TCustomMenus97::DrawEtchedLine(int X0, int Y0, int X1, int Y1, bool Vertical)
{
    HDC dc = FCanvas->Handle();
    Line(dc, X0, Y0, X1, Y1, clBtnShadow);
    if (Vertical) Line(dc, X0 + 1, Y0, X1 + 1, Y1, clBtnHighlight);
    else Line(dc, X0, Y0 + 1, X1, Y1 + 1, clBtnHighlight);
}

bool TCustomMenus97::DrawnDisabled(TMenuItem* Item, TOwnerDrawState State)
{
    // The system's state counts too: it greys system commands that the mirror items do not know.
    return !Item->Enabled() || (State & (odGrayed | odDisabled)) || IsTitleSeparator(Item->Caption());
}

void TCustomMenus97::DrawItemBackground(TMenuItem* Item, const RECT& Rect, TOwnerDrawState State)
{
    HDC dc = FCanvas->Handle();
    bool title = IsTitleSeparator(Item->Caption());
    bool disabled = DrawnDisabled(Item, State);
    if (!disabled || FAlwaysShowSelection) {
        TColor fill = (State & odSelected) && !title ? FHiliteBar : FBrush->Color();
        FillSolid(dc, Rect, fill);
    }
    // The lines go over the fill so that they stay visible.
    if (title) {
        int m = Rect.top + (Rect.bottom - Rect.top) / 2;
        DrawEtchedLine(Rect.left + 1, m, Rect.right - 1, m, false);
    }
    if (Item->Break() == TMenuBreak::mbBarBreak && FBannerRect.bottom > FBannerRect.top)
        DrawEtchedLine(Rect.left - 3, FBannerRect.top, Rect.left - 3, FBannerRect.bottom, true);
}

void TCustomMenus97::DrawGlyphBox(const RECT& Box, bool Raised)
{
    if (FLook == TMenus97Look::mlIE4Look) return;
    HDC dc = FCanvas->Handle();
    RECT wide = Box;
    wide.right += 1;
    FillSolid(dc, wide, FCanvas->Brush()->Color());
    if (Raised) Frame3D(dc, Box, clBtnHighlight, clBtnShadow);
    else Frame3D(dc, Box, clBtnShadow, clBtnHighlight);
}

// Copies a mark bitmap with its white pixels replaced by the canvas brush colour.
void TCustomMenus97::DrawMark(TBitmap* Mark, int X, int Y)
{
    HDC dc = FCanvas->Handle();
    int w = FGlyphWidth, h = FGlyphHeight;
    RECT cell{X, Y, X + w, Y + h};
    FillSolid(dc, cell, FCanvas->Brush()->Color());
    TMemoryDC src(dc);
    TSelectGuard sel(src.Get(), Mark->Handle());
    TransparentBlt(dc, X, Y, std::min(w, Mark->Width()), std::min(h, Mark->Height()), src.Get(), 0, 0,
                   std::min(w, Mark->Width()), std::min(h, Mark->Height()), RGB(255, 255, 255));
}

// An embossed image: a highlight copy one pixel down-right under a shadow copy.
void TCustomMenus97::DrawDisabledImage(int X, int Y, int Index)
{
    if (!FImages) return;
    HDC dc = FCanvas->Handle();
    int w = FImages->Width(), h = FImages->Height();
    // The image in colour on white, then as a mask that is white where the image has pixels.
    TMemoryDC colourDC(dc);
    TGdiObject<HBITMAP> colour(CreateCompatibleBitmap(dc, w, h));
    TSelectGuard selColour(colourDC.Get(), colour.Get());
    RECT all{0, 0, w, h};
    FillSolid(colourDC.Get(), all, clWhite);
    ImageList_Draw(FImages->Handle(), Index, colourDC.Get(), 0, 0, ILD_NORMAL);
    TMemoryDC monoDC(dc);
    TGdiObject<HBITMAP> mono(CreateBitmap(w, h, 1, 1, nullptr));
    TSelectGuard selMono(monoDC.Get(), mono.Get());
    SetBkColor(colourDC.Get(), RGB(255, 255, 255));
    BitBlt(monoDC.Get(), 0, 0, w, h, colourDC.Get(), 0, 0, NOTSRCCOPY);
    TDCGuard modes(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    for (auto [colourOf, dx] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(colourOf)));
        TSelectGuard selBrush(dc, brush.Get());
        BitBlt(dc, X + dx, Y + dx, w, h, monoDC.Get(), 0, 0, RopDSPDxax);
    }
}

void TCustomMenus97::DrawGlyph(TMenuItem* Item, const RECT& Rect, TOwnerDrawState State)
{
    bool selected = (State & odSelected) != 0;
    bool enabled = !DrawnDisabled(Item, State);
    bool image = Item->Tag() >= 0 && FImages;
    RECT box{Rect.left, Rect.top, Rect.left + FGlyphWidth + 4, Rect.top + DefaultItemHeight(Item)};
    FCanvas->Brush()->Assign(FBrush.get());
    // A disabled image stands where the enabled one does (Left + 2, Top + 2), not two pixels up
    // and to the left of it, so that an item does not jump when it is enabled or disabled.
    if (!enabled && !FAlwaysShowSelection) {
        if (image) DrawDisabledImage(Rect.left + 2, Rect.top + 2, Item->Tag());
        return;
    }
    if (selected && ((Item->Checked() && enabled) || image)) DrawGlyphBox(box, true);
    if (!enabled) {
        if (image) DrawDisabledImage(Rect.left + 2, Rect.top + 2, Item->Tag());
        return;
    }
    if (!selected && Item->Checked()) DrawGlyphBox(box, false);
    if (image) FImages->Draw(FCanvas->Handle(), Rect.left + 2, Rect.top + 2, Item->Tag());
    else if (Item->Checked())
        DrawMark(Item->RadioItem() ? FRadioBitmap.get() : FCheckBitmap.get(), Rect.left + 1, Rect.top + 1);
}

void TCustomMenus97::DrawPopupItem(TMenuItem* Item, RECT Rect, TOwnerDrawState State)
{
    DrawItemBackground(Item, Rect, State);
    DrawGlyph(Item, Rect, State);
    FCanvas->Font()->Assign((State & odSelected) ? FHiliteFont.get() : FFont.get());
    Rect.left += FGlyphWidth + 7;
    const std::string& caption = Item->Caption();
    DrawItemText(Item, Rect, State, IsTitleSeparator(caption) ? caption.substr(1) : CaptionPart(caption));
}

void TCustomMenus97::DrawItemText(TMenuItem* Item, RECT Rect, TOwnerDrawState State, const std::string& Text)
{
    HDC dc = FCanvas->Handle();
    bool title = IsTitleSeparator(Item->Caption());
    bool disabled = DrawnDisabled(Item, State);
    if (Item->Default()) FCanvas->Font()->SetStyle(fsBold);
    TDCGuard modes(dc);
    TSelectGuard font(dc, FCanvas->Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
    std::string shortcut = Item->ShortCut() ? ShortCutToText(Item->ShortCut()) : std::string();
    auto draw = [&](RECT r, TColor colour) {
        SetTextColor(dc, ColorToRGB(colour));
        DrawTextA(dc, Text.c_str(), -1, &r, flags);
        if (!shortcut.empty()) {
            r.right -= FCheckWidth;
            DrawTextA(dc, shortcut.c_str(), -1, &r, flags | DT_RIGHT);
        }
    };
    if (!disabled) {
        draw(Rect, FCanvas->Font()->Color());
        return;
    }
    RECT light = Rect;
    OffsetRect(&light, 1, 1);
    draw(light, clBtnHighlight);
    if (!FAlwaysShowSelection || !(State & odSelected) || title) draw(Rect, clBtnShadow);
}

// ---- banner ----

void TCustomMenus97::CalcBannerRect(TMenuItem* Item)
{
    FBannerRect = RECT{};
    if (Item && Item->Count() > 0) CalcBannerRectFor(Item->Handle(), Item);
}

void TCustomMenus97::CalcBannerRectFor(HMENU Menu, TMenuItem* Node)
{
    FBannerRect = RECT{};
    if (!Menu || !Node) return;
    TForm* form = OwnerForm();
    HWND w = form && form->HandleAllocated() ? form->Handle() : nullptr;
    RECT first{};
    bool shown = GetMenuItemRect(w, Menu, 0, &first) && first.bottom > first.top;
    if (shown) {
        int count = GetMenuItemCount(Menu);
        for (int p = 0; p < count; ++p) {
            RECT r;
            if (GetMenuItemRect(w, Menu, static_cast<UINT>(p), &r)) first.bottom = std::max(first.bottom, r.bottom);
        }
    } else {
        // The drop-down is not on the screen (drawn elsewhere): add up the item heights.
        int height = 0;
        for (int i = 0; i < Node->Count(); ++i) {
            TMenuItem* k = Node->Items(i);
            if (!k->Visible()) continue;
            height +=
                k->IsLine() ? GetSystemMetrics(SM_CYMENU) / 2 : (FItemHeight ? FItemHeight : DefaultItemHeight(k));
        }
        first = RECT{0, 0, Node->Count() ? DefaultItemWidth(Node->Items(0)) : 0, height};
    }
    int width = first.right - first.left, height = first.bottom - first.top;
    FBannerRect = FBannerAlignment == TBannerAlignment::baLeft ? RECT{0, 0, FBannerWidth, height}
                                                               : RECT{width - FBannerWidth, 0, width, height};
}

POINT TCustomMenus97::OffsetInMenu(TMenuItem* Item)
{
    HMENU h = ParentHandle(Item);
    TForm* form = OwnerForm();
    HWND w = form && form->HandleAllocated() ? form->Handle() : nullptr;
    int count = GetMenuItemCount(h);
    RECT first, mine;
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(h, static_cast<UINT>(p), TRUE, &mi) || mi.wID != Item->Command()) continue;
        if (GetMenuItemRect(w, h, 0, &first) && GetMenuItemRect(w, h, static_cast<UINT>(p), &mine) &&
            first.bottom > first.top)
            return POINT{mine.left - first.left, mine.top - first.top};
        break;
    }
    return POINT{0, 0};
}

void TCustomMenus97::DrawGradient(HDC DC, TColor StartColor, TColor EndColor, const RECT& R) const
{
    int n = FBannerNumColors;
    if (n <= 0) return;
    COLORREF s = ColorToRGB(StartColor), e = ColorToRGB(EndColor);
    int r0 = GetRValue(s), g0 = GetGValue(s), b0 = GetBValue(s);
    int dr = GetRValue(e) - r0, dg = GetGValue(e) - g0, db = GetBValue(e) - b0;
    int height = R.bottom - R.top;
    for (int i = 0; i < n; ++i) {
        int y0 = R.top + MulDiv(i, height, n), y1 = R.top + MulDiv(i + 1, height, n);
        COLORREF c = s;
        if (n >= 2)
            c = RGB((r0 + MulDiv(i, dr, n - 1)) & 0xFF, (g0 + MulDiv(i, dg, n - 1)) & 0xFF,
                    (b0 + MulDiv(i, db, n - 1)) & 0xFF);
        TGdiObject<HBRUSH> brush(CreateSolidBrush(c));
        TSelectGuard sel(DC, brush.Get());
        PatBlt(DC, R.left, y0, R.right - R.left, y1 - y0, PATCOPY);
    }
}

void TCustomMenus97::BuildBannerBitmap(TMenuItem* Item)
{
    RECT r{0, 0, FBannerRect.right - FBannerRect.left, FBannerRect.bottom - FBannerRect.top};
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(r.right, r.bottom);
    HDC dc = bitmap->Canvas()->Handle();
    if (FBannerColor == FBannerEndColor) FillSolid(dc, r, FBannerColor);
    else DrawGradient(dc, FBannerColor, FBannerEndColor, r);
    LOGFONTA lf = {};
    GetObjectA(FBannerFont->Handle(), sizeof lf, &lf);
    lf.lfEscapement = lf.lfOrientation =
        FBannerDirection == TBannerDirection::bdUpwards ? UpwardsEscapement : -UpwardsEscapement;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    TGdiObject<HFONT> rotated(CreateFontIndirectA(&lf));
    {
        TDCGuard modes(dc);
        TSelectGuard sel(dc, rotated.Get());
        SetTextColor(dc, ColorToRGB(FBannerFont->Color()));
        SetBkMode(dc, TRANSPARENT);
        if (FBannerImage >= 0) r.bottom -= (r.right - r.left) + 4;
        std::string text = Item ? BannerPart(GetBannerItem(Item) ? GetBannerItem(Item)->Caption() : std::string()) : "";
        if (text.empty()) text = FBannerText;
        SIZE ext = TextExtent(dc, text);
        int w = r.right - r.left, h = r.bottom - r.top, cx = ext.cx, cy = ext.cy;
        bool up = FBannerDirection == TBannerDirection::bdUpwards;
        int x = up ? r.left + (w - cy) / 2 : r.right - 1 - (w - cy) / 2, y;
        switch (FBannerJustification) {
        case TBannerJustification::bjTop: y = up ? r.top + cx + 1 : r.top + 1; break;
        case TBannerJustification::bjBottom: y = up ? r.bottom - 1 : r.bottom - cx - 1; break;
        default: y = up ? r.bottom - 1 - (h - cx) / 2 : r.top + 1 + (h - cx) / 2; break;
        }
        TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    }
    FBannerBitmap = std::move(bitmap);
}

void TCustomMenus97::DrawBanner(TMenuItem* Item, RECT& Rect)
{
    if (!IsBannerItem(Item)) return;
    if (FBannerAlignment == TBannerAlignment::baLeft && Rect.left == FBannerRect.left) Rect.left += FBannerWidth + 2;
    if (FBannerAlignment == TBannerAlignment::baRight && Rect.right == FBannerRect.right)
        Rect.right -= FBannerWidth + 2;
    if (FBannerRect.right <= FBannerRect.left || FBannerRect.bottom <= FBannerRect.top) return;
    if (!FBannerBitmap) BuildBannerBitmap(Item);
    BitBlt(FCanvas->Handle(), FBannerRect.left, FBannerRect.top, FBannerRect.right - FBannerRect.left,
           FBannerRect.bottom - FBannerRect.top, FBannerBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

} // namespace pw
