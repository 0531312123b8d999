// The tokens of Rich Text Format, as every reader of RTF here takes them: groups, control words
// with their parameters, control symbols, characters given in hex, binary data and stretches
// of plain text. The lexer never reads past the end: a document cut short ends in the middle
// of its last token, which then says so.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pw {

enum class TRichTextToken {
    rtGroupOpen, // {
    rtGroupClose, // }
    rtControlWord, // \word or \wordN (Word, HasParameter, Parameter)
    rtControlSymbol, // \ and one character that is not a letter (Symbol); not \'
    rtHexCharacter, // \'hh (Byte; Complete when both digits were there)
    rtBinary, // the data of \binN (Data), after the control word's own token
    rtText, // plain text up to the next special byte (Data); never empty
};

struct TRichTextTokenInfo {
    TRichTextToken Kind = TRichTextToken::rtText;
    size_t At = 0; // where the token starts
    size_t End = 0; // just after it (a control word's delimiting space included)
    std::string_view Word; // the control word's letters
    bool HasParameter = false;
    // The parameter, within the range of a signed 32-bit number when ParameterFits (otherwise
    // held at the nearer end of that range).
    int32_t Parameter = 0;
    bool ParameterFits = true; // at most MaxParameterDigits digits and a signed 32-bit value
    bool SpaceEaten = false; // the control word ended with a blank, which belongs to it
    char Symbol = 0;
    unsigned char Byte = 0;
    bool Complete = true; // \' with two hex digits, \bin with all the data it announced
    std::string_view Data; // the text or the binary data
};

class TRichTextLexer {
public:
    TRichTextLexer(const char* Data, size_t Size) : FData(Data), FSize(Size) {}
    explicit TRichTextLexer(std::string_view Text) : FData(Text.data()), FSize(Text.size()) {}

    // The next token; false at the end. Line breaks between tokens are skipped, as readers
    // ignore them; the data of \bin comes as one token after its control word.
    bool Next(TRichTextTokenInfo& Token);
    size_t Position() const { return FPos; }

    // Bytes that end a stretch of plain text.
    static bool IsSpecial(char C) { return C == '\\' || C == '{' || C == '}' || C == '\r' || C == '\n'; }

private:
    const char* FData;
    size_t FSize;
    size_t FPos = 0;
    size_t FBinaryLeft = 0; // data announced by the \bin just read
    bool FBinaryPending = false;

    void ReadControl(TRichTextTokenInfo& Token);
};

} // namespace pw
