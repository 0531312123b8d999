#include "MenuToolBar.h"

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "Menus97.h"
#include "Subclass.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace pw {

namespace {

// Posted to the tool bar: drop the menu that the keyboard chose.
constexpr UINT CM_KEYDROP = CM_BASE + 0x1F0;
// The window class of the system's menu windows.
constexpr char MenuWindowClass[] = "#32768";

// The menu loop of a tool bar menu: its hook and the button whose menu is open.
struct TToolHookState {
    HHOOK Hook = nullptr;
    TToolButton* Button = nullptr;
    bool SwitchPosted = false; // the press that moves to another button is on its way
};
TToolHookState g_toolHook;

LRESULT CALLBACK ToolBarHookProc(int Code, WPARAM WParam, LPARAM LParam);

// Installs the hook for one drop of a menu; the hook and the button go when the menu ends,
// however it ends.
class TToolMenuScope {
public:
    explicit TToolMenuScope(TToolButton* Button)
    {
        g_toolHook.Button = Button;
        g_toolHook.SwitchPosted = false;
        if (!g_toolHook.Hook)
            g_toolHook.Hook = SetWindowsHookExA(WH_MSGFILTER, ToolBarHookProc, nullptr, GetCurrentThreadId());
    }
    ~TToolMenuScope()
    {
        if (g_toolHook.Hook) UnhookWindowsHookEx(g_toolHook.Hook);
        g_toolHook = TToolHookState{};
    }
    TToolMenuScope(const TToolMenuScope&) = delete;
    TToolMenuScope& operator=(const TToolMenuScope&) = delete;
};

LRESULT ToolHookMessage(MSG& Msg)
{
    TToolButton* open = g_toolHook.Button;
    auto* bar = dynamic_cast<TToolBar*>(open->Parent());
    if (!bar || !bar->HandleAllocated()) return 0;
    POINT p{static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
    ScreenToClient(bar->Handle(), &p);
    RECT client = bar->ClientRect();
    if (!PtInRect(&client, p)) return 0;
    TControl* under = bar->ControlAtPos(p, false);
    if (Msg.message == WM_MOUSEMOVE) {
        // Onto another button or off the buttons: one press there closes this menu (a click
        // outside it) and, on a button, drops that button's menu.
        if (under != open && !g_toolHook.SwitchPosted) {
            g_toolHook.SwitchPosted = true;
            PostMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        }
        return 0;
    }
    if (Msg.message == WM_LBUTTONDOWN && under == open) {
        EndMenu(); // a click on the open menu's own button closes it
        return 1;
    }
    return 0;
}

// The menus of this thread that are open on the screen.
BOOL CALLBACK AddOpenMenu(HWND Window, LPARAM Data)
{
    return Firewall<BOOL>(
        [&]() -> BOOL {
            char name[16] = {};
            GetClassNameA(Window, name, sizeof name);
            if (std::string(name) == MenuWindowClass && IsWindowVisible(Window))
                if (auto m = reinterpret_cast<HMENU>(SendMessageA(Window, MN_GETHMENU, 0, 0)))
                    reinterpret_cast<std::vector<HMENU>*>(Data)->push_back(m);
            return TRUE;
        },
        FALSE); // an error ends the enumeration
}

std::vector<HMENU> OpenMenus()
{
    std::vector<HMENU> open;
    EnumThreadWindows(GetCurrentThreadId(), AddOpenMenu, reinterpret_cast<LPARAM>(&open));
    return open;
}

// Whether Left or Right belongs to the open menus themselves: Left closes an open submenu,
// Right opens the submenu of the highlighted item of the innermost menu.
bool SubmenuTakesKey(HMENU Top, WPARAM Key)
{
    std::vector<HMENU> open = OpenMenus();
    if (Key == VK_LEFT) return open.size() > 1;
    HMENU m = Top;
    for (size_t depth = 0; m && depth <= open.size(); ++depth) {
        int count = GetMenuItemCount(m), hilited = -1;
        for (int p = 0; p < count && hilited < 0; ++p)
            if (GetMenuState(m, static_cast<UINT>(p), MF_BYPOSITION) & MF_HILITE) hilited = p;
        if (hilited < 0) return false;
        HMENU sub = GetSubMenu(m, hilited);
        if (!sub) return false;
        if (std::find(open.begin(), open.end(), sub) == open.end()) return true;
        m = sub;
    }
    return false;
}

// Left or Right in a tool bar menu: the previous or next button that drops a menu takes over
// once this menu has ended.
LRESULT ToolHookKey(MSG& Msg)
{
    TToolButton* open = g_toolHook.Button;
    auto* bar = dynamic_cast<TMenuToolBar*>(open->Parent());
    if (!bar || (Msg.wParam != VK_LEFT && Msg.wParam != VK_RIGHT)) return 0;
    if (SubmenuTakesKey(reinterpret_cast<HMENU>(static_cast<intptr_t>(open->Tag())), Msg.wParam)) return 0;
    int count = bar->ButtonCount(), from = -1;
    for (int i = 0; i < count; ++i)
        if (bar->Buttons(i) == open) from = i;
    if (from < 0) return 0;
    int step = Msg.wParam == VK_LEFT ? -1 : 1;
    for (int k = 1; k < count; ++k) {
        int i = ((from + step * k) % count + count) % count;
        TToolButton* b = bar->Buttons(i);
        if (b->Visible() && b->Enabled() && b->Tag() != 0) {
            bar->DropByKeyboard(i);
            EndMenu();
            return 1;
        }
    }
    return 0;
}

LRESULT CALLBACK ToolBarHookProc(int Code, WPARAM WParam, LPARAM LParam)
{
    return Firewall<LRESULT>(
        [&]() -> LRESULT {
            if (Code == MSGF_MENU && g_toolHook.Button) {
                MSG& m = *reinterpret_cast<MSG*>(LParam);
                if ((m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONDOWN) && ToolHookMessage(m)) return 1;
                if (m.message == WM_KEYDOWN && !g_toolHook.SwitchPosted && ToolHookKey(m)) return 1;
            }
            return CallNextHookEx(g_toolHook.Hook, Code, WParam, LParam);
        },
        0);
}

// Alt and a letter typed in a tool bar's form, whatever window of it has the focus, are seen
// as they are taken from the queue: the default window procedure would otherwise hand them
// to the system's own mode on the hidden menu bar without the form hearing of it.
struct TKeyHookState {
    HHOOK Hook = nullptr;
    std::vector<TMenuToolBar*> Bars;
};
TKeyHookState g_keyHook;

LRESULT CALLBACK ToolBarKeyProc(int Code, WPARAM WParam, LPARAM LParam)
{
    return Firewall<LRESULT>(
        [&]() -> LRESULT {
            auto* m = reinterpret_cast<MSG*>(LParam);
            if (Code == HC_ACTION && WParam == PM_REMOVE && m->message == WM_SYSCHAR &&
                (HIWORD(m->lParam) & KF_ALTDOWN))
                for (TMenuToolBar* bar : g_keyHook.Bars) {
                    TForm* form = bar->Form();
                    if (!form || !form->HandleAllocated() || !bar->HandleAllocated()) continue;
                    HWND f = form->Handle();
                    if (m->hwnd != f && !IsChild(f, m->hwnd)) continue;
                    if (bar->DropMnemonic(static_cast<char>(m->wParam))) m->message = WM_NULL;
                    break;
                }
            return CallNextHookEx(g_keyHook.Hook, Code, WParam, LParam);
        },
        0);
}

void AddKeyBar(TMenuToolBar* Bar)
{
    if (!g_keyHook.Hook)
        g_keyHook.Hook = SetWindowsHookExA(WH_GETMESSAGE, ToolBarKeyProc, nullptr, GetCurrentThreadId());
    g_keyHook.Bars.push_back(Bar);
}

void RemoveKeyBar(TMenuToolBar* Bar)
{
    auto& bars = g_keyHook.Bars;
    bars.erase(std::remove(bars.begin(), bars.end(), Bar), bars.end());
    if (bars.empty() && g_keyHook.Hook) {
        UnhookWindowsHookEx(g_keyHook.Hook);
        g_keyHook.Hook = nullptr;
    }
}

TForm* OwnerForm(TComponent* Component)
{
    for (; Component; Component = Component->Owner())
        if (auto* f = dynamic_cast<TForm*>(Component)) return f;
    return nullptr;
}

HICON ChildIcon(HWND Child)
{
    auto h = reinterpret_cast<HICON>(SendMessageA(Child, WM_GETICON, ICON_SMALL, 0));
    if (!h) h = reinterpret_cast<HICON>(GetClassLongPtrA(Child, GCLP_HICONSM));
    if (!h) h = reinterpret_cast<HICON>(GetClassLongPtrA(Child, GCLP_HICON));
    return h;
}

} // namespace

HHOOK ToolHook() { return g_toolHook.Hook; }
TToolButton* HookToolButton() { return g_toolHook.Button; }

// ---- TIconButton ----

TIconButton::TIconButton(TComponent* AOwner) : TToolButton(AOwner) { SetWidth(16); }

void TIconButton::Paint()
{
    HDC dc = Canvas()->Handle();
    RECT clip;
    GetClipBox(dc, &clip);
    auto* bar = dynamic_cast<TMenuToolBar*>(Parent());
    Canvas()->Brush()->SetColor(bar ? bar->Color() : clBtnFace);
    Canvas()->FillRect(clip);
    TForm* frame = bar ? bar->Form() : nullptr;
    if (!frame || frame->MDIChildCount() == 0) return;
    TForm* child = frame->ActiveMDIChild();
    HICON icon = child ? ChildIcon(child->Handle()) : nullptr;
    if (!icon) icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (icon) DrawIconEx(dc, 0, (Height() - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
}

// ---- THook ----

THook::THook(HWND Window, TMenuToolBar* Bar)
    : FWindow(Window), FBar(Bar),
      FSubclass(std::make_unique<TWindowSubclass>(Window, [this](TMessage& m) { SubclassProc(m); }))
{
}

THook::~THook() = default;

void THook::SubclassProc(TMessage& Message)
{
    if (Message.Msg == WM_DESTROY) {
        FSubclass->CallPrevious(Message);
        FBar->RemoveHook(this); // frees this hook
        return;
    }
    FSubclass->CallPrevious(Message);
    if (Message.Msg == WM_SIZE) FBar->ChildSized(FWindow, Message.WParam);
    else if (Message.Msg == WM_MDIACTIVATE) FBar->ChildActivated();
}

// ---- TMenuToolBar ----

TMenuToolBar::TMenuToolBar(TComponent* AOwner) : TToolBar(AOwner)
{
    SetShowCaptions(true);
    SetFlat(true);
    SetHeight(GetSystemMetrics(SM_CYMENU));
    SetAutoSize(true);
    TCustomMenus97::LoadMenuFont(Font());
    FForm = OwnerForm(AOwner);
    if (FForm && FForm->HandleAllocated()) Attach();
    if (FForm && !(ComponentState() & csDesigning)) AddKeyBar(this);
}

void TMenuToolBar::CreateWnd()
{
    if (FForm && !FFormSubclass) Attach();
    TToolBar::CreateWnd();
}

void TMenuToolBar::Attach()
{
    if (!FForm->HandleAllocated()) return;
    HWND form = FForm->Handle();
    FFormSubclass = std::make_unique<TWindowSubclass>(form, [this](TMessage& m) { FormWndProc(m); });
    AttachClient();
    // The form's menu row becomes client area.
    SetWindowPos(form, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMenuToolBar::AttachClient()
{
    // A frame made together with its bar has its client window only after its controls.
    HWND client = FForm->FormStyle() == TFormStyle::fsMDIForm ? FForm->ClientHandle() : nullptr;
    if (!client || FClientSubclass) return;
    FClientSubclass = std::make_unique<TWindowSubclass>(client, [this](TMessage& m) { ClientWndProc(m); });
    for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (!GetWindow(h, GW_OWNER)) FChildHooks.push_back(std::make_unique<THook>(h, this));
}

TMenuToolBar::~TMenuToolBar()
{
    RemoveKeyBar(this);
    // The subclasses go while their windows still exist (owned components die first).
    while (!FChildHooks.empty()) FChildHooks.pop_back();
    FClientSubclass.reset();
    FFormSubclass.reset();
    if (g_toolHook.Button && g_toolHook.Button->Parent() == this) g_toolHook.Button = nullptr;
}

HWND TMenuToolBar::TargetWindow(TToolButton* Button) const
{
    auto it = FInfo.find(Button);
    return it == FInfo.end() ? nullptr : it->second.Target;
}

TToolButton* TMenuToolBar::AddMenuButton(TMenuItem* Item, int Order)
{
    auto* b = new TToolButton(this);
    b->SetTag(static_cast<int>(reinterpret_cast<intptr_t>(Item->Count() > 0 ? Item->Handle() : nullptr)));
    b->SetCaption(Item->Caption());
    b->SetHint(Item->Hint());
    if (Item->OnClick) b->OnClick = [Item](TObject*) { Item->Click(); };
    b->SetStyle(Item->Count() > 0 ? TToolButtonStyle::tbsDropDown : TToolButtonStyle::tbsButton);
    b->SetParent(this);
    FInfo[b] = TButtonInfo{Order, nullptr};
    return b;
}

void TMenuToolBar::MergeChildButton(TToolButton* Button)
{
    int order = FInfo[Button].Order;
    for (int j = 0; j < ControlCount(); ++j) {
        auto* other = dynamic_cast<TToolButton*>(Controls(j));
        if (!other || other == Button || !FInfo.count(other)) continue;
        if (std::abs(order) < FInfo[other].Order) {
            MoveButton(Button, j);
            FInfo[Button].Order = -order;
            return;
        }
    }
}

void TMenuToolBar::RebuildButtons()
{
    if (!FForm || !FForm->Menu()) return;
    TMenuItem* items = FForm->Menu()->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (items->Items(i)->Visible()) AddMenuButton(items->Items(i), items->Items(i)->GroupIndex() + 1);
    TForm* child = FForm->FormStyle() == TFormStyle::fsMDIForm ? FForm->ActiveMDIChild() : nullptr;
    if (child && child->Menu()) {
        TMenuItem* own = child->Menu()->Items();
        for (int i = 0; i < own->Count(); ++i)
            if (own->Items(i)->Visible())
                MergeChildButton(AddMenuButton(own->Items(i), own->Items(i)->GroupIndex() + 1));
    }
    for (auto& [button, info] : FInfo) info.Target = info.Order <= 0 && child ? child->Handle() : FForm->Handle();
}

void TMenuToolBar::FreeMenuButtons()
{
    for (int i = ControlCount() - 1; i >= 0; --i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (!b || b == FIconButton) continue;
        FInfo.erase(b);
        delete b;
    }
}

void TMenuToolBar::ShowCaptionButtons()
{
    TForm* child = FForm ? FForm->ActiveMDIChild() : nullptr;
    if (!child) return;
    if (!FIconButton) {
        FIconButton = new TIconButton(this);
        FIconButton->SetStyle(TToolButtonStyle::tbsDropDown);
        FIconButton->SetTag(static_cast<int>(reinterpret_cast<intptr_t>(GetSystemMenu(child->Handle(), FALSE))));
        FIconButton->SetParent(this);
        FInfo[FIconButton] = TButtonInfo{0, FForm->Handle()};
        MoveButton(FIconButton, 0);
    }
    if (FCaptionPanel) return;
    FCaptionPanel = new TPanel(this);
    FCaptionPanel->SetBevelOuter(TBevelCut::bvNone);
    FCaptionPanel->SetColor(FColor);
    int last = ControlCount() - 1;
    RECT r = last >= 0 ? ItemRect(last) : RECT{};
    FCaptionPanel->SetBounds(r.right, 0, std::max(0, FWidth - static_cast<int>(r.right)), FHeight);
    // Not one of the bar's items: it sits over the bar's free right end.
    FCaptionPanel->SetParentWindow(Handle());
    NONCLIENTMETRICSA m = {};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    int w = m.iSmCaptionWidth - 2, h = m.iCaptionHeight - 3;
    auto make = [&](const char* glyph, void (TMenuToolBar::*action)()) {
        auto* b = new TSpeedButton(FCaptionPanel);
        b->SetBounds(0, (FCaptionPanel->Height() - h) / 2, w, h);
        b->SetCaption(glyph);
        b->Font()->SetName("Marlett");
        b->Font()->SetSize(6);
        b->Font()->SetCharset(SYMBOL_CHARSET);
        b->OnClick = [this, action](TObject*) { (this->*action)(); };
        b->SetParent(FCaptionPanel);
        return b;
    };
    FCloseButton = make("r", &TMenuToolBar::CloseChild);
    FRestoreButton = make("2", &TMenuToolBar::RestoreChild);
    FMinButton = make("0", &TMenuToolBar::MinimizeChild);
    PlaceCaptionButtons();
    FCaptionPanel->HandleNeeded();
}

void TMenuToolBar::PlaceCaptionButtons()
{
    if (!FCaptionPanel || !FCloseButton) return;
    int pw = FCaptionPanel->Width(), w = FCloseButton->Width(), n = Indent();
    FCloseButton->SetLeft(pw - w - n);
    FRestoreButton->SetLeft(pw - 2 * w - 2 - n);
    FMinButton->SetLeft(pw - 3 * w - 2 - n);
}

void TMenuToolBar::RemoveCaptionButtons()
{
    if (FIconButton) {
        FInfo.erase(FIconButton);
        if (g_toolHook.Button == FIconButton) g_toolHook.Button = nullptr;
        delete std::exchange(FIconButton, nullptr);
    }
    if (FCaptionPanel) {
        delete std::exchange(FCaptionPanel, nullptr);
        FMinButton = FRestoreButton = FCloseButton = nullptr;
    }
}

void TMenuToolBar::CloseChild()
{
    if (TForm* child = FForm ? FForm->ActiveMDIChild() : nullptr) child->Close();
}

void TMenuToolBar::MinimizeChild()
{
    if (TForm* child = FForm ? FForm->ActiveMDIChild() : nullptr) child->SetWindowState(TWindowState::wsMinimized);
}

void TMenuToolBar::RestoreChild()
{
    if (TForm* child = FForm ? FForm->ActiveMDIChild() : nullptr) child->SetWindowState(TWindowState::wsNormal);
}

void TMenuToolBar::ChildSized(HWND Child, WPARAM Kind)
{
    if (Kind == SIZE_MAXIMIZED) {
        ShowCaptionButtons();
        return;
    }
    auto* child = dynamic_cast<TForm*>(TWinControl::FindControl(Child));
    if (!child || !FForm) return;
    if (child->WindowState() == TWindowState::wsMaximized) ShowCaptionButtons();
    else RemoveCaptionButtons();
}

void TMenuToolBar::ChildActivated()
{
    if (!FHandle) return;
    SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
    bool hadPanel = FCaptionPanel != nullptr;
    RemoveCaptionButtons();
    FreeMenuButtons();
    RebuildButtons();
    if (hadPanel) ShowCaptionButtons();
    SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

void TMenuToolBar::RemoveHook(THook* Hook)
{
    auto it = std::find_if(FChildHooks.begin(), FChildHooks.end(), [Hook](auto& h) { return h.get() == Hook; });
    if (it != FChildHooks.end()) FChildHooks.erase(it);
}

void TMenuToolBar::DropByKeyboard(int Index) { FKeyDrop = Index; }

// The button that drops a menu and has Key as its mnemonic, or nullptr.
TToolButton* TMenuToolBar::MnemonicButton(char Key) const
{
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (b->Visible() && b->Enabled() && b->Tag() != 0 && IsMnemonic(Key, b->Caption())) return b;
    }
    return nullptr;
}

bool TMenuToolBar::DropMnemonic(char Key)
{
    if (Key <= ' ' || !HandleAllocated() || !IsWindowEnabled(FForm->Handle())) return false;
    TToolButton* b = MnemonicButton(Key);
    if (!b) return false;
    for (int i = 0; i < ButtonCount(); ++i)
        if (Buttons(i) == b) DropByKeyboard(i);
    PostMessageA(FHandle, CM_KEYDROP, 0, 0);
    return true;
}

void TMenuToolBar::FormWndProc(TMessage& Message)
{
    if (!FClientSubclass) AttachClient();
    // Alt and the letter of a button: that button drops its menu, as a click would, in place
    // of the system's own mode on the hidden menu bar.
    if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_KEYMENU && LOWORD(Message.LParam) > ' ' &&
        DropMnemonic(static_cast<char>(LOWORD(Message.LParam)))) {
        Message.Result = 0;
        return;
    }
    if (Message.Msg == WM_ACTIVATE && ControlCount() == 0) RebuildButtons();
    FFormSubclass->CallPrevious(Message);
    if (Message.Msg == WM_NCCALCSIZE) {
        auto* r = reinterpret_cast<RECT*>(Message.LParam); // the first rectangle either way
        if (GetMenu(FForm->Handle())) r->top -= GetSystemMetrics(SM_CYMENU);
    } else if (Message.Msg == WM_NCHITTEST && Message.Result == HTMENU) {
        Message.Result = HTTRANSPARENT;
    }
}

void TMenuToolBar::ClientWndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MDIDESTROY:
        if (FCaptionPanel && FForm->MDIChildCount() == 1) RemoveCaptionButtons();
        break;
    case WM_MDIRESTORE:
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (FCaptionPanel) RemoveCaptionButtons();
        break;
    default: break;
    }
    FClientSubclass->CallPrevious(Message);
    if (Message.Msg == WM_MDICREATE && Message.Result) {
        FChildHooks.push_back(std::make_unique<THook>(reinterpret_cast<HWND>(Message.Result), this));
        ChildActivated(); // the new child was activated before its hook was there
    } else if (Message.Msg == WM_MDIMAXIMIZE) ShowCaptionButtons();
}

void TMenuToolBar::AutoSizeButtons(TMessage& Message)
{
    auto mark = [](TBBUTTON& b) {
        // Buttons with a caption size to their text; a caption-less one keeps its width.
        if (!(b.fsStyle & TBSTYLE_SEP) && b.iString) b.fsStyle |= TBSTYLE_AUTOSIZE;
    };
    if (Message.Msg == TB_ADDBUTTONSA) {
        auto* buttons = reinterpret_cast<TBBUTTON*>(Message.LParam);
        for (WPARAM i = 0; i < Message.WParam; ++i) mark(buttons[i]);
    } else {
        mark(*reinterpret_cast<TBBUTTON*>(Message.LParam));
    }
}

void TMenuToolBar::DropMenu(TToolButton* Button, TMessage& Message, bool ByKeyboard)
{
    POINT p{Button->Left(), Button->Top() + Button->Height()};
    if (Message.Msg == WM_RBUTTONDOWN)
        p = POINT{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    ClientToScreen(FHandle, &p);
    HWND target = TargetWindow(Button);
    int command = Button->Command();
    Perform(TB_PRESSBUTTON, static_cast<WPARAM>(command), TRUE);
    {
        TToolMenuScope scope(Button);
        // A menu dropped by the keyboard opens with its first item highlighted.
        if (ByKeyboard) PostMessageA(FHandle, WM_KEYDOWN, VK_DOWN, 1);
        TrackPopupMenuEx(reinterpret_cast<HMENU>(static_cast<intptr_t>(Button->Tag())), 0, p.x, p.y,
                         target ? target : FForm->Handle(), nullptr);
    }
    // The button may have gone while the menu was open (a child activated).
    if (std::find(FControls.begin(), FControls.end(), Button) == FControls.end()) return;
    Perform(TB_PRESSBUTTON, static_cast<WPARAM>(command), FALSE);
    TMessage up{WM_LBUTTONUP, 0, Message.LParam, 0};
    TToolBar::WndProc(up);
}

// Drops the menu of the button that the keyboard chose, and the next one while the arrows
// move on from menu to menu.
void TMenuToolBar::DropKeyboardMenus()
{
    while (FKeyDrop >= 0 && FForm && HandleAllocated()) {
        int i = FKeyDrop;
        FKeyDrop = -1;
        if (i >= ButtonCount()) return;
        TToolButton* b = Buttons(i);
        if (!b->Visible() || !b->Enabled() || b->Tag() == 0) return;
        TMessage down{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b->Left() + 1, b->Top() + 1), 0};
        TToolBar::WndProc(down);
        DropMenu(b, down, true);
    }
}

void TMenuToolBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        auto* b = dynamic_cast<TToolButton*>(ControlAtPos(p, false));
        TToolBar::WndProc(Message);
        FKeyDrop = -1;
        if (b && b->Tag() != 0 && FForm) DropMenu(b, Message, false);
        DropKeyboardMenus();
        return;
    }
    case CM_KEYDROP:
        DropKeyboardMenus();
        Message.Result = 0;
        return;
    case WM_LBUTTONDBLCLK: {
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        bool onIcon = FIconButton && ControlAtPos(p, false) == FIconButton;
        TToolBar::WndProc(Message);
        if (onIcon) CloseChild();
        return;
    }
    case TB_ADDBUTTONSA:
    case TB_INSERTBUTTONA: AutoSizeButtons(Message); break;
    case WM_SIZE:
        TToolBar::WndProc(Message);
        if (FCaptionPanel) {
            FCaptionPanel->SetWidth(std::max(0, FWidth - FCaptionPanel->Left()));
            PlaceCaptionButtons();
        }
        return;
    default: break;
    }
    TToolBar::WndProc(Message);
}

} // namespace pw
