#include "Forms.h"

#include "Guards.h"
#include "Menus.h"
#include "Subclass.h"
#include "SysUtils.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>

namespace pw {

TApplication* Application = nullptr;

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner)
{
    FVisible = false;
    FWidth = 320;
    FHeight = 240;
}

TForm::~TForm()
{
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            HandleCallbackException();
        }
    }
    FDeleting = true;
    DestroyComponents();
    if (FHandle) DestroyHandle();
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TForm::AfterConstruction()
{
    if (FCreated) return;
    FCreated = true;
    if (OnCreate) OnCreate(this);
}

void TForm::SetFormStyle(TFormStyle s)
{
    if (FFormStyle == s) return;
    FFormStyle = s;
    if (s == TFormStyle::fsMDIChild) FVisible = true;
    RecreateWnd();
}

void TForm::SetBorderStyle(TFormBorderStyle b)
{
    if (FBorderStyle == b) return;
    FBorderStyle = b;
    RecreateWnd();
}

void TForm::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    // Each kind has a class of its own: a class is registered once, with the first form's
    // background, and an MDI frame has none (its client window covers it).
    Params.WinClassName = FFormStyle == TFormStyle::fsMDIChild ? "TPwMDIChild"
        : FFormStyle == TFormStyle::fsMDIForm                  ? "TPwMDIForm"
                                                               : "TPwForm";
    Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = 0;
    Params.WndParent = nullptr;
    switch (FBorderStyle) {
    case TFormBorderStyle::bsNone: Params.Style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle:
        Params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER;
        break;
    case TFormBorderStyle::bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case TFormBorderStyle::bsToolWindow:
        Params.Style |= WS_CAPTION | WS_SYSMENU;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    default: Params.Style |= WS_OVERLAPPEDWINDOW; break;
    }
    if (FFormStyle == TFormStyle::fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (FFormStyle == TFormStyle::fsMDIChild) {
        Params.Style |= WS_CHILD | WS_VISIBLE;
        Params.ExStyle |= WS_EX_MDICHILD;
        // The frame is the owner when that is an MDI frame, otherwise the main form.
        auto* main = dynamic_cast<TForm*>(Owner());
        if (!main || main->FFormStyle != TFormStyle::fsMDIForm) main = Application ? Application->MainForm() : nullptr;
        if (!main || main->FFormStyle != TFormStyle::fsMDIForm)
            throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        Params.WndParent = main->ClientHandle();
        if (FPosition == TPosition::poDefault || FPosition == TPosition::poDefaultPosOnly) {
            Params.X = CW_USEDEFAULT;
            Params.Y = CW_USEDEFAULT;
        }
    } else if (FPosition == TPosition::poScreenCenter || FPosition == TPosition::poMainFormCenter) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        Params.X = work.left + ((work.right - work.left) - FWidth) / 2;
        Params.Y = work.top + ((work.bottom - work.top) - FHeight) / 2;
        FLeft = Params.X;
        FTop = Params.Y;
    }
    Params.Background = FFormStyle == TFormStyle::fsMDIForm ? nullptr : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Params.ClassStyle = CS_DBLCLKS;
}

namespace {

// The MDI client shows its scroll bars while a document reaches past its edges. The system
// works the bars out one after the other against the client size it read first; when putting
// up or taking away the first bar resizes the client, the second is decided on a stale size
// (a vertical bar that stays for nothing). And once both bars are gone, some systems (Wine)
// no longer work them out at all. Both are put right after each calculation. Link is the
// client's subclass link, which also keeps an exception from leaving the procedure.
constexpr UINT WM_MDICALCCHILDSCROLL_ = 0x003F;

void MDIClientScroll(TWindowSubclass& Link, TMessage& Message)
{
    if (Message.Msg != WM_MDICALCCHILDSCROLL_) {
        Link.CallPrevious(Message);
        return;
    }
    HWND h = Link.Window();
    RECT before, after;
    GetClientRect(h, &before);
    Link.CallPrevious(Message);
    GetClientRect(h, &after);
    auto again = [&Link, &after] {
        TMessage size{WM_SIZE, SIZE_RESTORED, MAKELPARAM(after.right, after.bottom), 0};
        Link.CallPrevious(size);
    };
    if (before.right != after.right || before.bottom != after.bottom) {
        again(); // worked out once more on the size the client has now
        return;
    }
    if (GetWindowLongA(h, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) return;
    RECT all = after;
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(c, GWL_STYLE);
        if (style & WS_MAXIMIZE) return;
        if (!(style & WS_VISIBLE)) continue;
        RECT cr;
        GetWindowRect(c, &cr);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&cr), 2);
        UnionRect(&all, &all, &cr);
    }
    bool vertical = all.top < after.top || all.bottom > after.bottom;
    bool horizontal = all.left < after.left || all.right > after.right;
    if (!vertical && !horizontal) return;
    ShowScrollBar(h, vertical ? SB_VERT : SB_HORZ, TRUE);
    GetClientRect(h, &after);
    again();
}

} // namespace

