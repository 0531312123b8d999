// Opens the program's styled menus one after the other and saves a picture of the screen
// with each one open (file.bmp, edit.bmp, colour.bmp, suggestions.bmp in the folder given
// on the command line). Not a test: a way to look at what the menus draw.
#include "MDIForm.h"
#include "MainForm.h"
#include "RichEdit98.h"
#include "TextAttributes98.h"
#include "ComCtrls.h"
#include "Menus.h"

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

void Key(WORD vk)
{
    keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
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
    TMDIForm* doc = frame->ActiveDocument();
    HWND fw = frame->Handle();
    auto menuKey = [fw](char letter) {
        SetForegroundWindow(fw);
        keybd_event(VK_MENU, 0, 0, 0);
        Key(static_cast<WORD>(letter));
        keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    };
    g_steps = {
        [&] { doc->RichEdit()->SetSelText("Colour menus and a word in Russian: "); },
        // The File menu with Open highlighted: images, the banner, the highlight bar.
        [&] { menuKey('F'); },
        [&] { Key(VK_DOWN); Key(VK_DOWN); },
        [&] { SaveScreen("file.bmp"); Key(VK_ESCAPE); Key(VK_ESCAPE); },
        // The Edit menu without a selection: Cut and Copy disabled.
        [&] { menuKey('E'); },
        [&] { Key(VK_DOWN); },
        [&] { SaveScreen("edit.bmp"); Key(VK_ESCAPE); Key(VK_ESCAPE); },
        // The text colour menu of the format bar.
        [&] {
            RECT r;
            SendMessageA(frame->FmtToolBar->Handle(), TB_GETRECT, frame->TextColorBtn->Command(),
                         reinterpret_cast<LPARAM>(&r));
            POINT p{r.left, r.bottom};
            ClientToScreen(frame->FmtToolBar->Handle(), &p);
            frame->ColorMenu->Popup(p.x, p.y);
        },
        [&] { Key(VK_DOWN); Key(VK_RIGHT); Key(VK_DOWN); },
        [&] { SaveScreen("colour.bmp"); Key(VK_ESCAPE); },
        // A misspelt Russian word, right-clicked.
        [&] {
            auto* e = doc->RichEdit();
            e->SetSelStart(e->GetTextLen());
            e->SelectionAttributes()->SetLanguage(1049);
            e->SetLanguage(1049);  // the text below is in the Cyrillic code page
            e->SetSelText("\xEF\xF0\xE8\xE2\xE5\xF2 \xEF\xF0\xE8\xE2\xF2\xE5");  // "привет привте"
            e->SetSelStart(e->GetTextLen() - 3);
        },
        [&] {
            auto* e = doc->RichEdit();
            POINTL pt{};
            e->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), e->GetTextLen() - 3);
            e->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x + 2, pt.y + 4));
            std::printf("menu items %d\n", doc->VariantsMenu()->Items()->Count());
            std::fflush(stdout);
            if (doc->VariantsMenu()->Items()->Count() == 0) {
                // No engine judged the word wrong: the menu the popup would build, shown as is.
                TPopupMenu* menu = doc->VariantsMenu();
                menu->OnPopup = nullptr;
                auto add = [&](const std::string& caption, int tag) {
                    auto* i = new TMenuItem(doc);
                    i->SetCaption(caption);
                    i->SetTag(tag);
                    menu->Items()->Add(i);
                    return i;
                };
                add("Spelling", 8)->SetShortCut(TextToShortCut("F7"));
                add("Add word", -2);
                add("-", -2);
                for (const char* v : {"\xEF\xF0\xE8\xE2\xE5\xF2", "\xEF\xF0\xE8\xE2\xE5\xF2\xFB"}) {
                    auto* i = add("", -2);
                    i->SetTextCaption(v, e->CodePage());
                    i->SetDefault(true);
                }
                POINT p{pt.x + 2, pt.y + 4};
                ClientToScreen(e->Handle(), &p);
                menu->Popup(p.x, p.y);
            }
        },
        [&] { Key(VK_DOWN); Key(VK_DOWN); Key(VK_DOWN); Key(VK_DOWN); },
        [&] { SaveScreen("suggestions.bmp"); Key(VK_ESCAPE); },
        [&] { Application->Terminate(); },
    };
    SetTimer(nullptr, 0, 900, Tick);
    int code = app->Run();
    delete app;
    return code;
}
