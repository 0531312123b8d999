// A host form with a rich edit document, the spell checker with our spelling library, and
// small English and Russian test dictionaries registered in a redirected registry.
#pragma once
#include "Forms.h"
#include "ProtectedRichEdit.h"
#include "Registry.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "SpellChecker.h"
#include "StdCtrls.h"
#include "SpellerDialog.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Rectangles compare and print by their four sides.
inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace spelltest {

inline void PressButton(pw::TButton* b)
{
    HWND h = b->Handle();
    if (!IsWindowVisible(h) || !IsWindowEnabled(h)) return;
    SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

using namespace pw;

inline std::string WinPath(std::string p)
{
    for (char& c : p) if (c == '/') c = '\\';
    return p;
}

inline void RegisterEngine(int language, const std::string& dictionary)
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(Format("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%d\\Normal", language), true));
    r.WriteString("Engine", WinPath(SPELL_LIBRARY));
    r.WriteString("Dictionary", WinPath(std::string(SPELL_TEST_DATA) + "/" + dictionary));
}

// The whole text of a rich edit 2.0 control, one character per paragraph mark.
inline std::wstring WideText(TWinControl* c)
{
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    LRESULT n = c->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX gt = {static_cast<DWORD>((n + 1) * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT got = c->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(got));
    return w;
}

inline std::string Narrow(const std::wstring& w) { return WideToString(w, 1252); }

class SpellFixture : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterEngine(1033, "en.dic");
        RegisterEngine(1049, "ru.dic");
        Host = new TForm(nullptr);
        Host->SetBounds(10, 10, 500, 300);
        Edit = new TRichEdit98(Host);
        Edit->SetName("RichEdit1");
        Edit->SetParent(Host);
        Edit->SetBounds(0, 0, 480, 250);
        Edit->SetLanguage(1033);
        Host->HandleNeeded();
        Checker = new TSpellChecker(Host);
        Checker->SetLanguage(1033);
        Checker->SetCustomDict(Dir.File("custom.dic"));
        Checker->SetCaption("Spelling check \x97 %s");
        Checker->OnChangeText = [this](TObject*, int pos, int len, const std::string& w) {
            Changes.push_back(Format("%d,%d,%s", pos, len, w.c_str()));
        };
    }
    void TearDown() override
    {
        delete Host;
        pwtest::Pump();
    }

    // Puts the text into the document (one language for all of it) and the caret at Caret.
    void SetDocument(const std::wstring& text, int caret = 0, TLanguage language = 1033)
    {
        PutText(Edit, text);
        MarkLanguage(0, static_cast<int>(text.size()), language);
        Edit->Perform(EM_SETSEL, static_cast<WPARAM>(caret), caret);
    }
    static void PutText(TRichEdit98* edit, const std::wstring& text)
    {
        TWideModeGuard wide(edit);
        edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void MarkLanguage(int start, int end, TLanguage language) { MarkLanguage(Edit, start, end, language); }
    static void MarkLanguage(TRichEdit98* edit, int start, int end, TLanguage language)
    {
        edit->Perform(EM_SETSEL, static_cast<WPARAM>(start), end);
        CHARFORMAT2W f;
        std::memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        f.dwMask = CFM_LCID;
        f.lcid = language;
        edit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    }
    void Options(std::initializer_list<TSpellOption> extra)
    {
        TSpellOptions o = Checker->Options();
        for (TSpellOption x : extra) o.Include(x);
        Checker->SetOptions(o);
    }
    std::string DocText() { return Narrow(WideText(Edit)); }
    TSpellerDialog2* Dialog() { return Checker->Dialog(); }
    // A click of the user on the button: what the button tells its dialog when pressed, if it
    // can be pressed at all. (Not BM_CLICK: that needs the mouse capture, which another
    // program on the same display may hold.)
    static void Click(TButton* b) { PressButton(b); }
    // Errors reported from here to the end, skipping each.
    std::vector<std::string> SkipToEnd()
    {
        std::vector<std::string> words;
        for (int guard = 0; Checker->ReturnCode() && guard < 50; ++guard) {
            words.push_back(Checker->BadWord());
            Click(Dialog()->SkipButton);
        }
        return words;
    }

    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
    pwtest::MessageBoxRecorder Boxes;
    TForm* Host = nullptr;
    TRichEdit98* Edit = nullptr;
    TSpellChecker* Checker = nullptr;
    std::vector<std::string> Changes;
};

} // namespace spelltest
