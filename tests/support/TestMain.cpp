// Test entry: one application object for the whole run, as in the program.
#include "TestSupport.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    auto* app = new pw::TApplication(nullptr);
    app->Initialize();
    app->SetTitle("Penwise tests");
    // A message box nobody expected fails the test instead of blocking the run.
    app->MessageBoxResponder = [](const std::string& text, const std::string& caption, unsigned) {
        ADD_FAILURE() << "unexpected message box \"" << caption << "\": " << text;
        return IDCANCEL;
    };
    int rc = RUN_ALL_TESTS();
    delete app;
    return rc;
}
