#include "Controls.h"

#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"
#include "WindowClasses.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace pw {

namespace {

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

} // namespace

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    FDeleting = true;
    // Owned components go first, while this window still exists: they may have hooked it.
    DestroyComponents();
    for (TControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
    if (FHandle) DestroyHandle();
}

HWND TWinControl::Handle()
{
    if (!FHandle) {
        if (FParent) FParent->HandleNeeded();
        if (!FHandle) CreateWnd();
    }
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params)
{
    Params.Caption = FText;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) Params.Style |= WS_VISIBLE;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
    Params.WinClassName = "TPwWinControl";
    Params.ClassCursor = LoadCursorA(nullptr, IDC_ARROW);
    Params.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

void TWinControl::CreateWnd()
{
    TCreateParams p;
    CreateParams(p);
    if ((p.Style & WS_CHILD) && !p.WndParent) {
        // A child without a parent yet: nothing to create.
        return;
    }
    FDefWndProc = RegisterControlClass(p);
    FUnicodeWindow = p.Unicode;
    CreateWindowHandle(p);
    if (!FHandle) RaiseLastOSError("Error creating window " + p.WinClassName);
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
    AlignControls();
}

void TWinControl::DestroyWnd()
{
    if (FHandle) FText = Text();
}

void TWinControl::DestroyWindowHandle()
{
    if (FHandle) DestroyWindow(FHandle);
    FHandle = nullptr;
}

void TWinControl::DestroyHandle()
{
    if (!FHandle) return;
    DestroyWnd();
    DestroyWindowHandle();
}

void TWinControl::RecreateWnd()
{
    if (!FHandle) return;
    DestroyHandle();
    HandleNeeded();
}

void TWinControl::Release()
{
    if (FMessageDepth > 0) FReleasePending = true;
    else delete this;
}

