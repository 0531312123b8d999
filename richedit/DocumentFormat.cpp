#include "DocumentFormat.h"

#include "Languages.h"
#include "RichTextLexer.h"
#include "WinApi.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace pw {

namespace {

bool StartsWith(const char* Data, size_t Size, const char* Prefix)
{
    size_t n = std::strlen(Prefix);
    return Size >= n && std::memcmp(Data, Prefix, n) == 0;
}

// Length of the UTF-8 sequence at P (1 to 4), or 0 when it is not a valid one (overlong
// forms, surrogates and values above U+10FFFF are not).
size_t Utf8SequenceLength(const unsigned char* P, size_t Left)
{
    unsigned char c = P[0];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || n > Left) return 0;
    for (size_t i = 1; i < n; ++i)
        if ((P[i] & 0xC0) != 0x80) return 0;
    if (n == 2 && c < 0xC2) return 0;
    if (n == 3) {
        unsigned v = ((c & 0x0Fu) << 12) | ((P[1] & 0x3Fu) << 6);
        if (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    }
    if (n == 4) {
        unsigned v = ((c & 0x07u) << 18) | ((P[1] & 0x3Fu) << 12);
        if (v < 0x10000 || v > 0x10FFFF) return 0;
    }
    return n;
}

bool IsUtf8WithNonAscii(const char* Data, size_t Size)
{
    auto* p = reinterpret_cast<const unsigned char*>(Data);
    bool nonAscii = false;
    for (size_t i = 0; i < Size;) {
        size_t n = Utf8SequenceLength(p + i, Size - i);
        if (n == 0) return false;
        nonAscii |= n > 1;
        i += n;
    }
    return nonAscii;
}

std::wstring WithParagraphBreaks(const std::wstring& Text)
{
    std::wstring out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        wchar_t c = Text[i];
        if (c == L'\r') {
            out += L'\r';
            if (i + 1 < Text.size() && Text[i + 1] == L'\n') ++i;
        } else if (c == L'\n') {
            out += L'\r';
        } else if (c != L'\0') {
            out += c;
        }
    }
    return out;
}

// Walks an RTF document token by token as a reader does, watching the limits.
class TRichTextScan {
public:
    TRichTextScan(const char* Data, size_t Size) : FLexer(Data, Size) {}
    struct TBinary {
        size_t Word, Data, Size; // where \bin starts, where its data starts, how many bytes
    };
    std::vector<TBinary> Binaries;
    std::string Problem()
    {
        int depth = 0;
        // The row being read: its cell widths since \trowd and its cells since the last \row;
        // whether nothing but the next row's definition came since a \row.
        const bool fragile = ReaderFailsOnBrokenTables();
        int widths = 0, cells = 0;
        bool afterRow = false;
        TRichTextTokenInfo t;
        while (FLexer.Next(t)) {
            unsigned long at = static_cast<unsigned long>(t.At);
            switch (t.Kind) {
            case TRichTextToken::rtGroupOpen:
                if (++depth > MaxGroupDepth)
                    return Format("its groups are nested more than %d deep (byte %lu)", MaxGroupDepth, at);
                break;
            case TRichTextToken::rtGroupClose:
                if (depth > 0) --depth;
                break;
            case TRichTextToken::rtText: // line breaks of the file are not text
                if (t.Data.find_first_not_of("\r\n") != std::string_view::npos) afterRow = false;
                break;
            case TRichTextToken::rtControlSymbol:
            case TRichTextToken::rtHexCharacter:
                afterRow = false;
                break;
            case TRichTextToken::rtControlWord:
                if (t.Word.size() > static_cast<size_t>(MaxControlWordLetters))
                    return Format("a control word longer than %d letters (byte %lu)", MaxControlWordLetters, at);
                if (!t.ParameterFits)
                    return Format("the parameter of \\%s (byte %lu) is not a signed 32-bit number",
                                  std::string(t.Word).c_str(), at);
                if (fragile) {
                    if (afterRow && (t.Word == "par" || t.Word == "sect" || t.Word == "page"))
                        return Format("a \\%s right after a table row (byte %lu), which this system's rich edit "
                                      "reader cannot take",
                                      std::string(t.Word).c_str(), at);
                    afterRow = afterRow && (t.Word == "trowd" || t.Word == "cellx" || t.Word.substr(0, 2) == "tr" ||
                                            t.Word.substr(0, 2) == "cl");
                    if (t.Word == "trowd") widths = 0;
                    else if (t.Word == "cellx") ++widths;
                    else if (t.Word == "cell") ++cells;
                    else if (t.Word == "row") {
                        if (widths > 0 && cells > widths + 1)
                            return Format("a table row (ending at byte %lu) has %d cells but widths for %d, which "
                                          "this system's rich edit reader cannot take",
                                          at, cells, widths);
                        cells = 0;
                        afterRow = true;
                    }
                }
                if (t.Word == "bin" && t.HasParameter) {
                    TRichTextTokenInfo data;
                    FLexer.Next(data);
                    if (t.Parameter < 0 || !data.Complete)
                        return Format("\\bin (byte %lu) announces %s bytes of data, more than the file holds", at,
                                      std::to_string(t.Parameter).c_str());
                    Binaries.push_back({t.At, data.At, data.Data.size()});
                }
                break;
            default: break;
            }
        }
        return {};
    }

private:
    TRichTextLexer FLexer;
};

} // namespace

