#include "RichEditFixture.h"

#include "LanguageRuns.h"
#include "ParagraphIndents.h"
#include "Streams.h"
#include "SysUtils.h"

using namespace pw;

namespace {

// A converter that fails after writing part of the document.
class FailingConversion : public TConversion {
public:
    long ConvertWriteStream(TStream* Stream, const char* Buffer, long BufSize) override
    {
        Stream->Write(Buffer, BufSize / 2);
        throw EWriteError("disk full");
    }
};

// A stream that fails on every read or write with its own message.
class BrokenStream : public TStream {
public:
    long Read(void*, long) override { throw EReadError("the network drive went away"); }
    long Write(const void*, long) override { throw EWriteError("the disk is full"); }
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
};

TLanguage LanguageAt(TRichEdit98* e, int pos)
{
    e->SetSelStart(pos);
    e->SetSelLength(1);
    return e->SelectionAttributes()->Language();
}

} // namespace

TEST_F(RichEditTest, LanguagesSurviveSaveAndOpen)
{
    pwtest::TempDir dir;
    SetWide(L"hello \x043C\x0438\x0440 world");
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetLanguage(1033);
    Edit->SetSelStart(6);
    Edit->SetSelLength(3);
    Edit->SelectionAttributes()->SetLanguage(1049);
    std::string f = dir.File("langs.rtf");
    Edit->Lines()->SaveToFile(f);
    Edit->Clear();
    Edit->Lines()->LoadFromFile(f);
    EXPECT_EQ(WideText(), L"hello \x043C\x0438\x0440 world");
    EXPECT_EQ(LanguageAt(Edit, 0), 1033);
    EXPECT_EQ(LanguageAt(Edit, 6), 1049);
    EXPECT_EQ(LanguageAt(Edit, 8), 1049);
    EXPECT_EQ(LanguageAt(Edit, 10), 1033);
}

TEST_F(RichEditTest, LanguageRunsAreReadInOrder)
{
    SetWide(L"aaabbbccc");
    Edit->SelectAll();
    Edit->SelectionAttributes()->SetLanguage(1033);
    Edit->SetSelStart(3);
    Edit->SetSelLength(3);
    Edit->SelectionAttributes()->SetLanguage(1049);
    auto runs = ReadLanguageRuns(Edit);
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[0].Start, 0);
    EXPECT_EQ(runs[0].End, 3);
    EXPECT_EQ(runs[0].Language, 1033u);
    EXPECT_EQ(runs[1].Start, 3);
    EXPECT_EQ(runs[1].End, 6);
    EXPECT_EQ(runs[1].Language, 1049u);
    EXPECT_EQ(runs[2].Start, 6);
    EXPECT_EQ(runs[2].Language, 1033u);
}

TEST_F(RichEditTest, LanguageRunsMatchEveryCharacterInTextWithEscapes)
{
    // Characters the RTF writer escapes or spells as control words, in three languages.
    const std::wstring text = L"a{b}\\c\td\r\x043A\x043E\x0442 \x2014 x\x00A0y\r\x00E9t\x00E9 \x4E2D end";
    SetWide(text);
    const TLanguage langs[] = {1033, 1049, 1036};
    for (int i = 0; i < static_cast<int>(text.size()); ++i) {
        Edit->SetSelStart(i);
        Edit->SetSelLength(1);
        Edit->SelectionAttributes()->SetLanguage(langs[(i / 3) % 3]);
    }
    auto runs = ReadLanguageRuns(Edit);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front().Start, 0);
    EXPECT_EQ(runs.back().End, static_cast<long>(text.size()));
    for (size_t k = 0; k < runs.size(); ++k) {
        if (k > 0) { EXPECT_EQ(runs[k].Start, runs[k - 1].End); }
        for (long i = runs[k].Start; i < runs[k].End; ++i)
            EXPECT_EQ(runs[k].Language, static_cast<unsigned>(LanguageAt(Edit, static_cast<int>(i)))) << "at " << i;
    }
    // A piece alone, cut anywhere (inside a run, at a paragraph mark, after an escape), gives
    // the same languages in the same positions, and nothing outside it.
    const long n = static_cast<long>(text.size());
    for (auto [from, to] : {std::pair<long, long>{0, n}, {1, 5}, {4, 11}, {9, 10}, {10, 19}, {13, n}, {n - 2, n + 5}}) {
        auto piece = ReadLanguageRuns(Edit, from, to);
        ASSERT_FALSE(piece.empty()) << from << ".." << to;
        EXPECT_EQ(piece.front().Start, from);
        EXPECT_EQ(piece.back().End, std::min(to, n));
        for (size_t k = 0; k < piece.size(); ++k) {
            if (k > 0) { EXPECT_EQ(piece[k].Start, piece[k - 1].End); }
            for (long i = piece[k].Start; i < piece[k].End; ++i)
                EXPECT_EQ(piece[k].Language, static_cast<unsigned>(LanguageAt(Edit, static_cast<int>(i))))
                    << "at " << i << " in " << from << ".." << to;
        }
    }
    EXPECT_TRUE(ReadLanguageRuns(Edit, 5, 5).empty());
}

