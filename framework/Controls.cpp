#include "Controls.h"

#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

namespace pw {

namespace {

thread_local TWinControl* t_creating = nullptr;

// Where the control pointer sits in a window's extra bytes: just after the bytes the
// original class asked for, so each class of ours can copy any system class.
int BindingOffset(HWND h)
{
    return static_cast<int>(GetClassLongPtrA(h, GCL_CBWNDEXTRA)) - static_cast<int>(sizeof(void*));
}

UINT NextControlId()
{
    static UINT id = 1000;
    if (++id > 0x7FFF) id = 1001;
    return id;
}

} // namespace

struct TWindowBinding {
    static LRESULT CALLBACK StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
};

HCURSOR CursorHandle(int cursor)
{
    LPCSTR id = IDC_ARROW;
    switch (cursor) {
    case crIBeam: id = IDC_IBEAM; break;
    case crHandPoint: id = IDC_HAND; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crDrag: id = IDC_ARROW; break;
    default: break;
    }
    return LoadCursorA(nullptr, id);
}

void HandleCallbackException()
{
    if (Application) Application->HandleException(nullptr);
}

unsigned MouseShiftState(WPARAM Keys)
{
    unsigned s = 0;
    if (Keys & MK_SHIFT) s |= ssShift;
    if (Keys & MK_CONTROL) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (Keys & MK_LBUTTON) s |= ssLeft;
    if (Keys & MK_RBUTTON) s |= ssRight;
    if (Keys & MK_MBUTTON) s |= ssMiddle;
    return s;
}

unsigned KeyShiftState()
{
    unsigned s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    return s;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl()
{
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (FParent == AParent) return;
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (sized) RequestAlign();
    Invalidate();
}

RECT TControl::ClientRect() { return RECT{0, 0, FWidth, FHeight}; }

void TControl::SetAlign(TAlign a)
{
    if (FAlign == a) return;
    FAlign = a;
    RequestAlign();
}

void TControl::RequestAlign()
{
    if (FParent && FAlign != TAlign::alNone) FParent->AlignControls();
}

void TControl::SetVisible(bool v)
{
    if (FVisible == v) return;
    FVisible = v;
    RequestAlign();
    Invalidate();
}

void TControl::SetEnabled(bool v)
{
    FEnabled = v;
    Invalidate();
}

void TControl::SetPopupMenu(TPopupMenu* m)
{
    FPopupMenu = m;
    if (m) m->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetColor(TColor c)
{
    FColor = c;
    Invalidate();
}

std::string TControl::Text() { return FText; }

void TControl::SetText(const std::string& s)
{
    FText = s;
    Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) { DefaultHandler(Message); }

void TControl::DefaultHandler(TMessage& Message) { Message.Result = 0; }

void TControl::Invalidate()
{
    if (FParent && FParent->HandleAllocated() && FVisible) {
        RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, TRUE);
    }
}

void TControl::Update()
{
    if (FParent && FParent->HandleAllocated()) UpdateWindow(FParent->Handle());
}

void TControl::Click()
{
    if (OnClick && !Destroying()) OnClick(this);
}

void TControl::FontChanged() { Invalidate(); }

void TControl::DblClick()
{
    if (OnDblClick && !Destroying()) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (OnMouseDown && !Destroying()) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(unsigned Shift, int X, int Y)
{
    if (OnMouseMove && !Destroying()) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (OnMouseUp && !Destroying()) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::MouseMessage(TMessage& Message)
{
    int x = static_cast<short>(LOWORD(Message.LParam)), y = static_cast<short>(HIWORD(Message.LParam));
    unsigned shift = MouseShiftState(Message.WParam);
    auto inside = [&] { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; };
    switch (Message.Msg) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); return true;
    case WM_LBUTTONDOWN:
        FClickPending = FClickEvents;
        MouseDown(TMouseButton::mbLeft, shift, x, y);
        return true;
    case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); return true;
    case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); return true;
    case WM_LBUTTONDBLCLK:
        if (FClickEvents) DblClick();
        MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
        return true;
    case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift | ssDouble, x, y); return true;
    case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift | ssDouble, x, y); return true;
    case WM_LBUTTONUP:
        if (FClickPending) {
            FClickPending = false;
            if (inside()) Click();
        }
        MouseUp(TMouseButton::mbLeft, shift, x, y);
        return true;
    case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); return true;
    case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); return true;
    default: return false;
    }
}

static bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

// ---- TGraphicControl ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>())
{
    FClickEvents = true;
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc)
{
    TCanvasAttach attach(FCanvas.get(), dc);
    Paint();
}

// ---- TCustomControl ----

namespace {

// A control's canvas outside painting: a DC of the control's window, taken when it is first
// drawn on and given back at the next paint or when the window goes.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TWinControl* c) : FControl(c) {}
    ~TControlCanvas() override { FreeHandle(); }
    void FreeHandle()
    {
        if (!FOwnDC) return;
        SetHandle(nullptr);
        FOwnDC.reset();
    }

protected:
    void CreateHandle() override
    {
        if (!FControl->HandleAllocated()) return;
        SetHandle(FOwnDC.emplace(FControl->Handle()).Get());
    }

private:
    TWinControl* FControl;
    std::optional<TWindowDC> FOwnDC;
};

} // namespace

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>(this))
{
    FClickEvents = true;
    FCaptureMouse = true;
}

TCustomControl::~TCustomControl()
{
    FDeleting = true;
    static_cast<TControlCanvas*>(FCanvas.get())->FreeHandle();
    // The window goes in the base destructor; nothing may draw on the canvas by then.
    DestroyComponents();
    if (FHandle) DestroyHandle();
}

void TCustomControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwCustomControl";
}

void TCustomControl::WndProc(TMessage& Message)
{
    auto* canvas = static_cast<TControlCanvas*>(FCanvas.get());
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        canvas->FreeHandle();
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        RECT update;
        std::optional<TPaintDC> paint;
        if (dc) {
            GetClientRect(FHandle, &update);
        } else {
            dc = paint.emplace(FHandle).Get();
            update = paint->PaintRect();
        }
        {
            TDCGuard guard(dc);
            TCanvasAttach attach(canvas, dc);
            Paint();
        }
        PaintGraphicControls(dc, update);
        Message.Result = 0;
        return;
    }
    case WM_DESTROY: canvas->FreeHandle(); break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

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

namespace {

// The window property that names a window's control. It does not depend on the window's
// procedure, so windows that others have subclassed are still found.
const char* ControlProperty()
{
    static ATOM atom = GlobalAddAtomA("PenwiseWinControl");
    return MAKEINTATOM(atom);
}

} // namespace

TWinControl* TWinControl::FindControl(HWND h)
{
    if (!h) return nullptr;
    return static_cast<TWinControl*>(GetPropA(h, ControlProperty()));
}

LRESULT CALLBACK TWindowBinding::StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l)
{
    int off = BindingOffset(h);
    TWinControl* c = off >= 0 ? reinterpret_cast<TWinControl*>(GetWindowLongPtrA(h, off)) : nullptr;
    if (!c) {
        c = t_creating;
        if (!c) return IsWindowUnicode(h) ? DefWindowProcW(h, msg, w, l) : DefWindowProcA(h, msg, w, l);
        t_creating = nullptr;
        c->BindWindow(h);
    }
    ++c->FMessageDepth;
    TMessage m{msg, w, l, 0};
    try {
        c->WndProc(m);
    } catch (...) {
        m.Result = 0;
        HandleCallbackException();
    }
    if (msg == WM_NCDESTROY) c->UnbindWindow();
    if (--c->FMessageDepth == 0 && c->FReleasePending && !c->FDeleting) delete c;
    return m.Result;
}

void TWinControl::BindWindow(HWND h)
{
    FHandle = h;
    SetWindowLongPtrA(h, BindingOffset(h), reinterpret_cast<LONG_PTR>(this));
    SetPropA(h, ControlProperty(), this);
}

