#include "MenuStylers97.h"

#include "ComCtrls.h"
#include "Forms.h"
#include "MenuBar97.h"
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

TCustomMainMenus97::~TCustomMainMenus97()
{
    if (FToolBar) {
        if (HookBar() == FToolBar) {
            SetHookBar(nullptr);
            SetHookButton(nullptr);
        }
        RemoveMenuHook();
        // The menu buttons are the styler's; the bar's own caption and icon buttons stay, so
        // that a bar which outlives the styler still works.
        for (int i = FToolBar->ControlCount() - 1; i >= TCustomMenuBar97::FirstMenuIndex; --i)
            delete FToolBar->Controls(i);
        FToolBar->RemoveFreeNotification(this);
        FToolBar = nullptr;
    }
}

TMainMenu* TCustomMainMenus97::MainMenu() const { return dynamic_cast<TMainMenu*>(Menu()); }

bool TCustomMainMenus97::GetHideMenuBar() { return (ComponentState() & csDesigning) ? false : FHideMenuBar; }

void TCustomMainMenus97::RedrawMenuBar()
{
    if (TForm* f = OwnerForm(); f && f->HandleAllocated()) DrawMenuBar(f->Handle());
}

// The frame is measured again: the menu bar row is given to the client area or taken back.
void TCustomMainMenus97::ReframeForm()
{
    if (TForm* f = OwnerForm(); f && f->HandleAllocated())
        SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomMainMenus97::SetHideMenuBar(bool Value)
{
    if (FToolBar || FHideMenuBar == Value) return;
    FHideMenuBar = Value;
    if (Value) FMenuBarBorder = false;
    ReframeForm();
    RedrawMenuBar();
}

void TCustomMainMenus97::SetToolBar(TCustomMenuBar97* Value)
{
    if (FToolBar == Value) return;
    if (FToolBar) FToolBar->RemoveFreeNotification(this);
    FToolBar = Value;
    if (!FToolBar) return;
    FToolBar->FreeNotification(this);
    TForm* form = OwnerForm();
    FToolBar->SetForm(form);
    FHideMenuBar = true;
    FMenuBarBorder = false;
    ReframeForm();
    RedrawMenuBar();
    if (form && form->HandleAllocated()) {
        SynchroniseMenuBar();
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
    }
}

void TCustomMainMenus97::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMenus97::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FToolBar) FToolBar = nullptr;
}

bool TCustomMainMenus97::BarKeyboardMode() const { return FToolBar && FToolBar->KeyboardMode(); }

void TCustomMainMenus97::SetMenuBarBorder(bool Value)
{
    FMenuBarBorder = GetHideMenuBar() ? false : Value;
    RedrawMenuBar();
}

void TCustomMainMenus97::FontChanged()
{
    if (!GetHideMenuBar()) RedrawMenuBar();
}

int TCustomMainMenus97::GetItemHeight()
{
    if (ItemHeight() != 0 || !Menu() || Menu()->Items()->Count() == 0) return ItemHeight();
    TForm* form = OwnerForm();
    menus97::TWindowDC dc(form && form->HandleAllocated() ? form->Handle() : nullptr);
    menus97::TCanvasAttach attach(Canvas(), dc.Get());
    Canvas()->Font()->Assign(Font());
    int h = DefaultItemHeight(Menu()->Items()->Items(0));
    return h;
}

// The menu button at control Index of the bar stands for Item: made when missing, shown,
// sized to its caption and given the item's drop-down. X is where the next button goes.
void TCustomMainMenus97::SynchroniseButton(int Index, TMenuItem* Item, int Height, int& X)
{
    TForm* form = OwnerForm();
    FToolBar->SetHeight(Height + 1);
    TMenuSpeedButton* b = nullptr;
    if (Index >= FToolBar->ControlCount()) {
        b = new TMenuSpeedButton(FToolBar);
        b->SetFlat(true);
        b->SetAllowAllUp(true);
        b->SetGroupIndex(0);
        b->SetTargetWindow(form->Handle());
        b->SetDown(false);
        b->SetBounds(X, 1, b->Width(), b->Height());
        b->SetParent(FToolBar);
    } else {
        b = dynamic_cast<TMenuSpeedButton*>(FToolBar->Controls(Index));
        if (!b) return; // not a menu button: left alone
        X = b->Left();
    }
    std::string caption = CaptionPart(Item->Caption());
    RECT text{0, 0, 0, 0};
    {
        menus97::TWindowDC dc(nullptr);
        TSelectGuard font(dc.Get(), b->Font()->Handle());
        DrawTextA(dc.Get(), caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
    }
    int width = text.right - text.left + 10;
    b->SetVisible(true);
    b->SetBounds(X, b->Top(), width, Height - 1);
    X += width;
    b->SetCaption(caption);
    b->SetTag(static_cast<int>(reinterpret_cast<intptr_t>(Item->Handle())));
    b->SetHint(Item->Hint());
}

void TCustomMainMenus97::SynchroniseMenuBar()
{
    TForm* form = OwnerForm();
    if (!Menu() || !form || !form->HandleAllocated()) return;
    if (FToolBar && HookButton()) return; // a menu button is tracking its menu
    HMENU bar = GetMenu(form->Handle());
    if (!bar) return;
    int height = FToolBar ? GetItemHeight() : ItemHeight();
    int x = 0;
    int k = TCustomMenuBar97::FirstMenuIndex;
    bool mdi = false;
    int count = GetMenuItemCount(bar);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(bar, static_cast<UINT>(p), TRUE, &mi)) {
            --k;
            continue;
        }
        // The positions of a maximised child's system menu and caption buttons have no item.
        TMenuItem* item = mi.wID != 0 && mi.wID < FirstSystemCommand ? FindItem(mi.wID) : nullptr;
        if (!item) --k;
        else if (FToolBar) SynchroniseButton(k + p, item, height, x);
        if (mi.wID > FirstSystemCommand) mdi = true;
    }
    if (FToolBar) {
        for (int i = std::max(count + k, static_cast<int>(TCustomMenuBar97::FirstMenuIndex));
             i < FToolBar->ControlCount(); ++i)
            FToolBar->Controls(i)->SetVisible(false);
        FToolBar->UpdateWidth();
        FToolBar->ShowMdiButtons(mdi);
    }
    PrepareItems(Menu()->Items(), false);
    if (FToolBar) ClearBarTexts(bar);
}

