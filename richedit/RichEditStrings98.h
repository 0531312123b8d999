// The lines of a rich edit 2.0 control as an ANSI string list and as a Unicode string list,
// and the movement of whole documents between streams and the control.
#pragma once
#include "StringList.h"
#include "WideStrings.h"

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

} // namespace pw
