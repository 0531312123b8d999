// The formatting commands of the frame on a real document: the format tool bar, the size box,
// the colour menus and the colour bars of their buttons, read back from the editor.
#include "FrameFixture.h"

#include "LanguagesCombo.h"
#include "MenuStylers97.h"
#include "SysUtils.h"

using namespace pw;

namespace {

class FormatTest : public FrameTest {
protected:
    TTextAttributes98* Sel() { return Doc()->RichEdit()->SelectionAttributes(); }
    TParaAttributes98* Para() { return Doc()->RichEdit()->ParagraphAttributes(); }
    void Select(int start, int length)
    {
        Doc()->RichEdit()->SetSelStart(start);
        Doc()->RichEdit()->SetSelLength(length);
    }
    void Press(TToolButton* b) { pwtest::PressToolButton(b); }
    void Choose(TPopupMenu* menu, const std::string& name) { pwtest::ChooseMenuItem(menu, name); }
    HWND SizeEdit() { return Frame->FontSize->EditHandle(); }
    void TypeSize(const std::string& keys)
    {
        for (char c : keys) SendMessageA(SizeEdit(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    void PressEnterInSize()
    {
        SendMessageA(SizeEdit(), WM_KEYDOWN, VK_RETURN, 1);
        SendMessageA(SizeEdit(), WM_KEYUP, VK_RETURN, 0xC0000001);
    }
    void SendSizeNotification(WORD code)
    {
        HWND bar = Frame->FmtToolBar->Handle(), box = Frame->FontSize->Handle();
        SendMessageA(bar, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code), reinterpret_cast<LPARAM>(box));
    }
    // Image Index of the frame's list drawn on green: the colour bar shows in row 14.
    COLORREF ImagePixel(int Index, int x, int y)
    {
        TBitmap b(16, 16);
        b.Canvas()->Brush()->SetColor(clLime);
        b.Canvas()->FillRect(RECT{0, 0, 16, 16});
        Frame->Images->Draw(b.Canvas()->Handle(), 0, 0, Index);
        return static_cast<COLORREF>(b.Canvas()->Pixels(x, y));
    }
};

} // namespace

TEST_F(FormatTest, BoldOnASelectionAndTheButtonFollowsTheCaret)
{
    Type("plain bold plain");
    Select(6, 4);
    EXPECT_FALSE(Frame->BoldBtn->Down());
    Press(Frame->BoldBtn);
    EXPECT_TRUE(Sel()->Bold());
    Doc()->RichEdit()->SetSelStart(2);
    EXPECT_FALSE(Sel()->Bold());
    EXPECT_FALSE(Frame->BoldBtn->Down());
    Select(7, 1);
    EXPECT_TRUE(Frame->BoldBtn->Down());
    // Italic and underline the same way; the check buttons leave the focus where it was.
    Select(6, 4);
    Press(Frame->ItalicBtn);
    Press(Frame->UndrlBtn);
    EXPECT_TRUE(Sel()->Italic());
    EXPECT_EQ(Sel()->UnderlineType(), 1);
    Press(Frame->UndrlBtn);
    EXPECT_EQ(Sel()->UnderlineType(), 0);
    Doc()->RichEdit()->SetSelStart(0);
    EXPECT_FALSE(Frame->ItalicBtn->Down());
}

TEST_F(FormatTest, CenterOnTwoParagraphsAndTheAlignmentButtons)
{
    Type("one\rtwo\rthree");
    Select(0, 6);  // into the second paragraph
    Press(Frame->CenterBtn);
    for (int at : {1, 5}) {
        Doc()->RichEdit()->SetSelStart(at);
        EXPECT_EQ(Para()->Alignment(), 2) << at;
        EXPECT_TRUE(Frame->CenterBtn->Down());
        EXPECT_FALSE(Frame->LeftBtn->Down());
    }
    Doc()->RichEdit()->SetSelStart(10);
    EXPECT_EQ(Para()->Alignment(), 0);
    EXPECT_TRUE(Frame->LeftBtn->Down());
    EXPECT_FALSE(Frame->CenterBtn->Down());
    Press(Frame->RightBtn);
    EXPECT_EQ(Para()->Alignment(), 1);
    EXPECT_TRUE(Frame->RightBtn->Down());
    // Justified text leaves all three up.
    Para()->SetAlignment(3);
    Doc()->RichEdit()->SetSelStart(9);
    EXPECT_FALSE(Frame->LeftBtn->Down() || Frame->CenterBtn->Down() || Frame->RightBtn->Down());
}

TEST_F(FormatTest, BulletsOnAtTheSizeOfTheTextAndOff)
{
    Type("item");
    Doc()->RichEdit()->SelectAll();
    Sel()->SetSize(20);
    Press(Frame->BulletsBtn);
    EXPECT_EQ(Para()->Numbering(), 1);
    PARAFORMAT2 pf = {};
    pf.cbSize = sizeof pf;
    Doc()->RichEdit()->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    EXPECT_EQ(pf.wNumberingTab, 400);  // 20 points
    Doc()->RichEdit()->SetSelStart(1);
    EXPECT_TRUE(Frame->BulletsBtn->Down());
    Doc()->RichEdit()->SelectAll();
    Press(Frame->BulletsBtn);
    EXPECT_EQ(Para()->Numbering(), 0);
    EXPECT_FALSE(Frame->BulletsBtn->Down());
}

TEST_F(FormatTest, RedTextAndNoHighlightFromTheColourMenus)
{
    Type("colour");
    Select(0, 6);
    Choose(Frame->ColorMenu, "RedMI");
    EXPECT_EQ(Sel()->Color(), clRed);
    Choose(Frame->HighlightMenu, "YellowMI2");
    EXPECT_EQ(Sel()->BackColor(), clYellow);
    Choose(Frame->HighlightMenu, "NoneMI2");
    EXPECT_EQ(Sel()->BackColor(), clNone);
    Choose(Frame->ColorMenu, "AutoMI");
    EXPECT_EQ(Sel()->Color(), clWindowText);
    // The menus open with the selection's colour checked: black checks Black and Other.
    Choose(Frame->ColorMenu, "BlackMI");
    Choose(Frame->ColorMenu, "");
    std::vector<std::string> checked;
    for (int i = 0; i < Frame->ColorMenu->Items()->Count(); ++i)
        if (Frame->ColorMenu->Items()->Items(i)->Checked()) checked.push_back(Frame->ColorMenu->Items()->Items(i)->Name());
    EXPECT_EQ(checked, (std::vector<std::string>{"BlackMI", "OtherMI"}));
    Choose(Frame->HighlightMenu, "");
    EXPECT_TRUE(dynamic_cast<TMenuItem*>(Frame->FindComponent("NoneMI2"))->Checked());
}

TEST_F(FormatTest, OtherColoursFormAColumnOfAtMostFour)
{
    Type("custom");
    Select(0, 6);
    TMenuItem* root = Frame->ColorMenu->Items();
    ASSERT_EQ(root->Count(), 18);
    for (TColor c : {0x102030, 0x203040, 0x304050, 0x405060, 0x506070}) {
        Answers.push_back([c](TCommonDialog& d) {
            static_cast<TColorDialog&>(d).SetColor(c);
            return true;
        });
        Choose(Frame->ColorMenu, "OtherMI");
        EXPECT_EQ(Sel()->Color(), c);
    }
    ASSERT_EQ(root->Count(), 22);
    EXPECT_EQ(root->Items(18)->Tag(), 0x506070);  // newest at the top
    EXPECT_EQ(root->Items(21)->Tag(), 0x203040);  // the oldest went
    EXPECT_EQ(root->Items(18)->Break(), TMenuBreak::mbBreak);
    EXPECT_EQ(root->Items(19)->Break(), TMenuBreak::mbNone);
    // A cancelled dialog adds nothing.
    CancelDialog();
    Choose(Frame->ColorMenu, "OtherMI");
    EXPECT_EQ(root->Count(), 22);
    EXPECT_EQ(Sel()->Color(), 0x506070);
    // A custom colour applies like any other.
    Select(0, 1);
    TPopupMenu::TrackResponder = [&](TPopupMenu*) { return root->Items(20); };
    Frame->ColorMenu->Popup(0, 0);
    TPopupMenu::TrackResponder = nullptr;
    EXPECT_EQ(Sel()->Color(), 0x304050);
}

TEST_F(FormatTest, ATypedSizeAppliesOnlyWithEnter)
{
    Type("size");
    Select(0, 4);
    SendMessageA(SizeEdit(), EM_SETSEL, 0, -1);
    TypeSize("12");
    EXPECT_EQ(Sel()->Size(), 8);  // half-typed: nothing yet
    TypeSize("x");                // letters are discarded
    EXPECT_EQ(Frame->FontSize->Text(), "12");
    SendMessageA(SizeEdit(), WM_CHAR, VK_BACK, 1);  // Backspace works
    EXPECT_EQ(Frame->FontSize->Text(), "1");
    TypeSize("4");
    PressEnterInSize();
    EXPECT_EQ(Sel()->Size(), 14);
    EXPECT_EQ(GetFocus(), Doc()->RichEdit()->Handle());
}

TEST_F(FormatTest, AChoiceFromTheDroppedListAppliesAtOnce)
{
    Type("size");
    Select(0, 4);
    SendSizeNotification(CBN_DROPDOWN);
    EXPECT_TRUE(Frame->FontSizeDropped);
    // The list has the new choice before the edit field shows it.
    Frame->FontSize->Perform(CB_SETCURSEL, static_cast<WPARAM>(Frame->FontSize->Items()->IndexOf("24")), 0);
    SetWindowTextA(SizeEdit(), "8");
    SendSizeNotification(CBN_SELCHANGE);
    EXPECT_EQ(Sel()->Size(), 24);
    EXPECT_FALSE(Frame->FontSizeDropped);
    // Dropped and closed without a choice: a typed digit is still only typed.
    SendSizeNotification(CBN_DROPDOWN);
    SetWindowTextA(SizeEdit(), "");
    TypeSize("1");
    EXPECT_EQ(Sel()->Size(), 24);
    // A choice from the closed list by the arrow keys waits for Enter too.
    Frame->FontSizeDropped = false;
    Frame->FontSize->Perform(CB_SETCURSEL, static_cast<WPARAM>(Frame->FontSize->Items()->IndexOf("9")), 0);
    SendSizeNotification(CBN_SELCHANGE);
    EXPECT_EQ(Sel()->Size(), 24);
    PressEnterInSize();
    EXPECT_EQ(Sel()->Size(), 9);
}

TEST_F(FormatTest, ABadSizeIsAClearErrorAndChangesNothing)
{
    pwtest::MessageBoxRecorder boxes;
    Type("size");
    Select(0, 4);
    for (const char* bad : {"", "-5", "0", "99999999999", "2000"}) {
        SetWindowTextA(SizeEdit(), bad);  // pasted, not typed
        PressEnterInSize();
        EXPECT_EQ(Sel()->Size(), 8) << bad;
    }
    ASSERT_EQ(boxes.Shown().size(), 5u);
    EXPECT_NE(boxes.Shown()[1].Text.find("\"-5\" is not a font size"), std::string::npos) << boxes.Shown()[1].Text;
    EXPECT_NE(boxes.Shown()[3].Text.find("1 to 1638"), std::string::npos);
    SetWindowTextA(SizeEdit(), "1638");
    PressEnterInSize();
    EXPECT_EQ(Sel()->Size(), 1638);  // the largest the editor shows
}

TEST_F(FormatTest, TheFaceFromTheFontListAndTheListFollowsTheCaret)
{
    Type("face");
    Select(0, 4);
    int courier = Frame->FontCombo->Items()->IndexOf("Courier New");
    if (courier < 0) GTEST_SKIP() << "no Courier New on this system";
    Frame->FontCombo->SetItemIndex(courier);
    SendMessageA(Frame->FmtToolBar->Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(Frame->FontCombo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Frame->FontCombo->Handle()));
    EXPECT_EQ(Sel()->Name(), "Courier New");
    EXPECT_EQ(GetFocus(), Doc()->RichEdit()->Handle());
    Doc()->RichEdit()->SetSelStart(2);
    EXPECT_EQ(Frame->FontCombo->Text(), "Courier New");
    Select(0, 4);
    Sel()->SetName("No Such Face");
    Select(1, 1);
    EXPECT_EQ(Frame->FontCombo->ItemIndex(), -1);
    EXPECT_EQ(Frame->FontSize->Text(), "8");
}

TEST_F(FormatTest, TheColourButtonsShowTheColourAtTheCaretAsABar)
{
    Type("red");
    Select(0, 3);
    Choose(Frame->ColorMenu, "RedMI");
    Doc()->RichEdit()->SetSelStart(1);
    EXPECT_EQ(ImagePixel(22, 8, 14), RGB(255, 0, 0));
    EXPECT_EQ(ImagePixel(22, 0, 12), RGB(255, 0, 0));  // the whole four rows
    EXPECT_EQ(ImagePixel(22, 0, 5), RGB(0, 255, 0));   // above it the picture keeps its transparency
    // The automatic colour is the window text colour, resolved.
    Select(0, 3);
    Choose(Frame->ColorMenu, "AutoMI");
    Doc()->RichEdit()->SetSelStart(1);
    EXPECT_EQ(ImagePixel(22, 8, 14), ColorToRGB(clWindowText));
    // No highlight shows no bar: the button face shows through.
    EXPECT_EQ(ImagePixel(23, 8, 14), RGB(0, 255, 0));
    Select(0, 2);
    Choose(Frame->HighlightMenu, "AquaMI2");
    Doc()->RichEdit()->SetSelStart(1);
    EXPECT_EQ(ImagePixel(23, 8, 14), RGB(0, 255, 255));
}

TEST_F(FormatTest, TheColourMenusAreDrawnAsSwatches)
{
    TMenuItem* red = dynamic_cast<TMenuItem*>(Frame->FindComponent("RedMI"));
    ASSERT_TRUE(red);
    // The items are the colour menu styler's: the swatches are drawn through it.
    auto dataOf = [](TPopupMenu* menu, TMenuItem* item) {
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu->Handle(), item->Command(), FALSE, &mi);
        EXPECT_TRUE(mi.fType & MFT_OWNERDRAW) << item->Name();
        return mi.dwItemData;
    };
    EXPECT_EQ(dataOf(Frame->ColorMenu, red), reinterpret_cast<ULONG_PTR>(Frame->ColorMenu97));
    EXPECT_EQ(dataOf(Frame->HighlightMenu, Frame->NoneMI2), reinterpret_cast<ULONG_PTR>(Frame->HighlightMenu97));
    MEASUREITEMSTRUCT m = {};
    m.CtlType = ODT_MENU;
    m.itemID = red->Command();
    m.itemData = dataOf(Frame->ColorMenu, red);
    SendMessageA(PopupUtilWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
    EXPECT_EQ(m.itemHeight, 20u);
    m.itemID = Frame->AutoMI->Command();
    m.itemData = dataOf(Frame->ColorMenu, Frame->AutoMI);
    SendMessageA(PopupUtilWindow(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
    EXPECT_EQ(m.itemHeight, 80u);
    TBitmap b(40, 100);
    auto draw = [&](TMenuItem* item, RECT r, UINT state) {
        b.Canvas()->Brush()->SetColor(clLime);
        b.Canvas()->FillRect(RECT{0, 0, 40, 100});
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_MENU;
        d.itemID = item->Command();
        d.itemData = dataOf(Frame->ColorMenu, item);
        d.itemState = state;
        d.hDC = b.Canvas()->Handle();
        d.rcItem = r;
        SendMessageA(PopupUtilWindow(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
    };
    draw(red, RECT{0, 0, 20, 20}, 0);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), ColorToRGB(clBtnFace));  // the menu's colour around
    EXPECT_EQ(b.Canvas()->Pixels(3, 3), ColorToRGB(clGray));     // the swatch's outline
    EXPECT_EQ(b.Canvas()->Pixels(10, 10), ColorToRGB(clRed));    // the swatch
    EXPECT_EQ(b.Canvas()->Pixels(25, 10), ColorToRGB(clLime));   // nothing outside the item
    red->SetChecked(true);
    draw(red, RECT{0, 0, 20, 20}, 0);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), 14737632u);  // checked: light grey, sunken
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(b.Canvas()->Pixels(19, 19), ColorToRGB(clBtnHighlight));
    draw(red, RECT{0, 0, 20, 20}, ODS_SELECTED);
    EXPECT_EQ(b.Canvas()->Pixels(1, 1), ColorToRGB(clBtnFace));
    // Auto: a black swatch with its caption written downwards in white.
    draw(Frame->AutoMI, RECT{0, 0, 20, 80}, 0);
    int white = 0;
    for (int y = 4; y < 76; ++y)
        for (int x = 4; x < 16; ++x) white += b.Canvas()->Pixels(x, y) == static_cast<TColor>(ColorToRGB(clWhite));
    EXPECT_GT(white, 10);
    EXPECT_EQ(b.Canvas()->Pixels(4, 4), ColorToRGB(clBlack));
}

TEST_F(FormatTest, TheFontListMarksTrueTypeFaces)
{
    int arial = Frame->FontCombo->Items()->IndexOf("Arial");
    ASSERT_GE(arial, 0);
    ASSERT_EQ(reinterpret_cast<intptr_t>(Frame->FontCombo->Items()->Objects(arial)), 2);  // TrueType
    TBitmap b(120, 16);
    b.Canvas()->Brush()->SetColor(clLime);
    b.Canvas()->FillRect(RECT{0, 0, 120, 16});
    DRAWITEMSTRUCT d = {};
    d.CtlType = ODT_COMBOBOX;
    d.itemID = static_cast<UINT>(arial);
    d.hwndItem = Frame->FontCombo->Handle();
    d.hDC = b.Canvas()->Handle();
    d.rcItem = RECT{0, 0, 120, 16};
    SendMessageA(Frame->FmtToolBar->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
    // The mark: image 20 of the list at left + 1, the same pixels as drawn by the list itself.
    TBitmap mark(16, 16);
    mark.Canvas()->Brush()->SetColor(clWindow);
    mark.Canvas()->FillRect(RECT{0, 0, 16, 16});
    Frame->Images->Draw(mark.Canvas()->Handle(), 0, 0, 20);
    int dark = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(b.Canvas()->Pixels(x + 1, y), mark.Canvas()->Pixels(x, y)) << x << "," << y;
            dark += mark.Canvas()->Pixels(x, y) != static_cast<TColor>(ColorToRGB(clWindow));
        }
    EXPECT_GT(dark, 10);
    EXPECT_EQ(b.Canvas()->Pixels(0, 8), ColorToRGB(clWindow));  // the item is filled
}

TEST_F(FormatTest, TheColourButtonsAreRepaintedOnlyForANewColour)
{
    Type("one colour all along");
    int changes = 0;
    Frame->Images->OnChange = [&](TObject*) { ++changes; };
    for (int at : {2, 5, 9, 14}) Doc()->RichEdit()->SetSelStart(at);
    EXPECT_EQ(changes, 0);
    // Another document whose text has another colour: both buttons are painted for it.
    TMDIForm* first = Doc();
    Frame->NewMIClick(nullptr);
    Type("blue");
    Select(0, 4);
    Frame->ColorMIClick(Frame->FindComponent("BlueMI"));
    changes = 0;
    Doc()->RichEdit()->SetSelStart(2);
    EXPECT_EQ(changes, 1);  // the text colour changed, the highlight did not
    EXPECT_EQ(ImagePixel(22, 8, 14), RGB(0, 0, 255));
    first->Show();
    pwtest::Pump();
    ASSERT_EQ(Doc(), first);
    EXPECT_GE(changes, 3);  // activation repaints both
    EXPECT_EQ(ImagePixel(22, 8, 14), ColorToRGB(clWindowText));
    Frame->Images->OnChange = nullptr;
}
