#include "RichEditFixture.h"

#include "Filer.h"
#include "Streams.h"
#include "SysUtils.h"

using namespace pw;

namespace {

// A wide list that keeps its lines in memory.
class MemoryWideList : public TWideStrings {
public:
    std::vector<std::wstring> L;
    std::wstring GetLineW(int i) override { return L.at(static_cast<size_t>(i)); }
    int GetCountW() override { return static_cast<int>(L.size()); }
    void ClearW() override { L.clear(); }
    void DeleteW(int i) override { L.erase(L.begin() + i); }
    void InsertW(int i, const std::wstring& s) override { L.insert(L.begin() + i, s); }
};

} // namespace

TEST_F(RichEditTest, LineCountIgnoresTheEmptyLineAfterAFinalBreak)
{
    EXPECT_EQ(Edit->Lines()->Count(), 0);
    SetWide(L"a\rb");
    EXPECT_EQ(Edit->Lines()->Count(), 2);
    SetWide(L"a\r");
    EXPECT_EQ(Edit->Lines()->Count(), 1);
}

TEST_F(RichEditTest, InsertingLines)
{
    SetWide(L"a\rb");
    Edit->Lines()->Insert(2, "c");  // at Count: appended after b
    EXPECT_EQ(WideText(), L"a\rb\rc");
    SetWide(L"");
    Edit->Lines()->Insert(0, "x");
    EXPECT_EQ(WideText(), L"x\r");
    SetWide(L"a\r");
    Edit->Lines()->Insert(2, "z");  // one past the empty last line: nothing
    EXPECT_EQ(WideText(), L"a\r");
    Edit->Lines()->Insert(-1, "z");
    EXPECT_EQ(WideText(), L"a\r");
}

TEST_F(RichEditTest, DeletingLines)
{
    SetWide(L"a\rb");
    Edit->Lines()->Delete(1);
    EXPECT_EQ(WideText(), L"a\r");
    SetWide(L"a\rb");
    Edit->Lines()->Delete(0);
    EXPECT_EQ(WideText(), L"b");
}

TEST_F(RichEditTest, ReadingAndReplacingLinesConvert)
{
    Edit->SetLanguage(1049);
    SetWide(L"\x0410\x0411\rsecond");
    EXPECT_EQ(Edit->Lines()->Strings(0), "\xC0\xC1");
    EXPECT_EQ(Edit->Lines()->Strings(1), "second");
    Edit->Lines()->SetStrings(1, "\xC2");
    EXPECT_EQ(WideText(), L"\x0410\x0411\r\x0412");
    EXPECT_EQ(Edit->WideLines()->GetLineW(0), L"\x0410\x0411");
}

TEST_F(RichEditTest, WholeTextAssignmentSendsNoChangeNotifications)
{
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    Edit->Lines()->SetText("one\r\ntwo\nthree");
    EXPECT_EQ(Edit->Lines()->Count(), 3);
    EXPECT_EQ(changes, 0);
    EXPECT_NE(Edit->Perform(EM_GETEVENTMASK, 0, 0) & ENM_CHANGE, 0);  // switched back on
}

TEST_F(RichEditTest, AddingAListDoesNotReachTheSelectionHandler)
{
    int selections = 0;
    Edit->OnSelectionChange = [&](TObject*) { ++selections; };
    TStringList l;
    l.SetText("a\nb\nc");
    Edit->Lines()->AddStrings(&l);
    EXPECT_EQ(selections, 0);
    EXPECT_TRUE(static_cast<bool>(Edit->OnSelectionChange));
    EXPECT_EQ(Edit->Lines()->Count(), 3);
}

TEST_F(RichEditTest, PlainTextStreamsNormaliseLineBreaks)
{
    Edit->SetPlainText(true);
    TStringStream s("x\ny\rz\r\nw");
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_EQ(WideText(), L"x\ry\rz\rw");
}

