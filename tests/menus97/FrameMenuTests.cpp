// The program's own stylers: the main menu, the colour menus and the suggestion menu of a
// document, in the real main frame.
#include "../app/FrameFixture.h"

#include "MenuStylers97.h"
#include "MenuTestSupport.h"
#include "Registry.h"
#include "SpellChecker.h"

using namespace pw;
using namespace menutest;

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);

void ExpectAllOwnerDrawn(HMENU menu, TCustomMenus97* styler, const char* when)
{
    for (const TItemInfo& i : AllItems(menu)) {
        if (i.Type & MFT_SEPARATOR) continue;
        if (i.Id >= 60000) continue;  // the MDI client's window list is mirrored as it opens
        EXPECT_TRUE(i.Type & MFT_OWNERDRAW) << when << ": item " << i.Id << " \"" << i.Text << "\"";
        EXPECT_EQ(i.Data, reinterpret_cast<ULONG_PTR>(styler)) << when << ": item " << i.Id;
    }
}

class FrameMenus : public FrameTest {
protected:
    HWND FrameWindow() { return Frame->Handle(); }
    HMENU Bar() { return Frame->MainMenu->Handle(); }
    // Measures and draws a main menu item as the system does, into a fresh bitmap.
    RECT DrawMain(TDib& dib, TMenuItem* item, UINT state)
    {
        HMENU m = item->Parent()->Handle();
        int pos = PositionOf(m, item->Command());
        SIZE s = Measure(FrameWindow(), m, pos);
        RECT r{0, 0, dib.Width(), s.cy};
        Draw(FrameWindow(), m, pos, dib.DC(), r, state);
        return r;
    }
};

} // namespace

TEST_F(FrameMenus, EveryMainMenuItemIsTheStylersAfterTheFrameIsCreated)
{
    ExpectAllOwnerDrawn(Bar(), Frame->MainMenu97, "after creation");
}

TEST_F(FrameMenus, CutAndCopyStayStyledWhenTheSelectionChangesTheirState)
{
    Type("some text");
    auto* e = Doc()->RichEdit();
    e->SetSelStart(0);
    e->SetSelLength(4);
    ASSERT_TRUE(Frame->CutMI->Enabled());
    ExpectAllOwnerDrawn(Bar(), Frame->MainMenu97, "with a selection");
    e->SetSelLength(0);
    ASSERT_FALSE(Frame->CutMI->Enabled());
    ExpectAllOwnerDrawn(Bar(), Frame->MainMenu97, "without a selection");
    HMENU edit = Frame->EditMI->Handle();
    EXPECT_TRUE(ItemAt(edit, PositionOf(edit, Frame->CutMI->Command())).State & MFS_GRAYED);
}

TEST_F(FrameMenus, DropDownItemsShowTheirImages)
{
    // Open has image 1 of the frame's images, New none: only Open has pixels in its glyph cell.
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        // As the drop-down opens: its banner is made anew.
        SendMessageA(FrameWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(Frame->FileMI->Handle()), 0);
        TDib open(220, 30, Magenta), plain(220, 30, Magenta);
        RECT r = DrawMain(open, Frame->OpenMI, state);
        DrawMain(plain, Frame->NewMI, state);
        int banner = Frame->MainMenu97->BannerWidth() + 2;
        RECT cell{r.left + banner + 2, r.top + 2, r.left + banner + 18, r.top + 18};
        COLORREF back = open.At(cell.right + 1, r.top + 1);
        RECT image = open.Bounds(cell, [&](COLORREF c) { return c != back; });
        EXPECT_GT(image.right - image.left, 8) << "state " << state;
        EXPECT_EQ(plain.Bounds(cell, [&](COLORREF c) { return c != back; }).right, 0) << "state " << state;
    }
}

TEST_F(FrameMenus, DocumentCommandsStillReachTheDocumentWithItsStylerInPlace)
{
    ASSERT_NE(Doc(), nullptr);
    ASSERT_NE(Doc()->VariantsMenu97(), nullptr);
    EXPECT_NE(GetWindowLongPtrA(Doc()->Handle(), GWLP_WNDPROC), 0);
    Type("abc");
    Frame->SelectAllMIClick(nullptr);
    EXPECT_GE(Doc()->RichEdit()->SelLength(), 3);
}

