// The real main frame, created in-process for each test, with its dialogs answered here.
#pragma once
#include "ComCtrls.h"
#include "Dialogs.h"
#include "MDIForm.h"
#include "MainForm.h"
#include "Menus.h"
#include "Registry.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestSupport.h"
#include "TextAttributes98.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

namespace pwtest {

// What a click on a tool button does: a check button flips, then the bar is told.
inline void PressToolButton(pw::TToolButton* b)
{
    pw::TToolBar* bar = b->ToolBar();
    if (b->Style() == pw::TToolButtonStyle::tbsCheck)
        bar->Perform(TB_CHECKBUTTON, static_cast<WPARAM>(b->Command()), !bar->Perform(TB_ISBUTTONCHECKED, b->Command(), 0));
    SendMessageA(bar->Handle(), WM_COMMAND, MAKEWPARAM(b->Command(), BN_CLICKED), reinterpret_cast<LPARAM>(bar->Handle()));
}

// Registers a spelling library and main dictionary for a language in the (redirected)
// machine registry, as an installation does; '/' in the paths become '\\'.
inline void RegisterSpelling(int Language, std::string Engine, std::string Dictionary)
{
    pw::TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(pw::Format("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%d\\Normal", Language), true));
    for (std::string* s : {&Engine, &Dictionary})
        for (char& c : *s) if (c == '/') c = '\\';
    r.WriteString("Engine", Engine);
    r.WriteString("Dictionary", Dictionary);
}

// Opens a pop-up menu and picks the item of that name, as the user would.
inline void ChooseMenuItem(pw::TPopupMenu* Menu, const std::string& Name)
{
    pw::TPopupMenu::TrackResponder = [&](pw::TPopupMenu* m) -> pw::TMenuItem* {
        for (int i = 0; i < m->Items()->Count(); ++i)
            if (m->Items()->Items(i)->Name() == Name) return m->Items()->Items(i);
        return nullptr;
    };
    Menu->Popup(0, 0);
    pw::TPopupMenu::TrackResponder = nullptr;
}

} // namespace pwtest

class FrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        pw::TCommonDialog::Responder = [this](pw::TCommonDialog& d) -> std::optional<bool> {
            Executed.push_back(d.Name());
            if (Answers.empty()) return false;
            auto a = Answers.front();
            Answers.pop_front();
            return a(d);
        };
        Frame = new pw::TSpellDemoForm(pw::Application);
        Frame->AfterConstruction();
        pw::Application->SetMainForm(Frame);
        Frame->Show();
        pwtest::Pump();
    }
    void TearDown() override
    {
        pw::Application->SetMainForm(nullptr);
        delete Frame;
        pw::TCommonDialog::Responder = nullptr;
        pw::Application->CancelTerminate();
    }

    // Queues the answer to the next file dialog: the chosen file, or a cancel.
    void ChooseFile(const std::string& path)
    {
        Answers.push_back([path](pw::TCommonDialog& d) {
            static_cast<pw::TOpenDialog&>(d).SetFileName(path);
            return true;
        });
    }
    void CancelDialog() { Answers.push_back([](pw::TCommonDialog&) { return false; }); }
    // File > Open with the file chosen in its dialog.
    void OpenFromMenu(const std::string& File)
    {
        ChooseFile(File);
        SendMessageA(Frame->Handle(), WM_COMMAND, MAKEWPARAM(Frame->OpenMI->Command(), 0), 0);
        pwtest::Pump();
    }

    pw::TMDIForm* Doc() { return Frame->ActiveDocument(); }
    int DocumentCount() { return Frame->MDIChildCount(); }
    void Type(const std::string& text) { Doc()->RichEdit()->SetSelText(text); }
    std::string DocText()
    {
        auto* e = Doc()->RichEdit();
        e->SelectAll();
        std::string s = e->SelText();
        e->SetSelStart(0);
        return s;
    }
    // Presses Find Next or Replace / Replace All in a find or replace dialog.
    void Press(pw::TFindDialog* d, const std::string& find, unsigned options, const std::string& replace = {})
    {
        FINDREPLACEA r = {};
        r.lStructSize = sizeof r;
        std::string f = find, rp = replace;
        r.lpstrFindWhat = f.data();
        r.lpstrReplaceWith = rp.data();
        r.Flags = options;
        d->HandleFindMessage(r);
    }

    pw::TSpellDemoForm* Frame = nullptr;
    std::deque<std::function<bool(pw::TCommonDialog&)>> Answers;
    std::vector<std::string> Executed;
};
