// Documents that the window's RTF reader cannot take are refused before they reach it, with a
// message naming the file and the reason; documents near each limit still open; Unicode text
// files open as the text they hold.
#include "RichEditFixture.h"

#include "DocumentFormat.h"
#include "RichTextLexer.h"
#include "Streams.h"
#include "SysUtils.h"

using namespace pw;

namespace {

const std::string Head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";

std::string Repeat(const std::string& s, size_t n)
{
    std::string r;
    r.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i) r += s;
    return r;
}

// Groups nested Depth deep in all, the document's own group included.
std::string Nested(size_t Depth, bool Closed = true)
{
    return Head + Repeat("{", Depth - 1) + "x" + (Closed ? Repeat("}", Depth) : "");
}

struct THostile {
    const char* Name;
    std::string Bytes;
    const char* Reason; // part of the message
};

std::vector<THostile> HostileFiles()
{
    return {
        // What crashed the reader.
        {"nested-200000.rtf", Nested(200000), "nested more than 32 deep"},
        {"unclosed-50000.rtf", Nested(50000, false), "nested more than 32 deep"},
        {"word-1000000.rtf", Head + "\\" + std::string(1000000, 'a') + " x}", "control word longer than 32 letters"},
        {"number-100000.rtf", Head + "\\fs" + std::string(100000, '9') + " x}", "parameter of \\fs"},
        {"zeros-100000.rtf", Head + "\\fs" + std::string(100000, '0') + " x}", "parameter of \\fs"},
        // One past each limit.
        {"nested-33.rtf", Nested(33), "nested more than 32 deep"},
        {"word-33.rtf", Head + "\\" + std::string(33, 'q') + " x}", "control word longer than 32 letters"},
        {"number-2147483648.rtf", Head + "\\qqq2147483648 x}", "not a signed 32-bit number"},
        {"number--2147483649.rtf", Head + "\\qqq-2147483649 x}", "not a signed 32-bit number"},
        {"digits-11.rtf", Head + "\\qqq00000000001 x}", "not a signed 32-bit number"},
        {"bin-beyond.rtf", Head + "x{\\*\\pwdata\\bin12 abc}}", "more than the file holds"},
        {"bin-negative.rtf", Head + "x{\\*\\pwdata\\bin-3 abc}}", "more than the file holds"},
    };
}

} // namespace

TEST_F(RichEditTest, EachKindOfHostileDocumentIsRefusedWithItsFileAndReason)
{
    pwtest::TempDir dir;
    for (const THostile& h : HostileFiles()) {
        SCOPED_TRACE(h.Name);
        SetWide(L"unsaved text");
        std::string file = dir.File(h.Name);
        pwtest::WriteFileBytes(file, h.Bytes);
        try {
            Edit->Lines()->LoadFromFile(file);
            ADD_FAILURE() << "loaded without an error";
        } catch (const EConvertError& e) {
            EXPECT_NE(e.Message().find("\"" + file + "\""), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(h.Reason), std::string::npos) << e.Message();
        }
        EXPECT_EQ(WideText(), L"unsaved text");
    }
}

TEST_F(RichEditTest, AHostileStreamIsRefusedWithoutAFileName)
{
    TMemoryStream m;
    std::string bytes = Nested(1000);
    m.WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
    m.SetPosition(0);
    SetWide(L"kept");
    try {
        Edit->Lines()->LoadFromStream(&m);
        ADD_FAILURE() << "loaded without an error";
    } catch (const ERichTextRefused& e) {
        EXPECT_EQ(e.Message(),
                  "The document cannot be opened: its groups are nested more than 32 deep (byte " +
                      std::to_string(Head.size() + 31) + ").");
    }
    EXPECT_EQ(WideText(), L"kept");
}

TEST_F(RichEditTest, DocumentsAtEachLimitOpen)
{
    pwtest::TempDir dir;
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"nested-32.rtf", Nested(32)},
        {"word-32.rtf", Head + "\\" + std::string(32, 'q') + " x}"},
        {"number-max.rtf", Head + "\\qqq2147483647 x}"},
        {"number-min.rtf", Head + "\\qqq-2147483648 x}"},
        {"digits-10.rtf", Head + "\\qqq0000000001 x}"},
        {"bin-exact.rtf", Head + "x{\\*\\pwdata\\bin3 {{{}}"},
        // Braces inside binary data are data, not groups.
        {"bin-braces.rtf", Head + "x{\\*\\pwdata\\bin40 " + std::string(40, '{') + "}}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string file = dir.File(c.Name);
        pwtest::WriteFileBytes(file, c.Bytes);
        Edit->Clear();
        EXPECT_NO_THROW(Edit->Lines()->LoadFromFile(file));
        EXPECT_EQ(WideText(), L"x");
    }
}

