// Exceptions and small string helpers shared by the whole program.
#pragma once
#include <exception>
#include <string>

namespace pw {

// Base of every failure the program raises: carries a message for the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string m) { FMessage = std::move(m); }
    const char* what() const noexcept override { return FMessage.c_str(); }
private:
    std::string FMessage;
};

// Silent abort: unwinds to the message loop without showing anything.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class EOutOfResources : public Exception {
    using Exception::Exception;
};
class EResNotFound : public Exception {
    using Exception::Exception;
};
class EListError : public Exception {
    using Exception::Exception;
};
class EStreamError : public Exception {
    using Exception::Exception;
};
class EFOpenError : public EStreamError {
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
    using EStreamError::EStreamError;
};
class EReadError : public EStreamError {
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
    using EStreamError::EStreamError;
};
class ERegistryException : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EOSError : public Exception {
    using Exception::Exception;
};

[[noreturn]] void Abort();

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

std::string IntToStr(long long value);
// Converts decimal text; throws EConvertError when the text is not an integer.
int StrToInt(const std::string& text);
// Converts decimal text; gives def when the text is not an integer.
int StrToIntDef(const std::string& text, int def);
bool TryStrToInt(const std::string& text, int& value);

// Text of the system error code, for messages.
std::string SysErrorMessage(unsigned long code);
// Raises EOSError for the calling thread's last error.
[[noreturn]] void RaiseLastOSError(const std::string& what);

std::string ExtractFileExt(const std::string& fileName); // ".rtf" with the dot
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFilePath(const std::string& fileName); // with the trailing separator
std::string AnsiLowerCaseFileName(const std::string& s);
std::string LowerCase(const std::string& s);
std::string UpperCase(const std::string& s);
bool FileExists(const std::string& fileName);

// Conversions between 8-bit text in a code page (CP_ACP: the system's) and UTF-16; the text is
// taken up to its first NUL.
std::wstring StringToWide(const std::string& S, unsigned CodePage);
std::string WideToString(const std::wstring& WS, unsigned CodePage);

} // namespace pw