void TForm::CreateMDIClient()
{
    CLIENTCREATESTRUCT ccs = {};
    ccs.hWindowMenu = FWindowMenu;
    ccs.idFirstChild = 0xFF00;
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL,
                                    0, 0, 100, 100, FHandle, nullptr, GetModuleHandleA(nullptr), &ccs);
    if (!FClientHandle) RaiseLastOSError("Cannot create the MDI client window");
    FClientScroll = std::make_unique<TWindowSubclass>(
        FClientHandle, [this](TMessage& Message) { MDIClientScroll(*FClientScroll, Message); });
}

void TForm::CreateWnd()
{
    TWinControl::CreateWnd();
    if (FMenu) ::SetMenu(FHandle, FMenu->Handle());
    if (FDialogKeys && FHandle && Application) Application->AddModelessDialog(FHandle);
    if (FFormStyle == TFormStyle::fsMDIForm && !FClientHandle) {
        if (FWindowMenuItem) FWindowMenu = FWindowMenuItem->Handle();
        CreateMDIClient();
        AlignControls();
    }
    MenuChanged();
}

void TForm::SetDialogKeys(bool v)
{
    if (v == FDialogKeys) return;
    FDialogKeys = v;
    if (!FHandle || !Application) return;
    if (v) Application->AddModelessDialog(FHandle);
    else Application->RemoveModelessDialog(FHandle);
}

void TForm::DestroyWnd()
{
    if (FDialogKeys && FHandle && Application) Application->RemoveModelessDialog(FHandle);
    TWinControl::DestroyWnd();
}

void TForm::DestroyWindowHandle()
{
    if (FFormStyle == TFormStyle::fsMDIChild && FHandle) {
        HWND client = GetParent(FHandle);
        if (client) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
        else DestroyWindow(FHandle);
        FHandle = nullptr;
        return;
    }
    TWinControl::DestroyWindowHandle();
}

void TForm::WindowDestroyed()
{
    FClientScroll.reset();
    FClientHandle = nullptr;
    FActive = false;
}

void TForm::SetClientWidth(int w)
{
    int delta = FWidth - ClientWidth();
    SetWidth(w + delta);
}

void TForm::SetClientHeight(int h)
{
    int delta = FHeight - ClientHeight();
    SetHeight(h + delta);
}

TWindowState TForm::WindowState()
{
    if (!FHandle) return FWindowState;
    if (IsIconic(FHandle)) return TWindowState::wsMinimized;
    if (IsZoomed(FHandle)) return TWindowState::wsMaximized;
    return TWindowState::wsNormal;
}

void TForm::SetWindowState(TWindowState s)
{
    FWindowState = s;
    if (!FHandle || !FVisible) return;
    int cmd = s == TWindowState::wsMinimized ? SW_MINIMIZE : s == TWindowState::wsMaximized ? SW_MAXIMIZE : SW_RESTORE;
    ShowWindow(FHandle, cmd);
}

void TForm::SetMenu(TMainMenu* m)
{
    FMenu = m;
    if (m) {
        m->SetWindowForm(this);
        m->FreeNotification(this); // a form going down frees its menu before its window
    }
    MenuChanged();
}

void TForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FMenu) FMenu = nullptr;
}

