#include "Streams.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(MemoryStream, ReadWriteSeekAndSize)
{
    TMemoryStream m;
    m.WriteBuffer("hello", 5);
    EXPECT_EQ(m.Position(), 5);
    EXPECT_EQ(m.Size(), 5);
    m.Seek(-2, TSeekOrigin::soEnd);
    char b[8] = {};
    EXPECT_EQ(m.Read(b, 8), 2);
    EXPECT_STREQ(b, "lo");
    EXPECT_EQ(m.Read(b, 8), 0);
    m.SetPosition(1);
    m.WriteBuffer("EY", 2);  // overwrite in the middle
    EXPECT_EQ(std::string(m.Memory(), 5), "hEYlo");
    m.SetSize(2);
    EXPECT_EQ(m.Position(), 2);
    EXPECT_THROW(m.ReadBuffer(b, 1), EReadError);
}

TEST(MemoryStream, CopyFromTakesTheWholeSourceWhenCountIsZero)
{
    TStringStream src("abcdef");
    src.SetPosition(4);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(&src, 0), 6);
    EXPECT_EQ(std::string(dst.Memory(), 6), "abcdef");
}

TEST(FileStream, CreateWriteReadAndErrors)
{
    pwtest::TempDir dir;
    std::string f = dir.File("data.bin");
    {
        TFileStream s(f, fmCreate);
        s.WriteBuffer("0123456789", 10);
        s.SetSize(4);
    }
    EXPECT_EQ(pwtest::ReadFileBytes(f), "0123");
    {
        TFileStream s(f, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(s.Size(), 4);
        char b[4];
        s.Seek(1, TSeekOrigin::soBeginning);
        EXPECT_EQ(s.Read(b, 4), 3);
        // A read-only stream cannot write.
        EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
    }
    try {
        TFileStream s(dir.File("nope.bin"), fmOpenRead);
        FAIL() << "opening a missing file succeeded";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("nope.bin"), std::string::npos) << e.Message();
    }
    EXPECT_THROW(TFileStream(dir.File("no\\such\\folder.bin"), fmCreate), EFCreateError);
}
