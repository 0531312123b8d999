#include "RichEditStrings98.h"

#include "DocumentFormat.h"
#include "Filer.h"
#include "LanguageRuns.h"
#include "ParagraphIndents.h"
#include "RichEdit98.h"
#include "Streams.h"
#include "SysUtils.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace pw {

// ---- converters ----

long TConversion::ConvertReadStream(TStream* Stream, char* Buffer, long BufSize)
{
    return Stream->Read(Buffer, BufSize);
}

long TConversion::ConvertWriteStream(TStream* Stream, const char* Buffer, long BufSize)
{
    return Stream->Write(Buffer, BufSize);
}

static TConversion* NewConversion() { return new TConversion; }

TConversionEntry* ConverterTable()
{
    static TConversionEntry rtf{"rtf", NewConversion, nullptr};
    static TConversionEntry txt{"txt", NewConversion, &rtf};
    return &txt;
}

namespace {

struct TCookie {
    TConversion* Converter;
    TStream* Stream;
    TStreamFirewall Guard; // what stopped the transfer, raised again afterwards
};

// Copies Src (up to its first NUL) into Dst with every line break made CR LF.
long NormaliseBreaks(const char* Src, char* Dst)
{
    long n = 0;
    for (const char* p = Src; *p; ++p) {
        if (*p == '\r') {
            Dst[n++] = '\r';
            Dst[n++] = '\n';
            if (p[1] == '\n') ++p;
        } else if (*p == '\n') {
            Dst[n++] = '\r';
            Dst[n++] = '\n';
        } else {
            Dst[n++] = *p;
        }
    }
    return n;
}

DWORD CALLBACK LoadCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done)
{
    auto* c = reinterpret_cast<TCookie*>(Cookie);
    *Done = 0;
    return c->Guard.Run(
        [&]() -> DWORD {
            std::vector<char> work(static_cast<size_t>(Size) + 1, '\0');
            long half = Size / 2;
            // A chunk whose text comes out empty (a lone CR, a NUL at its start) does not end the
            // stream: read on until text comes or the stream ends.
            for (;;) {
                long n = c->Converter->ConvertReadStream(c->Stream, work.data() + half, half);
                if (n <= 0) return 0;
                work[static_cast<size_t>(half + n)] = '\0';
                if (work[static_cast<size_t>(half + n - 1)] == '\r') work[static_cast<size_t>(half + n - 1)] = '\0';
                long m = NormaliseBreaks(work.data() + half, work.data());
                if (m > 0) {
                    std::copy(work.data(), work.data() + m, reinterpret_cast<char*>(Buffer));
                    *Done = m;
                    return 0;
                }
            }
        },
        1);
}

// Hands bytes to the window as they are (UTF-16 text, whose line breaks are made already).
struct TRawBytes {
    const char* Data;
    size_t Size;
    size_t At;
    TStreamFirewall Guard;
};

DWORD CALLBACK RawLoadCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done)
{
    auto* r = reinterpret_cast<TRawBytes*>(Cookie);
    *Done = 0;
    return r->Guard.Run(
        [&]() -> DWORD {
            size_t n = std::min(static_cast<size_t>(std::max(Size, 0L)), r->Size - r->At);
            std::memcpy(Buffer, r->Data + r->At, n);
            r->At += n;
            *Done = static_cast<LONG>(n);
            return 0;
        },
        1);
}

DWORD CALLBACK SaveCallback(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Done)
{
    auto* c = reinterpret_cast<TCookie*>(Cookie);
    *Done = 0;
    return c->Guard.Run(
        [&]() -> DWORD {
            if (c->Converter)
                *Done = c->Converter->ConvertWriteStream(c->Stream, reinterpret_cast<char*>(Buffer), Size);
            // A stream that takes less than it was given (a full disk) stops the save.
            if (*Done < Size) throw EWriteError("Stream write error: the document could not be written completely");
            return 0;
        },
        2);
}

