#include "RichEdit98.h"

#include "Filer.h"
#include "RichEditStrings98.h"
#include "SysUtils.h"
#include "TextAttributes98.h"
#include "WordBreak.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace pw {

const char* const EmptyDocumentRTF = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl {\\f0\\fnil Arial;}}\r\n"
                                     "\\uc1\\pard\\ulnone\\f0\\fs16\\par\r\n"
                                     "}\r\n";

TCustomRichEdit98::TCustomRichEdit98(TComponent* AOwner)
    : TCustomRichEdit(AOwner), FSelAttributes(std::make_unique<TTextAttributes98>(this, TAttributeKind::atSelected)),
      FDefAttributes(std::make_unique<TTextAttributes98>(this, TAttributeKind::atDefaultText)),
      FParagraph(std::make_unique<TParaAttributes98>(this)), FLines(std::make_unique<TRichEditStrings98>(this)),
      FWideLines(std::make_unique<TWideRichEditStrings98>(this))
{
    FWideMode = false;
    SetLanguage(static_cast<TLanguage>(LOWORD(GetSystemDefaultLCID())));
}

TCustomRichEdit98::~TCustomRichEdit98()
{
    // The window goes first, while this object can still release the library it loaded.
    FDeleting = true;
    DestroyComponents();
    if (FHandle) DestroyWindowHandle();
}

TStrings* TCustomRichEdit98::Lines() const { return FLines.get(); }

void TCustomRichEdit98::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TCustomRichEdit98::SetAutoURLDetect(bool Value)
{
    FAutoURLDetect = Value;
    if (FHandle) Perform(EM_AUTOURLDETECT, Value ? 1 : 0, 0);
}

void TCustomRichEdit98::SetShowSelectionBar(bool Value)
{
    FShowSelectionBar = Value;
    if (!FHandle) return;
    LRESULT options = Perform(EM_GETOPTIONS, 0, 0);
    options = Value ? (options | ECO_SELECTIONBAR) : (options & ~static_cast<LRESULT>(ECO_SELECTIONBAR));
    Perform(EM_SETOPTIONS, ECOOP_SET, options);
}

void TCustomRichEdit98::SetLanguage(TLanguage Value)
{
    FLanguage = Value;
    FCodePage = static_cast<unsigned>(LanguageCodePage(Value));
}

int TCustomRichEdit98::CaretLine() { return static_cast<int>(Perform(EM_EXLINEFROMCHAR, 0, -1)); }

