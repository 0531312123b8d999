#include "RichEditText.h"

#include "RichEdit.h"
#include "RichEdit98.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pw {

namespace {

// Gathers what a stream-out writes.
struct TCollected {
    std::string Bytes;
    TStreamFirewall Guard;
};

DWORD CALLBACK CollectBytes(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done)
{
    auto* c = reinterpret_cast<TCollected*>(Cookie);
    *Done = 0;
    return c->Guard.Run(
        [&]() -> DWORD {
            c->Bytes.append(reinterpret_cast<char*>(Buffer), static_cast<size_t>(Size));
            *Done = Size;
            return 0;
        },
        2);
}

template <class TSend>
std::string Collect(DWORD Format, TSend&& Send)
{
    TCollected out;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&out), 0, CollectBytes};
    Send(static_cast<WPARAM>(Format), reinterpret_cast<LPARAM>(&es));
    out.Guard.RaiseKept();
    if (es.dwError != 0) out.Bytes.clear();
    return out.Bytes;
}

} // namespace

TRichEditProbe::TRichEditProbe(const wchar_t* Text)
    : FHandle(CreateWindowExW(0, L"RICHEDIT20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 50, 20, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr))
{
    if (FHandle) SendMessageW(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text));
}

TRichEditProbe::~TRichEditProbe()
{
    if (FHandle) DestroyWindow(FHandle);
}

std::string TRichEditProbe::StreamOut(DWORD Format)
{
    return Collect(Format, [this](WPARAM W, LPARAM L) { SendMessageW(FHandle, EM_STREAMOUT, W, L); });
}

} // namespace pw

namespace pw::redit {

namespace {

// The document editor converts text messages for ANSI callers unless told otherwise: for the
// length of a call it passes them through, and afterwards does what it did before.
class TPassWide {
public:
    explicit TPassWide(TWinControl* Editor) : FEditor(dynamic_cast<TCustomRichEdit98*>(Editor))
    {
        if (FEditor) {
            FWas = FEditor->WideMode();
            FEditor->SetWideMode(true);
        }
    }
    ~TPassWide()
    {
        if (FEditor) FEditor->SetWideMode(FWas);
    }
    TPassWide(const TPassWide&) = delete;
    TPassWide& operator=(const TPassWide&) = delete;

private:
    TCustomRichEdit98* FEditor;
    bool FWas = false;
};

int Answer(LRESULT Result) { return static_cast<int>(Result); }

} // namespace

int TextLength(TWinControl* Editor)
{
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    return std::max(0, Answer(Editor->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0)));
}

std::wstring Text(TWinControl* Editor)
{
    int n = TextLength(Editor);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX gt = {static_cast<DWORD>((n + 1) * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT got = Editor->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, n)));
    return w;
}

std::wstring TextRange(TWinControl* Editor, int From, int To)
{
    int length = TextLength(Editor);
    From = std::clamp(From, 0, length);
    To = std::clamp(To, From, length);
    if (To == From) return {};
    std::vector<wchar_t> buf(static_cast<size_t>(To - From) + 1, L'\0');
    TEXTRANGEW tr = {{From, To}, buf.data()};
    TPassWide wide(Editor);
    LRESULT got = Editor->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    return std::wstring(buf.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, To - From)));
}

TCharRange Selection(TWinControl* Editor)
{
    CHARRANGE cr{};
    Editor->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    return TCharRange{static_cast<int>(cr.cpMin), static_cast<int>(cr.cpMax)};
}

void Select(TWinControl* Editor, int From, int To)
{
    CHARRANGE cr = {From, To};
    Editor->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void ReplaceSelection(TWinControl* Editor, const std::wstring& Text, bool CanUndo)
{
    TPassWide wide(Editor);
    Editor->Perform(EM_REPLACESEL, CanUndo ? 1 : 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

TCharRange EditSelection(TWinControl* Edit)
{
    DWORD from = 0, to = 0;
    Edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return TCharRange{static_cast<int>(from), static_cast<int>(to)};
}

void SelectText(TWinControl* Edit, int From, int To)
{
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(From), static_cast<LPARAM>(To));
}

void ReplaceSelectionA(TWinControl* Edit, const std::string& Text, bool CanUndo)
{
    Edit->Perform(EM_REPLACESEL, CanUndo ? 1 : 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

POINT PositionOf(TWinControl* Editor, int Char)
{
    POINTL p{};
    Editor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), Char);
    return POINT{p.x, p.y};
}

int CharAt(TWinControl* Editor, POINT Point)
{
    POINTL p{Point.x, Point.y};
    return Answer(Editor->Perform(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&p)));
}

int LineOf(TWinControl* Editor, int Char) { return Answer(Editor->Perform(EM_EXLINEFROMCHAR, 0, Char)); }

int LineStart(TWinControl* Editor, int Line)
{
    return Answer(Editor->Perform(EM_LINEINDEX, static_cast<WPARAM>(Line), 0));
}

int WordBreak(TWinControl* Editor, int Code, int Pos)
{
    return Answer(Editor->Perform(EM_FINDWORDBREAK, static_cast<WPARAM>(Code), Pos));
}

std::string StreamOut(TWinControl* Editor, DWORD Format)
{
    return Collect(Format, [Editor](WPARAM W, LPARAM L) { Editor->Perform(EM_STREAMOUT, W, L); });
}

bool FindText(TWinControl* Editor, const std::wstring& What, int From, DWORD Flags, TCharRange& Found)
{
    FINDTEXTEXW ft = {};
    ft.chrg.cpMin = From;
    ft.chrg.cpMax = -1;
    ft.lpstrText = What.c_str();
    if (Editor->Perform(EM_FINDTEXTEXW, Flags, reinterpret_cast<LPARAM>(&ft)) < 0) return false;
    Found = TCharRange{static_cast<int>(ft.chrgText.cpMin), static_cast<int>(ft.chrgText.cpMax)};
    return true;
}

CHARFORMAT2W BlankCharFormat(DWORD Mask)
{
    CHARFORMAT2W f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    f.dwMask = Mask;
    return f;
}

CHARFORMAT2W CharFormat(TWinControl* Editor, DWORD Scope, DWORD Mask)
{
    CHARFORMAT2W f = BlankCharFormat(Mask);
    Editor->Perform(EM_GETCHARFORMAT, Scope, reinterpret_cast<LPARAM>(&f));
    return f;
}

void SetCharFormat(TWinControl* Editor, DWORD Scope, const CHARFORMAT2W& Format)
{
    CHARFORMAT2W f = Format;
    Editor->Perform(EM_SETCHARFORMAT, Scope, reinterpret_cast<LPARAM>(&f));
}

CHARFORMAT2A CharFormatA(TWinControl* Editor, DWORD Scope, DWORD Mask)
{
    CHARFORMAT2A f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    f.dwMask = Mask;
    Editor->Perform(EM_GETCHARFORMAT, Scope, reinterpret_cast<LPARAM>(&f));
    return f;
}

} // namespace pw::redit
