// Program entry: the application object, the main frame and the about box, the message loop.
#include "AboutForm.h"
#include "MainForm.h"

#include "WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    using namespace pw;
    auto* app = new TApplication(nullptr);
    int code = 0;
    try {
        app->Initialize();
        app->SetTitle("Penwise v 1.5");
        app->CreateForm<TSpellDemoForm>();
        app->CreateForm<TAboutForm>();
        code = app->Run();
    } catch (...) {
        app->HandleException(app);
        code = 1;
    }
    delete app;
    return code;
}
