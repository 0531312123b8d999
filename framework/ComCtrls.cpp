#include "ComCtrls.h"

#include "Guards.h"
#include "Menus.h"
#include "SysUtils.h"

#include <algorithm>

namespace pw {

// ---- TImageList ----

TImageList::TImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), FHandle(ImageList_Create(AWidth, AHeight, ILC_COLOR24 | ILC_MASK, 32, 8)), FWidth(AWidth),
      FHeight(AHeight)
{
    if (!FHandle) throw EOutOfResources("Cannot create an image list");
}

TImageList::~TImageList() { ImageList_Destroy(FHandle); }

int TImageList::AddMasked(HBITMAP Bitmap, COLORREF MaskColor)
{
    int r = ImageList_AddMasked(FHandle, Bitmap, MaskColor);
    if (r < 0) throw EOutOfResources("Cannot add an image to the image list");
    Changed();
    return r;
}

int TImageList::AddResource(const char* Name, COLORREF MaskColor)
{
    HBITMAP b =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), Name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!b) throw EResNotFound(Format("Resource %s not found", Name));
    int r = AddMasked(b, MaskColor);
    DeleteObject(b);
    return r;
}

void TImageList::ReplaceMasked(int Index, HBITMAP Bitmap, COLORREF MaskColor)
{
    // Replacing keeps the index: draw the new image into a one-image list and copy it over.
    HIMAGELIST one = ImageList_Create(FWidth, FHeight, ILC_COLOR24 | ILC_MASK, 1, 1);
    ImageList_AddMasked(one, Bitmap, MaskColor);
    ImageList_Copy(FHandle, Index, one, 0, ILCF_SWAP);
    ImageList_Destroy(one);
    Changed();
}

void TImageList::Replace(int Index, HBITMAP Image, HBITMAP Mask)
{
    if (Index < 0 || Index >= Count()) throw EInvalidOperation(Format("Image index %d out of bounds", Index));
    if (!ImageList_Replace(FHandle, Index, Image, Mask))
        throw EOutOfResources("Cannot replace an image of the image list");
    Changed();
}

void TImageList::RegisterChanges(TComponent* Client, TNotifyEvent Handler)
{
    UnRegisterChanges(Client);
    FClients.emplace_back(Client, std::move(Handler));
}

void TImageList::UnRegisterChanges(TComponent* Client)
{
    std::erase_if(FClients, [Client](const auto& c) { return c.first == Client; });
}

void TImageList::Changed()
{
    // A handler may unregister its client: walk a copy.
    auto clients = FClients;
    for (auto& c : clients) c.second(this);
    if (OnChange) OnChange(this);
}

void TImageList::Draw(HDC DC, int X, int Y, int Index, bool Enabled) const
{
    ImageList_DrawEx(FHandle, Index, DC, X, Y, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT | (Enabled ? 0 : ILD_BLEND50));
}

// ---- TToolButton ----

static int NextButtonCommand()
{
    static int next = 0x7000;
    if (++next > 0x7FFF) next = 0x7001;
    return next;
}

TToolButton::TToolButton(TComponent* AOwner) : TControl(AOwner), FCommand(NextButtonCommand())
{
    FWidth = 23;
    FHeight = 22;
}

TToolButton::~TToolButton()
{
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated()) {
        int i = Index();
        if (i >= 0) bar->Perform(TB_DELETEBUTTON, static_cast<WPARAM>(i), 0);
    }
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(FParent); }

int TToolButton::Index() const
{
    TToolBar* bar = ToolBar();
    if (!bar) return -1;
    for (int i = 0; i < bar->ControlCount(); ++i)
        if (bar->Controls(i) == this) return i;
    return -1;
}

void TToolButton::SetParent(TWinControl* AParent)
{
    TControl::SetParent(AParent);
    if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated()) bar->RebuildButtons();
}

void TToolButton::SetImageIndex(int i)
{
    FImageIndex = i;
    if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated())
        bar->Perform(TB_CHANGEBITMAP, static_cast<WPARAM>(FCommand), i);
}

bool TToolButton::Down()
{
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated()) FDown = bar->Perform(TB_ISBUTTONCHECKED, static_cast<WPARAM>(FCommand), 0) != 0;
    return FDown;
}

void TToolButton::SetDown(bool v)
{
    FDown = v;
    TToolBar* bar = ToolBar();
    if (bar && bar->HandleAllocated()) bar->Perform(TB_CHECKBUTTON, static_cast<WPARAM>(FCommand), v);
    if (v && FGrouped && bar)
        for (int i = 0; i < bar->ButtonCount(); ++i)
            if (TToolButton* b = bar->Buttons(i);
                b && b != this && b->FGrouped && b->FStyle == TToolButtonStyle::tbsCheck)
                b->FDown = false;
}

