#include "WindowClasses.h"

#include "Forms.h"
#include "SysUtils.h"

#include <cstring>
#include <map>

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

namespace {

struct TClassEntry {
    WNDPROC DefProc;
};
std::map<std::string, TClassEntry>& ClassTable()
{
    static std::map<std::string, TClassEntry> table;
    return table;
}

} // namespace

WNDPROC RegisterControlClass(const TCreateParams& p)
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
    wc.lpfnWndProc = &TWindowBinding::StdWndProc;
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

} // namespace pw