void TForm::SetWindowMenuItem(TMenuItem* Item)
{
    FWindowMenuItem = Item;
    MenuChanged();
}

void TForm::MenuChanged()
{
    if (!FHandle || FFormStyle == TFormStyle::fsMDIChild) return;
    HMENU bar = FMenu ? FMenu->Handle() : nullptr;
    FWindowMenu = FWindowMenuItem ? FWindowMenuItem->Handle() : nullptr;
    if (FClientHandle && bar) {
        SendMessageA(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar),
                     reinterpret_cast<LPARAM>(FWindowMenu));
        SendMessageA(FClientHandle, WM_MDIREFRESHMENU, 0, 0);
    } else if (GetMenu(FHandle) != bar) {
        ::SetMenu(FHandle, bar);
    }
    SendMessageA(FHandle, CM_MENUCHANGED, 0, reinterpret_cast<LPARAM>(FMenu));
    DrawMenuBar(FHandle);
}

int TForm::MDIChildCount()
{
    int n = 0;
    if (!FClientHandle) return 0;
    for (HWND h = GetWindow(FClientHandle, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindow(h, GW_OWNER) == nullptr && dynamic_cast<TForm*>(FindControl(h))) ++n;
    return n;
}

TForm* TForm::MDIChildren(int i)
{
    if (!FClientHandle) return nullptr;
    for (HWND h = GetWindow(FClientHandle, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (auto* f = dynamic_cast<TForm*>(FindControl(h)); f && GetWindow(h, GW_OWNER) == nullptr && i-- == 0)
            return f;
    return nullptr;
}

TForm* TForm::ActiveMDIChild()
{
    if (!FClientHandle) return nullptr;
    HWND h = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(FindControl(h));
}

void TForm::Cascade()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDICASCADE, 0, 0);
}
void TForm::Tile()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}
void TForm::ArrangeIcons()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDIICONARRANGE, 0, 0);
}
void TForm::Next()
{
    if (FClientHandle) SendMessageA(FClientHandle, WM_MDINEXT, 0, 0);
}

void TForm::Show()
{
    SetVisible(true);
    BringToFront();
    // The window may have taken the focus before its controls existed.
    if (FActiveControl && FActiveControl->HandleAllocated() && GetFocus() == FHandle)
        ::SetFocus(FActiveControl->Handle());
}

