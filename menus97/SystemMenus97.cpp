#include "SystemMenus97.h"

#include "Forms.h"

#include <algorithm>
#include <functional>

namespace pw {

namespace {

constexpr UINT SystemCommands[10] = {SC_RESTORE, SC_MOVE,       SC_SIZE,       SC_MINIMIZE, SC_MAXIMIZE,
                                     SC_CLOSE,   SC_NEXTWINDOW, SC_PREVWINDOW, SC_TASKLIST, SC_SCREENSAVE};
constexpr UINT SeparatorCommand = 55000;

UINT BreakType(const TMenuItem* Item)
{
    switch (Item->Break()) {
    case TMenuBreak::mbBreak: return MFT_MENUBREAK;
    case TMenuBreak::mbBarBreak: return MFT_MENUBARBREAK;
    default: return 0;
    }
}

} // namespace

// ---- options ----

TSystemMenu97Options::TSystemMenu97Options(UINT Command)
    : FItem(std::make_unique<TMenuItem>(nullptr)), FCommand(Command)
{
    FItem->SetTag(DropDownItemTag);
}

TSystemMenu97Options::~TSystemMenu97Options() = default;

void TSystemMenu97Options::SetImageIndex(int Value)
{
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed();
}

void TSystemMenu97Options::SetVisible(TSystemMenu97ItemState Value)
{
    if (Value == FVisible) return;
    FVisible = Value;
    Changed();
}

void TSystemMenu97Options::SetCaption(const std::string& Value)
{
    if (Value == FCaption) return;
    FCaption = Value;
    Changed();
}

void TSystemMenu97Options::Changed()
{
    if (OnChange) OnChange(this);
}

// ---- the styler ----

TCustomSystemMenus97::TCustomSystemMenus97(TComponent* AOwner)
    : TCustomPopupMenus97(AOwner), FOwnMenu(std::make_unique<TPopupMenu>(nullptr))
{
    TForm* form = OwnerForm();
    if (form) FWindow = form->Handle();
    for (size_t i = 0; i < FOptions.size(); ++i) {
        FOptions[i] = std::make_unique<TSystemMenu97Options>(SystemCommands[i]);
        FOptions[i]->OnChange = [this](TObject*) { OptionChanged(); };
    }
    FInsertBefore = form && form->FormStyle() == TFormStyle::fsMDIChild ? SC_NEXTWINDOW : SC_CLOSE;
    // Nothing is built yet: the system menu is made ours when it first opens.
    SetOwnMenu(FOwnMenu.get());
}

TCustomSystemMenus97::~TCustomSystemMenus97()
{
    if (Menu() == FOwnMenu.get()) SetOwnMenu(nullptr);
    // The system's own menu comes back: no item is left drawn by this styler.
    if (FWindow && IsWindow(FWindow)) GetSystemMenu(FWindow, TRUE);
    FSystemMenu = nullptr;
}

TPopupMenu* TCustomSystemMenus97::GetPopupMenu() const
{
    return Menu() == FOwnMenu.get() ? nullptr : dynamic_cast<TPopupMenu*>(Menu());
}

void TCustomSystemMenus97::SetPopupMenu(TPopupMenu* Value)
{
    SetMenu(Value && Value->Items()->Count() > 0 ? Value : FOwnMenu.get());
}

// A menu already built shows the change the next time it opens: it is built again now, or,
// while a menu is open, once the menu loop ends.
void TCustomSystemMenus97::OptionChanged()
{
    FDirty = true;
    if (FSystemMenu && !FInMenuLoop) RebuildSystemMenu();
}

void TCustomSystemMenus97::SetMenu(TMenu* Value)
{
    FDirty = true;
    TCustomPopupMenus97::SetMenu(Value);
}

TSystemMenu97Options* TCustomSystemMenus97::Option(UINT Command) const
{
    for (const auto& o : FOptions)
        if (o->Command() == Command) return o.get();
    return nullptr;
}

TMenuItem* TCustomSystemMenus97::FindItem(UINT Command)
{
    if (Menu())
        if (TMenuItem* item = TMenuItem::FindByCommand(Command); item && item->GetParentMenu() == Menu()) return item;
    if (TSystemMenu97Options* o = Option(Command)) return o->Item();
    return TCustomPopupMenus97::FindItem(Command);
}

void TCustomSystemMenus97::PrepareItems(TMenuItem*, bool Restore)
{
    // Putting items back happens once, when the styler goes (the system's default menu).
    if (Restore || !FWindow) return;
    if (FDirty || !FSystemMenu || !IsMenu(FSystemMenu)) RebuildSystemMenu();
    else OwnerDrawCommands();
}

void TCustomSystemMenus97::RebuildSystemMenu()
{
    if (!FWindow || !IsWindow(FWindow)) return;
    GetSystemMenu(FWindow, TRUE);
    FSystemMenu = GetSystemMenu(FWindow, FALSE);
    if (!FSystemMenu) return;
    for (const auto& o : FOptions) ApplyOption(*o);
    if (Menu() && Menu()->Items()->Count() > 0) {
        AddMenuItems();
        InsertMenuA(FSystemMenu, FInsertBefore, MF_BYCOMMAND | MF_SEPARATOR, SeparatorCommand, nullptr);
    }
    FDirty = false;
    OwnerDrawCommands();
}

void TCustomSystemMenus97::ApplyOption(TSystemMenu97Options& O)
{
    UINT s = O.Command();
    if (O.Visible() == TSystemMenu97ItemState::smFalse) DeleteMenu(FSystemMenu, s, MF_BYCOMMAND);
    char text[100] = {};
    MENUITEMINFOA mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = sizeof text - 1;
    bool present = GetMenuItemInfoA(FSystemMenu, s, FALSE, &mi) != 0;
    if (!present && O.Visible() != TSystemMenu97ItemState::smTrue) return;
    std::string t = present ? text : "";
    UINT state = present ? mi.fState : 0;
    if (!O.Caption().empty() || (O.Visible() == TSystemMenu97ItemState::smTrue && !present)) {
        t = O.Caption();
        if (size_t tab = t.find("#9"); tab != std::string::npos) t.replace(tab, 2, "\t");
        state = 0;
    }
    TMenuItem* item = O.Item();
    size_t tab = t.find('\t');
    item->SetCaption(tab == std::string::npos ? t : t.substr(0, tab));
    item->SetShortCut(tab == std::string::npos ? 0 : TextToShortCut(t.substr(tab + 1)));
    item->SetEnabled(true);
    item->SetChecked((state & MFS_CHECKED) != 0);
    item->SetDefault((state & MFS_DEFAULT) != 0);
    item->SetTag(O.ImageIndex());
    if (present) {
        if (!O.Caption().empty()) {
            MENUITEMINFOA set = {};
            set.cbSize = sizeof set;
            set.fMask = MIIM_STRING;
            set.dwTypeData = t.data();
            SetMenuItemInfoA(FSystemMenu, s, FALSE, &set);
        }
        return;
    }
    MENUITEMINFOA add = {};
    add.cbSize = sizeof add;
    add.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    add.fType = (O.Caption() == "-" ? MFT_SEPARATOR : 0) | BreakType(item);
    add.fState = (item->Checked() ? MFS_CHECKED : 0) | (item->Default() ? MFS_DEFAULT : 0);
    add.wID = s;
    add.dwTypeData = t.data();
    if (!InsertMenuItemA(FSystemMenu, FInsertBefore, FALSE, &add))
        InsertMenuItemA(FSystemMenu, static_cast<UINT>(GetMenuItemCount(FSystemMenu)), TRUE, &add);
}

void TCustomSystemMenus97::AddMenuItems()
{
    // The pop-up menu's items go before the command they precede; their children go into
    // the sub-menus made for them.
    std::function<void(HMENU, TMenuItem*, bool)> add = [&](HMENU target, TMenuItem* parent, bool before) {
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* c = parent->Items(i);
            if (!c->Visible()) continue;
            std::string text = c->Caption();
            if (c->Count() == 0 && c->ShortCut()) text += "\t" + ShortCutToText(c->ShortCut());
            MENUITEMINFOA mi = {};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
            mi.fType = (c->IsLine() ? MFT_SEPARATOR : 0) | (c->RadioItem() ? MFT_RADIOCHECK : 0) | BreakType(c);
            mi.fState =
                (c->Checked() ? MFS_CHECKED : 0) | (c->Enabled() ? 0 : MFS_GRAYED) | (c->Default() ? MFS_DEFAULT : 0);
            mi.wID = c->Command();
            mi.hSubMenu = c->Count() > 0 ? CreatePopupMenu() : nullptr;
            mi.dwTypeData = text.data();
            if (!before || !InsertMenuItemA(target, FInsertBefore, FALSE, &mi))
                InsertMenuItemA(target, static_cast<UINT>(GetMenuItemCount(target)), TRUE, &mi);
            if (mi.hSubMenu) add(mi.hSubMenu, c, false);
        }
    };
    add(FSystemMenu, Menu()->Items(), true);
}

