#include "ClientPainter.h"

#include "Subclass.h"

namespace pw {

TMDIClientPainter::TMDIClientPainter(TForm* Frame) : TComponent(Frame), FFrame(Frame) {}

TMDIClientPainter::~TMDIClientPainter() { Detach(); }

void TMDIClientPainter::Add(TGraphicControl* Control)
{
    FControls.push_back(Control);
    if (FClient) InvalidateRect(FClient, nullptr, TRUE);
}

void TMDIClientPainter::Attach()
{
    HWND client = FFrame->ClientHandle();
    if (client == FClient) return;
    Detach();
    if (!client || !IsWindow(client)) return;
    FSubclass = std::make_unique<TWindowSubclass>(client, [this](TMessage& Message) { ClientProc(Message); });
    FClient = client;
    InvalidateRect(FClient, nullptr, TRUE);
}

void TMDIClientPainter::Detach()
{
    FSubclass.reset();
    FClient = nullptr;
}

void TMDIClientPainter::PaintControls(HDC DC)
{
    for (TGraphicControl* c : FControls) {
        if (!c->Visible()) continue;
        POINT at{c->Left(), c->Top()};
        MapWindowPoints(FFrame->Handle(), FClient, &at, 1);
        TDCGuard guard(DC);
        OffsetViewportOrgEx(DC, at.x, at.y, nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->PaintTo(DC);
    }
}

void TMDIClientPainter::ClientProc(TMessage& Message)
{
    HWND client = FSubclass->Window();
    FSubclass->CallPrevious(Message);
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // What fails to paint leaves the background as the window erased it.
        Firewall(
            [&] {
                PaintControls(reinterpret_cast<HDC>(Message.WParam));
                return 0;
            },
            0);
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Scrolling moves the documents; the background stays where it is, so repaint it all.
        InvalidateRect(client, nullptr, TRUE);
        break;
    case WM_NCDESTROY:
        FClient = nullptr; // the link stays harmless until it is dropped
        break;
    default: break;
    }
}

} // namespace pw
