// String lists: the abstract list of 8-bit strings with objects, and the stored list.
#pragma once
#include "Classes.h"
#include "Guards.h"

#include <string>
#include <vector>

namespace pw {

class TStream;

class TStrings : public TPersistent {
public:
    // Element access and editing; derived lists override the virtual operations.
    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const std::string& S) { Put(Index, S); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* O) { PutObject(Index, O); }

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    virtual void AddStrings(TStrings* Strings);
    void Append(const std::string& S) { Add(S); }
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Insert(int Index, const std::string& S) = 0;
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    // First line equal to S ignoring case in the user's locale; -1 when none.
    virtual int IndexOf(const std::string& S) const;
    int IndexOfObject(TObject* AObject) const;
    bool Equals(TStrings* Strings) const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Whole text: every line followed by CR LF; setting splits at CR, LF and CR LF.
    std::string Text() const { return GetTextStr(); }
    void SetText(const std::string& S) { SetTextStr(S); }
    // Lines joined by commas (quoted where needed) and the reverse.
    std::string CommaText() const;

    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream);
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);

    void Assign(TPersistent* Source) override;

    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const std::string& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(const std::string& Value);

protected:
    // Called when the outermost update bracket opens (true) and closes (false).
    virtual void SetUpdateState(bool Updating);
    [[noreturn]] void Error(const char* Msg, int Data) const;

private:
    int FUpdateCount = 0;
};

// An update bracket for a scope: BeginUpdate now, EndUpdate however the scope is left.
using TStringsUpdate = TBracketGuard<TStrings, &TStrings::BeginUpdate, &TStrings::EndUpdate>;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

class TStringList : public TStrings {
public:
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;
    // Binary search of a sorted list: true when found; Index is where S is or would go.
    bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool b);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;

protected:
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();
    int CompareStrings(const std::string& A, const std::string& B) const;

private:
    struct Item {
        std::string S;
        TObject* O;
    };
    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
    void InsertItem(int Index, const std::string& S, TObject* O);
    void CheckIndex(int Index) const;
};

// Compares ignoring case in the user's locale, as the string lists do: <0, 0, >0.
int AnsiCompareText(const std::string& A, const std::string& B);
int AnsiCompareStr(const std::string& A, const std::string& B);

} // namespace pw