void TWinControl::UnbindWindow()
{
    if (!FHandle) return;
    RemovePropA(FHandle, ControlProperty());
    SetWindowLongPtrA(FHandle, BindingOffset(FHandle), 0);
    FHandle = nullptr;
    WindowDestroyed();
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

namespace {

struct TClassEntry {
    WNDPROC DefProc;
};
std::map<std::string, TClassEntry>& ClassTable()
{
    static std::map<std::string, TClassEntry> table;
    return table;
}

// Registers our class for the parameters; gives the procedure that handles what we pass on.
WNDPROC RegisterControlClass(const TCreateParams& p, WNDPROC stdProc)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDPROC def = nullptr;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (!p.SubclassOf.empty()) {
        bool ok;
        if (p.Unicode) {
            ok = GetClassInfoExW(nullptr, StringToWide(p.SubclassOf, CP_ACP).c_str(), &wc);
        } else {
            WNDCLASSEXA wa = {};
            wa.cbSize = sizeof wa;
            ok = GetClassInfoExA(nullptr, p.SubclassOf.c_str(), &wa);
            std::memcpy(&wc, &wa, sizeof wa);
        }
        if (!ok) throw EOutOfResources("Window class \"" + p.SubclassOf + "\" is not available");
        def = wc.lpfnWndProc;
        wc.cbSize = sizeof wc;
        wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    } else {
        def = p.Unicode ? DefWindowProcW : DefWindowProcA;
        wc.style = p.ClassStyle;
        wc.hCursor = p.ClassCursor;
        wc.hbrBackground = p.Background;
        wc.hIcon = LoadIconA(inst, "MAINICON");
    }
    auto& table = ClassTable();
    auto it = table.find(p.WinClassName);
    if (it != table.end()) {
        it->second.DefProc = def; // a reloaded library may have moved its procedure
        return def;
    }
    wc.lpfnWndProc = stdProc;
    wc.hInstance = inst;
    wc.cbWndExtra += static_cast<int>(sizeof(void*));
    ATOM a;
    if (p.Unicode) {
        std::wstring name = StringToWide(p.WinClassName, CP_ACP);
        wc.lpszClassName = name.c_str();
        wc.lpszMenuName = nullptr;
        a = RegisterClassExW(&wc);
    } else {
        WNDCLASSEXA wa;
        std::memcpy(&wa, &wc, sizeof wa);
        wa.lpszClassName = p.WinClassName.c_str();
        wa.lpszMenuName = nullptr;
        a = RegisterClassExA(&wa);
    }
    if (!a && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        RaiseLastOSError("Cannot register window class " + p.WinClassName);
    table[p.WinClassName] = TClassEntry{def};
    return def;
}

} // namespace

void TWinControl::CreateWnd()
{
    TCreateParams p;
    CreateParams(p);
    if ((p.Style & WS_CHILD) && !p.WndParent) {
        // A child without a parent yet: nothing to create.
        return;
    }
    FDefWndProc = RegisterControlClass(p, &TWindowBinding::StdWndProc);
    FUnicodeWindow = p.Unicode;
    CreateWindowHandle(p);
    if (!FHandle) RaiseLastOSError("Error creating window " + p.WinClassName);
    Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->HandleNeeded();
    AlignControls();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p)
{
    HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextControlId())) : nullptr;
    TWinControl* saved = t_creating;
    t_creating = this;
    HWND h;
    if ((p.ExStyle & WS_EX_MDICHILD) && p.WndParent) {
        // An MDI child is made by its client window, which then knows it (and whatever
        // watches the client sees WM_MDICREATE).
        MDICREATESTRUCTA mc = {};
        mc.szClass = p.WinClassName.c_str();
        mc.szTitle = p.Caption.c_str();
        mc.hOwner = GetModuleHandleA(nullptr);
        mc.x = p.X;
        mc.y = p.Y;
        mc.cx = p.Width;
        mc.cy = p.Height;
        mc.style = p.Style & ~static_cast<DWORD>(WS_CHILD);
        mc.lParam = reinterpret_cast<LPARAM>(p.Param);
        h = reinterpret_cast<HWND>(SendMessageA(p.WndParent, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mc)));
    } else if (p.Unicode)
        h = CreateWindowExW(p.ExStyle, StringToWide(p.WinClassName, CP_ACP).c_str(),
                            StringToWide(p.Caption, CP_ACP).c_str(), p.Style, p.X, p.Y, p.Width, p.Height, p.WndParent,
                            id, GetModuleHandleA(nullptr), p.Param);
    else
        h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                            p.WndParent, id, GetModuleHandleA(nullptr), p.Param);
    t_creating = saved;
    if (h && !FHandle) BindWindow(h);
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