void TToolButton::SetEnabled(bool v)
{
    FEnabled = v;
    if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated())
        bar->Perform(TB_ENABLEBUTTON, static_cast<WPARAM>(FCommand), v);
}

void TToolButton::SetText(const std::string& s)
{
    FText = s;
    if (TToolBar* bar = ToolBar(); bar && bar->HandleAllocated()) bar->RebuildButtons();
}

void TToolButton::Click()
{
    if (!FEnabled) return;
    if (OnClick) OnClick(this);
}

// ---- TToolBar ----

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FHeight = 22;
    FWidth = 150;
}

TToolBar::~TToolBar()
{
    if (FImages) FImages->UnRegisterChanges(this);
}

void TToolBar::SetImages(TImageList* i)
{
    if (FImages) {
        FImages->UnRegisterChanges(this);
        FImages->RemoveFreeNotification(this);
    }
    FImages = i;
    if (i) {
        i->FreeNotification(this);
        // The bar caches nothing of the images: a changed image shows at the next paint.
        i->RegisterChanges(this, [this](TObject*) { Invalidate(); });
    }
    if (FHandle) Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(i ? i->Handle() : nullptr));
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) {
        FImages = nullptr;
        if (FHandle) Perform(TB_SETIMAGELIST, 0, 0);
    }
}

int TToolBar::ButtonCount() const { return ControlCount(); }

TToolButton* TToolBar::Buttons(int i) const { return dynamic_cast<TToolButton*>(Controls(i)); }

void TToolBar::AddControl(TWinControl* Control) { Control->SetParent(this); }

void TToolBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwToolBar";
    Params.SubclassOf = TOOLBARCLASSNAMEA;
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS | WS_CLIPCHILDREN;
    if (FFlat) Params.Style |= TBSTYLE_FLAT | TBSTYLE_TRANSPARENT;
    if (FShowCaptions) Params.Style |= TBSTYLE_LIST;
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Notifications and commands come to the bar itself, so it can act on its buttons.
    Perform(TB_SETPARENT, reinterpret_cast<WPARAM>(FHandle), 0);
    if (FImages) Perform(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    // A bar of captions without images keeps no room for images.
    bool textOnly = FShowCaptions && !FImages;
    Perform(TB_SETBITMAPSIZE, 0, textOnly ? MAKELPARAM(0, 0) : MAKELPARAM(16, 16));
    if (!textOnly) Perform(TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
    if (FIndent) Perform(TB_SETINDENT, static_cast<WPARAM>(FIndent), 0);
    RebuildButtons();
}

void TToolBar::SetShowCaptions(bool v)
{
    if (v == FShowCaptions) return;
    FShowCaptions = v;
    RecreateWnd();
}

void TToolBar::SetAutoSize(bool v)
{
    FAutoSize = v;
    AdjustSize();
}

void TToolBar::SetIndent(int v)
{
    FIndent = v;
    if (!FHandle) return;
    Perform(TB_SETINDENT, static_cast<WPARAM>(v), 0);
    // Wine lays the buttons out again only when they change.
    RebuildButtons();
}

void TToolBar::MoveButton(TControl* Button, int NewIndex)
{
    auto it = std::find(FControls.begin(), FControls.end(), Button);
    if (it == FControls.end()) return;
    FControls.erase(it);
    NewIndex = std::clamp(NewIndex, 0, static_cast<int>(FControls.size()));
    FControls.insert(FControls.begin() + NewIndex, Button);
    RebuildButtons();
}

void TToolBar::UpdateButtonBounds()
{
    if (!FHandle) return;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolButton*>(Controls(i));
        if (!b) continue;
        RECT r = ItemRect(i);
        b->FLeft = r.left;
        b->FTop = r.top;
        b->FWidth = r.right - r.left;
        b->FHeight = r.bottom - r.top;
    }
}

void TToolBar::AdjustSize()
{
    if (!FAutoSize || !FHandle || FAdjusting || ControlCount() == 0) return;
    LONG bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) bottom = std::max(bottom, ItemRect(i).bottom);
    if (bottom <= 0 || bottom == FHeight) return;
    FAdjusting = true;
    struct TDone {
        bool& F;
        ~TDone() { F = false; }
    } done{FAdjusting};
    SetHeight(static_cast<int>(bottom));
}

