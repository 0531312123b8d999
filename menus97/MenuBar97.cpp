#include "MenuBar97.h"

#include "Forms.h"
#include "SysUtils.h"
#include "SystemMenus97.h"

#include <algorithm>

namespace pw {

namespace {

// The state of the menu loop's hook, shared by every bar of the process.
struct TMenuHookState {
    HHOOK Hook = nullptr;
    TCustomMenuBar97* Bar = nullptr;
    TMenuSpeedButton* Button = nullptr;
};
TMenuHookState g_menuHook;

int ControlIndex(const TWinControl* Parent, const TControl* Control)
{
    for (int i = 0; i < Parent->ControlCount(); ++i)
        if (Parent->Controls(i) == Control) return i;
    return -1;
}

// The system menu that the child's first system menu styler keeps (built now when it has
// not been yet), or none.
HMENU StyledSystemMenu(TForm* Child)
{
    for (int i = 0; i < Child->ComponentCount(); ++i)
        if (auto* s = dynamic_cast<TCustomSystemMenus97*>(Child->Components(i))) {
            if (!s->SystemMenu()) s->RebuildSystemMenu();
            return s->SystemMenu();
        }
    return nullptr;
}

TForm* ActiveChildOf(TForm* Frame)
{
    if (!Frame || Frame->FormStyle() != TFormStyle::fsMDIForm) return nullptr;
    return Frame->ActiveMDIChild();
}

} // namespace

// ---- TMenuSpeedButton ----

TMenuSpeedButton::TMenuSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

TMenuSpeedButton::~TMenuSpeedButton()
{
    if (g_menuHook.Button == this) g_menuHook.Button = nullptr;
    if (TCustomMenuBar97* bar = Bar()) bar->ForgetButton(this);
}

TCustomMenuBar97* TMenuSpeedButton::Bar() const { return dynamic_cast<TCustomMenuBar97*>(FParent); }

HMENU TMenuSpeedButton::ChildSystemMenu() const
{
    TCustomMenuBar97* bar = Bar();
    TForm* child = bar ? ActiveChildOf(bar->Form()) : nullptr;
    if (!child) return nullptr;
    return StyledSystemMenu(child);
}

HWND TMenuSpeedButton::FrameWindow() const
{
    TCustomMenuBar97* bar = Bar();
    return bar && ActiveChildOf(bar->Form()) ? bar->Form()->Handle() : nullptr;
}

void TMenuSpeedButton::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (FDropped) return;
    FDropped = true;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FEnabled || !FParent) return;
    HMENU menu = Tag() != 0 ? reinterpret_cast<HMENU>(static_cast<intptr_t>(Tag())) : ChildSystemMenu();
    HWND target = Tag() != 0 ? FTargetWindow : FrameWindow();
    // Only a menu that opens makes this the tracking button: one that drops nothing must not
    // hold the menu bar's synchronisation off until some later menu loop.
    if (!menu || !IsMenu(menu)) return;
    g_menuHook.Button = this;
    POINT p{FLeft, FTop};
    ClientToScreen(FParent->Handle(), &p);
    TrackPopupMenu(menu, 0, p.x, p.y + FHeight, 0, target, nullptr);
}

void TMenuSpeedButton::Press()
{
    MouseDown(TMouseButton::mbLeft, ssLeft, 0, 0);
    // No mouse-up follows a press by the keyboard: a button whose menu closed without the
    // loop letting it go, or that had nothing to drop, comes up now.
    if (FDropped) Release(0, 0);
}

void TMenuSpeedButton::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (!FDropped) return;
    FDropped = false;
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TMenuSpeedButton::Paint()
{
    TSpeedButton::Paint();
    if (Tag() != 0) return;
    RECT r{0, 0, FWidth, FHeight};
    DrawEdge(Canvas()->Handle(), &r, BDR_RAISEDINNER, BF_RECT | BF_FLAT);
}

void TMenuSpeedButton::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_DIALOGCHAR && FEnabled && FVisible &&
        IsMnemonic(static_cast<char>(Message.WParam), Caption())) {
        Press();
        Message.Result = 1;
        return;
    }
    TSpeedButton::WndProc(Message);
}

// ---- TMenuCommandButton ----

