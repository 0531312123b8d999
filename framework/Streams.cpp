#include "Streams.h"

#include "SysUtils.h"

#include "WinApi.h"

#include <algorithm>
#include <cstring>

namespace pw {

int64_t TStream::Size()
{
    int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return end;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* Buffer, long Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, long Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count)
{
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    int64_t total = Count;
    std::vector<char> buf(64 * 1024);
    while (Count > 0) {
        long n = static_cast<long>(std::min<int64_t>(Count, static_cast<int64_t>(buf.size())));
        Source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        Count -= n;
    }
    return total;
}

long TMemoryStream::Read(void* Buffer, long Count)
{
    if (Count <= 0 || FPosition >= static_cast<int64_t>(FData.size())) return 0;
    long n = static_cast<long>(std::min<int64_t>(Count, static_cast<int64_t>(FData.size()) - FPosition));
    std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

long TMemoryStream::Write(const void* Buffer, long Count)
{
    if (Count <= 0) return 0;
    size_t end = static_cast<size_t>(FPosition) + static_cast<size_t>(Count);
    if (end > FData.size()) FData.resize(end);
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = static_cast<int64_t>(end);
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = Offset; break;
    case TSeekOrigin::soCurrent: FPosition += Offset; break;
    case TSeekOrigin::soEnd: FPosition = static_cast<int64_t>(FData.size()) + Offset; break;
    }
    if (FPosition < 0) FPosition = 0;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize)
{
    FData.resize(static_cast<size_t>(NewSize));
    if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear()
{
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* S)
{
    S->SetPosition(0);
    int64_t n = S->Size();
    FData.resize(static_cast<size_t>(n));
    if (n) S->ReadBuffer(FData.data(), static_cast<long>(n));
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TMemoryStream::SaveToStream(TStream* S)
{
    if (!FData.empty()) S->WriteBuffer(FData.data(), static_cast<long>(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
}

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FFileName(FileName)
{
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE, disp = OPEN_EXISTING;
    if (Mode == fmCreate) {
        access = GENERIC_READ | GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disp = CREATE_ALWAYS;
    } else {
        switch (Mode & 3) {
        case fmOpenWrite: access = GENERIC_WRITE; break;
        case fmOpenReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
        default: break;
        }
        switch (Mode & 0xF0) {
        case fmShareExclusive: share = 0; break;
        case fmShareDenyWrite: share = FILE_SHARE_READ; break;
        default: break;
        }
    }
    FHandle = CreateFileA(FileName.c_str(), access, share, nullptr, disp, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE) {
        std::string why = SysErrorMessage(GetLastError());
        if (Mode == fmCreate) throw EFCreateError("Cannot create file \"" + FileName + "\". " + why);
        throw EFOpenError("Cannot open file \"" + FileName + "\". " + why);
    }
}

TFileStream::~TFileStream()
{
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}

long TFileStream::Read(void* Buffer, long Count)
{
    DWORD n = 0;
    if (Count <= 0 || !ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &n, nullptr)) return 0;
    return static_cast<long>(n);
}

long TFileStream::Write(const void* Buffer, long Count)
{
    DWORD n = 0;
    if (Count <= 0 || !WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &n, nullptr)) return 0;
    return static_cast<long>(n);
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    LARGE_INTEGER d, r;
    d.QuadPart = Offset;
    DWORD how = Origin == TSeekOrigin::soBeginning ? FILE_BEGIN
              : Origin == TSeekOrigin::soCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(FHandle, d, &r, how)) return -1;
    return r.QuadPart;
}

void TFileStream::SetSize(int64_t NewSize)
{
    Seek(NewSize, TSeekOrigin::soBeginning);
    if (!SetEndOfFile(FHandle)) throw EStreamError("Cannot set the size of \"" + FFileName + "\"");
}

TStringStream::TStringStream(const std::string& s)
{
    if (!s.empty()) WriteBuffer(s.data(), static_cast<long>(s.size()));
    SetPosition(0);
}

} // namespace pw