int LineIndex(TCustomRichEdit98* r, int line)
{
    return static_cast<int>(r->Perform(EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

int LineLength(TCustomRichEdit98* r, int start)
{
    return static_cast<int>(r->Perform(EM_LINELENGTH, static_cast<WPARAM>(start), 0));
}

void Select(TCustomRichEdit98* r, int from, int to)
{
    CHARRANGE cr = {from, to};
    r->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

} // namespace

TWideModeGuard::TWideModeGuard(TCustomRichEdit98* r) : R(r) { R->SetWideMode(true); }
TWideModeGuard::~TWideModeGuard() { R->SetWideMode(false); }

std::wstring ReadRichEditLine(TCustomRichEdit98* r, int Index)
{
    TWideModeGuard wide(r);
    std::vector<wchar_t> buf(4096 + 1, L'\0');
    buf[0] = 4096;
    long n =
        static_cast<long>(r->Perform(EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(buf.data())));
    n = std::clamp(n, 0L, 4096L);
    if (n > 0 && buf[static_cast<size_t>(n - 1)] == L'\r') --n;
    return std::wstring(buf.data(), static_cast<size_t>(n));
}

namespace {

void ReplaceLine(TCustomRichEdit98* r, int Index, LPARAM Text)
{
    if (Index < 0) return;
    int start = LineIndex(r, Index);
    if (start == -1) return;
    Select(r, start, start + LineLength(r, start));
    r->Perform(EM_REPLACESEL, 0, Text);
}

} // namespace

// ---- TRichEditStreamer ----

void TRichEditStreamer::SetChangeNotify(bool Enabled)
{
    LRESULT mask = FRichEdit->Perform(EM_GETEVENTMASK, 0, 0);
    mask = Enabled ? (mask | ENM_CHANGE) : (mask & ~static_cast<LRESULT>(ENM_CHANGE));
    FRichEdit->Perform(EM_SETEVENTMASK, 0, mask);
}

void TRichEditStreamer::UpdateState(bool Updating)
{
    FRichEdit->Perform(WM_SETREDRAW, Updating ? 0 : 1, 0);
    if (!Updating) {
        FRichEdit->Invalidate();
        FRichEdit->Perform(CM_TEXTCHANGED, 0, 0);
    }
}

int TRichEditStreamer::LineCount()
{
    int n = static_cast<int>(FRichEdit->Perform(EM_GETLINECOUNT, 0, 0));
    if (n > 0 && LineLength(FRichEdit, LineIndex(FRichEdit, n - 1)) == 0) --n;
    return n;
}

void TRichEditStreamer::DeleteLine(int Index)
{
    if (Index < 0) return;
    int start = LineIndex(FRichEdit, Index);
    if (start == -1) return;
    int end = LineIndex(FRichEdit, Index + 1);
    if (end == -1) end = start + LineLength(FRichEdit, start);
    Select(FRichEdit, start, end);
    FRichEdit->Perform(EM_REPLACESEL, 0,
                       reinterpret_cast<LPARAM>(FRichEdit->WideMode() ? static_cast<const void*>(L"") : ""));
}

bool TRichEditStreamer::InsertAt(int Index, const std::wstring& Text, bool Wide)
{
    if (Index < 0) return false;
    int start = LineIndex(FRichEdit, Index);
    std::wstring w;
    if (start >= 0) {
        w = Text + L"\r";
    } else {
        start = LineIndex(FRichEdit, Index - 1);
        if (start < 0) return false;
        int len = LineLength(FRichEdit, start);
        if (len == 0) return false;
        start += len;
        w = L"\r" + Text;
    }
    Select(FRichEdit, start, start);
    if (Wide) {
        FRichEdit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(w.c_str()));
    } else {
        std::string a = WideToString(w, FRichEdit->CodePage());
        FRichEdit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(a.c_str()));
    }
    if (FRichEdit->SelStart() != start + static_cast<int>(w.size()))
        throw EOutOfResources("RichEdit line insertion error");
    return true;
}

void TRichEditStreamer::LoadFromStream(TStream* Stream)
{
    ReadDocument(Stream);
    FRichEdit->OnLanguagesChanged(FRichEdit);
}

void TRichEditStreamer::ReadDocument(TStream* Stream)
{
    std::unique_ptr<TConversion> own;
    TConversion* conv = FConverter.get();
    if (!conv) {
        own.reset(new TConversion);
        conv = own.get();
    }
    // The document is read whole first: what it holds decides how it goes to the window, RTF
    // is checked against what the window's reader takes before the reader sees it, and the
    // languages it records are applied afterwards.
    TMemoryStream copy;
    std::vector<char> buf(65536);
    for (long n; (n = conv->ConvertReadStream(Stream, buf.data(), static_cast<long>(buf.size()))) > 0;)
        copy.WriteBuffer(buf.data(), n);
    const char* data = copy.Memory();
    size_t size = copy.Data().size();
    TDocumentEncoding kind = DocumentEncoding(data, size);
    if (IsUnicodeText(kind)) {
        LoadUnicodeText(DecodeUnicodeText(data, size, kind));
        return;
    }
    bool rtf = !FRichEdit->PlainText();
    if (rtf && kind == TDocumentEncoding::deRTF) {
        std::string readable;
        std::string problem = CheckRichText(data, size, readable);
        if (!problem.empty()) throw ERichTextRefused(problem);
        if (!readable.empty()) {
            copy.Clear();
            copy.WriteBuffer(readable.data(), static_cast<long>(readable.size()));
        }
    }
    std::vector<TLanguageRun> runs;
    unsigned majority = 0;
    if (rtf && kind == TDocumentEncoding::deRTF) {
        runs = ParseLanguageRuns(copy.Memory(), copy.Data().size());
        majority = MajorityLanguage(runs);
        if (!runs.empty()) SetDefaultLanguage(FRichEdit, majority);
    }
    TConversion plain; // the bytes are converted already
    copy.SetPosition(0);
    TCookie c{&plain, &copy, {}};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&c), 0, LoadCallback};
    FRichEdit->Perform(EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    c.Guard.RaiseKept();
    if (rtf && es.dwError == 0 && kind != TDocumentEncoding::deRTF) es.dwError = static_cast<DWORD>(-16);
    if (rtf && es.dwError != 0) {
        copy.SetPosition(0);
        es.dwError = 0;
        FRichEdit->Perform(EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
        c.Guard.RaiseKept();
        if (es.dwError != 0) throw EOutOfResources("Failed to Load Stream");
        return;
    }
    if (rtf) ApplyLoadedLanguageRuns(FRichEdit, runs, majority);
}

void TRichEditStreamer::LoadUnicodeText(const std::wstring& Text)
{
    TRawBytes raw{reinterpret_cast<const char*>(Text.data()), Text.size() * sizeof(wchar_t), 0, {}};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&raw), 0, RawLoadCallback};
    FRichEdit->Perform(EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    raw.Guard.RaiseKept();
    if (es.dwError != 0) throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStreamer::SaveToStream(TStream* Stream)
{
    std::unique_ptr<TConversion> own;
    TConversion* conv = FConverter.get();
    if (!conv) {
        own.reset(new TConversion);
        conv = own.get();
    }
    bool rtf = !FRichEdit->PlainText();
    TMemoryStream body;
    TCookie c{conv, rtf ? static_cast<TStream*>(&body) : Stream, {}};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&c), 0, SaveCallback};
    FRichEdit->Perform(EM_STREAMOUT, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    c.Guard.RaiseKept();
    if (es.dwError != 0) throw EOutOfResources("Failed to Save Stream");
    if (!rtf) return;
    std::string text(body.Memory(), body.Data().size());
    text = WithLanguageRuns(FRichEdit, RepairParagraphIndents(text));
    if (conv->ConvertWriteStream(Stream, text.data(), static_cast<long>(text.size())) != static_cast<long>(text.size()))
        throw EOutOfResources("Failed to Save Stream");
}

