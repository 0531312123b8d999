// Menu items whose caption is plain text in a code page of its own.
#include "Menus.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

struct TShown {
    UINT Type;
    std::wstring Text;
};

TShown ShownItem(HMENU h, int i)
{
    wchar_t text[64] = {};
    MENUITEMINFOW mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = 63;
    GetMenuItemInfoW(h, static_cast<UINT>(i), TRUE, &mi);
    return {mi.fType, text};
}

} // namespace

TEST(Menus, TextCaptionsShowAsTheLettersOfTheirCodePage)
{
    TPopupMenu menu(nullptr);
    auto add = [&](const std::string& text, unsigned cp) {
        auto* i = new TMenuItem(&menu);
        i->SetTextCaption(text, cp);
        menu.Items()->Add(i);
        return i;
    };
    TMenuItem* cyrillic = add("\xEA\xEE\xF2", 1251);
    add("-", 1252);
    add("A&B", 1252);
    auto* line = new TMenuItem(&menu);
    line->SetCaption("-");
    menu.Items()->Add(line);
    HMENU h = menu.Handle();
    ASSERT_EQ(GetMenuItemCount(h), 4);
    EXPECT_EQ(ShownItem(h, 0).Text, L"\x043A\x043E\x0442");
    EXPECT_EQ(cyrillic->Caption(), "\xEA\xEE\xF2");  // the caption stays the text itself
    EXPECT_FALSE(ShownItem(h, 1).Type & MFT_SEPARATOR);  // a dash is text, not a line
    EXPECT_EQ(ShownItem(h, 1).Text, L"-");
    EXPECT_EQ(ShownItem(h, 2).Text, L"A&&B");  // the ampersand shows, it underlines nothing
    EXPECT_TRUE(ShownItem(h, 3).Type & MFT_SEPARATOR);  // an ordinary "-" is still a line
    EXPECT_FALSE(menu.Items()->Items(1)->IsLine());
}
