// Shows the frame with its menu tool bar, a drop-down from it (clicked, then by Alt+F) and a
// maximised document with its caption buttons, saving a picture of the screen for each
// (toolbar.bmp, dropdown.bmp, altf.bmp, maximised.bmp), then a form whose main menu styler
// feeds a menu bar control, and a menu dropped from it by Alt+E (menubar.bmp,
// menubar-dropdown.bmp), in the folder given on the command line. Not a test: a way to look at it.
#include "MDIForm.h"
#include "MainForm.h"
#include "MenuBar97.h"
#include "MenuStylers97.h"
#include "MenuToolBar.h"

#include "MenuTestSupport.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace pw;

namespace {

std::string g_folder;
std::vector<std::function<void()>> g_steps;
size_t g_step = 0;

void SaveScreen(const std::string& name)
{
    menutest::SaveScreen(g_folder + "\\" + name);
    std::printf("saved %s\n", name.c_str());
    std::fflush(stdout);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_step < g_steps.size()) g_steps[g_step++]();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int)
{
    g_folder = cmd && *cmd ? cmd : ".";
    auto* app = new TApplication(nullptr);
    app->Initialize();
    app->SetTitle("Penwise v 1.5");
    auto* frame = app->CreateForm<TSpellDemoForm>();
    frame->Show();
    app->ProcessMessages();
    TMenuToolBar* bar = frame->MenuToolBar;
    TForm* form = nullptr;
    TCustomMenuBar97* menuBar = nullptr;
    g_steps = {
        [&] { SaveScreen("toolbar.bmp"); },
        [&] {
            TToolButton* edit = bar->Buttons(1);
            PostMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edit->Left() + 4, edit->Top() + 4));
        },
        [&] { SaveScreen("dropdown.bmp"); EndMenu(); },
        [&] { PostMessageA(GetFocus(), WM_SYSKEYDOWN, 'F', 0x20210001); },
        [&] { SaveScreen("altf.bmp"); EndMenu(); },
        [&] { if (TMDIForm* doc = frame->ActiveDocument()) doc->SetWindowState(TWindowState::wsMaximized); },
        [&] { SaveScreen("maximised.bmp"); },
        [&] {
            // A form whose main menu styler feeds a menu bar control.
            form = new TForm(nullptr);
            form->SetText("Menu bar control");
            form->SetBounds(200, 300, 420, 180);
            auto* menu = new TMainMenu(form);
            for (const char* c : {"&File", "&Edit", "&Window", "&Help"}) {
                auto* top = new TMenuItem(form);
                top->SetCaption(c);
                for (const char* i : {"First", "Second"}) {
                    auto* sub = new TMenuItem(form);
                    sub->SetCaption(i);
                    top->Add(sub);
                }
                menu->Items()->Add(top);
            }
            form->SetMenu(menu);
            auto* styler = new TMainMenus97(form);
            styler->SetMainMenu(menu);
            menuBar = new TCustomMenuBar97(form);
            menuBar->SetAlign(TAlign::alTop);
            menuBar->SetParent(form);
            styler->SetToolBar(menuBar);
            form->Show();
        },
        [&] { SaveScreen("menubar.bmp"); },
        [&] { PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'e'); },
        [&] { SaveScreen("menubar-dropdown.bmp"); EndMenu(); },
        [&] { delete form; Application->Terminate(); },
    };
    SetTimer(nullptr, 0, 900, Tick);
    int code = app->Run();
    delete app;
    return code;
}
