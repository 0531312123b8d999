// What a document's bytes hold before they reach the rich edit window: Rich Text Format,
// Unicode text (UTF-16 with a byte-order mark, UTF-8) or 8-bit text; and whether the
// window's RTF reader can take an RTF document. Some readers crash on input that RTF does not
// allow or that is deeper than they can hold, and a crash loses every open document.
#pragma once
#include "SysUtils.h"

#include <cstddef>
#include <string>

namespace pw {

enum class TDocumentEncoding { deRTF, deUTF16LE, deUTF16BE, deUTF8, deANSI };

// Byte-order marks decide; without one, text that is valid UTF-8 and not plain ASCII is UTF-8.
TDocumentEncoding DocumentEncoding(const char* Data, size_t Size);
inline bool IsUnicodeText(TDocumentEncoding E)
{
    return E == TDocumentEncoding::deUTF16LE || E == TDocumentEncoding::deUTF16BE || E == TDocumentEncoding::deUTF8;
}

// The text of a Unicode text document without its byte-order mark, every line break (CR LF,
// LF or CR) made the single CR that ends a rich edit paragraph, NUL characters dropped.
std::wstring DecodeUnicodeText(const char* Data, size_t Size, TDocumentEncoding Encoding);

// Limits of what is read: RTF allows control words of at most 32 letters and parameters that
// are signed 32-bit numbers; a rich edit reader holds at most 32 nested groups (the document's
// own group included).
constexpr int MaxGroupDepth = 32;
constexpr int MaxControlWordLetters = 32;
constexpr int MaxParameterDigits = 10;

// Whether this system's rich edit reader ends the program on some broken tables (Wine's does:
// a row with two cells or more beyond its widths, a paragraph, section or page mark right
// after a row). Where it does, such documents are refused; Windows' reader takes them.
bool ReaderFailsOnBrokenTables();

// Why the window's reader cannot take this RTF document; empty when it can. The data of \binN
// is binary: some readers read it as RTF all the same, so a document holding such data is
// given in Readable with the data written as hexadecimal digits, which every reader reads
// alike (Readable stays empty otherwise).
std::string CheckRichText(const char* Data, size_t Size, std::string& Readable);

// An RTF document refused before it reached the window; Reason says why.
class ERichTextRefused : public EConvertError {
public:
    explicit ERichTextRefused(const std::string& Reason)
        : EConvertError("The document cannot be opened: " + Reason + "."), FReason(Reason) {}
    const std::string& Reason() const { return FReason; }
private:
    std::string FReason;
};

} // namespace pw
