#include "MenuStylers97.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "MenuDrawing97.h"
#include "Subclass.h"

#include <algorithm>

namespace pw {

namespace {

using menus97::FirstSystemCommand;
int g_PopupStylerCount = 0;

} // namespace

// ---- main menu ----

TCustomMainMenus97::TCustomMainMenus97(TComponent* AOwner) : TCustomMenus97(AOwner) {}

TMainMenu* TCustomMainMenus97::MainMenu() const { return dynamic_cast<TMainMenu*>(FMenu); }

bool TCustomMainMenus97::GetHideMenuBar() { return (ComponentState() & csDesigning) ? false : FHideMenuBar; }

void TCustomMainMenus97::RedrawMenuBar()
{
    if (TForm* f = OwnerForm(); f && f->HandleAllocated()) DrawMenuBar(f->Handle());
}

void TCustomMainMenus97::SetHideMenuBar(bool v)
{
    if (FHideMenuBar == v) return;
    FHideMenuBar = v;
    if (v) FMenuBarBorder = false;
    if (TForm* f = OwnerForm(); f && f->HandleAllocated())
        SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RedrawMenuBar();
}

void TCustomMainMenus97::SetMenuBarBorder(bool v)
{
    FMenuBarBorder = GetHideMenuBar() ? false : v;
    RedrawMenuBar();
}

void TCustomMainMenus97::FontChanged()
{
    if (!GetHideMenuBar()) RedrawMenuBar();
}

int TCustomMainMenus97::GetItemHeight()
{
    if (FItemHeight != 0 || !FMenu || FMenu->Items()->Count() == 0) return FItemHeight;
    TForm* form = OwnerForm();
    menus97::TWindowDC dc(form && form->HandleAllocated() ? form->Handle() : nullptr);
    menus97::TCanvasAttach attach(FCanvas.get(), dc.Get());
    FCanvas->Font()->Assign(FFont.get());
    int h = DefaultItemHeight(FMenu->Items()->Items(0));
    return h;
}

void TCustomMainMenus97::SynchroniseMenuBar()
{
    TForm* form = OwnerForm();
    if (!FMenu || !form || !form->HandleAllocated()) return;
    HMENU bar = GetMenu(form->Handle());
    if (!bar) return;
    bool mdi = false;
    int count = GetMenuItemCount(bar);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(bar, static_cast<UINT>(p), TRUE, &mi)) continue;
        TMenuItem* item = mi.wID != 0 && mi.wID < FirstSystemCommand ? FindItem(mi.wID) : nullptr;
        SynchroniseBarItem(p, item);
        if (mi.wID > FirstSystemCommand) mdi = true;
    }
    BarSynchronised(mdi);
    PrepareItems(FMenu->Items(), false);
}

void TCustomMainMenus97::DrawMenuBarItem(TMenuItem* Item, RECT& Rect, TOwnerDrawState State)
{
    if (GetHideMenuBar()) return;
    HDC dc = FCanvas->Handle();
    auto frame = [dc](const RECT& r, TColor topLeft, TColor bottomRight) { menus97::Frame3D(dc, r, topLeft, bottomRight); };
    if (FMenuBarBorder) {
        TForm* form = OwnerForm();
        RECT b = form ? form->ClientRect() : Rect;
        b.left = GetSystemMetrics(SM_CXFRAME);
        b.top = Rect.top;
        b.bottom = Rect.bottom + 2;
        b.right += b.left;
        frame(b, clBtnHighlight, clBtnShadow);
        Rect.top += 2;
        Rect.left += 2;
    }
    menus97::FillSolid(dc, Rect, FBrush->Color());
    if (State & odSelected) {
        if (FBarItemDown) frame(Rect, clBtnShadow, clBtnHighlight);
        else frame(Rect, clBtnHighlight, clBtnShadow);
        InflateRect(&Rect, -1, -1);
    }
    if (Item->Tag() > 4096 && FImages) {
        Rect.left += 3;
        FImages->Draw(dc, Rect.left, Rect.top + 1, Item->Tag() - 4097);
        Rect.left += FImages->Width() + 2;
    } else {
        Rect.left += 5;
    }
    FCanvas->Font()->Assign(FFont.get());
    DrawItemText(Item, Rect, State & ~odSelected, CaptionPart(Item->Caption()));
}

