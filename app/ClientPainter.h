// Paints window-less controls on the background of an MDI frame's client window, below the
// document windows: the frame's own client area is covered by that window.
#pragma once
#include "Forms.h"

#include <memory>
#include <vector>

namespace pw {

class TGraphicControl;
class TWindowSubclass;

class TMDIClientPainter : public TComponent {
public:
    // Owned by Frame; paints on its client window once Attach has found it.
    explicit TMDIClientPainter(TForm* Frame);
    ~TMDIClientPainter() override;

    // A control to paint; its bounds are in the frame's client coordinates.
    void Add(TGraphicControl* Control);
    // Starts painting on the frame's client window (again, when it was made anew).
    void Attach();
    HWND Client() const { return FClient; }

private:
    TForm* FFrame;
    HWND FClient = nullptr;
    std::unique_ptr<TWindowSubclass> FSubclass;
    std::vector<TGraphicControl*> FControls;
    void Detach();
    void PaintControls(HDC DC);
    void ClientProc(TMessage& Message);
};

} // namespace pw
