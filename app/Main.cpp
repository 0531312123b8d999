// Program entry: the application object, the main frame and the about box, the message loop.
// A start with files while the program runs hands them to the running instance and ends.
#include "AboutForm.h"
#include "MainForm.h"
#include "ShellFiles.h"
#include "UserSettings.h"

#include "WinApi.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    using namespace pw;
    std::string key = UserSettingsKey();
    std::vector<std::string> files = CommandLineFiles(GetCommandLineW());
    TInstanceLock instance(key);
    if (!instance.First()) {
        HWND running = instance.RunningWindow(10000);
        if (running && SendFilesTo(running, files)) return 0;
    }
    auto app = std::make_unique<TApplication>(nullptr);
    int code = 0;
    try {
        app->Initialize();
        app->SetTitle("Penwise v 1.5");
        auto* frame = app->CreateForm<TSpellDemoForm>();
        app->CreateForm<TAboutForm>();
        frame->StartSession(TUserSettings::Read(key));
        if (!files.empty()) frame->QueueFiles(files);
        instance.Publish(frame->Handle());
        code = app->Run();
    } catch (...) {
        app->HandleException(app.get());
        code = 1;
    }
    return code;
}
