// Common controls: image list, tool bar with its buttons, cool bar, status bar.
#pragma once
#include "Controls.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace pw {

class TPopupMenu;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner, int AWidth = 16, int AHeight = 16);
    ~TImageList() override;
    HIMAGELIST Handle() const { return FHandle; }
    int Count() const { return ImageList_GetImageCount(FHandle); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Adds the images of a bitmap strip; pixels of MaskColor are transparent. Gives the first index.
    int AddMasked(HBITMAP Bitmap, COLORREF MaskColor);
    // Adds the images of a bitmap resource of the program.
    int AddResource(const char* Name, COLORREF MaskColor);
    void ReplaceMasked(int Index, HBITMAP Bitmap, COLORREF MaskColor);
    // Replaces image Index by Image with an explicit Mask (white = transparent); the bitmaps
    // stay the caller's.
    void Replace(int Index, HBITMAP Image, HBITMAP Mask);
    void Draw(HDC DC, int X, int Y, int Index, bool Enabled = true) const;
    // Controls that show the images hear of every change through Handler until unregistered
    // (or until the list goes: they are told through Notification).
    void RegisterChanges(TComponent* Client, TNotifyEvent Handler);
    void UnRegisterChanges(TComponent* Client);
    TNotifyEvent OnChange;
private:
    HIMAGELIST FHandle;
    int FWidth, FHeight;
    std::vector<std::pair<TComponent*, TNotifyEvent>> FClients;
    void Changed();
};

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// One button of a tool bar. It has no window of its own: the tool bar draws it.
class TToolButton : public TControl {
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;
    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle s) { FStyle = s; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i);
    bool Down();
    void SetDown(bool v);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool v) { FGrouped = v; }
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* m) { FDropdownMenu = m; }
    void SetEnabled(bool v) override;
    void SetParent(TWinControl* AParent) override;
    int Command() const { return FCommand; }
    TToolBar* ToolBar() const;
    // As a click on the button: the check state flips for check buttons, then OnClick.
    void Click() override;
    int Index() const;
    // The caption, shown when the bar shows captions.
    void SetText(const std::string& s) override;
    // Valid while the button paints itself.
    TCanvas* Canvas() const { return FCanvas; }
protected:
    // A button that draws itself answers true; the bar then calls Paint with Canvas on the
    // item's DC (origin at the button's top-left, clipped to it) instead of drawing it.
    virtual bool CustomPainted() const { return false; }
    virtual void Paint() {}
private:
    friend class TToolBar;
    TCanvas* FCanvas = nullptr;
    TToolButtonStyle FStyle = TToolButtonStyle::tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    TPopupMenu* FDropdownMenu = nullptr;
    int FCommand;
};

class TToolBar : public TWinControl {
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* i);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { FFlat = v; }
    bool ShowCaptions() const { return FShowCaptions; }
    // Buttons show their captions (beside the image; a bar without images shows text only).
    void SetShowCaptions(bool v);
    void SetButtonSize(int w, int h) { FButtonWidth = w; FButtonHeight = h; }
    // The bar's height follows its buttons.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    // Space before the first button, in pixels.
    int Indent() const { return FIndent; }
    void SetIndent(int v);
    // Moves a button (or hosted control) to a new place among the bar's items.
    void MoveButton(TControl* Button, int NewIndex);
    // The visible item under a client point: tool buttons by their drawn rectangles.
    TControl* ControlAtPos(POINT p, bool AllowDisabled) override;
    // Gives every tool button the bounds the bar draws it in.
    void UpdateButtonBounds();
    int ButtonCount() const;
    TToolButton* Buttons(int i) const;
    // A control hosted on the bar (a combo box) sits over a separator of its width.
    void AddControl(TWinControl* Control);
    void WndProc(TMessage& Message) override;
    RECT ItemRect(int Index);
    // Refills the bar's buttons from its children.
    void RebuildButtons();
protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
private:
    TImageList* FImages = nullptr;
    bool FFlat = true;
    bool FShowCaptions = false;
    bool FAutoSize = false;
    int FIndent = 0;
    bool FAdjusting = false;
    void AdjustSize();
    bool CustomDraw(NMTBCUSTOMDRAW* cd, LRESULT& Result);
    int FButtonWidth = 23, FButtonHeight = 22;
    friend class TToolButton;
    void PlaceHostedControls();
    TToolButton* FindButton(int Command) const;
    void DropDown(NMTOOLBARA* nm);
};

class TCoolBar : public TWinControl {
public:
    explicit TCoolBar(TComponent* AOwner);
    // Adds a band holding Control (whose parent becomes the cool bar).
    void AddBand(TWinControl* Control, int MinHeight, int Width);
    int BandCount() const { return static_cast<int>(FBands.size()); }
    void WndProc(TMessage& Message) override;
    void UpdateHeight();
protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
private:
    struct Band { TWinControl* Control; int MinHeight; int Width; };
    std::vector<Band> FBands;
    void InsertBand(const Band& b);
};

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* AOwner);
    int AddPanel(int Width);
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    const std::string& PanelText(int i) const { return FPanels.at(static_cast<size_t>(i)).Text; }
    void SetPanelText(int i, const std::string& Text);
protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
private:
    struct Panel { int Width; std::string Text; };
    std::vector<Panel> FPanels;
    void ApplyPanels();
};

} // namespace pw
