// Shows the frame with its menu tool bar, a drop-down from it and a maximised document with
// its caption buttons, saving a picture of the screen for each (toolbar.bmp, dropdown.bmp,
// maximised.bmp in the folder given on the command line). Not a test: a way to look at it.
#include "MDIForm.h"
#include "MainForm.h"
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
    g_steps = {
        [&] { SaveScreen("toolbar.bmp"); },
        [&] {
            TToolButton* edit = bar->Buttons(1);
            PostMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edit->Left() + 4, edit->Top() + 4));
        },
        [&] { SaveScreen("dropdown.bmp"); EndMenu(); },
        [&] { if (TMDIForm* doc = frame->ActiveDocument()) doc->SetWindowState(TWindowState::wsMaximized); },
        [&] { SaveScreen("maximised.bmp"); },
        [&] { Application->Terminate(); },
    };
    SetTimer(nullptr, 0, 900, Tick);
    int code = app->Run();
    delete app;
    return code;
}