// Found by the mutation run: broken tables on which Wine's reader ends the program (a failed
// assertion, a null pointer). Where the reader is that one they are refused; elsewhere, and
// for the tables around them that it takes, they open.
TEST_F(RichEditTest, BrokenTablesAreRefusedOnlyWhereTheReaderWouldEndTheProgram)
{
    pwtest::TempDir dir;
    const struct {
        std::string Row;
        std::string Reason; // empty: opens everywhere
    } cases[] = {
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell c\\cell\\row x}",
         "a table row (ending at byte " + std::to_string(Head.size() + 48) + ") has 3 cells but widths for 1"},
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\r\n{\\trowd\\trgaph9\\par} x}",
         "a \\par right after a table row (byte " + std::to_string(Head.size() + 55) + ")"},
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\sect x}", "a \\sect right after a table row (byte " + std::to_string(Head.size() + 38) + ")"},
        // One cell beyond the widths; text or a paragraph setting before the mark.
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell\\row x}", ""},
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell\\row x\\par y}", ""},
        {"\\trowd\\cellx1000\\pard\\intbl a\\cell\\row\\pard\\par x}", ""},
        // The row defined again after its cells, as some writers end a row.
        {"\\pard\\intbl a\\cell b\\cell c\\cell\\pard\\intbl{\\trowd\\cellx1000\\cellx2000\\cellx3000\\row} x}", ""},
        // Cells with no row definition at all.
        {"\\intbl a\\cell b\\cell c\\cell d\\cell\\row x}", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Row);
        std::string file = dir.File("row.rtf");
        pwtest::WriteFileBytes(file, Head + c.Row);
        SetWide(L"kept");
        if (!c.Reason.empty() && ReaderFailsOnBrokenTables()) {
            try {
                Edit->Lines()->LoadFromFile(file);
                ADD_FAILURE() << "loaded without an error";
            } catch (const EConvertError& e) {
                EXPECT_NE(e.Message().find(c.Reason + ", which this system's rich edit reader cannot take"),
                          std::string::npos)
                    << e.Message();
            }
            EXPECT_EQ(WideText(), L"kept");
        } else {
            EXPECT_NO_THROW(Edit->Lines()->LoadFromFile(file));
            EXPECT_NE(WideText().find(L"a"), std::wstring::npos);
        }
    }
}

TEST_F(RichEditTest, UnicodeTextFilesOpenAsTheirText)
{
    pwtest::TempDir dir;
    const std::wstring expected = L"h\x00E9llo \x043C\x0438\x0440\rsecond \x20AC";
    const std::string le = std::string("\xFF\xFE", 2) +
        std::string("h\0\xE9\0l\0l\0o\0 \0\x3C\x04\x38\x04\x40\x04\r\0\n\0s\0e\0c\0o\0n\0d\0 \0\xAC\x20", 38);
    std::string be = "\xFE\xFF";
    for (size_t i = 2; i + 1 < le.size(); i += 2) {
        be += le[i + 1];
        be += le[i];
    }
    const std::string utf8 = "h\xC3\xA9llo \xD0\xBC\xD0\xB8\xD1\x80\r\nsecond \xE2\x82\xAC";
    const struct {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"utf16le.txt", le},
        {"utf16be.txt", be},
        {"utf8-bom.txt", "\xEF\xBB\xBF" + utf8},
        {"utf8.txt", utf8},
        {"utf8-lf.txt", "h\xC3\xA9llo \xD0\xBC\xD0\xB8\xD1\x80\nsecond \xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string file = dir.File(c.Name);
        pwtest::WriteFileBytes(file, c.Bytes);
        Edit->Clear();
        Edit->Lines()->LoadFromFile(file);
        EXPECT_EQ(WideText(), expected);
    }
}