void TForm::BringToFront()
{
    if (!FHandle) return;
    if (FFormStyle == TFormStyle::fsMDIChild)
        SendMessageA(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
    else SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool TForm::CloseQuery()
{
    if (FFormStyle == TFormStyle::fsMDIForm) {
        for (int i = 0; i < MDIChildCount(); ++i)
            if (TForm* c = MDIChildren(i); c && !c->CloseQuery()) return false;
    }
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::DoClose(TCloseAction& Action)
{
    if (OnClose) OnClose(this, Action);
}

void TForm::Close()
{
    if (FInModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = FFormStyle == TFormStyle::fsMDIChild ? TCloseAction::caMinimize : TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
    } else if (action == TCloseAction::caHide) {
        Hide();
    } else if (action == TCloseAction::caMinimize) {
        SetWindowState(TWindowState::wsMinimized);
    } else {
        Release();
    }
}

static BOOL CALLBACK CollectEnabledWindow(HWND h, LPARAM p)
{
    return Firewall<BOOL>(
        [&]() -> BOOL {
            auto* v = reinterpret_cast<std::vector<HWND>*>(p);
            if (IsWindowVisible(h) && IsWindowEnabled(h)) v->push_back(h);
            return TRUE;
        },
        FALSE);
}

int TForm::ShowModal()
{
    if (FVisible || FInModal) throw EInvalidOperation("Cannot make a visible window modal");
    std::vector<HWND> disabled;
    HWND self = Handle();
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(std::remove(disabled.begin(), disabled.end(), self), disabled.end());
    for (HWND h : disabled) EnableWindow(h, FALSE);
    FInModal = true;
    FModalResult = mrNone;
    {
        TScopeExit end([this, &disabled] {
            FInModal = false;
            for (HWND h : disabled) EnableWindow(h, TRUE);
            Hide();
        });
        Show();
        while (FModalResult == mrNone && Application && !Application->Terminated()) Application->HandleMessage();
    }
    return FModalResult;
}

void TForm::SetActiveControl(TWinControl* c)
{
    FActiveControl = c;
    if (c && FHandle && c->CanFocus()) c->SetFocus();
}

void TForm::Activate()
{
    FActive = true;
    if (FActiveControl && FActiveControl->HandleAllocated() && IsWindowVisible(FActiveControl->Handle()))
        ::SetFocus(FActiveControl->Handle());
    if (OnActivate && !Destroying()) OnActivate(this);
}

void TForm::Deactivate()
{
    FActive = false;
    if (OnDeactivate && !Destroying()) OnDeactivate(this);
}

bool TForm::IsShortCut(const MSG& Msg)
{
    if (!FMenu) return false;
    return FMenu->IsShortCut(ShortCut(static_cast<WORD>(Msg.wParam), KeyShiftState()));
}

void TForm::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The form shows its Color; a frame's client area is its MDI client's.
        if (FFormStyle != TFormStyle::fsMDIForm) {
            RECT r;
            GetClientRect(FHandle, &r);
            FColorBrush.SetColor(FColor);
            ::FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FColorBrush.Handle());
            Message.Result = 1;
            return;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        // Static texts stand on the form's colour, in their own font's colour.
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        TWinControl* c = FindControl(reinterpret_cast<HWND>(Message.LParam));
        FColorBrush.SetColor(FColor);
        SetTextColor(dc, ColorToRGB(c ? c->Font()->Color() : clWindowText));
        SetBkColor(dc, ColorToRGB(FColor));
        Message.Result = reinterpret_cast<LRESULT>(FColorBrush.Handle());
        return;
    }
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_COMMAND:
        // Enter and Esc of the dialog navigation arrive as IDOK and IDCANCEL without a sender.
        if (FDialogKeys && Message.LParam == 0 && HIWORD(Message.WParam) <= 1 &&
            (LOWORD(Message.WParam) == IDOK || LOWORD(Message.WParam) == IDCANCEL)) {
            DialogKey(LOWORD(Message.WParam));
            return;
        }
        // Menu commands arrive with no control window; MDI window-list ids go to the frame.
        if (Message.LParam == 0 && HIWORD(Message.WParam) <= 1) {
            if (TMenuItem* item = TMenuItem::FindByCommand(LOWORD(Message.WParam))) {
                item->Click();
                return;
            }
        }
        break;
    case WM_SETFOCUS:
        // The form passes the keyboard focus on to its active control.
        DefaultHandler(Message);
        if (FActiveControl && FActiveControl->HandleAllocated() && IsWindowVisible(FActiveControl->Handle()))
            ::SetFocus(FActiveControl->Handle());
        return;
    case WM_SETTEXT:
        DefaultHandler(Message);
        // The frame's window list shows the new caption.
        if (FFormStyle == TFormStyle::fsMDIChild) {
            HWND client = GetParent(FHandle);
            SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
            DrawMenuBar(GetParent(client));
        }
        return;
    case WM_SHOWWINDOW:
        DefaultHandler(Message);
        if (Destroying()) return;
        if (Message.WParam) {
            if (OnShow) OnShow(this);
        } else if (OnHide) OnHide(this);
        return;
    case WM_ACTIVATE:
        DefaultHandler(Message);
        if (FFormStyle != TFormStyle::fsMDIChild) {
            if (LOWORD(Message.WParam) != WA_INACTIVE) Activate();
            else Deactivate();
        }
        return;
    case WM_MDIACTIVATE:
        DefaultHandler(Message);
        if (reinterpret_cast<HWND>(Message.LParam) == FHandle) Activate();
        else if (reinterpret_cast<HWND>(Message.WParam) == FHandle) Deactivate();
        return;
    case WM_SIZE:
        if (FFormStyle == TFormStyle::fsMDIForm) {
            // The frame lays out its client window itself, after the aligned bars.
            Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
            AlignControls();
            if (FClientHandle) {
                RECT r = ClientRect();
                for (TControl* c : FControls) {
                    if (!c->Visible()) continue;
                    if (c->Align() == TAlign::alTop) r.top = std::max<LONG>(r.top, c->Top() + c->Height());
                    if (c->Align() == TAlign::alBottom) r.bottom = std::min<LONG>(r.bottom, c->Top());
                }
                MoveWindow(FClientHandle, r.left, r.top, r.right - r.left, std::max(0L, r.bottom - r.top), TRUE);
            }
            return;
        }
        break;
    default: break;
    }
    TWinControl::WndProc(Message);
}