TControl* TToolBar::ControlAtPos(POINT p, bool AllowDisabled)
{
    UpdateButtonBounds();
    return TWinControl::ControlAtPos(p, AllowDisabled);
}

bool TToolBar::CustomDraw(NMTBCUSTOMDRAW* cd, LRESULT& Result)
{
    switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: Result = CDRF_NOTIFYITEMDRAW; return true;
    case CDDS_ITEMPREPAINT: {
        TToolButton* b = FindButton(static_cast<int>(cd->nmcd.dwItemSpec));
        Result = CDRF_DODEFAULT;
        if (!b || !b->CustomPainted()) return true;
        HDC dc = cd->nmcd.hdc;
        RECT r = cd->nmcd.rc;
        TDCGuard guard(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
        TCanvas canvas;
        TCanvasAttach attach(&canvas, dc);
        TValueGuard<TCanvas*> lent(b->FCanvas, &canvas, nullptr); // the button's canvas while it paints
        b->Paint();
        Result = CDRF_SKIPDEFAULT;
        return true;
    }
    default: return false;
    }
}

void TToolBar::RebuildButtons()
{
    if (!FHandle) return;
    while (Perform(TB_BUTTONCOUNT, 0, 0) > 0) Perform(TB_DELETEBUTTON, 0, 0);
    for (TControl* c : FControls) {
        TBBUTTON b = {};
        auto* btn = dynamic_cast<TToolButton*>(c);
        if (!btn) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = c->Width();
        } else if (btn->FStyle == TToolButtonStyle::tbsSeparator || btn->FStyle == TToolButtonStyle::tbsDivider) {
            b.fsStyle = BTNS_SEP;
            b.iBitmap = btn->FStyle == TToolButtonStyle::tbsDivider ? 8 : btn->Width();
            b.idCommand = btn->FCommand;
        } else {
            b.iBitmap = FShowCaptions && !FImages ? I_IMAGENONE : btn->FImageIndex;
            b.idCommand = btn->FCommand;
            if (FShowCaptions && !btn->FText.empty()) b.iString = reinterpret_cast<INT_PTR>(btn->FText.c_str());
            b.fsState = static_cast<BYTE>((btn->FEnabled ? TBSTATE_ENABLED : 0) | (btn->FDown ? TBSTATE_CHECKED : 0));
            b.fsStyle = btn->FStyle == TToolButtonStyle::tbsCheck ? BTNS_CHECK
                : btn->FStyle == TToolButtonStyle::tbsDropDown    ? BTNS_DROPDOWN
                                                                  : BTNS_BUTTON;
            if (btn->FGrouped && btn->FStyle == TToolButtonStyle::tbsCheck) b.fsStyle |= BTNS_GROUP;
        }
        Perform(TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&b));
        if (btn && FShowCaptions && !FImages && btn->FText.empty() && !(b.fsStyle & BTNS_SEP)) {
            // A caption-less button of a bar of captions keeps its own width.
            TBBUTTONINFOA info = {};
            info.cbSize = sizeof info;
            info.dwMask = TBIF_SIZE;
            info.cx = static_cast<WORD>(btn->FWidth);
            Perform(TB_SETBUTTONINFOA, static_cast<WPARAM>(btn->FCommand), reinterpret_cast<LPARAM>(&info));
        }
    }
    UpdateButtonBounds();
    PlaceHostedControls();
    AdjustSize();
}

