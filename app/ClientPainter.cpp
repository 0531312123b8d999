#include "ClientPainter.h"

#include <commctrl.h>

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
    if (!client || !SetWindowSubclass(client, ClientProc, 1, reinterpret_cast<DWORD_PTR>(this))) return;
    FClient = client;
    InvalidateRect(FClient, nullptr, TRUE);
}

void TMDIClientPainter::Detach()
{
    if (FClient && IsWindow(FClient)) RemoveWindowSubclass(FClient, ClientProc, 1);
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

LRESULT CALLBACK TMDIClientPainter::ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                               DWORD_PTR Data)
{
    auto* self = reinterpret_cast<TMDIClientPainter*>(Data);
    switch (Msg) {
    case WM_ERASEBKGND: {
        LRESULT r = DefSubclassProc(Wnd, Msg, WParam, LParam);
        Firewall([&] { self->PaintControls(reinterpret_cast<HDC>(WParam)); return 0; }, 0);
        return r;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        // Scrolling moves the documents; the background stays where it is, so repaint it all.
        LRESULT r = DefSubclassProc(Wnd, Msg, WParam, LParam);
        InvalidateRect(Wnd, nullptr, TRUE);
        return r;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(Wnd, ClientProc, 1);
        self->FClient = nullptr;
        break;
    default:
        break;
    }
    return DefSubclassProc(Wnd, Msg, WParam, LParam);
}

} // namespace pw