TMenuCommandButton::TMenuCommandButton(TComponent* AOwner, UINT Command) : TSpeedButton(AOwner), FCommand(Command) {}

void TMenuCommandButton::MouseDown(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (FMouseDown) return;
    FMouseDown = FPressedLook = true;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    Invalidate();
}

void TMenuCommandButton::MouseUp(TMouseButton Button, unsigned Shift, int X, int Y)
{
    if (!FMouseDown) return;
    FMouseDown = FPressedLook = false;
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    Invalidate();
}

void TMenuCommandButton::MouseMove(unsigned Shift, int X, int Y)
{
    TSpeedButton::MouseMove(Shift, X, Y);
    if (!FMouseDown) return;
    bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
    if (inside != FPressedLook) {
        FPressedLook = inside;
        Invalidate();
    }
}

void TMenuCommandButton::Click()
{
    TSpeedButton::Click();
    if (TCustomMenuBar97* bar = dynamic_cast<TCustomMenuBar97*>(FParent)) bar->DoCommand(FCommand);
}

void TMenuCommandButton::Paint()
{
    UINT state = FCommand == SC_MINIMIZE ? DFCS_CAPTIONMIN
        : FCommand == SC_RESTORE         ? DFCS_CAPTIONRESTORE
                                         : DFCS_CAPTIONCLOSE;
    if (FPressedLook) state |= DFCS_FLAT;
    RECT r{0, 0, FWidth, FHeight};
    DrawFrameControl(Canvas()->Handle(), &r, DFC_CAPTION, state);
}

// ---- TCustomMenuBar97 ----

TCustomMenuBar97::TCustomMenuBar97(TComponent* AOwner) : TCustomPanel(AOwner)
{
    SetCaption("");
    SetBevelOuter(TBevelCut::bvNone);
    for (UINT command : {SC_MINIMIZE, SC_RESTORE, SC_CLOSE}) {
        auto* b = new TMenuCommandButton(this, command);
        b->SetAllowAllUp(true);
        b->SetVisible(false);
        b->SetBounds(1, 1, GetSystemMetrics(SM_CXSMSIZE), GetSystemMetrics(SM_CYSMSIZE));
        b->SetParent(this);
    }
    auto* icon = new TMenuSpeedButton(this);
    icon->SetFlat(true);
    icon->SetAllowAllUp(true);
    icon->SetVisible(false);
    icon->SetBounds(1, 1, FHeight - 2, FHeight - 2);
    icon->SetTag(0);
    icon->SetParent(this);
}

TCustomMenuBar97::~TCustomMenuBar97()
{
    if (g_menuHook.Bar == this) {
        g_menuHook.Bar = nullptr;
        g_menuHook.Button = nullptr;
    }
}

TMenuSpeedButton* TCustomMenuBar97::IconButton() const
{
    return ControlCount() > IconIndex ? dynamic_cast<TMenuSpeedButton*>(Controls(IconIndex)) : nullptr;
}

TMenuCommandButton* TCustomMenuBar97::CommandButton(int Index) const
{
    return Index >= 0 && Index < IconIndex && Index < ControlCount()
        ? dynamic_cast<TMenuCommandButton*>(Controls(Index))
        : nullptr;
}

TMenuSpeedButton* TCustomMenuBar97::MenuButton(int Index) const
{
    if (Index < FirstMenuIndex || Index >= ControlCount()) return nullptr;
    auto* b = dynamic_cast<TMenuSpeedButton*>(Controls(Index));
    return b && b->Visible() ? b : nullptr;
}

void TCustomMenuBar97::SetFullSize(bool Value)
{
    FFullSize = Value;
    UpdateWidth();
}

bool TCustomMenuBar97::AlignedInOwner() const
{
    return FAlign == TAlign::alClient && dynamic_cast<TControl*>(Owner()) != nullptr;
}

int TCustomMenuBar97::MinWidth()
{
    int w = 1;
    for (int i = FirstMenuIndex; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) w += Controls(i)->Width();
    w += 2 * GetSystemMetrics(SM_CXFRAME) + 14;
    if (FMdiButtonsShown || !FFullSize) w += 4 * (GetSystemMetrics(SM_CXSIZE) + 1);
    return w;
}

