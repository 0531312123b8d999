// Shows two documents whose paragraphs have different indents and drags a ruler marker with
// real mouse messages, stopping at each stage until scripts/ruler-screenshots.sh has taken a
// picture of the screen (it deletes the stage file when it has).
#include "MDIForm.h"
#include "MainForm.h"
#include "RichEdit98.h"
#include "Ruler.h"
#include "TextAttributes98.h"

#include "WinApi.h"

#include <cstdio>
#include <string>

namespace {

using namespace pw;

std::string g_stageFile = "ruler-stage.txt";

void Stage(const char* name)
{
    if (FILE* f = std::fopen(g_stageFile.c_str(), "w")) {
        std::fputs(name, f);
        std::fclose(f);
    }
    for (int i = 0; i < 3000 && GetFileAttributesA(g_stageFile.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
        Application->ProcessMessages();
        Sleep(10);
    }
}

void Fill(TMDIForm* d, int caret)
{
    TRichEdit98* e = d->RichEdit();
    e->SetSelText("The first paragraph keeps the indents of a new document: its first line and the lines "
                  "that follow start at the left margin and run to the right one, which this long sentence "
                  "shows by going on over a second line of the window.\r"
                  "The second paragraph is indented by thirty points, its following lines by fifteen, and it "
                  "ends thirty points before the right margin, so the ruler shows it with markers of its own.");
    e->SetSelStart(260);
    e->ParagraphAttributes()->SetStartIndent(30);
    e->ParagraphAttributes()->SetIndentOffset(-15);
    e->ParagraphAttributes()->SetRightIndent(30);
    e->SetSelStart(0);
    e->SetSelStart(caret);
}

void Mouse(TqelRuler* r, UINT msg, WPARAM keys, int x, int y)
{
    SendMessageA(r->Handle(), msg, keys, MAKELPARAM(x, y));
    Application->ProcessMessages();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmd, int)
{
    if (cmd && *cmd) g_stageFile = cmd;
    auto* app = new TApplication(nullptr);
    app->Initialize();
    app->SetTitle("Penwise v 1.5");
    auto* frame = app->CreateForm<TSpellDemoForm>();
    frame->Show();
    app->ProcessMessages();
    Fill(frame->ActiveDocument(), 260);  // caret in the indented paragraph
    frame->NewMIClick(nullptr);
    Fill(frame->ActiveDocument(), 10);   // caret in the first paragraph
    frame->TileMIClick(nullptr);
    app->ProcessMessages();
    Stage("two-documents");

    // Drag the left marker of the second document 40 pixels to the right, step by step.
    TqelRuler* r = frame->ActiveDocument()->Ruler();
    int x = r->IndentLeft() + 4, y = r->Marker(idLeftIndent)->Top() + 3;
    Mouse(r, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    for (int dx = 5; dx <= 40; dx += 5) Mouse(r, WM_MOUSEMOVE, MK_LBUTTON, x + dx, y);
    Stage("dragging");
    Mouse(r, WM_LBUTTONUP, 0, x + 40, y);
    Stage("after-drag");
    delete app;
    return 0;
}