// ---- the suggestion menu of a Russian word ----

namespace {

void RegisterRussian()
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\1049\\Normal", true));
    std::string engine = SPELL_LIBRARY, dic = std::string(SPELL_TEST_DATA) + "/ru.dic";
    for (std::string* s : {&engine, &dic})
        for (char& c : *s) if (c == '/') c = '\\';
    r.WriteString("Engine", engine);
    r.WriteString("Dictionary", dic);
}

// The pixels of Text written as the suggestion menu writes it, in a bitmap like Into.
RECT ReferenceText(const TDib& Into, const RECT& Item, const std::wstring& Text)
{
    TDib ref(Into.Width(), Into.Height(), RGB(255, 255, 255));
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-13);
    font.SetCharset(RUSSIAN_CHARSET);
    font.SetStyle(fsBold);
    HGDIOBJ old = SelectObject(ref.DC(), font.Handle());
    SetBkMode(ref.DC(), TRANSPARENT);
    SetTextColor(ref.DC(), RGB(0, 0, 0));
    TextOutW(ref.DC(), Item.left + 22, Item.top + 2, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(ref.DC(), old);
    return ref.Bounds(Item, [](COLORREF c) { return c == RGB(0, 0, 0); });
}

class RussianWord : public FrameMenus {
protected:
    void SetUp() override
    {
        RegisterRussian();
        FrameMenus::SetUp();
        Frame->Speller->SetCustomDict(Dir.File("custom.dic"));
    }
    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
};

} // namespace

TEST_F(RussianWord, SuggestionsAreDrawnInCyrillicLetters)
{
    auto* e = Doc()->RichEdit();
    e->SetLanguage(1049);
    e->SelectionAttributes()->SetLanguage(1049);
    e->SetSelText("\xEF\xF0\xE8\xE2\xF2\xE5");  // "привте", a misspelt "привет"
    e->SetSelStart(2);
    POINTL pt{};
    e->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), 2);
    HWND util = PopupUtilWindow();
    bool shown = false;
    TPopupMenu::TrackResponder = [&](TPopupMenu* m) -> TMenuItem* {
        shown = true;
        HMENU h = m->Handle();
        ExpectAllOwnerDrawn(h, Doc()->VariantsMenu97(), "suggestion menu");
        EXPECT_GE(GetMenuItemCount(h), 4) << "Spelling, Add word, a separator and a suggestion";
        if (GetMenuItemCount(h) < 4) return nullptr;
        EXPECT_EQ(m->Items()->Items(3)->Caption(), "\xEF\xF0\xE8\xE2\xE5\xF2");
        TDib dib(200, 24, Magenta);
        SIZE s = Measure(util, h, 3);
        RECT r{0, 0, 200, s.cy};
        Draw(util, h, 3, dib.DC(), r, 0);
        // Filled with the item background, the word written over it in its own letters.
        EXPECT_EQ(dib.At(195, 1), Sys(COLOR_BTNFACE));
        COLORREF text = ColorToRGB(Doc()->VariantsMenu97()->Font()->Color());
        RECT drawn = dib.Bounds(r, [&](COLORREF c) { return c == text; });
        RECT expected = ReferenceText(dib, r, L"\x043F\x0440\x0438\x0432\x0435\x0442");
        EXPECT_EQ(drawn.left, expected.left);
        EXPECT_EQ(drawn.right, expected.right);
        EXPECT_EQ(drawn.bottom, expected.bottom);
        // The same bytes taken as Western letters would be drawn wider or narrower.
        RECT western = ReferenceText(dib, r, L"\x00EF\x00F0\x00E8\x00E2\x00E5\x00F2");
        EXPECT_NE(western.right, expected.right);
        return nullptr;
    };
    e->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x + 2, pt.y + 4));
    TPopupMenu::TrackResponder = nullptr;
    EXPECT_TRUE(shown) << "no menu for a misspelt Russian word";
}
