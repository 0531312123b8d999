#include "RichEdit.h"

#include "Guards.h"
#include "Printers.h"
#include "SysUtils.h"

#include <algorithm>
#include <vector>

namespace pw {

namespace {

struct TStreamCookie {
    TStream* Stream;
    TStreamFirewall Guard;
};

DWORD CALLBACK ReadFromStream(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* done)
{
    auto* c = reinterpret_cast<TStreamCookie*>(cookie);
    *done = 0;
    return c->Guard.Run(
        [&]() -> DWORD {
            *done = c->Stream->Read(buf, cb);
            return 0;
        },
        1);
}

DWORD CALLBACK WriteToStream(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* done)
{
    auto* c = reinterpret_cast<TStreamCookie*>(cookie);
    *done = 0;
    return c->Guard.Run(
        [&]() -> DWORD {
            *done = c->Stream->Write(buf, cb);
            return 0;
        },
        2);
}

} // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 185;
    FHeight = 89;
    FColor = clWindow;
    SetTabStop(true);
    FCursor = crDefault;
}

TCustomRichEdit::~TCustomRichEdit()
{
    FDeleting = true;
    DestroyComponents();
    if (FHandle) DestroyWindowHandle();
}

void TCustomRichEdit::CreateParams(TCreateParams& Params)
{
    static HMODULE riched32 = LoadLibraryA("RICHED32.DLL");
    (void)riched32;
    TWinControl::CreateParams(Params);
    Params.WinClassName = "TPwRichEdit";
    Params.SubclassOf = "RICHEDIT";
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (FWantReturns) Params.Style |= ES_WANTRETURN;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= WS_VSCROLL | ES_AUTOVSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth || !FWordWrap)
        Params.Style |= WS_HSCROLL | ES_AUTOHSCROLL;
    if (FBorderSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomRichEdit::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
    Perform(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    // No maximum means none at all: the control's own default stops typing at 32767 characters.
    Perform(EM_EXLIMITTEXT, 0, FMaxLength > 0 ? FMaxLength : 0x7FFFFFFE);
    if (!FWordWrap) ApplyWordWrap();
    if (FSaved) {
        FSaved->SetPosition(0);
        StreamInFrom(*FSaved, FPlainText ? SF_TEXT : SF_RTF);
        FSaved.reset();
    }
}

void TCustomRichEdit::DestroyWnd()
{
    if (FHandle && !FDeleting && !(ComponentState() & csDestroying)) {
        FSaved = std::make_unique<TMemoryStream>();
        StreamOutTo(*FSaved, FPlainText ? SF_TEXT : SF_RTF);
    }
    TWinControl::DestroyWnd();
}

void TCustomRichEdit::StreamOutTo(TStream& Stream, int Format)
{
    TStreamCookie c{&Stream, {}};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&c), 0, WriteToStream};
    Perform(EM_STREAMOUT, static_cast<WPARAM>(Format), reinterpret_cast<LPARAM>(&es));
    c.Guard.RaiseKept(); // what stopped the stream, if it was stopped by an error of ours
    if (es.dwError) throw EOutOfResources("Failed to Save Stream");
}

void TCustomRichEdit::StreamInFrom(TStream& Stream, int Format)
{
    TStreamCookie c{&Stream, {}};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&c), 0, ReadFromStream};
    Perform(EM_STREAMIN, static_cast<WPARAM>(Format), reinterpret_cast<LPARAM>(&es));
    c.Guard.RaiseKept();
    if (es.dwError) throw EOutOfResources("Failed to Load Stream");
}

int TCustomRichEdit::SelStart()
{
    CHARRANGE r = {0, 0};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMin;
}