bool ReaderFailsOnBrokenTables()
{
    static const bool fails =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return fails;
}

TDocumentEncoding DocumentEncoding(const char* Data, size_t Size)
{
    if (StartsWith(Data, Size, "{\\rtf")) return TDocumentEncoding::deRTF;
    if (StartsWith(Data, Size, "\xFF\xFE")) return TDocumentEncoding::deUTF16LE;
    if (StartsWith(Data, Size, "\xFE\xFF")) return TDocumentEncoding::deUTF16BE;
    if (StartsWith(Data, Size, "\xEF\xBB\xBF")) return TDocumentEncoding::deUTF8;
    return IsUtf8WithNonAscii(Data, Size) ? TDocumentEncoding::deUTF8 : TDocumentEncoding::deANSI;
}

std::wstring DecodeUnicodeText(const char* Data, size_t Size, TDocumentEncoding Encoding)
{
    auto* p = reinterpret_cast<const unsigned char*>(Data);
    std::wstring w;
    if (Encoding == TDocumentEncoding::deUTF8) {
        size_t skip = StartsWith(Data, Size, "\xEF\xBB\xBF") ? 3 : 0;
        std::string bytes(Data + skip, Size - skip);
        w = StringToWide(bytes, CP_UTF8);
    } else {
        bool big = Encoding == TDocumentEncoding::deUTF16BE;
        w.reserve(Size / 2);
        for (size_t i = 2; i + 1 < Size; i += 2) // after the mark; an odd last byte is not used
            w += static_cast<wchar_t>(big ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8));
    }
    return WithParagraphBreaks(w);
}

std::string CheckRichText(const char* Data, size_t Size, std::string& Readable)
{
    TRichTextScan scan(Data, Size);
    std::string problem = scan.Problem();
    if (!problem.empty() || scan.Binaries.empty()) return problem;
    static const char hex[] = "0123456789abcdef";
    Readable.clear();
    Readable.reserve(Size + Size / 2);
    size_t from = 0;
    for (const auto& b : scan.Binaries) {
        Readable.append(Data + from, b.Word - from);
        Readable += ' '; // ends a control word before the digits
        for (size_t i = b.Data; i < b.Data + b.Size; ++i) {
            auto c = static_cast<unsigned char>(Data[i]);
            Readable += hex[c >> 4];
            Readable += hex[c & 15];
        }
        from = b.Data + b.Size;
    }
    Readable.append(Data + from, Size - from);
    return problem;
}

} // namespace pw