void TWinControl::InsertControl(TControl* c)
{
    c->FParent = this;
    FControls.push_back(c);
    if (FHandle)
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (w->FHandle) ::SetParent(w->FHandle, FHandle);
            else w->HandleNeeded();
        }
    if (c->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* c)
{
    auto it = std::find(FControls.begin(), FControls.end(), c);
    if (it == FControls.end()) return;
    FControls.erase(it);
    if (FMouseControl == c) FMouseControl = nullptr;
    if (FHotControl == c) FHotControl = nullptr;
    c->FParent = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FHandle && !FDeleting) w->DestroyHandle();
    if (!FDeleting && c->Align() != TAlign::alNone) AlignControls();
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::CanFocus()
{
    for (TWinControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

void TWinControl::SetTabStop(bool v)
{
    FTabStop = v;
    if (FHandle) {
        LONG s = GetWindowLongA(FHandle, GWL_STYLE);
        SetWindowLongA(FHandle, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
    }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FHandle && (ALeft != FLeft || ATop != FTop || AWidth != FWidth || AHeight != FHeight)) {
        SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        // WM_WINDOWPOSCHANGED has updated the bounds; a top-level window may have been clamped.
        if (!(GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)) return;
    }
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

RECT TWinControl::ClientRect()
{
    RECT r{0, 0, FWidth, FHeight};
    if (FHandle) GetClientRect(FHandle, &r);
    return r;
}

void TWinControl::SetVisible(bool v)
{
    if (FVisible == v) return;
    FVisible = v;
    if (v) {
        HandleNeeded();
        if (FHandle) ShowWindow(FHandle, (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
    } else if (FHandle) {
        ShowWindow(FHandle, SW_HIDE);
    }
    RequestAlign();
}

void TWinControl::SetEnabled(bool v)
{
    FEnabled = v;
    if (FHandle) EnableWindow(FHandle, v);
}

std::string TWinControl::Text()
{
    if (!FHandle) return FText;
    if (FUnicodeWindow) {
        // The system translates for an ANSI caller.
        int n = GetWindowTextLengthA(FHandle);
        std::string s(static_cast<size_t>(n) + 1, '\0');
        n = GetWindowTextA(FHandle, s.data(), n + 1);
        s.resize(static_cast<size_t>(std::max(n, 0)));
        return s;
    }
    int n = static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0));
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = static_cast<int>(Perform(WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::SetText(const std::string& s)
{
    FText = s;
    if (FHandle) Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TWinControl::Invalidate()
{
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::FontChanged()
{
    if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
    Perform(CM_FONTCHANGED, 0, 0);
}

void TWinControl::Resize()
{
    if (OnResize && !Destroying()) OnResize(this);
}

void TWinControl::AlignControls()
{
    if (!FHandle) return;
    RECT r = ClientRect();
    auto place = [](TControl* c, int l, int t, int w, int h) { c->SetBounds(l, t, std::max(w, 0), std::max(h, 0)); };
    for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : FControls) {
            if (c->Align() != a || !c->Visible()) continue;
            int w = r.right - r.left, h = r.bottom - r.top;
            switch (a) {
            case TAlign::alTop:
                place(c, r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                r.bottom -= c->Height();
                place(c, r.left, r.bottom, w, c->Height());
                break;
            case TAlign::alLeft:
                place(c, r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                r.right -= c->Width();
                place(c, r.right, r.top, c->Width(), h);
                break;
            case TAlign::alClient: place(c, r.left, r.top, w, h); break;
            default: break;
            }
        }
    }
}

void TWinControl::ReflectNotification(TMessage& Message)
{
    HWND child = nullptr;
    switch (Message.Msg) {
    case WM_COMMAND: child = reinterpret_cast<HWND>(Message.LParam); break;
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom; break;
    case WM_HSCROLL:
    case WM_VSCROLL: child = reinterpret_cast<HWND>(Message.LParam); break;
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (d->CtlType == ODT_MENU && TMenuItem::DispatchOwnerDraw(Message.Msg, Message.LParam)) {
            Message.Result = TRUE;
            return;
        }
        if (d->CtlType != ODT_MENU) child = d->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (m->CtlType == ODT_MENU && TMenuItem::DispatchOwnerDraw(Message.Msg, Message.LParam)) {
            Message.Result = TRUE;
            return;
        }
        if (m->CtlType != ODT_MENU && FHandle) child = GetDlgItem(FHandle, static_cast<int>(m->CtlID));
        break;
    }
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(Message.LParam)->hwndItem; break;
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(Message.LParam)->hwndItem; break;
    default: break;
    }
    TWinControl* c = child && child != FHandle ? FindControl(child) : nullptr;
    if (c) Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    else DefaultHandler(Message);
}

bool TWinControl::HasGraphicControls() const
{
    for (TControl* c : FControls)
        if (c->FVisible && dynamic_cast<TGraphicControl*>(c)) return true;
    return false;
}

TControl* TWinControl::GraphicControlAt(POINT p)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->FVisible || !dynamic_cast<TGraphicControl*>(c)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

TControl* TWinControl::ControlAtPos(POINT p, bool AllowDisabled)
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->FVisible || (!AllowDisabled && !c->FEnabled)) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::TrackHotControl(TControl* c)
{
    if (c == FHotControl) return;
    TControl* old = std::exchange(FHotControl, c);
    if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
    if (c && FHandle) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&t);
    }
    if (c) c->Perform(CM_MOUSEENTER, 0, 0);
}

void TWinControl::PaintGraphicControls(HDC dc, const RECT& Update)
{
    for (TControl* c : FControls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->FVisible) continue;
        RECT r = g->BoundsRect(), common;
        if (!IntersectRect(&common, &r, &Update)) continue;
        TDCGuard guard(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        g->PaintTo(dc);
    }
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC given = reinterpret_cast<HDC>(Message.WParam);
    if (given) {
        DefaultHandler(Message);
        RECT all;
        GetClientRect(FHandle, &all);
        PaintGraphicControls(given, all);
        return;
    }
    // The window paints itself first; the window-less children go on top, in what was invalid.
    TRegionHandle update(CreateRectRgn(0, 0, 0, 0));
    bool any = GetUpdateRgn(FHandle, update.Get(), FALSE) != NULLREGION;
    RECT box{};
    GetRgnBox(update.Get(), &box);
    DefaultHandler(Message);
    if (!any) return;
    TWindowDC dc(FHandle);
    TDCGuard guard(dc.Get());
    SelectClipRgn(dc.Get(), update.Get());
    PaintGraphicControls(dc.Get(), box);
}

bool TWinControl::RouteMouseToGraphic(TMessage& Message)
{
    // A window that holds the mouse for a press of its own keeps it until the release, also
    // where the mouse passes over its window-less children.
    if (!FMouseControl && FHandle && GetCapture() == FHandle) return false;
    POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    TControl* c = FMouseControl ? FMouseControl : GraphicControlAt(p);
    if (!c) return false;
    bool down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN ||
        Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
    if (down && !FMouseControl) {
        FMouseControl = c;
        SetCapture(FHandle);
    }
    TMessage m = Message;
    POINT q = c->ParentToClient(p);
    m.LParam = MAKELPARAM(static_cast<WORD>(static_cast<short>(q.x)), static_cast<WORD>(static_cast<short>(q.y)));
    c->MouseMessage(m);
    bool up = Message.Msg == WM_LBUTTONUP || Message.Msg == WM_RBUTTONUP || Message.Msg == WM_MBUTTONUP;
    if (up && !(Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && FMouseControl) {
        FMouseControl = nullptr;
        if (GetCapture() == FHandle) ReleaseCapture();
    }
    Message.Result = 0;
    return true;
}

bool TWinControl::DoKeyMessage(TMessage& Message)
{
    unsigned shift = KeyShiftState();
    if (Message.Msg == WM_CHAR) {
        if (!OnKeyPress) return false;
        char key = static_cast<char>(Message.WParam);
        OnKeyPress(this, key);
        Message.WParam = static_cast<unsigned char>(key);
        return key == 0;
    }
    auto& ev = (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) ? OnKeyDown : OnKeyUp;
    if (!ev) return false;
    WORD key = static_cast<WORD>(Message.WParam);
    ev(this, key, shift);
    Message.WParam = key;
    return key == 0;
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM: ReflectNotification(Message); return;
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        bool sized = !(wp->flags & SWP_NOSIZE) && (wp->cx != FWidth || wp->cy != FHeight);
        if (!(wp->flags & SWP_NOMOVE)) {
            FLeft = wp->x;
            FTop = wp->y;
        }
        if (!(wp->flags & SWP_NOSIZE)) {
            FWidth = wp->cx;
            FHeight = wp->cy;
        }
        DefaultHandler(Message);
        if (sized) {
            AlignControls();
            Resize();
        }
        return;
    }
    case WM_SETFOCUS:
        DefaultHandler(Message);
        if (OnEnter && !Destroying()) OnEnter(this);
        return;
    case WM_KILLFOCUS:
        DefaultHandler(Message);
        if (OnExit && !Destroying()) OnExit(this);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
        if (DoKeyMessage(Message)) return;
        break;
    case WM_SETCURSOR:
        if (FCursor != crDefault && LOWORD(Message.LParam) == HTCLIENT &&
            reinterpret_cast<HWND>(Message.WParam) == FHandle) {
            ::SetCursor(CursorHandle(FCursor));
            Message.Result = 1;
            return;
        }
        break;
    case WM_CONTEXTMENU:
        if (FPopupMenu && FPopupMenu->AutoPopup()) {
            POINT pt{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
            if (pt.x == -1 && pt.y == -1) {
                pt = POINT{0, 0};
                ClientToScreen(FHandle, &pt);
            }
            FPopupMenu->SetPopupComponent(this);
            FPopupMenu->Popup(pt.x, pt.y);
            Message.Result = 1;
            return;
        }
        break;
    case CM_RELEASE: Release(); return;
    case WM_PAINT:
        if (HasGraphicControls()) {
            PaintHandler(Message);
            return;
        }
        break;
    case WM_CAPTURECHANGED: FMouseControl = nullptr; break;
    case WM_MOUSELEAVE: TrackHotControl(nullptr); break;
    default:
        if (IsMouseMessage(Message.Msg)) {
            if (Message.Msg == WM_MOUSEMOVE && (FHotControl || HasGraphicControls()))
                TrackHotControl(GraphicControlAt(
                    POINT{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))}));
            if (RouteMouseToGraphic(Message)) return;
            bool down = Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK ||
                Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN;
            if (FCaptureMouse && down && FHandle) SetCapture(FHandle);
            DefaultHandler(Message);
            TMessage m = Message;
            MouseMessage(m);
            if (FCaptureMouse && !(Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) &&
                Message.Msg != WM_MOUSEMOVE && GetCapture() == FHandle)
                ReleaseCapture();
            return;
        }
        break;
    }
    DefaultHandler(Message);
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!FHandle || (Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x1000)) {
        Message.Result = 0;
        return;
    }
    Message.Result = FUnicodeWindow
        ? CallWindowProcW(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam)
        : CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

} // namespace pw