void TCustomSystemMenus97::OwnerDrawCommands()
{
    if (FSystemMenu) PrepareMenu(FSystemMenu, false);
}

int TCustomSystemMenus97::FindAccelerator(const TMessage& Message)
{
    if (ComponentState() & csDesigning) return NoAccelerator;
    if (Menu() && FSystemMenu && reinterpret_cast<HMENU>(Message.LParam) == FSystemMenu) {
        char key = static_cast<char>(LOBYTE(LOWORD(Message.WParam)));
        int count = GetMenuItemCount(FSystemMenu);
        for (int p = 0; p < count; ++p) {
            MENUITEMINFOA mi = {};
            mi.cbSize = sizeof mi;
            mi.fMask = MIIM_ID;
            if (!GetMenuItemInfoA(FSystemMenu, static_cast<UINT>(p), TRUE, &mi) || mi.wID == 0) continue;
            if (TMenuItem* item = FindItem(mi.wID); item && IsMnemonic(key, item->Caption())) return p;
        }
    }
    return TCustomPopupMenus97::FindAccelerator(Message);
}

void TCustomSystemMenus97::SubclassProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SYSCOMMAND:
        if (Menu())
            if (TMenuItem* item = TMenuItem::FindByCommand(static_cast<UINT>(Message.WParam));
                item && item->GetParentMenu() == Menu())
                item->Click();
        // Passed on either way, so that the form and later subclasses see the command too.
        break;
    case WM_ENTERMENULOOP: FInMenuLoop = true; break;
    case WM_EXITMENULOOP:
        FInMenuLoop = false;
        if (FDirty && FSystemMenu) RebuildSystemMenu();
        break;
    case WM_INITMENUPOPUP:
        // The system menu as it opens: our items are made ours again, it is not rebuilt.
        if (HIWORD(Message.LParam)) PrepareItems(nullptr, false);
        break;
    case CM_MENUCHANGED: FDirty = true; break;
    default: break;
    }
    TCustomPopupMenus97::SubclassProc(Message);
}

void TCustomSystemMenus97::PopupListWndProc(TMessage& Message)
{
    if (Message.Msg == CM_MENUCHANGED && Menu() && reinterpret_cast<TMenu*>(Message.LParam) == Menu()) FDirty = true;
    TCustomPopupMenus97::PopupListWndProc(Message);
}

bool TCustomSystemMenus97::IsBannerItem(TMenuItem* Item)
{
    if (!Item) return false;
    if (Menu() && Menu() != FOwnMenu.get()) return !Item->Parent() || Item->Parent() == Menu()->Items();
    return !Item->Parent();
}

void TCustomSystemMenus97::CalcBannerRect(TMenuItem*)
{
    if (FSystemMenu && Menu()) CalcBannerRectFor(FSystemMenu, Menu()->Items());
}

} // namespace pw