// The hidden bar's own items keep no text while the menu bar control stands in for them: the
// system then asks the form for the letter of Alt and a letter (WM_MENUCHAR), whichever of the
// form's windows has the focus, instead of matching it in the text of an owner-drawn item (as
// Wine does) and dropping the hidden bar's menu. Restoring the items gives the texts back.
void TCustomMainMenus97::ClearBarTexts(HMENU Bar)
{
    auto self = reinterpret_cast<ULONG_PTR>(this);
    int count = GetMenuItemCount(Bar);
    for (int p = 0; p < count; ++p) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        if (!GetMenuItemInfoA(Bar, static_cast<UINT>(p), TRUE, &mi)) continue;
        if (!(mi.fType & MFT_OWNERDRAW) || mi.dwItemData != self || mi.cch == 0) continue;
        char empty[1] = {};
        MENUITEMINFOA set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE | MIIM_STRING;
        set.fType = mi.fType;
        set.dwTypeData = empty;
        SetMenuItemInfoA(Bar, static_cast<UINT>(p), TRUE, &set);
    }
}

// A main menu's owner-draw messages go to its form, and only a styler owned by that form hears
// them: without a form owner the menu is left to the system, which would otherwise draw every
// owner-drawn item blank.
void TCustomMainMenus97::PrepareItems(TMenuItem* Items, bool Restore)
{
    if (!OwnerForm() && !Restore) return;
    TCustomMenus97::PrepareItems(Items, Restore);
}

void TCustomMainMenus97::DrawMenuBarItem(TMenuItem* Item, RECT& Rect, TOwnerDrawState State)
{
    if (GetHideMenuBar()) return;
    HDC dc = Canvas()->Handle();
    auto frame = [dc](const RECT& r, TColor topLeft, TColor bottomRight) { Frame3D(dc, r, topLeft, bottomRight); };
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
    menus97::FillSolid(dc, Rect, Brush()->Color());
    if (State & odSelected) {
        if (FBarItemDown) frame(Rect, clBtnShadow, clBtnHighlight);
        else frame(Rect, clBtnHighlight, clBtnShadow);
        InflateRect(&Rect, -1, -1);
    }
    if (Item->Tag() >= FirstBarImageTag && Images()) {
        Rect.left += 3;
        Images()->Draw(dc, Rect.left, Rect.top + 1, Item->Tag() - FirstBarImageTag);
        Rect.left += Images()->Width() + 2;
    } else {
        Rect.left += 5;
    }
    Canvas()->Font()->Assign(Font());
    // A bar item has no highlight bar under it: drawn as not selected, a disabled one stays
    // embossed instead of showing only its light copy, which is invisible on the bar's face.
    DrawItemText(Item, Rect, State & ~odSelected, CaptionPart(Item->Caption()));
}

