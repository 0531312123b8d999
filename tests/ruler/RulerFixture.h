// A new ruler on a shown form, with a rich edit control below it as the bound editor, driven
// by real mouse messages; every event of the ruler is written down.
#pragma once
#include "Forms.h"
#include "RichEdit98.h"
#include "Ruler.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RulerTest : public testing::Test {
protected:
    void SetUp() override
    {
        Form = new pw::TForm(nullptr);
        Form->SetBounds(0, 0, 340, 300);
        Ruler = new pw::TqelRuler(Form);
        Ruler->SetParent(Form);
        Edit = new pw::TRichEdit98(Form);
        Edit->SetBounds(0, 40, 320, 200);
        Edit->SetParent(Form);
        Form->Show();
        Record();
        pwtest::Pump();
    }
    void TearDown() override { delete Form; }

    void Record()
    {
        auto ind = [this](const char* name) {
            return [this, name](pw::TObject*, pw::TIndentID id) { Events.push_back(name + std::to_string(id)); };
        };
        auto mar = [this](const char* name) {
            return [this, name](pw::TObject*, pw::TMarginID id) { Events.push_back(name + std::to_string(id)); };
        };
        Ruler->OnIndentClick = ind("click ");
        Ruler->OnIndentDrag = ind("drag ");
        Ruler->OnIndentChange = ind("change ");
        Ruler->OnIndentDblClick = ind("dblclick ");
        Ruler->OnMarginClick = mar("margin click ");
        Ruler->OnMarginDrag = mar("margin drag ");
        Ruler->OnMarginChange = mar("margin change ");
    }

    // Mouse messages in the ruler's client coordinates.
    void Send(UINT msg, WPARAM keys, int x, int y)
    {
        SendMessageA(Ruler->Handle(), msg, keys, MAKELPARAM(x, y));
    }
    void Press(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Move(int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, x, y); }
    void Release(int x, int y) { Send(WM_LBUTTONUP, 0, x, y); }
    void Drag(int x, int y, int toX)
    {
        Press(x, y);
        Move(toX, y);
        Release(toX, y);
    }
    // A point inside each marker, 4 pixels right of its left edge.
    int MarkerY(pw::TIndentID id) { return Ruler->Marker(id)->Top() + 3; }
    int MarkerX(pw::TIndentID id) { return Ruler->Marker(id)->Left() + 4; }

    // What the ruler's window shows now.
    COLORREF RulerPixel(int x, int y)
    {
        Ruler->Repaint();
        HDC dc = GetDC(Ruler->Handle());
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(Ruler->Handle(), dc);
        return c;
    }
    std::vector<COLORREF> EditorColumn(int x)
    {
        std::vector<COLORREF> r;
        HDC dc = GetDC(Edit->Handle());
        RECT rc;
        GetClientRect(Edit->Handle(), &rc);
        for (int y = 0; y < rc.bottom; ++y) r.push_back(GetPixel(dc, x, y));
        ReleaseDC(Edit->Handle(), dc);
        return r;
    }

    pw::TForm* Form = nullptr;
    pw::TqelRuler* Ruler = nullptr;
    pw::TRichEdit98* Edit = nullptr;
    std::vector<std::string> Events;
};

inline COLORREF Sys(int index) { return GetSysColor(index); }
