// A fresh rich edit control on a real form for each test.
#pragma once
#include "Forms.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "TestSupport.h"
#include "TextAttributes98.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

class RichEditTest : public testing::Test {
protected:
    void SetUp() override
    {
        Form = new pw::TForm(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        Edit = new pw::TRichEdit98(Form);
        Edit->SetBounds(0, 0, 380, 260);
        Edit->SetParent(Form);
        Form->HandleNeeded();
    }
    void TearDown() override { delete Form; }

    // The control's text as UTF-16, straight from the window.
    std::wstring WideText()
    {
        std::vector<wchar_t> buf(static_cast<size_t>(Edit->GetTextLen()) + 16, L'\0');
        GETTEXTEX g = {};
        g.cb = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        g.flags = GT_DEFAULT;
        g.codepage = 1200;
        CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Edit->Handle(), GWLP_WNDPROC)), Edit->Handle(),
                        EM_GETTEXTEX, reinterpret_cast<WPARAM>(&g), reinterpret_cast<LPARAM>(buf.data()));
        return buf.data();
    }
    void SetWide(const std::wstring& s)
    {
        Edit->SetWideMode(true);
        Edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
        Edit->SetWideMode(false);
    }

    pw::TForm* Form = nullptr;
    pw::TRichEdit98* Edit = nullptr;
};
