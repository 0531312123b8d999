// Forms and the application object with its message loop.
#pragma once
#include "Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pw {

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poMainFormCenter };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

class TMainMenu;
class TMenuItem;
class TWindowSubclass;

// A top-level window: plain, MDI frame or MDI child.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle s);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition p) { FPosition = p; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle b);
    TWindowState WindowState();
    void SetWindowState(TWindowState s);
    void SetClientWidth(int w);
    void SetClientHeight(int h);
    int ClientWidth()
    {
        RECT r = ClientRect();
        return r.right - r.left;
    }
    int ClientHeight()
    {
        RECT r = ClientRect();
        return r.bottom - r.top;
    }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* m);

    // MDI frame: the client window and the children.
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount();
    TForm* MDIChildren(int i);
    TForm* ActiveMDIChild();
    void Cascade();
    void Tile();
    void ArrangeIcons();
    void Next();
    // The menu item to which the MDI client appends the list of child windows.
    void SetWindowMenuItem(TMenuItem* Item);
    TMenuItem* WindowMenuItem() const { return FWindowMenuItem; }
    // Puts the main menu (again) on the window after it changed, then sends the window
    // CM_MENUCHANGED so that whoever styles the menu makes the rebuilt items its own again.
    void MenuChanged();

    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery, then OnClose, then acts on the resulting close action.
    void Close();
    bool CloseQuery();
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int r) { FModalResult = r; }
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* c);
    void BringToFront();

    // Fires OnCreate; called once the form and its components are built.
    virtual void AfterConstruction();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnDestroy;
    std::function<void(TObject*, TCloseAction&)> OnClose;
    std::function<void(TObject*, bool&)> OnCloseQuery;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    // Whether a key press is a menu shortcut here; runs the item when it is.
    virtual bool IsShortCut(const MSG& Msg);

    // Tab, Enter and Esc act as in a dialog box: Enter and Esc that no button takes arrive
    // as DialogKey(IDOK) and DialogKey(IDCANCEL).
    bool DialogKeys() const { return FDialogKeys; }
    void SetDialogKeys(bool v);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DestroyWindowHandle() override;
    virtual void DialogKey(int Id) { (void)Id; }
    void WindowDestroyed() override;
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();

    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TPosition FPosition = TPosition::poDesigned;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TMainMenu* FMenu = nullptr;
    HWND FClientHandle = nullptr;
    std::unique_ptr<TWindowSubclass> FClientScroll; // the client's scroll bars put right
    HMENU FWindowMenu = nullptr;
    TMenuItem* FWindowMenuItem = nullptr;
    int FModalResult = mrNone;
    bool FActive = false;
    bool FKeyPreview = false;
    bool FInModal = false;
    bool FCreated = false;
    TWinControl* FActiveControl = nullptr;
    TWindowState FWindowState = TWindowState::wsNormal;
    TBrush FColorBrush; // paints Color behind the form and its static texts
    bool FDialogKeys = false;

private:
    void CenterOnScreen();
    void CreateMDIClient();
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& t) { FTitle = t; }
    // The hint of what the mouse or the menu selection is on; OnHint follows every change.
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& h);
    TNotifyEvent OnHint;
    TForm* MainForm() const { return FMainForm; }
    HINSTANCE Instance() const { return GetModuleHandleA(nullptr); }

    void Initialize();
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T, class... A>
    T* CreateForm(A&&... args)
    {
        T* f = new T(this, std::forward<A>(args)...);
        f->AfterConstruction();
        if (!FMainForm) FMainForm = f;
        return f;
    }
    void SetMainForm(TForm* f) { FMainForm = f; }

    // Shows the main form and runs the message loop until it closes; gives the exit code.
    int Run();
    void ProcessMessages();
    // Waits for and handles one message.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Takes back a termination that has not ended the loop yet (for hosts that go on).
    void CancelTerminate();

    // Handles the exception being handled: EAbort is silent, anything else is shown.
    void HandleException(TObject* Sender);
    void ShowException(const std::string& Message);
    std::function<void(TObject* Sender, const std::exception& E)> OnException;

    // Message boxes of the program go through here. A test installs MessageBoxResponder to
    // answer them; by default the real Win32 message box appears.
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags, HWND Owner = nullptr);
    std::function<int(const std::string& Text, const std::string& Caption, UINT Flags)> MessageBoxResponder;

    // Modeless dialogs whose keyboard navigation the loop must serve.
    void AddModelessDialog(HWND h);
    void RemoveModelessDialog(HWND h);
    // Extra filters run on every message before it is dispatched; true consumes it.
    std::vector<std::function<bool(MSG&)>> MessageFilters;

    int ExitCode() const { return FExitCode; }

private:
    std::string FTitle;
    std::string FHint;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    int FExitCode = 0;
    std::vector<HWND> FDialogs;
    bool ProcessMessage(MSG& Msg);
    bool IsPreprocessMessage(MSG& Msg);
};

extern TApplication* Application;

} // namespace pw
