// Controls: the visual base, and windowed controls bound to a Win32 window.
#pragma once
#include "Classes.h"
#include "Graphics.h"

#include "WinApi.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

// A message as it travels through a control's dispatch.
struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Framework messages (component messages, and notifications reflected back to the child).
enum : UINT {
    CM_BASE = 0xB000,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FONTCHANGED = CM_BASE + 9,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21, // a menu's items were rebuilt: stylers make them theirs again
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWINGCHANGED = CM_BASE + 34,
    CM_RECREATEWND = CM_BASE + 51,
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
    CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
    CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
    CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
    CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
    CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

constexpr int crDefault = 0, crArrow = -2, crIBeam = -4, crHandPoint = -21, crDrag = -12, crHourGlass = -11,
              crSizeWE = -9;
HCURSOR CursorHandle(int cursor);

class TWinControl;
class TPopupMenu;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, unsigned Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, unsigned Shift, int X, int Y)>;

// Anything visible that sits on a parent: bounds, alignment, visibility.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect();

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign a);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& h) { FHint = h; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    int Cursor() const { return FCursor; }
    void SetCursor(int c) { FCursor = c; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* m);

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* f) { FFont->Assign(f); }
    TColor Color() const { return FColor; }
    virtual void SetColor(TColor c);

    // Text of the control (window text for windowed controls).
    virtual std::string Text();
    virtual void SetText(const std::string& s);
    std::string Caption() { return Text(); }
    void SetCaption(const std::string& s) { SetText(s); }

    // Sends a message straight through this control's own dispatch.
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    virtual void Invalidate();
    void Update();
    void Repaint()
    {
        Invalidate();
        Update();
    }

    // The point in this control's coordinates of a point in its parent's, and back.
    POINT ParentToClient(POINT p) const { return POINT{p.x - FLeft, p.y - FTop}; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    // Mouse events, fired after the control has handled the message; Shift holds ssShift,
    // ssAlt, ssCtrl and the buttons down (ssLeft, ssRight, ssMiddle), ssDouble on a double click.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    friend class TWinControl;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, unsigned Shift, int X, int Y);
    virtual void MouseMove(unsigned Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, unsigned Shift, int X, int Y);
    // Handles a mouse message whose coordinates are in this control's client area.
    bool MouseMessage(TMessage& Message);
    virtual void FontChanged();
    virtual void RequestAlign();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = TAlign::alNone;
    bool FVisible = true;
    bool FEnabled = true;
    bool FShowHint = false;
    int FCursor = crDefault;
    std::string FText;
    std::string FHint;
    std::unique_ptr<TFont> FFont;
    TColor FColor = clBtnFace;
    TPopupMenu* FPopupMenu = nullptr;
    bool FClickEvents = false; // Click on a left button release inside, DblClick on a double click
    bool FCaptureMouse = false; // the window holds the mouse while a button is down
    bool FClickPending = false;
};

// Parameters for creating a control's window.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    // Our window class name; when SubclassOf names an existing class, ours is registered
    // as a copy of it whose messages come to this control first.
    std::string WinClassName;
    std::string SubclassOf;
    bool Unicode = false; // register and call the class through its UTF-16 procedure
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
    HCURSOR ClassCursor = nullptr;
};

// A control with a window of its own. The window is created on demand, bound to this object
// for its whole life, and its messages go through WndProc. Exceptions never leave a window
// procedure: they reach Application->HandleException.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // Explicit parent window for controls whose parent is not one of ours.
    void SetParentWindow(HWND h) { FParentWindow = h; }
    HWND ParentWindow() const { return FParentWindow; }

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int i) const { return FControls.at(static_cast<size_t>(i)); }
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);

    bool Focused();
    virtual void SetFocus();
    bool CanFocus();
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int v) { FTabOrder = v; }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    RECT ClientRect() override;
    void SetVisible(bool v) override;
    void SetEnabled(bool v) override;
    std::string Text() override;
    void SetText(const std::string& s) override;
    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Destroys the window now (children go with it); the object stays.
    void DestroyHandle();
    // Destroys and creates the window again, keeping what the control keeps.
    void RecreateWnd();
    // Frees the object once the outermost message of its window has returned.
    void Release();
    // Lays out children by their Align.
    virtual void AlignControls();
    bool InMessage() const { return FMessageDepth > 0; }

    // The control bound to a window of ours, or nullptr.
    static TWinControl* FindControl(HWND h);
    // The visible window-less child under a client point (topmost first), or nullptr.
    TControl* GraphicControlAt(POINT p);
    // The visible child (window-less or windowed) under a client point, topmost first;
    // disabled ones only when AllowDisabled. nullptr when there is none.
    virtual TControl* ControlAtPos(POINT p, bool AllowDisabled);
    // The window-less child the mouse is over (it has had CM_MOUSEENTER), or nullptr.
    TControl* MouseOverControl() const { return FHotControl; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    std::function<void(TObject*, WORD& Key, unsigned Shift)> OnKeyDown;
    std::function<void(TObject*, WORD& Key, unsigned Shift)> OnKeyUp;
    std::function<void(TObject*, char& Key)> OnKeyPress;
    TNotifyEvent OnResize;

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Runs just before the window is destroyed (the window still exists).
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Called when WM_NCDESTROY has unbound the window.
    virtual void WindowDestroyed() {}
    void FontChanged() override;
    virtual void Resize();
    // Runs OnKeyDown, OnKeyUp or OnKeyPress for a key message; true when the key was eaten.
    bool DoKeyMessage(TMessage& Message);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    bool FUnicodeWindow = false;
    bool FDeleting = false;
    std::vector<TControl*> FControls;

private:
    friend struct TWindowBinding;
    HWND FParentWindow = nullptr;
    bool FTabStop = false;
    int FTabOrder = -1;
    int FMessageDepth = 0;
    bool FReleasePending = false;
    void BindWindow(HWND h);
    void UnbindWindow();
    TControl* FMouseControl = nullptr; // window-less child holding the mouse while a button is down
    TControl* FHotControl = nullptr; // window-less child under the mouse
    void TrackHotControl(TControl* c);
    friend class TCustomControl;
    void ReflectNotification(TMessage& Message);
    bool RouteMouseToGraphic(TMessage& Message);
    void PaintHandler(TMessage& Message);
    void PaintGraphicControls(HDC dc, const RECT& Update);
    bool HasGraphicControls() const;
};

// A control without a window of its own: its parent paints it and passes it the mouse.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Valid while the control paints (the parent's DC, origin at this control's top-left).
    TCanvas* Canvas() { return FCanvas.get(); }
    // Paints the control on a DC whose origin is at the control's top-left.
    void PaintTo(HDC dc);

protected:
    friend class TWinControl;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A windowed control that draws itself: WM_PAINT calls Paint with Canvas on the paint DC.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return FCanvas.get(); }
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
};

unsigned KeyShiftState();
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
// The shift state of a mouse message's key flags (MK_*), with the modifier keys.
unsigned MouseShiftState(WPARAM Keys);

// Runs f, handing any exception to the application's handler; gives onError then.
template <class R, class F>
R Firewall(F&& f, R onError);
void HandleCallbackException();

template <class R, class F>
R Firewall(F&& f, R onError)
{
    try {
        return f();
    } catch (...) {
        HandleCallbackException();
        return onError;
    }
}

} // namespace pw
