#include "Controls.h"

#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"

#include <optional>

namespace pw {

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

} // namespace pw