void TCustomMainMenus97::SubclassProc(TMessage& Message)
{
    TForm* form = OwnerForm();
    if (!FMenu || !form) {
        TCustomMenus97::SubclassProc(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGING:
        if (form->FormStyle() == TFormStyle::fsMDIForm || form->FormStyle() == TFormStyle::fsNormal) {
            CallPrevious(Message);
            SynchroniseMenuBar();
            return;
        }
        break;
    case WM_NCCALCSIZE:
        if (GetHideMenuBar() && FMenu->Items()->Count() > 0) {
            CallPrevious(Message);
            RECT m;
            GetMenuRect(FMenu->Items()->Items(0), m);
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            r->top -= m.bottom - m.top + 1;
            return;
        }
        break;
    case WM_NCHITTEST:
        CallPrevious(Message);
        if (GetHideMenuBar() && Message.Result == HTMENU) Message.Result = HTTRANSPARENT;
        return;
    case WM_NCPAINT:
        if (GetHideMenuBar() && FMenu->Items()->Count() > 0) {
            // Everything but the covered bar row is painted by the system.
            RECT m, wr;
            GetMenuRect(FMenu->Items()->Items(0), m);
            GetWindowRect(form->Handle(), &wr);
            TGdiObject<HRGN> rgn(CreateRectRgnIndirect(&wr));
            if (Message.WParam > 1) CombineRgn(rgn.Get(), reinterpret_cast<HRGN>(Message.WParam), nullptr, RGN_COPY);
            TGdiObject<HRGN> bar(CreateRectRgn(m.left, m.top, m.left + form->ClientWidth(), m.bottom + 2));
            CombineRgn(rgn.Get(), rgn.Get(), bar.Get(), RGN_DIFF);
            TMessage inner{Message.Msg, reinterpret_cast<WPARAM>(rgn.Get()), Message.LParam, 0};
            CallPrevious(inner);
            Message.Result = inner.Result;
            return;
        }
        break;
    case WM_INITMENUPOPUP:
        if (!GetHideMenuBar() && !FBarItemDown && HIWORD(Message.LParam) == 0) {
            FBarItemDown = true;
            RedrawMenuBar();
        }
        break;
    case WM_MENUSELECT:
        if (!GetHideMenuBar() && reinterpret_cast<HMENU>(Message.LParam) == FMenu->Handle() &&
            !(HIWORD(Message.WParam) & MF_MOUSESELECT) && FBarItemDown) {
            FBarItemDown = false;
            RedrawMenuBar();
        }
        break;
    case WM_ENTERMENULOOP:
        FBarItemDown = false;
        break;
    default:
        break;
    }
    TCustomMenus97::SubclassProc(Message);
}

// ---- pop-up menus ----

HWND TCustomPopupMenus97::FindPopupUtilWindow() { return PopupUtilWindow(); }

int TCustomPopupMenus97::PopupStylerCount() { return g_PopupStylerCount; }

TCustomPopupMenus97::TCustomPopupMenus97(TComponent* AOwner) : TCustomMenus97(AOwner)
{
    // Without the window the styler still exists; its menu is then drawn by the system.
    if (HWND util = FindPopupUtilWindow()) {
        FPopupSubclass = std::make_unique<TWindowSubclass>(util, [this](TMessage& m) { PopupListWndProc(m); });
        ++g_PopupStylerCount;
    }
}

TCustomPopupMenus97::~TCustomPopupMenus97()
{
    if (FPopupSubclass) {
        FPopupSubclass.reset();
        --g_PopupStylerCount;
    }
}

TPopupMenu* TCustomPopupMenus97::GetPopupMenu() const { return dynamic_cast<TPopupMenu*>(FMenu); }
void TCustomPopupMenus97::SetPopupMenu(TPopupMenu* Value) { SetMenu(Value); }

void TCustomPopupMenus97::CallPopupPrevious(TMessage& Message)
{
    if (FPopupSubclass) FPopupSubclass->CallPrevious(Message);
}

bool TCustomPopupMenus97::IsBannerItem(TMenuItem* Item)
{
    return FMenu && Item && Item->Parent() == FMenu->Items();
}

TMenuItem* TCustomPopupMenus97::GetBannerItem(TMenuItem* Item) { return Item; }

void TCustomPopupMenus97::CalcBannerRect(TMenuItem*)
{
    if (FMenu) CalcBannerRectFor(FMenu->Handle(), FMenu->Items());
}

void TCustomPopupMenus97::PopupListWndProc(TMessage& Message)
{
    if (!FMenu) {
        CallPopupPrevious(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (DispatchOwnerDraw(Message)) return;
        break;
    case WM_INITMENU:
    case CM_MENUCHANGED:
        CallPopupPrevious(Message);
        PrepareItems(FMenu->Items(), false);
        return;
    case WM_INITMENUPOPUP:
        CallPopupPrevious(Message);
        Message.Result = 0;
        PrepareItems(FMenu->Items(), false);
        FBannerDirty = true;
        return;
    case WM_MENUCHAR:
        if (int i = FindAccelerator(Message); i >= 0) {
            Message.Result = MAKELRESULT(i, MNC_EXECUTE);
            return;
        }
        break;
    default:
        break;
    }
    CallPopupPrevious(Message);
}

} // namespace pw
