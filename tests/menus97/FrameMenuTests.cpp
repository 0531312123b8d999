// The program's own stylers: the main menu, the colour menus and the suggestion menu of a
// document, in the real main frame.
#include "../app/FrameFixture.h"

#include "MenuStylers97.h"
#include "MenuTestSupport.h"

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