void TForm::DefaultHandler(TMessage& Message)
{
    if (FHandle && !(Message.Msg >= CM_BASE && Message.Msg < CM_BASE + 0x1000)) {
        if (FFormStyle == TFormStyle::fsMDIForm) {
            Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        if (FFormStyle == TFormStyle::fsMDIChild) {
            Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    }
    TWinControl::DefaultHandler(Message);
}

// ---- TApplication ----

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    if (!Application) Application = this;
}

TApplication::~TApplication()
{
    DestroyComponents();
    for (HWND h : FDialogs) (void)h;
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc,
                                ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    OleInitialize(nullptr);
    // Menus tracked as pop-ups are owned by the utility window: it exists from start-up, so
    // whatever wants to see their messages can find it.
    PopupUtilWindow();
}

void TApplication::SetHint(const std::string& h)
{
    if (h == FHint) return;
    FHint = h;
    if (OnHint) OnHint(this);
}

int TApplication::Run()
{
    if (FMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
    return FExitCode;
}

void TApplication::Terminate()
{
    if (!FTerminated) PostQuitMessage(0);
}

void TApplication::CancelTerminate()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    FTerminated = false;
}

bool TApplication::IsPreprocessMessage(MSG& Msg)
{
    for (auto& f : MessageFilters)
        if (f && f(Msg)) return true;
    for (HWND d : FDialogs)
        if (IsWindow(d) && (d == Msg.hwnd || IsChild(d, Msg.hwnd)) && IsDialogMessageA(d, &Msg)) return true;
    if (FMainForm && FMainForm->HandleAllocated()) {
        if (HWND client = FMainForm->ClientHandle(); client && TranslateMDISysAccel(client, &Msg)) return true;
        if ((Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) && FMainForm->IsShortCut(Msg)) return true;
    }
    return false;
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        FExitCode = static_cast<int>(Msg.wParam);
        return true;
    }
    try {
        if (!IsPreprocessMessage(Msg)) {
            TranslateMessage(&Msg);
            DispatchMessageA(&Msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::HandleMessage()
{
    MSG msg;
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == -1) return;
    if (r == 0) {
        FTerminated = true;
        FExitCode = static_cast<int>(msg.wParam);
        return;
    }
    ProcessMessage(msg);
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (!FTerminated && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ProcessMessage(msg);
}

void TApplication::HandleException(TObject* Sender)
{
    try {
        throw;
    } catch (const EAbort&) {
        // silent
    } catch (const std::exception& e) {
        if (OnException) OnException(Sender, e);
        else ShowException(e.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
}

void TApplication::ShowException(const std::string& Message)
{
    std::string text = Message;
    if (!text.empty() && text.back() != '.' && text.back() != '!' && text.back() != '?') text += '.';
    MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags, HWND Owner)
{
    if (MessageBoxResponder) return MessageBoxResponder(Text, Caption, Flags);
    HWND owner = Owner ? Owner : GetActiveWindow();
    if (!owner && FMainForm && FMainForm->HandleAllocated()) owner = FMainForm->Handle();
    return MessageBoxA(owner, Text.c_str(), Caption.c_str(), Flags);
}

void TApplication::AddModelessDialog(HWND h)
{
    if (std::find(FDialogs.begin(), FDialogs.end(), h) == FDialogs.end()) FDialogs.push_back(h);
}

void TApplication::RemoveModelessDialog(HWND h)
{
    FDialogs.erase(std::remove(FDialogs.begin(), FDialogs.end(), h), FDialogs.end());
}

} // namespace pw
