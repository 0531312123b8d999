// A list of UTF-16 strings beside the ANSI string list, with its update bracket, its streamed
// form and locale comparison of UTF-16 text.
#pragma once
#include "Guards.h"
#include "StringList.h"

#include <string>

namespace pw {

class TFiler;
class TStream;

// A list of UTF-16 strings. The ANSI operations of the base list are not used.
class TWideStrings : public TStrings {
public:
    TWideStrings();
    virtual std::wstring GetLineW(int Index) = 0;
    virtual int GetCapacityW() { return GetCountW(); }
    virtual int GetCountW() = 0;
    virtual TObject* GetObjectW(int) { return nullptr; }
    virtual std::wstring GetAllTextW();
    virtual void SetLineW(int Index, const std::wstring& S);
    virtual void SetObjectW(int, TObject*) {}
    virtual void SetCapacityW(int) {}
    virtual void SetAllTextW(const std::wstring& S);
    virtual void UpdatingChangedW(bool) {}
    virtual void SetLanguageId(unsigned short Value) { FLanguageId = Value; }
    virtual unsigned short GetLanguage() { return FLanguageId; }
    virtual int AddW(const std::wstring& S);
    virtual int AddWithObjectW(const std::wstring& S, TObject* Obj);
    virtual void AddListW(TWideStrings* Source);
    virtual void ClearW() = 0;
    virtual void DeleteW(int Index) = 0;
    virtual void ExchangeW(int I, int J);
    // A new block holding the whole text and its terminator; the caller frees it with delete[].
    virtual wchar_t* GetTextBufferW();
    virtual int IndexOfW(const std::wstring& S);
    virtual void InsertW(int Index, const std::wstring& S) = 0;
    virtual void LoadFromFileW(const std::string& FileName);
    virtual void LoadFromStreamW(TStream* Stream);
    virtual void MoveW(int Cur, int New);
    virtual void SaveToFileW(const std::string& FileName);
    virtual void SaveToStreamW(TStream* Stream);
    virtual void SetTextBufferW(const wchar_t* P);

    void BeginUpdateW();
    void EndUpdateW();
    void InsertWithObjectW(int Index, const std::wstring& S, TObject* Obj);
    bool EqualsW(TWideStrings* Other);
    unsigned short Language() { return GetLanguage(); }
    void SetLanguage(unsigned short v) { SetLanguageId(v); }

    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    // The ANSI side is not implemented.
    std::string Get(int) const override { return {}; }
    int GetCount() const override { return 0; }
    void Clear() override {}
    void Delete(int) override {}
    void Insert(int, const std::string&) override {}

    // The streamed "WideStrings" value: four hexadecimal digits per UTF-16 unit.
    std::string WideStringsValue();
    void ReadWideStringsValue(const std::string& Value);

private:
    int FWideUpdateCount = 0;
    unsigned short FLanguageId;
};

// An update bracket of the UTF-16 lines for a scope: BeginUpdateW now, EndUpdateW however the
// scope is left.
using TWideStringsUpdate = TBracketGuard<TWideStrings, &TWideStrings::BeginUpdateW, &TWideStrings::EndUpdateW>;

// Compares two UTF-16 strings ignoring case in a locale: -1, 0 or 1.
int CompareWideNative(const std::wstring& A, const std::wstring& B, unsigned Locale);
int CompareWideViaAnsi(const std::wstring& A, const std::wstring& B, unsigned Locale);

} // namespace pw