void TCustomMenuBar97::PlaceCaptionButtons()
{
    TMenuCommandButton* close = CommandButton(CloseIndex);
    if (!close) return;
    int w = close->Width(), h = FHeight;
    const int xs[] = {FWidth - 3 - 3 * w, FWidth - 2 - 2 * w, FWidth - 1 - w};
    for (int i = MinimizeIndex; i <= CloseIndex; ++i) {
        TMenuCommandButton* b = CommandButton(i);
        b->SetBounds(xs[i], (h - b->Height()) / 2, b->Width(), b->Height());
    }
}

void TCustomMenuBar97::UpdateWidth()
{
    if (AlignedInOwner()) {
        auto* owner = dynamic_cast<TControl*>(Owner());
        RECT r = owner->ClientRect();
        int w = FFullSize ? (r.right - r.left) - 14 : MinWidth();
        if (w != FWidth) SetWidth(w);
    }
    if (FMdiButtonsShown && FForm && FForm->FormStyle() == TFormStyle::fsMDIForm && AlignedInOwner())
        PlaceCaptionButtons();
}

void TCustomMenuBar97::ShiftMenuButtons(int By)
{
    for (int i = FirstMenuIndex; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetLeft(c->Left() + By);
    }
}

void TCustomMenuBar97::MakeIconGlyph()
{
    TForm* child = ActiveChildOf(FForm);
    TMenuSpeedButton* icon = IconButton();
    if (!child || !icon) return;
    HICON h = reinterpret_cast<HICON>(SendMessageA(child->Handle(), WM_GETICON, ICON_BIG, 0));
    if (!h) h = reinterpret_cast<HICON>(GetClassLongPtrA(child->Handle(), GCLP_HICON));
    if (!h) h = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (!h) h = LoadIconA(nullptr, IDI_APPLICATION);
    const COLORREF magenta = RGB(255, 0, 255);
    TBitmap a(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    a.Canvas()->Brush()->SetColor(static_cast<TColor>(magenta));
    a.Canvas()->FillRect(RECT{0, 0, a.Width(), a.Height()});
    DrawIconEx(a.Canvas()->Handle(), 0, 0, h, a.Height(), a.Height(), 0, nullptr, DI_NORMAL);
    TBitmap b(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    b.Canvas()->Brush()->SetColor(static_cast<TColor>(magenta));
    b.Canvas()->FillRect(RECT{0, 0, b.Width(), b.Height()});
    SetStretchBltMode(b.Canvas()->Handle(), COLORONCOLOR);
    StretchBlt(b.Canvas()->Handle(), 0, 0, b.Height(), b.Height(), a.Canvas()->Handle(), 0, 0, a.Width(), a.Height(),
               SRCCOPY);
    icon->SetGlyph(&b);
    icon->Glyph()->SetTransparentColor(static_cast<TColor>(magenta));
    icon->Glyph()->SetTransparent(true);
}

void TCustomMenuBar97::ShowMdiButtons(bool Show)
{
    if (Show == FMdiButtonsShown) {
        for (int i = FirstMenuIndex + 1; i < ControlCount(); ++i)
            Controls(i)->SetLeft(Controls(i - 1)->Left() + Controls(i - 1)->Width());
        return;
    }
    FMdiButtonsShown = Show;
    TMenuSpeedButton* icon = IconButton();
    int extra = 4 * (GetSystemMetrics(SM_CXSIZE) + 1);
    if (!Show) {
        if (!AlignedInOwner()) SetWidth(FWidth - extra);
        for (int i = MinimizeIndex; i <= IconIndex; ++i) Controls(i)->SetVisible(false);
        ShiftMenuButtons(-(icon->Width() + 2));
        return;
    }
    UpdateWidth();
    if (!FForm || FForm->FormStyle() != TFormStyle::fsMDIForm) return;
    if (!AlignedInOwner()) SetWidth(FWidth + extra);
    PlaceCaptionButtons();
    icon->SetBounds(icon->Left(), icon->Top(), FHeight, FHeight - 2);
    MakeIconGlyph();
    for (int i = MinimizeIndex; i <= IconIndex; ++i) Controls(i)->SetVisible(true);
    ShiftMenuButtons(icon->Width() + 2);
    if (FFullSize && FForm->HandleAllocated()) {
        RECT r;
        GetWindowRect(FForm->Handle(), &r);
        MoveWindow(FForm->Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
}

void TCustomMenuBar97::DoCommand(UINT Command)
{
    TForm* child = ActiveChildOf(FForm);
    if (!child) {
        ShowMdiButtons(false);
        return;
    }
    switch (Command) {
    case SC_MINIMIZE: child->SetWindowState(TWindowState::wsMinimized); break;
    case SC_CLOSE: child->Close(); break;
    case SC_RESTORE:
        SendMessageA(FForm->ClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(child->Handle()), 0);
        break;
    default: break;
    }
    TForm* active = ActiveChildOf(FForm);
    if ((active && active->WindowState() != TWindowState::wsMaximized) || FForm->MDIChildCount() == 0)
        ShowMdiButtons(false);
}

int TCustomMenuBar97::NextMenuButton(int Index, int Step) const
{
    int n = ControlCount();
    int buttons = n - FirstMenuIndex;
    if (buttons <= 0) return -1;
    int i = std::clamp(Index, FirstMenuIndex - 1, n);
    for (int k = 0; k < buttons; ++k) {
        i += Step;
        if (i < FirstMenuIndex) i = n - 1;
        if (i >= n) i = FirstMenuIndex;
        if (MenuButton(i)) return i;
    }
    return -1;
}

void TCustomMenuBar97::SetHot(bool Hot)
{
    if (TMenuSpeedButton* b = MenuButton(FHotIndex)) b->Perform(Hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

void TCustomMenuBar97::ToggleKeyboardMode()
{
    FDroppedByKeyboard = false;
    if (FKeyboardMode) {
        SetHot(false);
        FKeyboardMode = false;
        return;
    }
    int first = NextMenuButton(FirstMenuIndex - 1, 1);
    if (first < 0) return; // nothing to move over
    FKeyboardMode = true;
    FHotIndex = first;
    SetHot(true);
    SetFocus();
}

bool TCustomMenuBar97::KeyDown(WPARAM Key)
{
    if (!FKeyboardMode) return false;
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT: {
        int next = NextMenuButton(FHotIndex, Key == VK_LEFT ? -1 : 1);
        if (next < 0) return true;
        SetHot(false);
        FHotIndex = next;
        SetHot(true);
        return true;
    }
    case VK_ESCAPE:
        ToggleKeyboardMode(); // leaves it
        return true;
    case VK_DOWN:
        if (TMenuSpeedButton* b = MenuButton(FHotIndex)) {
            FDroppedByKeyboard = true;
            b->Press();
        }
        return true;
    default: return false;
    }
}

void TCustomMenuBar97::EnterMenuLoop()
{
    InstallMenuHook();
    g_menuHook.Bar = this;
    FLoopHot = nullptr;
    if (!g_menuHook.Button && ControlCount() > IconIndex && !FKeyboardMode)
        if (TMenuSpeedButton* first = MenuButton(NextMenuButton(FirstMenuIndex - 1, 1))) {
            g_menuHook.Button = first;
            first->Perform(CM_MOUSEENTER, 0, 0);
            FLoopHot = first;
        }
}

void TCustomMenuBar97::ExitMenuLoop()
{
    RemoveMenuHook();
    TMenuSpeedButton* b = g_menuHook.Button;
    if (b && b->Dropped()) {
        b->Release(b->Left() + 1, b->Top() + 1);
        if (FKeyboardMode) b->Perform(CM_MOUSEENTER, 0, 0);
    }
    // The button lit only because a loop of the system's began (Alt and a letter, the
    // system menu) goes dark with the loop.
    if (FLoopHot && FLoopHot == b && !b->Dropped() && !FKeyboardMode) b->Perform(CM_MOUSELEAVE, 0, 0);
    FLoopHot = nullptr;
    g_menuHook.Bar = nullptr;
    g_menuHook.Button = nullptr;
}

void TCustomMenuBar97::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        if (FKeyboardMode) {
            Message.Result = DLGC_WANTARROWS;
            return;
        }
        break;
    case WM_KEYDOWN:
        if (KeyDown(Message.WParam)) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == 0) {
            ToggleKeyboardMode();
            Message.Result = 0;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        for (int i = FirstMenuIndex; i < ControlCount(); ++i)
            if (Controls(i)->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam)) {
                Message.Result = 1;
                return;
            }
        Message.Result = 0;
        return;
    default: break;
    }
    TCustomPanel::WndProc(Message);
}

// ---- The menu loop's hook ----

namespace {

// Moves the open menu to B: the open button is let go, and a press posted at B closes the
// open menu (a click outside it) and then reaches B, which drops its own.
LRESULT SwitchTo(TMenuSpeedButton* B, POINT ReleaseAt, POINT PressAt)
{
    if (TMenuSpeedButton* open = g_menuHook.Button)
        open->Release(ReleaseAt.x - open->Left(), ReleaseAt.y - open->Top());
    g_menuHook.Button = B;
    g_menuHook.Bar->SetHotIndex(ControlIndex(g_menuHook.Bar, B));
    PostMessageA(g_menuHook.Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(PressAt.x, PressAt.y));
    return 1;
}

TMenuSpeedButton* MenuButtonAt(TCustomMenuBar97* Bar, POINT Client)
{
    auto* b = dynamic_cast<TMenuSpeedButton*>(Bar->ControlAtPos(Client, false));
    return b && b->Parent() == Bar ? b : nullptr;
}

LRESULT ArrowKey(WPARAM Key)
{
    TCustomMenuBar97* bar = g_menuHook.Bar;
    int i = g_menuHook.Button ? ControlIndex(bar, g_menuHook.Button) : -1;
    if (i < TCustomMenuBar97::FirstMenuIndex) i = bar->ControlCount();
    int next = bar->NextMenuButton(i, Key == VK_LEFT ? -1 : 1);
    TMenuSpeedButton* b = bar->MenuButton(next);
    if (!b) return 0;
    bar->SetHotIndex(next);
    if (b == g_menuHook.Button) return 0;
    POINT corner{b->Left(), b->Top()};
    return SwitchTo(b, corner, corner);
}

LRESULT HookMessage(MSG& Msg)
{
    TCustomMenuBar97* bar = g_menuHook.Bar;
    switch (Msg.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
        if (!bar->HandleAllocated()) return 0;
        ScreenToClient(bar->Handle(), &p);
        TMenuSpeedButton* b = MenuButtonAt(bar, p);
        if (!b) return 0;
        if (Msg.message == WM_MOUSEMOVE) return b != g_menuHook.Button ? SwitchTo(b, p, p) : 0;
        if (b != g_menuHook.Button) return 0;
        // A click on the open menu's own button closes the menu.
        EndMenu();
        b->Release(p.x - b->Left(), p.y - b->Top());
        bar->SetDroppedByKeyboard(false);
        return 1;
    }
    case WM_SYSKEYDOWN:
        if (Msg.wParam == VK_MENU) bar->SetDroppedByKeyboard(false);
        return 0;
    case WM_KEYDOWN:
        if (Msg.wParam == VK_ESCAPE) bar->SetDroppedByKeyboard(false);
        if (Msg.wParam == VK_LEFT || Msg.wParam == VK_RIGHT) return ArrowKey(Msg.wParam);
        return 0;
    default: return 0;
    }
}

LRESULT CALLBACK MenuHookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    return Firewall<LRESULT>(
        [&]() -> LRESULT {
            if (Code == MSGF_MENU && g_menuHook.Bar)
                if (LRESULT r = HookMessage(*reinterpret_cast<MSG*>(LParam))) return r;
            return CallNextHookEx(g_menuHook.Hook, Code, WParam, LParam);
        },
        0);
}

} // namespace

HHOOK MenuHook() { return g_menuHook.Hook; }

void InstallMenuHook()
{
    if (!g_menuHook.Hook)
        g_menuHook.Hook = SetWindowsHookExA(WH_MSGFILTER, MenuHookProc, nullptr, GetCurrentThreadId());
}

void RemoveMenuHook()
{
    if (g_menuHook.Hook) UnhookWindowsHookEx(g_menuHook.Hook);
    g_menuHook.Hook = nullptr;
}

TCustomMenuBar97* HookBar() { return g_menuHook.Bar; }
void SetHookBar(TCustomMenuBar97* Bar) { g_menuHook.Bar = Bar; }
TMenuSpeedButton* HookButton() { return g_menuHook.Button; }
void SetHookButton(TMenuSpeedButton* Button) { g_menuHook.Button = Button; }

} // namespace pw