void TCustomRichEdit::SetSelStart(int v)
{
    CHARRANGE r = {v, v};
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

int TCustomRichEdit::SelLength()
{
    CHARRANGE r = {0, 0};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMax - r.cpMin;
}

void TCustomRichEdit::SetSelLength(int v)
{
    CHARRANGE r = {0, 0};
    Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    r.cpMax = r.cpMin + v;
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

std::string TCustomRichEdit::SelText()
{
    int n = SelLength();
    if (n <= 0) return {};
    // Room for a double-byte character per character of the selection.
    std::vector<char> buf(static_cast<size_t>(n) * 2 + 2, '\0');
    Perform(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
    return buf.data();
}

void TCustomRichEdit::SetSelText(const std::string& s)
{
    Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TCustomRichEdit::SelectAll()
{
    CHARRANGE r = {0, -1};
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomRichEdit::Clear() { SetText(""); }
void TCustomRichEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomRichEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomRichEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomRichEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }

int TCustomRichEdit::GetTextLen()
{
    GETTEXTLENGTHEX g = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int>(Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

void TCustomRichEdit::SetHideSelection(bool v)
{
    FHideSelection = v;
    RecreateWnd();
}
void TCustomRichEdit::SetHideScrollBars(bool v)
{
    FHideScrollBars = v;
    RecreateWnd();
}
void TCustomRichEdit::SetScrollBars(TScrollStyle v)
{
    if (FScrollBars != v) {
        FScrollBars = v;
        RecreateWnd();
    }
}
void TCustomRichEdit::SetWordWrap(bool v)
{
    if (FWordWrap == v) return;
    FWordWrap = v;
    // Told to the window as it is, text and undo kept: remaking it would read the whole
    // document out and in again.
    if (HandleAllocated()) ApplyWordWrap();
}
void TCustomRichEdit::ApplyWordWrap()
{
    Perform(EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
    bool horizontal = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    Perform(EM_SHOWSCROLLBAR, SB_HORZ, (horizontal || !FWordWrap) ? TRUE : FALSE);
}
void TCustomRichEdit::SetWantReturns(bool v)
{
    FWantReturns = v;
    RecreateWnd();
}
void TCustomRichEdit::SetBorderSingle(bool v)
{
    if (FBorderSingle != v) {
        FBorderSingle = v;
        RecreateWnd();
    }
}

void TCustomRichEdit::SetReadOnly(bool v)
{
    FReadOnly = v;
    if (FHandle) Perform(EM_SETREADONLY, v, 0);
}

void TCustomRichEdit::SetMaxLength(int v)
{
    FMaxLength = v;
    if (FHandle) Perform(EM_EXLIMITTEXT, 0, v > 0 ? v : 0x7FFFFFFE);
}

int TCustomRichEdit::PrintTo(HDC DC, const RECT& PageTwips, const std::function<void()>& NewPage)
{
    int length = GetTextLen();
    FORMATRANGE fr = {};
    fr.hdc = DC;
    fr.hdcTarget = DC;
    fr.rcPage = PageTwips;
    fr.rc = PageTwips;
    fr.chrg.cpMin = 0;
    fr.chrg.cpMax = -1;
    int pages = 0;
    while (fr.chrg.cpMin < length) {
        if (pages > 0 && NewPage) NewPage();
        fr.rc = PageTwips;
        int next = static_cast<int>(Perform(EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&fr)));
        ++pages;
        // A formatter that makes no progress would repeat this page for ever.
        if (next <= fr.chrg.cpMin) break;
        fr.chrg.cpMin = next;
    }
    Perform(EM_FORMATRANGE, 0, 0);
    return pages;
}

void TCustomRichEdit::Print(const std::string& Caption)
{
    TPrinter* p = Printer();
    HDC dc = p->Handle();
    int w = GetDeviceCaps(dc, PHYSICALWIDTH), h = GetDeviceCaps(dc, PHYSICALHEIGHT);
    int dpx = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpy = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    RECT page{0, 0, MulDiv(w, 1440, dpx), MulDiv(h, 1440, dpy)};
    p->BeginDoc(Caption);
    {
        // A document that fails half-way is cancelled, not printed.
        TScopeFail abort([p] { p->Abort(); });
        PrintTo(dc, page, [p] { p->NewPage(); });
    }
    p->EndDoc();
}

void TCustomRichEdit::DoNotify(NMHDR* Header, TMessage& Message)
{
    switch (Header->code) {
    case EN_SELCHANGE:
        if (OnSelectionChange) OnSelectionChange(this);
        break;
    case EN_REQUESTRESIZE:
        if (OnResizeRequest) OnResizeRequest(this, reinterpret_cast<REQRESIZE*>(Header)->rc);
        break;
    case EN_PROTECTED: {
        auto* p = reinterpret_cast<ENPROTECTED*>(Header);
        bool allow = true;
        if (OnProtectChange) OnProtectChange(this, p->chrg.cpMin, p->chrg.cpMax, allow);
        Message.Result = allow ? 0 : 1;
        break;
    }
    case EN_SAVECLIPBOARD: {
        auto* s = reinterpret_cast<ENSAVECLIPBOARD*>(Header);
        bool save = true;
        if (OnSaveClipboard) OnSaveClipboard(this, s->cObjectCount, s->cch, save);
        Message.Result = save ? 0 : 1;
        break;
    }
    default: break;
    }
}

void TCustomRichEdit::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && OnChange) OnChange(this);
        return;
    case CN_NOTIFY: DoNotify(reinterpret_cast<NMHDR*>(Message.LParam), Message); return;
    case WM_GETDLGCODE:
        TWinControl::WndProc(Message);
        if (FWantTabs) Message.Result |= DLGC_WANTTAB;
        if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
        return;
    default: break;
    }
    TWinControl::WndProc(Message);
}

} // namespace pw
