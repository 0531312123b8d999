#include "RichEditFixture.h"

#include "Filer.h"
#include "Streams.h"

using namespace pw;

TEST_F(RichEditTest, ReplaceSelConvertsInTheLanguagesCodePage)
{
    Edit->SetLanguage(1049);
    EXPECT_EQ(Edit->CodePage(), 1251u);
    Edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\xC0"));
    EXPECT_EQ(WideText(), std::wstring(1, L'\x0410'));
    Edit->SetLanguage(1033);
    Edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\xC0"));
    EXPECT_EQ(WideText(), std::wstring(L"\x0410\x00C0"));
}

TEST_F(RichEditTest, ReplaceSelIsAlwaysUndoable)
{
    Edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("typed"));
    EXPECT_TRUE(Edit->CanUndo());
    Edit->Undo();
    EXPECT_EQ(WideText(), L"");
    EXPECT_TRUE(Edit->CanRedo());
    Edit->Redo();
    EXPECT_EQ(WideText(), L"typed");
}

TEST_F(RichEditTest, SetTextAndSelectedTextConvert)
{
    Edit->SetLanguage(1049);
    Edit->SetText("\xCF\xF0\xE8\xE2\xE5\xF2 world");  // "Привет world" in code page 1251
    EXPECT_EQ(WideText(), L"\x041F\x0440\x0438\x0432\x0435\x0442 world");
    Edit->SetSelStart(0);
    Edit->SetSelLength(6);
    EXPECT_EQ(Edit->SelText(), "\xCF\xF0\xE8\xE2\xE5\xF2");
    char buf[16] = {};
    TEXTRANGEA tr = {{7, 12}, buf};
    Edit->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    EXPECT_STREQ(buf, "world");
}

TEST_F(RichEditTest, TextRangeToTheEndIsSizedFromTheText)
{
    Edit->SetText("abcdef");
    char buf[16] = {};
    TEXTRANGEA tr = {{2, -1}, buf};
    Edit->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    EXPECT_STREQ(buf, "cdef");
}

TEST_F(RichEditTest, GetLineConvertsAndStaysInsideTheCallersBuffer)
{
    Edit->SetLanguage(1049);
    Edit->SetText("\xC0\xC1\xC2\xC3\xC4\xC5");
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    WORD size = 4;
    std::memcpy(buf, &size, sizeof size);
    LRESULT n = Edit->Perform(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(n, 4);
    EXPECT_EQ(std::string(buf, 4), "\xC0\xC1\xC2\xC3");
    EXPECT_EQ(buf[4], 'x') << "wrote past the declared size";
}

TEST_F(RichEditTest, CaretPositionAndStatus)
{
    EXPECT_EQ(Edit->CaretLine(), 0);
    EXPECT_EQ(Edit->CaretColumn(), 0);
    Edit->SetText("first\rsecond line");
    Edit->SetSelStart(9);
    EXPECT_EQ(Edit->CaretLine(), 1);
    EXPECT_EQ(Edit->CaretColumn(), 3);
}

TEST(RichEdit98, OptionsSetBeforeTheWindowAreAppliedOnCreation)
{
    TForm form(nullptr);
    auto* e = new TRichEdit98(&form);
    e->SetAutoURLDetect(true);
    e->SetShowSelectionBar(true);
    EXPECT_FALSE(e->HandleAllocated());
    e->SetBounds(0, 0, 200, 100);
    e->SetParent(&form);
    form.HandleNeeded();
    EXPECT_NE(e->Perform(EM_GETAUTOURLDETECT, 0, 0), 0);
    EXPECT_NE(e->Perform(EM_GETOPTIONS, 0, 0) & ECO_SELECTIONBAR, 0);
    LRESULT mask = e->Perform(EM_GETEVENTMASK, 0, 0);
    EXPECT_EQ(mask & 0x042C0001, 0x042C0001);
}

TEST_F(RichEditTest, RecreatingTheWindowKeepsTheTextAndReloadsTheLibrary)
{
    Edit->SetText("kept across re-creation");
    HWND before = Edit->Handle();
    HMODULE module = Edit->RichEditModule();
    ASSERT_NE(module, nullptr);
    Edit->SetScrollBars(TScrollStyle::ssVertical);
    EXPECT_NE(Edit->Handle(), before);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(WideText(), L"kept across re-creation");
    EXPECT_EQ(Edit->RichEditModule(), module);
    EXPECT_EQ(GetWindowLongA(Edit->Handle(), GWL_STYLE) & ES_AUTOVSCROLL, ES_AUTOVSCROLL);
}

TEST_F(RichEditTest, DesignerSetTextLeavesTheControlEmpty)
{
    Edit->SetDesigning(true);
    Edit->SetText("ignored");
    Edit->SetDesigning(false);
    EXPECT_EQ(WideText(), L"");
}

TEST_F(RichEditTest, LinkClickGivesTheLinksCharacters)
{
    Edit->SetLanguage(1049);
    Edit->SetText("see \xC0 http://example.org/x now");
    std::string clicked;
    int clicks = 0;
    Edit->OnURLClick = [&](TObject*, const std::string& url) { clicked = url; ++clicks; };
    ENLINK link = {};
    link.nmhdr.hwndFrom = Edit->Handle();
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONUP;
    link.chrg = {6, 26};
    EXPECT_EQ(SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link)), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clicked, "http://example.org/x");
    link.msg = WM_LBUTTONDOWN;
    SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(clicks, 1);
}

TEST_F(RichEditTest, MovingOverALinkShowsTheHandEvenWithoutAHandler)
{
    Edit->SetText("http://example.org");
    ENLINK link = {};
    link.nmhdr.hwndFrom = Edit->Handle();
    link.nmhdr.code = EN_LINK;
    link.msg = WM_MOUSEMOVE;
    link.chrg = {0, 18};
    ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(RichEditTest, TheRTFPropertyIsWrittenAndReadBack)
{
    Edit->SetRTFText(EmptyDocumentRTF);
    TMemoryStream m;
    TWriter w(m);
    w.WriteProperties(Edit);
    EXPECT_GT(m.Size(), 8) << "the empty document's RTF property was not written";
    Edit->SetText("hello");
    TMemoryStream m2;
    TWriter w2(m2);
    w2.WriteProperties(Edit);
    Edit->SetText("");
    m2.SetPosition(0);
    TReader r(m2);
    r.ReadProperties(Edit);
    EXPECT_EQ(WideText(), L"hello");
}
