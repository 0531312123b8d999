#include "StringList.h"

#include "Streams.h"
#include "SysUtils.h"

#include "WinApi.h"

#include <algorithm>

namespace pw {

int AnsiCompareText(const std::string& A, const std::string& B)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.data(), static_cast<int>(A.size()), B.data(),
                          static_cast<int>(B.size())) -
        2;
}

int AnsiCompareStr(const std::string& A, const std::string& B)
{
    return CompareStringA(LOCALE_USER_DEFAULT, 0, A.data(), static_cast<int>(A.size()), B.data(),
                          static_cast<int>(B.size())) -
        2;
}

// ---- TStrings ----

void TStrings::Error(const char* Msg, int Data) const { throw EListError(Format(Msg, Data)); }

int TStrings::Add(const std::string& S)
{
    int r = GetCount();
    Insert(r, S);
    return r;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    int r = Add(S);
    PutObject(r, AObject);
    return r;
}

void TStrings::AddStrings(TStrings* Strings)
{
    TStringsUpdate update(*this);
    for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2)
{
    TStringsUpdate update(*this);
    std::string s = Get(Index1);
    TObject* o = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, o);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex) return;
    TStringsUpdate update(*this);
    std::string s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
}

int TStrings::IndexOf(const std::string& S) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (AnsiCompareText(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

bool TStrings::Equals(TStrings* Strings) const
{
    if (GetCount() != Strings->GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int Index, const std::string& S)
{
    TObject* o = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, o);
}

void TStrings::PutObject(int, TObject*) {}

std::string TStrings::GetTextStr() const
{
    std::string r;
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetTextStr(const std::string& Value)
{
    TStringsUpdate update(*this);
    Clear();
    size_t p = 0, n = Value.size();
    while (p < n) {
        size_t start = p;
        while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
        Add(Value.substr(start, p - start));
        if (p < n && Value[p] == '\r') ++p;
        if (p < n && Value[p] == '\n') ++p;
    }
}

std::string TStrings::CommaText() const
{
    std::string r;
    for (int i = 0; i < GetCount(); ++i) {
        std::string s = Get(i);
        bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos;
        if (i) r += ',';
        if (!quote) {
            r += s;
            continue;
        }
        r += '"';
        for (char c : s) {
            if (c == '"') r += '"';
            r += c;
        }
        r += '"';
    }
    return r;
}

void TStrings::LoadFromStream(TStream* Stream)
{
    TStringsUpdate update(*this);
    int64_t size = Stream->Size() - Stream->Position();
    std::string s(static_cast<size_t>(size), '\0');
    if (size) Stream->ReadBuffer(s.data(), static_cast<long>(size));
    SetTextStr(s);
}

void TStrings::SaveToStream(TStream* Stream)
{
    std::string s = GetTextStr();
    Stream->WriteBuffer(s.data(), static_cast<long>(s.size()));
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TStrings::SaveToFile(const std::string& FileName)
{
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        TStringsUpdate update(*this);
        Clear();
        AddStrings(src);
        return;
    }
    TPersistent::Assign(Source);
}

// ---- TStringList ----

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FList.size())) Error("List index out of bounds (%d)", Index);
}

int TStringList::CompareStrings(const std::string& A, const std::string& B) const
{
    return FCaseSensitive ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject)
{
    int index;
    if (!FSorted) {
        index = static_cast<int>(FList.size());
    } else if (Find(S, index)) {
        switch (FDuplicates) {
        case TDuplicates::dupIgnore: return index;
        case TDuplicates::dupError: Error("String list does not allow duplicates (%d)", index);
        case TDuplicates::dupAccept: break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* O)
{
    Changing();
    FList.insert(FList.begin() + Index, Item{S, O});
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty()) return;
    Changing();
    FList.clear();
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    FList.erase(FList.begin() + Index);
    Changed();
}

void TStringList::Insert(int Index, const std::string& S)
{
    if (FSorted) Error("Operation not allowed on sorted list (%d)", Index);
    if (Index < 0 || Index > static_cast<int>(FList.size())) Error("List index out of bounds (%d)", Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::IndexOf(const std::string& S) const
{
    if (!FSorted) {
        for (size_t i = 0; i < FList.size(); ++i)
            if (CompareStrings(FList[i].S, S) == 0) return static_cast<int>(i);
        return -1;
    }
    int index;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const
{
    int lo = 0, hi = static_cast<int>(FList.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(FList[static_cast<size_t>(mid)].S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort()
{
    Changing();
    std::stable_sort(FList.begin(), FList.end(),
                     [this](const Item& a, const Item& b) { return CompareStrings(a.S, b.S) < 0; });
    Changed();
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
    // Simple insertion sort through the index-based comparison the caller gives.
    Changing();
    for (int i = 1; i < static_cast<int>(FList.size()); ++i)
        for (int j = i; j > 0 && Compare(this, j - 1, j) > 0; --j)
            std::swap(FList[static_cast<size_t>(j - 1)], FList[static_cast<size_t>(j)]);
    Changed();
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool b)
{
    if (FCaseSensitive == b) return;
    FCaseSensitive = b;
    if (FSorted) Sort();
}

std::string TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].S;
}

int TStringList::GetCount() const { return static_cast<int>(FList.size()); }

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].O;
}

void TStringList::Put(int Index, const std::string& S)
{
    if (FSorted) Error("Operation not allowed on sorted list (%d)", Index);
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].S = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].O = AObject;
    Changed();
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating) Changing();
    else Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

} // namespace pw