TEST_F(RichEditTest, AChunkEndingInCRLosesThatCR)
{
    Edit->SetPlainText(true);
    TStringStream s("abc\r");
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_EQ(WideText(), L"abc");
}

TEST_F(RichEditTest, TextThatIsNotRTFLoadsAsPlainTextWithoutError)
{
    TStringStream s("just text\nsecond");
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_EQ(WideText(), L"just text\rsecond");
}

TEST_F(RichEditTest, ANulEndsTheTextOfItsChunk)
{
    Edit->SetPlainText(true);
    TStringStream s(std::string("ab\0cd", 5));
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_EQ(WideText(), L"ab");
}

TEST_F(RichEditTest, RtfRoundTripThroughAStream)
{
    Edit->SetText("bold words");
    Edit->SetSelStart(0);
    Edit->SetSelLength(4);
    Edit->SelectionAttributes()->SetBold(true);
    TMemoryStream m;
    Edit->Lines()->SaveToStream(&m);
    std::string rtf(m.Memory(), m.Data().size());
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    Edit->SetText("");
    m.SetPosition(0);
    Edit->Lines()->LoadFromStream(&m);
    EXPECT_EQ(WideText(), L"bold words");
    Edit->SetSelStart(1);
    Edit->SetSelLength(1);
    EXPECT_TRUE(Edit->SelectionAttributes()->Bold());
}

TEST_F(RichEditTest, WideListsWriteRTFNotUTF16)
{
    pwtest::TempDir dir;
    SetWide(L"abc");
    std::string f = dir.File("w.rtf");
    Edit->WideLines()->SaveToFileW(f);
    EXPECT_EQ(pwtest::ReadFileBytes(f).rfind("{\\rtf", 0), 0u);
    Edit->SetPlainText(true);
    Edit->WideLines()->SaveToFileW(f);
    EXPECT_EQ(pwtest::ReadFileBytes(f), "abc");
}

TEST(WideStrings, StreamsAreRawUTF16)
{
    MemoryWideList l;
    l.AddW(L"a");
    l.AddW(L"b");
    TMemoryStream m;
    l.SaveToStreamW(&m);
    ASSERT_EQ(m.Size(), 12);
    EXPECT_EQ(std::memcmp(m.Memory(), L"a\r\nb\r\n", 12), 0);
    MemoryWideList back;
    m.SetPosition(0);
    back.LoadFromStreamW(&m);
    EXPECT_TRUE(back.EqualsW(&l));
}

TEST(WideStrings, IndexOfIgnoresCaseAndGivesTheFirst)
{
    MemoryWideList l;
    l.AddW(L"other");
    l.AddW(L"HELLO");
    l.AddW(L"hello");
    EXPECT_EQ(l.IndexOfW(L"hello"), 1);
    EXPECT_EQ(l.IndexOfW(L"none"), -1);
}

TEST(WideStrings, TheStreamedPropertyIsHexOfEveryUnit)
{
    MemoryWideList l;
    l.AddW(L"");
    EXPECT_EQ(l.WideStringsValue(), "000D000A");
    MemoryWideList a;
    a.AddW(L"A");
    EXPECT_EQ(a.WideStringsValue(), "0041000D000A");
    TMemoryStream m;
    TWriter w(m);
    w.WriteProperties(&a);
    MemoryWideList back;
    m.SetPosition(0);
    TReader r(m);
    r.ReadProperties(&back);
    EXPECT_TRUE(back.EqualsW(&a));
    // An empty list writes nothing.
    MemoryWideList empty;
    TMemoryStream m2;
    TWriter w2(m2);
    w2.WriteProperties(&empty);
    EXPECT_EQ(m2.Size(), 0);
}

TEST(WideStrings, AssignFromAnAnsiListAppends)
{
    MemoryWideList l;
    l.AddW(L"kept");
    TStringList s;
    s.SetText("x\ny");
    l.Assign(&s);
    EXPECT_EQ(l.GetCountW(), 3);
    TFont f;
    EXPECT_THROW(l.Assign(&f), EConvertError);
}
