// Byte streams: the abstract stream, an in-memory stream and a file stream.
#pragma once
#include "Classes.h"

#include <cstdint>
#include <string>
#include <vector>

typedef void* HANDLE;

namespace pw {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Reads up to Count bytes; returns the number read (0 at the end).
    virtual long Read(void* Buffer, long Count) = 0;
    // Writes up to Count bytes; returns the number written.
    virtual long Write(const void* Buffer, long Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t p) { Seek(p, TSeekOrigin::soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t NewSize);

    // Reads or writes exactly Count bytes, or raises EReadError / EWriteError.
    void ReadBuffer(void* Buffer, long Count);
    void WriteBuffer(const void* Buffer, long Count);
    // Copies Count bytes from Source (all of it from the start when Count is 0).
    int64_t CopyFrom(TStream* Source, int64_t Count);
};

class TMemoryStream : public TStream {
public:
    long Read(void* Buffer, long Count) override;
    long Write(const void* Buffer, long Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    void Clear();
    const char* Memory() const { return FData.data(); }
    const std::vector<char>& Data() const { return FData; }
    void LoadFromStream(TStream* S);
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* S);
    void SaveToFile(const std::string& FileName);
private:
    std::vector<char> FData;
    int64_t FPosition = 0;
};

// File open modes, as combinations of an access and a share mode.
enum : unsigned {
    fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010, fmShareDenyWrite = 0x0020, fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

class TFileStream : public TStream {
public:
    // Opens (or with fmCreate creates/truncates) the file; raises EFOpenError / EFCreateError
    // with the system's reason when that fails.
    TFileStream(const std::string& FileName, unsigned Mode);
    ~TFileStream() override;
    long Read(void* Buffer, long Count) override;
    long Write(const void* Buffer, long Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    const std::string& FileName() const { return FFileName; }
private:
    HANDLE FHandle;
    std::string FFileName;
};

// A stream over a std::string (convenient for RTF text).
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const std::string& s = {});
    std::string DataString() const { return std::string(Memory(), Data().size()); }
};

} // namespace pw
