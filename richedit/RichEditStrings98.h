// The lines of a rich edit 2.0 control as an ANSI string list and as a Unicode string list,
// and the movement of whole documents between streams and the control.
#pragma once
#include "StringList.h"

#include <memory>
#include <string>

namespace pw {

class TCustomRichEdit98;
class TStream;
class TFiler;
class TWinControl;

// Moves bytes between a stream and the control's stream callbacks.
class TConversion : public TObject {
public:
    virtual long ConvertReadStream(TStream* Stream, char* Buffer, long BufSize);
    virtual long ConvertWriteStream(TStream* Stream, const char* Buffer, long BufSize);
};

using TConversionFactory = TConversion* (*)();

// Converter table entry: the converter for a lower-case extension without the dot.
struct TConversionEntry {
    std::string Extension;
    TConversionFactory Create;
    TConversionEntry* Next;
};
TConversionEntry* ConverterTable();

// The shared stream work of both line lists.
class TRichEditStreamer {
public:
    explicit TRichEditStreamer(TCustomRichEdit98* RichEdit) : FRichEdit(RichEdit) {}
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    // Chooses the converter by the file's extension, then runs the file operation; a save goes
    // to a temporary file beside the target that replaces it only when complete.
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    void SetChangeNotify(bool Enabled);
    void UpdateState(bool Updating);
    int LineCount();
    void DeleteLine(int Index);
    // Inserts at Index (with the line break the position needs); false when nothing was inserted.
    bool InsertAt(int Index, const std::wstring& Text, bool Wide);
    TConversion* Converter() const { return FConverter.get(); }
private:
    TCustomRichEdit98* FRichEdit;
    std::unique_ptr<TConversion> FConverter;
    void ReadDocument(TStream* Stream);
    void LoadUnicodeText(const std::wstring& Text);
};

class TRichEditStrings98 : public TStrings {
public:
    explicit TRichEditStrings98(TCustomRichEdit98* RichEdit) : FRichEdit(RichEdit), FStreamer(RichEdit) {}
    std::string Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const std::string& S) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetTextStr(const std::string& Value) override;
    void AddStrings(TStrings* Strings) override;
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromFile(const std::string& FileName) override;
    void SaveToFile(const std::string& FileName) override;
    void SetChangeNotify(bool Enabled) { FStreamer.SetChangeNotify(Enabled); }
    TConversion* Converter() const { return FStreamer.Converter(); }
protected:
    void SetUpdateState(bool Updating) override;
private:
    TCustomRichEdit98* FRichEdit;
    mutable TRichEditStreamer FStreamer;
};

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

class TWideRichEditStrings98 : public TWideStrings {
public:
    explicit TWideRichEditStrings98(TCustomRichEdit98* RichEdit) : FRichEdit(RichEdit), FStreamer(RichEdit) {}
    std::wstring GetLineW(int Index) override;
    int GetCountW() override;
    void SetLineW(int Index, const std::wstring& S) override;
    void SetAllTextW(const std::wstring& S) override;
    void UpdatingChangedW(bool Updating) override;
    void SetLanguageId(unsigned short Value) override;
    unsigned short GetLanguage() override;
    void AddListW(TWideStrings* Source) override;
    void ClearW() override;
    void DeleteW(int Index) override;
    void InsertW(int Index, const std::wstring& S) override;
    void LoadFromFileW(const std::string& FileName) override;
    void LoadFromStreamW(TStream* Stream) override;
    void SaveToFileW(const std::string& FileName) override;
    void SaveToStreamW(TStream* Stream) override;
    void SetChangeNotify(bool Enabled) { FStreamer.SetChangeNotify(Enabled); }
private:
    TCustomRichEdit98* FRichEdit;
    TRichEditStreamer FStreamer;
};

// Sets the control's wide mode for the life of the guard.
struct TWideModeGuard {
    TCustomRichEdit98* R;
    explicit TWideModeGuard(TCustomRichEdit98* r);
    ~TWideModeGuard();
};

// One line of the control as the window counts lines, without its paragraph mark (at most
// 4096 characters).
std::wstring ReadRichEditLine(TCustomRichEdit98* RichEdit, int Index);

// Compares two UTF-16 strings ignoring case in a locale: -1, 0 or 1.
int CompareWideNative(const std::wstring& A, const std::wstring& B, unsigned Locale);
int CompareWideViaAnsi(const std::wstring& A, const std::wstring& B, unsigned Locale);

} // namespace pw