TEST_F(RichEditTest, TextThatIsNotUtf8OpensInTheControlsCodePage)
{
    pwtest::TempDir dir;
    Edit->SetLanguage(1033);
    const struct {
        const char* Name;
        std::string Bytes;
        std::wstring Expected;
    } cases[] = {
        {"ansi.txt", "caf\xE9 na\xEFve", L"caf\x00E9 na\x00EFve"},
        {"ascii.txt", "plain words", L"plain words"},
        // An overlong form is no UTF-8.
        {"overlong.txt", "a\xC0\xAF", L"a\x00C0\x00AF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string file = dir.File(c.Name);
        pwtest::WriteFileBytes(file, c.Bytes);
        Edit->Clear();
        Edit->Lines()->LoadFromFile(file);
        EXPECT_EQ(WideText(), c.Expected);
    }
}

TEST(DocumentFormat, EncodingIsTakenFromTheMarkOrTheBytes)
{
    auto kind = [](const std::string& s) { return DocumentEncoding(s.data(), s.size()); };
    EXPECT_EQ(kind("{\\rtf1 x}"), TDocumentEncoding::deRTF);
    EXPECT_EQ(kind(std::string("\xFF\xFEx\0", 4)), TDocumentEncoding::deUTF16LE);
    EXPECT_EQ(kind(std::string("\xFE\xFF\0x", 4)), TDocumentEncoding::deUTF16BE);
    EXPECT_EQ(kind("\xEF\xBB\xBFplain"), TDocumentEncoding::deUTF8);
    EXPECT_EQ(kind("caf\xC3\xA9"), TDocumentEncoding::deUTF8);
    EXPECT_EQ(kind("plain ASCII"), TDocumentEncoding::deANSI);
    EXPECT_EQ(kind("caf\xE9"), TDocumentEncoding::deANSI);
    EXPECT_EQ(kind("\xED\xA0\x80"), TDocumentEncoding::deANSI); // a surrogate is no UTF-8
    EXPECT_EQ(kind("\xF4\x90\x80\x80"), TDocumentEncoding::deANSI); // above U+10FFFF
    EXPECT_EQ(kind("ab\xC3"), TDocumentEncoding::deANSI); // cut short
}

namespace {

// The tokens of Text, one line each: kind, what it holds and where it ends.
std::string Tokens(const std::string& Text)
{
    std::string out;
    TRichTextLexer lexer(Text);
    TRichTextTokenInfo t;
    while (lexer.Next(t)) {
        switch (t.Kind) {
        case TRichTextToken::rtGroupOpen: out += "{"; break;
        case TRichTextToken::rtGroupClose: out += "}"; break;
        case TRichTextToken::rtControlWord:
            out += "\\" + std::string(t.Word);
            if (t.HasParameter) out += "=" + std::to_string(t.Parameter) + (t.ParameterFits ? "" : "!");
            break;
        case TRichTextToken::rtControlSymbol: out += t.Complete ? std::string("sym ") + t.Symbol : "sym at end"; break;
        case TRichTextToken::rtHexCharacter: out += Format("hex %02x", t.Byte) + (t.Complete ? "" : " cut"); break;
        case TRichTextToken::rtBinary: out += "bin [" + std::string(t.Data) + "]" + (t.Complete ? "" : " cut"); break;
        case TRichTextToken::rtText: out += "text [" + std::string(t.Data) + "]"; break;
        }
        out += " @" + std::to_string(t.End) + "\n";
    }
    return out;
}

} // namespace

TEST(RichTextLexer, AwkwardControlsComeApartAsTheReaderTakesThem)
{
    // A hex character short of digits takes what is there (a brace after it is a group); a minus
    // without a digit is text; a parameter too long is held at the limit and marked; binary data
    // is data, braces and all, and cut short where the document ends; a backslash at the very
    // end is a symbol without its character.
    EXPECT_EQ(Tokens("{\\rtf1\\'e9\\'4{\\'\\lang-\r\n\\u-3913?\\bin3 {}x\\fs99999999999 \\\\}\\bin9 ab\\"),
              "{ @1\n"
              "\\rtf=1 @6\n"
              "hex e9 @10\n"
              "hex 04 cut @13\n"
              "{ @14\n"
              "hex 00 cut @16\n"
              "\\lang @21\n"
              "text [-] @22\n"
              "\\u=-3913 @31\n"
              "text [?] @32\n"
              "\\bin=3 @38\n"
              "bin [{}x] @41\n"
              "\\fs=2147483647! @56\n"
              "sym \\ @58\n"
              "} @59\n"
              "\\bin=9 @65\n"
              "bin [ab\\] cut @68\n");
    EXPECT_EQ(Tokens("x\\"), "text [x] @1\nsym at end @2\n");
}

TEST_F(RichEditTest, AHexCharacterShortOfDigitsDoesNotHideTheGroupAfterIt)
{
    // 32 groups deep in all is the limit; the brace after \' is the 33rd, not a digit.
    TMemoryStream m;
    std::string bytes = Head + Repeat("{", 31) + "\\'{x" + Repeat("}", 33);
    m.WriteBuffer(bytes.data(), static_cast<long>(bytes.size()));
    m.SetPosition(0);
    EXPECT_THROW(Edit->Lines()->LoadFromStream(&m), ERichTextRefused);
}