void TCustomMainMenus97::SubclassProc(TMessage& Message)
{
    TForm* form = OwnerForm();
    if (!Menu() || !form) {
        TCustomMenus97::SubclassProc(Message);
        return;
    }
    bool designing = (ComponentState() & csDesigning) != 0;
    switch (Message.Msg) {
    case WM_GETMINMAXINFO:
        // The bar's width first; the form and the procedures after this one may change it.
        if (FToolBar) {
            reinterpret_cast<MINMAXINFO*>(Message.LParam)->ptMinTrackSize.x = FToolBar->MinWidth();
            Message.Result = 0;
        }
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
        // Without a menu bar control the bar is kept in step before the change, with one
        // after it, once the control has its new size.
        if ((Message.Msg == WM_WINDOWPOSCHANGED) == (FToolBar != nullptr) && (!GetHideMenuBar() || FToolBar) &&
            (form->FormStyle() == TFormStyle::fsMDIForm || form->FormStyle() == TFormStyle::fsNormal)) {
            CallPrevious(Message);
            SynchroniseMenuBar();
            return;
        }
        break;
    case WM_NCCALCSIZE:
        if (GetHideMenuBar() && Menu()->Items()->Count() > 0) {
            CallPrevious(Message);
            RECT m;
            GetMenuRect(Menu()->Items()->Items(0), m);
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
        if (GetHideMenuBar() && Menu()->Items()->Count() > 0) {
            // Everything but the covered bar row is painted by the system.
            RECT m, wr;
            GetMenuRect(Menu()->Items()->Items(0), m);
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
    case WM_GETDLGCODE:
        if (BarKeyboardMode()) {
            Message.Result = DLGC_WANTARROWS;
            return;
        }
        break;
    case WM_KEYDOWN:
        if (BarKeyboardMode() &&
            (Message.WParam == VK_ESCAPE || Message.WParam == VK_LEFT || Message.WParam == VK_RIGHT ||
             Message.WParam == VK_DOWN)) {
            FToolBar->Perform(WM_KEYDOWN, Message.WParam, Message.LParam);
            Message.Result = 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Alt or F10 alone: the menu bar control enters or leaves its keyboard menu mode.
        if (FToolBar && (Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam == 0) {
            FToolBar->Perform(WM_SYSCOMMAND, Message.WParam, 0);
            Message.Result = 0;
            return;
        }
        // Alt and the letter of a bar item, with the form itself focused: the menu bar control
        // drops that menu without the system's own menu bar mode starting first.
        if (FToolBar && (Message.WParam & 0xFFF0) == SC_KEYMENU && LOWORD(Message.LParam) > ' ' &&
            FToolBar->HandleAllocated() && Menu()->HandleAllocated() &&
            SearchAccelerator(Menu()->Items(), static_cast<char>(LOWORD(Message.LParam)), Menu()->Handle()) >= 0) {
            PostMessageA(FToolBar->Handle(), CM_DIALOGCHAR, LOBYTE(LOWORD(Message.LParam)), 0);
            Message.Result = 0;
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
        if (!GetHideMenuBar() && reinterpret_cast<HMENU>(Message.LParam) == Menu()->Handle() &&
            !(HIWORD(Message.WParam) & MF_MOUSESELECT) && FBarItemDown) {
            FBarItemDown = false;
            RedrawMenuBar();
        }
        // The end of a menu loop: a menu dropped by the Down key is closed now.
        if (FToolBar && GetHideMenuBar() && Message.LParam == 0 && HIWORD(Message.WParam) == 0xFFFF)
            FToolBar->SetDroppedByKeyboard(false);
        break;
    case WM_MENUCHAR:
        // A letter of the hidden bar: the system's menu mode ends and the menu bar control
        // drops the matching menu once the message has been answered.
        if (FToolBar && FindAccelerator(Message) == AcceleratorOnMenuBar) {
            Message.Result = MAKELRESULT(static_cast<WORD>(AcceleratorOnMenuBar), MNC_CLOSE);
            if (FToolBar->HandleAllocated())
                PostMessageA(FToolBar->Handle(), CM_DIALOGCHAR, LOBYTE(LOWORD(Message.WParam)), 0);
            return;
        }
        break;
    case WM_ENTERMENULOOP:
        FBarItemDown = false;
        if (FToolBar && !designing) FToolBar->EnterMenuLoop();
        break;
    case WM_EXITMENULOOP:
        if (FToolBar) FToolBar->ExitMenuLoop();
        break;
    case CM_MENUCHANGED:
        if (FToolBar) {
            TCustomMenus97::SubclassProc(Message);
            SynchroniseMenuBar();
            return;
        }
        break;
    default: break;
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

TPopupMenu* TCustomPopupMenus97::GetPopupMenu() const { return dynamic_cast<TPopupMenu*>(Menu()); }
void TCustomPopupMenus97::SetPopupMenu(TPopupMenu* Value) { SetMenu(Value); }

void TCustomPopupMenus97::CallPopupPrevious(TMessage& Message)
{
    if (FPopupSubclass) FPopupSubclass->CallPrevious(Message);
}

bool TCustomPopupMenus97::IsBannerItem(TMenuItem* Item) { return Menu() && Item && Item->Parent() == Menu()->Items(); }

TMenuItem* TCustomPopupMenus97::GetBannerItem(TMenuItem* Item) { return Item; }

void TCustomPopupMenus97::CalcBannerRect(TMenuItem*)
{
    if (Menu()) CalcBannerRectFor(Menu()->Handle(), Menu()->Items());
}

void TCustomPopupMenus97::PopupListWndProc(TMessage& Message)
{
    if (!Menu()) {
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
        PrepareItems(Menu()->Items(), false);
        return;
    case WM_INITMENUPOPUP:
        CallPopupPrevious(Message);
        Message.Result = 0;
        PrepareItems(Menu()->Items(), false);
        InvalidateBanner();
        return;
    case WM_MENUCHAR:
        if (int i = FindAccelerator(Message); i >= 0) {
            Message.Result = MAKELRESULT(i, MNC_EXECUTE);
            return;
        }
        break;
    default: break;
    }
    CallPopupPrevious(Message);
}

} // namespace pw
