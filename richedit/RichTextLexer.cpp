#include "RichTextLexer.h"

#include "DocumentFormat.h"

namespace pw {

namespace {

// Control words are made of the letters of ASCII, whatever the reader's locale.
bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

int HexValue(char C)
{
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

} // namespace

bool TRichTextLexer::Next(TRichTextTokenInfo& Token)
{
    Token = TRichTextTokenInfo{};
    if (FBinaryPending) {
        // The data of \bin: as much as was announced, or what is left of the document.
        FBinaryPending = false;
        size_t n = FBinaryLeft <= FSize - FPos ? FBinaryLeft : FSize - FPos;
        Token.Kind = TRichTextToken::rtBinary;
        Token.At = FPos;
        Token.Data = std::string_view(FData + FPos, n);
        Token.Complete = n == FBinaryLeft;
        FPos += n;
        Token.End = FPos;
        return true;
    }
    while (FPos < FSize && (FData[FPos] == '\r' || FData[FPos] == '\n')) ++FPos;
    if (FPos >= FSize) return false;
    Token.At = FPos;
    char c = FData[FPos];
    if (c == '{' || c == '}') {
        Token.Kind = c == '{' ? TRichTextToken::rtGroupOpen : TRichTextToken::rtGroupClose;
        Token.End = ++FPos;
        return true;
    }
    if (c == '\\') {
        ReadControl(Token);
        Token.End = FPos;
        return true;
    }
    size_t start = FPos;
    while (FPos < FSize && !IsSpecial(FData[FPos])) ++FPos;
    Token.Kind = TRichTextToken::rtText;
    Token.Data = std::string_view(FData + start, FPos - start);
    Token.End = FPos;
    return true;
}

void TRichTextLexer::ReadControl(TRichTextTokenInfo& Token)
{
    ++FPos; // the backslash
    if (FPos >= FSize) {
        // A backslash that ends the document: a symbol without its character.
        Token.Kind = TRichTextToken::rtControlSymbol;
        Token.Complete = false;
        return;
    }
    char c = FData[FPos];
    if (c == '\'') {
        // Two hex digits give a byte; fewer (or none) are taken as they are.
        ++FPos;
        Token.Kind = TRichTextToken::rtHexCharacter;
        int value = 0, digits = 0;
        for (; digits < 2 && FPos < FSize; ++digits) {
            int h = HexValue(FData[FPos]);
            if (h < 0) break;
            value = value * 16 + h;
            ++FPos;
        }
        Token.Byte = static_cast<unsigned char>(value);
        Token.Complete = digits == 2;
        return;
    }
    if (!IsLetter(c)) {
        Token.Kind = TRichTextToken::rtControlSymbol;
        Token.Symbol = c;
        ++FPos;
        return;
    }
    Token.Kind = TRichTextToken::rtControlWord;
    size_t start = FPos;
    while (FPos < FSize && IsLetter(FData[FPos])) ++FPos;
    Token.Word = std::string_view(FData + start, FPos - start);
    // A parameter: digits, after a minus sign when one stands before a digit.
    bool negative = FPos + 1 < FSize && FData[FPos] == '-' && IsDigit(FData[FPos + 1]);
    if (negative) ++FPos;
    size_t digits = FPos;
    int64_t value = 0;
    while (FPos < FSize && IsDigit(FData[FPos])) {
        if (value <= INT64_C(0xFFFFFFFFFF)) value = value * 10 + (FData[FPos] - '0');
        ++FPos;
    }
    Token.HasParameter = FPos > digits;
    if (Token.HasParameter) {
        if (negative) value = -value;
        Token.ParameterFits =
            FPos - digits <= static_cast<size_t>(MaxParameterDigits) && value >= INT32_MIN && value <= INT32_MAX;
        Token.Parameter = static_cast<int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
    }
    if (FPos < FSize && FData[FPos] == ' ') {
        ++FPos;
        Token.SpaceEaten = true;
    }
    if (Token.Word == "bin" && Token.HasParameter) {
        // The data follows (none for a count below one); it is given as the next token.
        FBinaryLeft = Token.Parameter > 0 ? static_cast<size_t>(Token.Parameter) : 0;
        FBinaryPending = true;
    }
}

} // namespace pw
