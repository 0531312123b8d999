#include "WideStrings.h"

#include "Filer.h"
#include "Languages.h"
#include "Streams.h"
#include "SysUtils.h"
#include "WinApi.h"

#include <cstring>
#include <vector>

namespace pw {

// ---- comparison ----

int CompareWideNative(const std::wstring& A, const std::wstring& B, unsigned Locale)
{
    return CompareStringW(Locale, NORM_IGNORECASE, A.data(), static_cast<int>(A.size()), B.data(),
                          static_cast<int>(B.size())) -
        2;
}

int CompareWideViaAnsi(const std::wstring& A, const std::wstring& B, unsigned Locale)
{
    unsigned cp = static_cast<unsigned>(LanguageCodePage(static_cast<TLanguage>(Locale)));
    std::string a = WideToString(A, cp), b = WideToString(B, cp);
    return CompareStringA(Locale, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
        2;
}

using TCompareWide = int (*)(const std::wstring&, const std::wstring&, unsigned);

static TCompareWide ChooseComparison()
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v; // 148 bytes
    GetVersionExA(&v);
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT ? CompareWideNative : CompareWideViaAnsi;
}

// ---- TWideStrings ----

TWideStrings::TWideStrings() : FLanguageId(static_cast<unsigned short>(LOWORD(GetUserDefaultLCID()))) {}

std::wstring TWideStrings::GetAllTextW()
{
    std::wstring r;
    int n = GetCountW();
    for (int i = 0; i < n; ++i) {
        r += GetLineW(i);
        r += L"\r\n";
    }
    return r;
}

void TWideStrings::SetLineW(int Index, const std::wstring& S)
{
    TObject* o = GetObjectW(Index);
    DeleteW(Index);
    InsertWithObjectW(Index, S, o);
}

void TWideStrings::SetAllTextW(const std::wstring& S)
{
    TWideStringsUpdate update(*this);
    ClearW();
    size_t p = 0, n = S.size();
    while (p < n) {
        size_t start = p;
        while (p < n && S[p] != L'\r' && S[p] != L'\n') ++p;
        AddW(S.substr(start, p - start));
        if (p < n && S[p] == L'\r') ++p;
        if (p < n && S[p] == L'\n') ++p;
    }
}

int TWideStrings::AddW(const std::wstring& S)
{
    int index = GetCountW();
    InsertW(index, S);
    return index;
}

int TWideStrings::AddWithObjectW(const std::wstring& S, TObject* Obj)
{
    int index = AddW(S);
    SetObjectW(index, Obj);
    return index;
}

void TWideStrings::AddListW(TWideStrings* Source)
{
    TWideStringsUpdate update(*this);
    int n = Source->GetCountW();
    for (int i = 0; i < n; ++i) AddWithObjectW(Source->GetLineW(i), Source->GetObjectW(i));
}

void TWideStrings::ExchangeW(int I, int J)
{
    TWideStringsUpdate update(*this);
    std::wstring s = GetLineW(I);
    TObject* o = GetObjectW(I);
    SetLineW(I, GetLineW(J));
    SetObjectW(I, GetObjectW(J));
    SetLineW(J, s);
    SetObjectW(J, o);
}

wchar_t* TWideStrings::GetTextBufferW()
{
    std::wstring t = GetAllTextW();
    auto* p = new wchar_t[t.size() + 5]();
    std::memcpy(p, t.c_str(), (t.size() + 1) * sizeof(wchar_t));
    return p;
}

int TWideStrings::IndexOfW(const std::wstring& S)
{
    static const TCompareWide compare = ChooseComparison();
    int n = GetCountW();
    for (int i = 0; i < n; ++i)
        if (compare(GetLineW(i), S, FLanguageId) == 0) return i;
    return -1;
}

void TWideStrings::LoadFromFileW(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStreamW(&f);
}

void TWideStrings::LoadFromStreamW(TStream* Stream)
{
    TWideStringsUpdate update(*this);
    int64_t size = Stream->Size() - Stream->Position();
    std::wstring s(static_cast<size_t>(size / 2), L'\0');
    if (!s.empty()) Stream->ReadBuffer(s.data(), static_cast<long>(s.size() * 2));
    SetAllTextW(s);
}

void TWideStrings::MoveW(int Cur, int New)
{
    if (Cur == New) return;
    TWideStringsUpdate update(*this);
    std::wstring s = GetLineW(Cur);
    TObject* o = GetObjectW(Cur);
    DeleteW(Cur);
    InsertWithObjectW(New, s, o);
}

void TWideStrings::SaveToFileW(const std::string& FileName)
{
    TFileStream f(FileName, fmCreate);
    SaveToStreamW(&f);
}

void TWideStrings::SaveToStreamW(TStream* Stream)
{
    std::wstring t = GetAllTextW();
    Stream->WriteBuffer(t.data(), static_cast<long>(t.size() * 2));
}

void TWideStrings::SetTextBufferW(const wchar_t* P) { SetAllTextW(P ? std::wstring(P) : std::wstring()); }

void TWideStrings::BeginUpdateW()
{
    if (FWideUpdateCount == 0) UpdatingChangedW(true);
    ++FWideUpdateCount;
}

void TWideStrings::EndUpdateW()
{
    if (--FWideUpdateCount == 0) UpdatingChangedW(false);
}

void TWideStrings::InsertWithObjectW(int Index, const std::wstring& S, TObject* Obj)
{
    InsertW(Index, S);
    SetObjectW(Index, Obj);
}

bool TWideStrings::EqualsW(TWideStrings* Other)
{
    int n = GetCountW();
    if (n != Other->GetCountW()) return false;
    for (int i = 0; i < n; ++i)
        if (GetLineW(i) != Other->GetLineW(i)) return false;
    return true;
}

void TWideStrings::Assign(TPersistent* Source)
{
    if (auto* w = dynamic_cast<TWideStrings*>(Source)) {
        TWideStringsUpdate update(*this);
        ClearW();
        AddListW(w);
    } else if (auto* s = dynamic_cast<TStrings*>(Source)) {
        TWideStringsUpdate update(*this);
        for (int i = 0; i < s->Count(); ++i) AddWithObjectW(StringToWide(s->Strings(i), CP_ACP), s->Objects(i));
    } else {
        TPersistent::Assign(Source);
    }
}

std::string TWideStrings::WideStringsValue()
{
    static const char hex[] = "0123456789ABCDEF";
    std::wstring t = GetAllTextW();
    std::string r;
    r.reserve(t.size() * 4);
    for (wchar_t c : t)
        for (int shift = 12; shift >= 0; shift -= 4) r += hex[(c >> shift) & 0xF];
    return r;
}

void TWideStrings::ReadWideStringsValue(const std::string& Value)
{
    TWideStringsUpdate update(*this);
    ClearW();
    std::wstring t;
    for (size_t i = 0; i + 4 <= Value.size(); i += 4) {
        unsigned v = 0;
        for (size_t k = 0; k < 4; ++k) {
            char c = Value[i + k];
            int d = (c >= '0' && c <= '9') ? c - '0'
                : (c >= 'A' && c <= 'F')   ? c - 'A' + 10
                : (c >= 'a' && c <= 'f')   ? c - 'a' + 10
                                           : -1;
            if (d < 0) throw EReadError("Invalid \"WideStrings\" value");
            v = v * 16 + static_cast<unsigned>(d);
        }
        t += static_cast<wchar_t>(v);
    }
    SetAllTextW(t);
}

void TWideStrings::DefineProperties(TFiler* Filer)
{
    bool write;
    if (Filer->Ancestor()) {
        auto* a = dynamic_cast<TWideStrings*>(Filer->Ancestor());
        write = !a || !a->EqualsW(this);
    } else {
        write = GetCountW() > 0;
    }
    Filer->DefineProperty(
        "WideStrings", [this](TReader& r) { ReadWideStringsValue(r.ReadString()); },
        [this](TWriter& w) { w.WriteString(WideStringsValue()); }, write);
}

} // namespace pw