TEST_F(RichEditTest, ParagraphIndentsSurviveARoundTrip)
{
    SetWide(L"indented paragraph");
    Edit->ParagraphAttributes()->SetStartIndent(36);
    Edit->ParagraphAttributes()->SetIndentOffset(18);
    Edit->ParagraphAttributes()->SetRightIndent(9);
    TMemoryStream m;
    Edit->Lines()->SaveToStream(&m);
    Edit->Clear();
    m.SetPosition(0);
    Edit->Lines()->LoadFromStream(&m);
    PARAFORMAT2 p = {};
    p.cbSize = sizeof p;
    Edit->SetSelStart(0);
    Edit->Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
    EXPECT_EQ(p.dxStartIndent, 720);
    EXPECT_EQ(p.dxOffset, 360);
    EXPECT_EQ(p.dxRightIndent, 180);
}

TEST_F(RichEditTest, AFailedSaveLeavesTheOldFileIntact)
{
    pwtest::TempDir dir;
    std::string f = dir.File("keep.rtf");
    pwtest::WriteFileBytes(f, "{\\rtf1 old content}");
    SetWide(L"new content");
    // The file operation picks the converter; a converter that fails midway stands in for a
    // full disk.
    TConversionEntry failing{"rtf", [] { return static_cast<TConversion*>(new FailingConversion); }, nullptr};
    TConversionEntry* table = ConverterTable();
    TConversionEntry saved = *table->Next;
    *table->Next = failing;
    EXPECT_THROW(Edit->Lines()->SaveToFile(f), Exception);
    *table->Next = saved;
    EXPECT_EQ(pwtest::ReadFileBytes(f), "{\\rtf1 old content}");
    // No temporary file is left behind.
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir.Path() + "\\*.tmp").c_str(), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    // A save that succeeds replaces the file.
    Edit->Lines()->SaveToFile(f);
    EXPECT_NE(pwtest::ReadFileBytes(f).find("new content"), std::string::npos);
}

TEST_F(RichEditTest, BadFilesGiveClearErrorsAndKeepTheText)
{
    pwtest::TempDir dir;
    SetWide(L"unchanged");
    try {
        Edit->Lines()->LoadFromFile(dir.File("missing.rtf"));
        FAIL() << "loading a missing file succeeded";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("missing.rtf"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(WideText(), L"unchanged");
    try {
        Edit->Lines()->SaveToFile(dir.File("no\\such\\folder\\x.rtf"));
        FAIL() << "saving into a missing folder succeeded";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("x.rtf"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(WideText(), L"unchanged");
}

TEST(IndentRepair, SwappedIndentWordsAreWrittenTheStandardWay)
{
    // start 720, offset 360 written as \li360\fi720 becomes \fi-360\li1080
    EXPECT_EQ(SwapWrittenIndents("{\\rtf1\n\\pard\\sl-240\\li360\\fi720\\ri180 text\\par}"),
              "{\\rtf1\n\\pard\\sl-240\\ri180\\fi-360\\li1080 text\\par}");
    // Only a first-line indent: \fi720 alone means start 720, offset 0.
    EXPECT_EQ(SwapWrittenIndents("\\pard\\fi720 x"), "\\pard\\fi0\\li720 x");
    // Paragraphs without indents stay as they are.
    EXPECT_EQ(SwapWrittenIndents("\\pard\\ri180 x\\par\\pard y"), "\\pard\\ri180 x\\par\\pard y");
    // A paragraph's indents are its own: a later paragraph's words do not change an earlier one.
    EXPECT_EQ(SwapWrittenIndents("\\pard\\ri180 \\li720 x\\par\\pard\\sl-240 y\\par\\pard\\li360 z"),
              "\\pard\\ri180 \\li720 x\\par\\pard\\sl-240 y\\par\\pard\\fi-360\\li360 z");
}

TEST_F(RichEditTest, TruncatedRTFLoadsWithoutHanging)
{
    TStringStream s("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 cut off here");
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_NE(WideText().find(L"cut off"), std::wstring::npos);
}

TEST_F(RichEditTest, ALargeTextFileLoadsWhole)
{
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "line of text number " + std::to_string(i) + "\r\n";
    TStringStream s(text);
    Edit->SetPlainText(true);
    Edit->Lines()->LoadFromStream(&s);
    EXPECT_EQ(Edit->Lines()->Count(), 100000);
    EXPECT_EQ(Edit->Lines()->Strings(99999), "line of text number 99999");
}

TEST_F(RichEditTest, AStreamErrorIsReportedOnceWithItsOwnMessage)
{
    pwtest::MessageBoxRecorder boxes;
    BrokenStream broken;
    SetWide(L"text");
    // The framework's own stream operations (used while the window is re-created).
    try {
        Edit->StreamOutTo(broken, SF_RTF);
        ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "the disk is full");
    }
    try {
        Edit->StreamInFrom(broken, SF_RTF);
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "the network drive went away");
    }
    // The line list's.
    try {
        Edit->Lines()->SaveToStream(&broken);
        ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "the disk is full");
    }
    // Nothing was shown while the stream ran: the one error is the caller's to report.
    EXPECT_TRUE(boxes.Shown().empty());
}