int TCustomRichEdit98::CaretColumn()
{
    return SelStart() - static_cast<int>(Perform(EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
}

bool TCustomRichEdit98::CanUndo() { return Perform(EM_CANUNDO, 0, 0) != 0; }
void TCustomRichEdit98::Undo() { Perform(EM_UNDO, 0, 0); }
bool TCustomRichEdit98::CanRedo() { return Perform(EM_CANREDO, 0, 0) != 0; }
void TCustomRichEdit98::Redo() { Perform(EM_REDO, 0, 0); }

void TCustomRichEdit98::CreateParams(TCreateParams& Params)
{
    UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE m = LoadLibraryA("RICHED20.DLL");
    if (reinterpret_cast<UINT_PTR>(m) < 32) m = nullptr;
    FRichEditModule = m;
    SetErrorMode(previous);
    TCustomRichEdit::CreateParams(Params);
    Params.Style |= ES_SAVESEL;
    if (FRichEditModule) {
        Params.WinClassName = "TPwRichEdit98";
        Params.SubclassOf = "RICHEDIT20W";
        Params.Unicode = true;
    }
}

void TCustomRichEdit98::CreateWnd()
{
    TCustomRichEdit::CreateWnd();
    Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK);
    Perform(EM_AUTOURLDETECT, FAutoURLDetect ? 1 : 0, 0);
    SetShowSelectionBar(FShowSelectionBar);
}

// ---- text conversion ----

void TCustomRichEdit98::ConvertSetText(TMessage& Message)
{
    if (ComponentState() & csDesigning) {
        Message.LParam = 0;
        DefaultHandler(Message);
        return;
    }
    if (FWideMode) {
        DefaultHandler(Message);
        return;
    }
    const char* text = reinterpret_cast<const char*>(Message.LParam);
    std::wstring wide = StringToWide(text ? text : "", FCodePage);
    Message.LParam = reinterpret_cast<LPARAM>(wide.c_str());
    DefaultHandler(Message);
}

void TCustomRichEdit98::ConvertReplaceSel(TMessage& Message)
{
    std::wstring wide;
    if (!FWideMode) {
        const char* text = reinterpret_cast<const char*>(Message.LParam);
        wide = StringToWide(text ? text : "", FCodePage);
        Message.LParam = reinterpret_cast<LPARAM>(wide.c_str());
    }
    Message.WParam = 1; // every replacement can be undone
    DefaultHandler(Message);
}

void TCustomRichEdit98::ConvertGetSelText(TMessage& Message)
{
    if (FWideMode) {
        DefaultHandler(Message);
        return;
    }
    char* caller = reinterpret_cast<char*>(Message.LParam);
    std::vector<wchar_t> wide(static_cast<size_t>(std::max(SelLength(), 0)) + 1, L'\0');
    Message.LParam = reinterpret_cast<LPARAM>(wide.data());
    DefaultHandler(Message);
    std::string ansi = WideToString(wide.data(), FCodePage);
    std::memcpy(caller, ansi.c_str(), ansi.size() + 1);
    Message.LParam = reinterpret_cast<LPARAM>(caller);
}

void TCustomRichEdit98::ConvertGetTextRange(TMessage& Message)
{
    if (FWideMode) {
        DefaultHandler(Message);
        return;
    }
    auto* range = reinterpret_cast<TEXTRANGEA*>(Message.LParam);
    char* caller = range->lpstrText;
    LONG lo = range->chrg.cpMin, hi = range->chrg.cpMax;
    if (hi < 0) hi = GetTextLen(); // to the end: size the buffer from the text itself
    size_t units = static_cast<size_t>(std::abs(hi - lo));
    std::vector<wchar_t> wide(units + 1, L'\0');
    range->lpstrText = reinterpret_cast<char*>(wide.data());
    LONG callerMax = range->chrg.cpMax;
    range->chrg.cpMax = hi;
    DefaultHandler(Message);
    range->chrg.cpMax = callerMax;
    range->lpstrText = caller;
    // The caller's buffer holds one byte per character and the terminator: double-byte text
    // that needs more is cut there.
    std::string ansi = WideToString(wide.data(), FCodePage);
    size_t n = std::min(ansi.size(), units);
    std::memcpy(caller, ansi.data(), n);
    caller[n] = '\0';
}

void TCustomRichEdit98::ConvertGetLine(TMessage& Message)
{
    if (FWideMode) {
        DefaultHandler(Message);
        return;
    }
    char* caller = reinterpret_cast<char*>(Message.LParam);
    WORD size = 0;
    std::memcpy(&size, caller, sizeof size);
    std::vector<wchar_t> wide(static_cast<size_t>(size) + 1, L'\0');
    wide[0] = static_cast<wchar_t>(size);
    Message.LParam = reinterpret_cast<LPARAM>(wide.data());
    DefaultHandler(Message);
    size_t got = std::min<size_t>(static_cast<size_t>(Message.Result), size);
    std::string ansi = WideToString(std::wstring(wide.data(), got), FCodePage);
    size_t n = std::min<size_t>(ansi.size(), size);
    std::memcpy(caller, ansi.data(), n);
    if (n < size) caller[n] = '\0';
    Message.LParam = reinterpret_cast<LPARAM>(caller);
    Message.Result = static_cast<LRESULT>(n);
}

void TCustomRichEdit98::AnswerFindWordBreak(TMessage& Message)
{
    // Read the text around the position: words never reach further than this.
    const long reach = 4096;
    long pos = static_cast<long>(Message.LParam);
    long length = GetTextLen();
    long from = std::max(0L, pos - reach), to = std::min(length, pos + reach);
    std::vector<wchar_t> buf(static_cast<size_t>(std::max(0L, to - from)) + 1, L'\0');
    TEXTRANGEW tr = {{from, to}, buf.data()};
    if (to > from) CallWindowProcW(FDefWndProc, FHandle, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    std::wstring text(buf.data(), static_cast<size_t>(std::max(0L, to - from)));
    int code = static_cast<int>(Message.WParam);
    long r = FindWordBreak(text, code, pos - from);
    Message.Result = (code == WB_ISDELIMITER || code == WB_CLASSIFY) ? r : r + from;
}

void TCustomRichEdit98::LinkNotify(ENLINK* Link)
{
    if (Link->msg == WM_MOUSEMOVE) {
        ::SetCursor(CursorHandle(crHandPoint));
    } else if (Link->msg == WM_LBUTTONUP && OnURLClick) {
        LONG n = Link->chrg.cpMax - Link->chrg.cpMin;
        std::vector<char> buf(static_cast<size_t>(std::max(n, 0L)) + 1, '\0');
        TEXTRANGEA tr = {Link->chrg, buf.data()};
        Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
        OnURLClick(this, std::string(buf.data()));
    }
}

void TCustomRichEdit98::DoNotify(NMHDR* Header, TMessage& Message)
{
    if (Header->code == EN_LINK) {
        LinkNotify(reinterpret_cast<ENLINK*>(Header));
        Message.Result = 0;
        return;
    }
    TCustomRichEdit::DoNotify(Header, Message);
}

void TCustomRichEdit98::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SETTEXT: ConvertSetText(Message); return;
    case EM_REPLACESEL: ConvertReplaceSel(Message); return;
    case EM_GETSELTEXT: ConvertGetSelText(Message); return;
    case EM_GETTEXTRANGE: ConvertGetTextRange(Message); return;
    case EM_GETLINE: ConvertGetLine(Message); return;
    case EM_FINDWORDBREAK:
        if (FHandle && FUnicodeWindow) AnswerFindWordBreak(Message);
        else DefaultHandler(Message);
        return;
    case WM_SETFONT:
    case CM_FONTCHANGED: FDefAttributes->Assign(Font()); return;
    case WM_PAINT:
        TCustomRichEdit::WndProc(Message);
        if (OnPaintOverlay && FHandle) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            std::optional<TWindowDC> own;
            if (!dc) dc = own.emplace(FHandle).Get();
            OnPaintOverlay(this, dc);
        }
        return;
    case WM_NCDESTROY:
        TCustomRichEdit::WndProc(Message);
        if (FRichEditModule) FreeLibrary(FRichEditModule);
        FRichEditModule = nullptr;
        return;
    default: break;
    }
    TCustomRichEdit::WndProc(Message);
}

// ---- the streamed "RTF" property ----

std::string TCustomRichEdit98::RTFText()
{
    TMemoryStream m;
    FLines->SaveToStream(&m);
    return std::string(m.Memory(), m.Data().size());
}

void TCustomRichEdit98::ReadRTF(const std::string& Value)
{
    FLines->Clear();
    TMemoryStream m;
    if (!Value.empty()) m.WriteBuffer(Value.data(), static_cast<long>(Value.size()));
    m.SetPosition(0);
    FLines->LoadFromStream(&m);
}

void TCustomRichEdit98::SetRTFText(const std::string& RTF) { ReadRTF(RTF); }

void TCustomRichEdit98::DefineProperties(TFiler* Filer)
{
    Filer->DefineProperty(
        "RTF", [this](TReader& r) { ReadRTF(r.ReadString()); }, [this](TWriter& w) { w.WriteString(RTFText()); }, true);
}

} // namespace pw