static TConversionEntry* ConverterFor(const std::string& FileName)
{
    std::string ext = AnsiLowerCaseFileName(ExtractFileExt(FileName));
    if (!ext.empty()) ext.erase(0, 1);
    for (TConversionEntry* e = ConverterTable(); e; e = e->Next)
        if (e->Extension == ext) return e;
    return ConverterTable(); // the "txt" entry
}

void TRichEditStreamer::LoadFromFile(const std::string& FileName)
{
    FConverter.reset();
    FConverter.reset(ConverterFor(FileName)->Create());
    // The converter stays for the document that was read; a failed read leaves none.
    TScopeFail drop([this] { FConverter.reset(); });
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    try {
        LoadFromStream(&f);
    } catch (const ERichTextRefused& e) {
        throw EConvertError("\"" + FileName + "\" cannot be opened: " + e.Reason() + ".");
    }
}

void TRichEditStreamer::SaveToFile(const std::string& FileName)
{
    FConverter.reset();
    FConverter.reset(ConverterFor(FileName)->Create());
    std::string temp = FileName + Format(".~%lu.tmp", GetCurrentProcessId());
    // A failed save leaves neither the temporary file nor the converter.
    TScopeFail drop([this, &temp] {
        DeleteFileA(temp.c_str());
        FConverter.reset();
    });
    try {
        TFileStream f(temp, fmCreate);
        SaveToStream(&f);
    } catch (const EFCreateError&) {
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
    }
    // Only a complete document replaces the old file.
    if (!MoveFileExA(temp.c_str(), FileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError("Cannot write file \"" + FileName + "\". " + SysErrorMessage(GetLastError()));
}

// ---- TRichEditStrings98 ----

std::string TRichEditStrings98::Get(int Index) const
{
    return WideToString(ReadRichEditLine(FRichEdit, Index), FRichEdit->CodePage());
}

int TRichEditStrings98::GetCount() const { return FStreamer.LineCount(); }

void TRichEditStrings98::Put(int Index, const std::string& S)
{
    ReplaceLine(FRichEdit, Index, reinterpret_cast<LPARAM>(S.c_str()));
}

void TRichEditStrings98::Insert(int Index, const std::string& S)
{
    FStreamer.InsertAt(Index, StringToWide(S, FRichEdit->CodePage()), false);
}

void TRichEditStrings98::Delete(int Index) { FStreamer.DeleteLine(Index); }

void TRichEditStrings98::Clear() { FRichEdit->Clear(); }

void TRichEditStrings98::SetUpdateState(bool Updating) { FStreamer.UpdateState(Updating); }

void TRichEditStrings98::SetTextStr(const std::string& Value)
{
    SetChangeNotify(false);
    TScopeExit notify([this] { SetChangeNotify(true); });
    TStrings::SetTextStr(Value);
}

void TRichEditStrings98::AddStrings(TStrings* Strings)
{
    auto quiet = FRichEdit->OnSelectionChange.Mute();
    TStrings::AddStrings(Strings);
}

void TRichEditStrings98::LoadFromStream(TStream* Stream) { FStreamer.LoadFromStream(Stream); }
void TRichEditStrings98::SaveToStream(TStream* Stream) { FStreamer.SaveToStream(Stream); }
void TRichEditStrings98::LoadFromFile(const std::string& FileName) { FStreamer.LoadFromFile(FileName); }
void TRichEditStrings98::SaveToFile(const std::string& FileName) { FStreamer.SaveToFile(FileName); }

// ---- TWideRichEditStrings98 ----

std::wstring TWideRichEditStrings98::GetLineW(int Index) { return ReadRichEditLine(FRichEdit, Index); }

int TWideRichEditStrings98::GetCountW() { return FStreamer.LineCount(); }

void TWideRichEditStrings98::SetLineW(int Index, const std::wstring& S)
{
    if (Index < 0) return;
    TWideModeGuard wide(FRichEdit);
    int start = static_cast<int>(FRichEdit->Perform(EM_LINEINDEX, static_cast<WPARAM>(Index), 0));
    if (start == -1) return;
    int len = static_cast<int>(FRichEdit->Perform(EM_LINELENGTH, static_cast<WPARAM>(start), 0));
    CHARRANGE cr = {start, start + len};
    FRichEdit->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    FRichEdit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TWideRichEditStrings98::SetAllTextW(const std::wstring& S)
{
    TWideModeGuard wide(FRichEdit);
    SetChangeNotify(false);
    TScopeExit notify([this] { SetChangeNotify(true); });
    TWideStrings::SetAllTextW(S);
}

void TWideRichEditStrings98::UpdatingChangedW(bool Updating) { FStreamer.UpdateState(Updating); }

void TWideRichEditStrings98::SetLanguageId(unsigned short Value) { FRichEdit->SetLanguage(Value); }

unsigned short TWideRichEditStrings98::GetLanguage() { return FRichEdit->Language(); }

void TWideRichEditStrings98::AddListW(TWideStrings* Source)
{
    auto quiet = FRichEdit->OnSelectionChange.Mute();
    TWideStrings::AddListW(Source);
}

void TWideRichEditStrings98::ClearW() { FRichEdit->Clear(); }

void TWideRichEditStrings98::DeleteW(int Index)
{
    TWideModeGuard wide(FRichEdit);
    FStreamer.DeleteLine(Index);
}

void TWideRichEditStrings98::InsertW(int Index, const std::wstring& S)
{
    if (Index < 0) return;
    TWideModeGuard wide(FRichEdit);
    FStreamer.InsertAt(Index, S, true);
}

void TWideRichEditStrings98::LoadFromFileW(const std::string& FileName) { FStreamer.LoadFromFile(FileName); }
void TWideRichEditStrings98::LoadFromStreamW(TStream* Stream) { FStreamer.LoadFromStream(Stream); }
void TWideRichEditStrings98::SaveToFileW(const std::string& FileName) { FStreamer.SaveToFile(FileName); }
void TWideRichEditStrings98::SaveToStreamW(TStream* Stream) { FStreamer.SaveToStream(Stream); }

} // namespace pw
