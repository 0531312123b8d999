// Program entry: the application object, the main frame, the message loop.
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
        code = app->Run();
    } catch (...) {
        app->HandleException(app);
        code = 1;
    }
    delete app;
    return code;
}
