#include "SysUtils.h"

#include "WinApi.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace pw {

void Abort() { throw EAbort(); }

std::string Format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string IntToStr(long long value) { return std::to_string(value); }

bool TryStrToInt(const std::string& text, int& value)
{
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) return false;
    std::string t = text.substr(b, e - b + 1);
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(t.c_str(), &end, 10);
    if (end == t.c_str() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const std::string& text)
{
    int v = 0;
    if (!TryStrToInt(text, v)) throw EConvertError("'" + text + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const std::string& text, int def)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : def;
}

std::string SysErrorMessage(unsigned long code)
{
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                             sizeof buf, nullptr);
    std::string s(buf, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
    if (s.empty()) s = Format("System error %lu", code);
    return s;
}

void RaiseLastOSError(const std::string& what)
{
    DWORD code = GetLastError();
    throw EOSError(what + ": " + SysErrorMessage(code));
}

static size_t LastSeparator(const std::string& f) { return f.find_last_of("\\/:"); }

std::string ExtractFileExt(const std::string& fileName)
{
    size_t dot = fileName.find_last_of('.');
    size_t sep = LastSeparator(fileName);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
    return fileName.substr(dot);
}

std::string ExtractFileName(const std::string& fileName)
{
    size_t sep = LastSeparator(fileName);
    return sep == std::string::npos ? fileName : fileName.substr(sep + 1);
}

std::string ExtractFilePath(const std::string& fileName)
{
    size_t sep = LastSeparator(fileName);
    return sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
}

std::string AnsiLowerCaseFileName(const std::string& s)
{
    std::string r = s;
    if (!r.empty()) CharLowerBuffA(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

std::string LowerCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string UpperCase(const std::string& s)
{
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

bool FileExists(const std::string& fileName)
{
    DWORD a = GetFileAttributesA(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring StringToWide(const std::string& S, unsigned CodePage)
{
    // The text is taken up to its first NUL, as a zero-terminated string.
    int n = MultiByteToWideChar(CodePage, 0, S.c_str(), -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CodePage, 0, S.c_str(), -1, w.data(), n);
    w.resize(static_cast<size_t>(n - 1));
    return w;
}

std::string WideToString(const std::wstring& WS, unsigned CodePage)
{
    int n = WideCharToMultiByte(CodePage, 0, WS.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CodePage, 0, WS.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n - 1));
    return s;
}

} // namespace pw