RECT TToolBar::ItemRect(int Index)
{
    RECT r = {};
    Perform(TB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TToolBar::PlaceHostedControls()
{
    for (int i = 0; i < ControlCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(Controls(i));
        if (!w) continue;
        RECT r = ItemRect(i);
        // The control keeps its own width: its separator was made that wide.
        w->SetBounds(r.left, r.top + std::max(0L, (r.bottom - r.top - w->Height()) / 2), w->Width(), w->Height());
    }
}

TToolButton* TToolBar::FindButton(int Command) const
{
    for (TControl* c : FControls)
        if (auto* b = dynamic_cast<TToolButton*>(c); b && b->FCommand == Command) return b;
    return nullptr;
}

void TToolBar::DropDown(NMTOOLBARA* nm)
{
    TToolButton* b = FindButton(nm->iItem);
    if (!b || !b->FDropdownMenu) return;
    RECT r = nm->rcButton;
    POINT pt{r.left, r.bottom};
    ClientToScreen(FHandle, &pt);
    b->FDropdownMenu->SetPopupComponent(b);
    b->FDropdownMenu->Popup(pt.x, pt.y);
}

void TToolBar::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_COMMAND && reinterpret_cast<HWND>(Message.LParam) == FHandle) {
        if (TToolButton* b = FindButton(LOWORD(Message.WParam))) {
            if (b->FStyle == TToolButtonStyle::tbsCheck) b->FDown = Perform(TB_ISBUTTONCHECKED, b->FCommand, 0) != 0;
            b->Click();
        }
        return;
    }
    if (Message.Msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(Message.LParam);
        if (nm->code == NM_CUSTOMDRAW && nm->hwndFrom == FHandle &&
            CustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam), Message.Result))
            return;
        if (nm->code == TBN_DROPDOWN && nm->hwndFrom == FHandle) {
            DropDown(reinterpret_cast<NMTOOLBARA*>(Message.LParam));
            Message.Result = TBDDRET_DEFAULT;
            return;
        }
        if (nm->code == TTN_GETDISPINFOA || nm->code == TTN_GETDISPINFOW) {
            static std::wstring wide;
            static std::string narrow;
            TToolButton* b = FindButton(static_cast<int>(nm->idFrom));
            narrow = b ? b->Hint() : std::string();
            wide.assign(narrow.begin(), narrow.end());
            if (nm->code == TTN_GETDISPINFOA) reinterpret_cast<NMTTDISPINFOA*>(nm)->lpszText = narrow.data();
            else reinterpret_cast<NMTTDISPINFOW*>(nm)->lpszText = wide.data();
            return;
        }
    }
    TWinControl::WndProc(Message);
    if (Message.Msg == WM_SIZE) {
        UpdateButtonBounds();
        PlaceHostedControls();
    }
}

// ---- TCoolBar ----

TCoolBar::TCoolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FHeight = 26;
    FWidth = 200;
}

void TCoolBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwCoolBar";
    Params.SubclassOf = REBARCLASSNAMEA;
    Params.Style |=
        CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS | WS_CLIPCHILDREN;
}

void TCoolBar::InsertBand(const Band& b)
{
    REBARBANDINFOA bi = {};
    bi.cbSize = sizeof bi;
    bi.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE;
    // Every band after the first starts a row of its own.
    bi.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | (Perform(RB_GETBANDCOUNT, 0, 0) > 0 ? RBBS_BREAK : 0);
    bi.hwndChild = b.Control->Handle();
    bi.cxMinChild = 0;
    bi.cyMinChild = static_cast<UINT>(std::max(b.MinHeight, b.Control->Height()));
    bi.cx = static_cast<UINT>(b.Width);
    Perform(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&bi));
}

void TCoolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    for (const Band& b : FBands) InsertBand(b);
    UpdateHeight();
}

void TCoolBar::AddBand(TWinControl* Control, int MinHeight, int Width)
{
    Control->SetParent(this);
    FBands.push_back(Band{Control, MinHeight, Width});
    if (FHandle) {
        InsertBand(FBands.back());
        UpdateHeight();
    }
}

void TCoolBar::UpdateHeight()
{
    if (!FHandle) return;
    int h = static_cast<int>(Perform(RB_GETBARHEIGHT, 0, 0));
    if (h > 0 && h != FHeight) SetHeight(h);
}

void TCoolBar::WndProc(TMessage& Message)
{
    if (Message.Msg == CN_NOTIFY || Message.Msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(Message.LParam);
        if (nm->hwndFrom == FHandle && nm->code == RBN_HEIGHTCHANGE) {
            UpdateHeight();
            return;
        }
    }
    TWinControl::WndProc(Message);
}

// ---- TStatusBar ----

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FHeight = 19;
    FAlign = TAlign::alBottom;
}

void TStatusBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwStatusBar";
    Params.SubclassOf = STATUSCLASSNAMEA;
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyPanels();
}

int TStatusBar::AddPanel(int Width)
{
    FPanels.push_back(Panel{Width, {}});
    ApplyPanels();
    return PanelCount() - 1;
}

void TStatusBar::ApplyPanels()
{
    if (!FHandle || FPanels.empty()) return;
    std::vector<int> edges;
    int x = 0;
    for (const Panel& p : FPanels) edges.push_back(x += p.Width);
    Perform(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < FPanels.size(); ++i)
        Perform(SB_SETTEXTA, i, reinterpret_cast<LPARAM>(FPanels[i].Text.c_str()));
}

void TStatusBar::SetPanelText(int i, const std::string& Text)
{
    FPanels.at(static_cast<size_t>(i)).Text = Text;
    if (FHandle) Perform(SB_SETTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(Text.c_str()));
}

} // namespace pw
