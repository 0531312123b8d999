// Drives the real main frame through the formatting and language commands and saves
// pictures of the screen: the format bar acting on text, the language combo box dropped
// down, and the right-click corrections menu on a Russian word. Not a test: a tool for
// looking at what the program draws. Usage: penwise_screens FOLDER (pictures FOLDER\*.bmp).
#include "ComCtrls.h"
#include "LanguagesCombo.h"
#include "MDIForm.h"
#include "MainForm.h"
#include "Menus.h"
#include "RichEdit98.h"
#include "StdCtrls.h"
#include "TextAttributes98.h"
#include "WinApi.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace pw;

namespace {

std::string g_folder = ".";

void Pump(int ms)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(20);
    }
}

void SaveScreen(const char* name)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    TBitmapHandle dib(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        TMemoryDC dc(screen);
        TSelectGuard sel(dc.Get(), dib.Get());
        BitBlt(dc.Get(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();
    DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3), size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::string path = g_folder + "\\" + name + ".bmp";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&fh, sizeof fh, 1, f);
        std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        std::fwrite(bits, 1, size, f);
        std::fclose(f);
    }
}

void Select(TRichEdit98* e, int start, int length)
{
    e->SetSelStart(start);
    e->SetSelLength(length);
}

// A click on a tool button: a check button flips first.
void Press(TToolButton* b)
{
    TToolBar* bar = b->ToolBar();
    if (b->Style() == TToolButtonStyle::tbsCheck)
        bar->Perform(TB_CHECKBUTTON, static_cast<WPARAM>(b->Command()), !bar->Perform(TB_ISBUTTONCHECKED, b->Command(), 0));
    SendMessageA(bar->Handle(), WM_COMMAND, MAKEWPARAM(b->Command(), BN_CLICKED), reinterpret_cast<LPARAM>(bar->Handle()));
}

TMenuItem* Item(const char* name) { return dynamic_cast<TMenuItem*>(SpellDemoForm->FindComponent(name)); }

int FindText(TRichEdit98* e, const wchar_t* what)
{
    FINDTEXTEXW ft = {{0, -1}, what, {0, 0}};
    return static_cast<int>(e->Perform(EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&ft)));
}

void Format(TSpellDemoForm* f, TRichEdit98* e)
{
    e->SetWideMode(true);
    const wchar_t* text =
        L"Bold, italic and underlined words; red text on a yellow highlight.\r"
        L"A centred paragraph.\r"
        L"First bullet\r"
        L"Second bullet\r"
        L"Russian: \x041F\x0440\x0438\x0432\x0435\x0442, \x043C\x0440\x0438!";
    e->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
    e->SetWideMode(false);
    e->SelectAll();
    e->SelectionAttributes()->SetSize(14);
    Select(e, 0, 4);
    Press(f->BoldBtn);
    Select(e, 6, 6);
    Press(f->ItalicBtn);
    Select(e, 17, 10);
    Press(f->UndrlBtn);
    Select(e, 35, 8);
    f->ColorMIClick(Item("RedMI"));
    f->HighlightMIClick(Item("YellowMI2"));
    int centred = FindText(e, L"A centred");
    Select(e, centred, 3);
    Press(f->CenterBtn);
    int bullets = FindText(e, L"First bullet");
    Select(e, bullets, 20);
    Press(f->BulletsBtn);
    int russian = FindText(e, L"\x041F\x0440\x0438");
    Select(e, russian, 12);
    TLanguagesCombo* c = f->Languages;
    c->SetItemIndex(c->Items()->IndexOfObject(reinterpret_cast<TObject*>(uintptr_t{1049})));
    SendMessageA(f->FmtToolBar->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(c->Handle()));
    Select(e, 37, 0);  // the caret in red, highlighted text
}

const char* g_menuShot = "";

void CALLBACK CaptureMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    SaveScreen(g_menuShot);
    EndMenu();
}

// Opens a drop-down button's menu as a click on its arrow does, and saves it while it shows.
void ShowDropDown(TToolButton* b, const char* shot)
{
    TToolBar* bar = b->ToolBar();
    NMTOOLBARA nm = {};
    nm.hdr.hwndFrom = bar->Handle();
    nm.hdr.code = TBN_DROPDOWN;
    nm.iItem = b->Command();
    bar->Perform(TB_GETRECT, static_cast<WPARAM>(b->Command()), reinterpret_cast<LPARAM>(&nm.rcButton));
    g_menuShot = shot;
    SetTimer(nullptr, 0, 1200, &CaptureMenu);
    SendMessageA(bar->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    Pump(300);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR Command, int)
{
    if (Command && *Command) g_folder = Command;
    auto* app = new TApplication(nullptr);
    app->Initialize();
    app->SetTitle("Penwise v 1.5");
    app->CreateForm<TSpellDemoForm>();
    TSpellDemoForm* f = SpellDemoForm;
    f->Show();
    f->SetBounds(20, 20, 900, 600);
    Pump(1500);
    TMDIForm* doc = f->ActiveDocument();
    ShowWindow(doc->Handle(), SW_MAXIMIZE);
    TRichEdit98* e = doc->RichEdit();
    Format(f, e);
    Pump(1000);
    SaveScreen("1-format-bar");
    f->Languages->Perform(CB_SHOWDROPDOWN, TRUE, 0);
    Pump(1000);
    SaveScreen("2-languages");
    f->Languages->Perform(CB_SHOWDROPDOWN, FALSE, 0);
    Pump(300);
    ShowDropDown(f->TextColorBtn, "4-colour-menu");
    ShowDropDown(f->BackColorBtn, "5-highlight-menu");
    // A right click on the misspelt Russian word.
    g_menuShot = "3-suggestions";
    int word = FindText(e, L"\x043C\x0440\x0438");
    POINTL p = {};
    e->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), word + 1);
    SetTimer(nullptr, 0, 1500, &CaptureMenu);
    SetForegroundWindow(f->Handle());
    SendMessageA(e->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x + 2, p.y + 6));
    SendMessageA(e->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(p.x + 2, p.y + 6));
    Pump(300);
    // Leave without asking about the changed document.
    ExitProcess(0);
}
