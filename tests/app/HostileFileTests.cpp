// Broken and hostile files opened through File > Open, one after another, while another
// document holds unsaved text: each gives its message naming the file and the reason, the
// program goes on and the other document keeps its text.
#include "FrameFixture.h"

#include "SysUtils.h"


using namespace pw;

namespace {

const std::string Head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";

std::string Nested(size_t Depth, bool Closed)
{
    return Head + std::string(Depth - 1, '{') + "x" + (Closed ? std::string(Depth, '}') : "");
}

std::wstring Text(TRichEdit98* e)
{
    std::wstring w(static_cast<size_t>(e->GetTextLen()) + 1, L'\0');
    GETTEXTEX g = {static_cast<DWORD>(w.size() * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT n = CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(e->Handle(), GWLP_WNDPROC)), e->Handle(),
                                EM_GETTEXTEX, reinterpret_cast<WPARAM>(&g), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
    return w;
}

} // namespace

class HostileFileTest : public FrameTest {
protected:
    void Open(const std::string& File) { OpenFromMenu(File); }
};

TEST_F(HostileFileTest, EachHostileFileGivesItsMessageAndEveryDocumentStays)
{
    Type("unsaved work");
    TMDIForm* work = Doc();
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Reason;
    } files[] = {
        {"nested.rtf", Nested(200000, true), "its groups are nested more than 32 deep"},
        {"unclosed.rtf", Nested(50000, false), "its groups are nested more than 32 deep"},
        {"word.rtf", Head + "\\" + std::string(1000000, 'w') + " x}", "a control word longer than 32 letters"},
        {"number.rtf", Head + "\\fs" + std::string(100000, '7') + " x}", "the parameter of \\fs"},
        {"bin.rtf", Head + "x{\\*\\pwdata\\bin2000000 abc}}", "more than the file holds"},
    };
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        std::string path = dir.File(f.Name);
        pwtest::WriteFileBytes(path, f.Bytes);
        size_t shown = boxes.Shown().size();
        Open(path);
        ASSERT_EQ(boxes.Shown().size(), shown + 1);
        const std::string& text = boxes.Shown().back().Text;
        EXPECT_NE(text.find("\"" + path + "\""), std::string::npos) << text;
        EXPECT_NE(text.find(f.Reason), std::string::npos) << text;
    }
    // The document with unsaved work is as it was, and the program goes on.
    bool found = false;
    for (int i = 0; i < Frame->MDIChildCount(); ++i) found |= Frame->MDIChildren(i) == work;
    ASSERT_TRUE(found);
    EXPECT_EQ(Text(work->RichEdit()), L"unsaved work");
    EXPECT_TRUE(work->Modified());
    int before = DocumentCount();
    Frame->NewMIClick(nullptr);
    EXPECT_EQ(DocumentCount(), before + 1);
}

TEST_F(HostileFileTest, FilesNearEachLimitOpen)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    const struct {
        const char* Name;
        std::string Bytes;
    } files[] = {
        {"nested-32.rtf", Nested(32, true)},
        {"word-32.rtf", Head + "\\" + std::string(32, 'w') + " x}"},
        {"number-max.rtf", Head + "\\qqq-2147483648\\qqq2147483647 x}"},
        {"bin.rtf", Head + "x{\\*\\pwdata\\bin3 {{{}}"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        std::string path = dir.File(f.Name);
        pwtest::WriteFileBytes(path, f.Bytes);
        Open(path);
        EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown().back().Text;
        EXPECT_EQ(Doc()->Text(), path);
        EXPECT_EQ(Text(Doc()->RichEdit()), L"x");
    }
}

TEST_F(HostileFileTest, UnicodeTextFilesOpenAsUnicode)
{
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    // What Notepad saves as "Unicode": UTF-16 LE with its mark; and UTF-8 without a mark.
    std::string notepad = dir.File("notepad.txt");
    pwtest::WriteFileBytes(notepad, std::string("\xFF\xFE\x3C\x04\x38\x04\x40\x04\r\0\n\0!\0", 14));
    Open(notepad);
    EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown().back().Text;
    EXPECT_EQ(Text(Doc()->RichEdit()), L"\x043C\x0438\x0440\r!");
    std::string utf8 = dir.File("utf8.txt");
    pwtest::WriteFileBytes(utf8, "na\xC3\xAFve \xE2\x80\x94 caf\xC3\xA9");
    Open(utf8);
    EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown().back().Text;
    EXPECT_EQ(Text(Doc()->RichEdit()), L"na\x00EFve \x2014 caf\x00E9");
}

// A text file of 2 MB on one line (a log, minified data). Wrapped, some rich edit controls need
// more memory than the machine has for it, and the program with every document would go; it
// opens unwrapped, within bounds, and the user is told why. A long document of ordinary
// paragraphs still wraps.
TEST_F(HostileFileTest, ATwoMegabyteLineOpensUnwrappedWithinBoundsAndTheUserIsTold)
{
    Type("unsaved work");
    TMDIForm* work = Doc();
    pwtest::MessageBoxRecorder boxes;
    pwtest::TempDir dir;
    std::string line;
    while (line.size() < 2000000) line += "word ";
    std::string path = dir.File("one-line.txt");
    pwtest::WriteFileBytes(path, line);
    auto before = pwtest::ProcessMemoryBytes();
    Open(path);
    auto grown = pwtest::ProcessMemoryBytes() - std::min(before, pwtest::ProcessMemoryBytes());
    EXPECT_LT(grown, 1ull << 30) << "the one line took " << (grown >> 20) << " MB";
    ASSERT_EQ(boxes.Shown().size(), 1u);
    const std::string& told = boxes.Shown().back().Text;
    EXPECT_NE(told.find("\"" + path + "\" has a paragraph of 2000000 characters"), std::string::npos) << told;
    EXPECT_NE(told.find("without wrapping"), std::string::npos) << told;
    EXPECT_EQ(Doc()->Text(), path);
    EXPECT_FALSE(Doc()->RichEdit()->WordWrap());
    EXPECT_EQ(Doc()->RichEdit()->Perform(EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(Text(Doc()->RichEdit()), std::wstring(line.begin(), line.end()));
    EXPECT_FALSE(Doc()->Modified());
    EXPECT_EQ(Text(work->RichEdit()), L"unsaved work");

    // Paragraphs up to the limit wrap as any other.
    std::string paragraphs = line.substr(0, 10000) + "\r\nshort\r\nshort";
    std::string wrapped = dir.File("paragraphs.txt");
    pwtest::WriteFileBytes(wrapped, paragraphs);
    Open(wrapped);
    EXPECT_EQ(boxes.Shown().size(), 1u) << boxes.Shown().back().Text;
    EXPECT_TRUE(Doc()->RichEdit()->WordWrap());
    EXPECT_GT(Doc()->RichEdit()->Perform(EM_GETLINECOUNT, 0, 0), 3);
}
