#include "GoToWeb.h"

#include "Forms.h"
#include "Registry.h"
#include "SysUtils.h"

#include "WinApi.h"
#include <shellapi.h>

#include <algorithm>

namespace pw {

std::string BrowserArguments;

namespace {

// What the look-up reads of a registry value: at most this many characters.
constexpr size_t MaxValueLength = 1024;

// The default value of the open key as text, or nothing when it is missing or not a string.
bool ReadDefault(TRegistry& Reg, std::string& Value)
{
    TRegDataType type = Reg.GetDataType("");
    if (type != TRegDataType::rdString && type != TRegDataType::rdExpandString) return false;
    Value = Reg.ReadString("");
    if (Value.size() > MaxValueLength) Value.resize(MaxValueLength);
    if (type == TRegDataType::rdExpandString) {
        DWORD n = ExpandEnvironmentStringsA(Value.c_str(), nullptr, 0);
        std::string expanded(n, '\0');
        if (n && ExpandEnvironmentStringsA(Value.c_str(), expanded.data(), n) == n) {
            expanded.resize(n - 1);
            Value = expanded;
        }
    }
    return true;
}

// The default value of a key under HKEY_CLASSES_ROOT (or under the open key of Base).
std::string ReadCommand(TRegistry& Reg, const std::string& Key)
{
    std::string value;
    if (!Reg.OpenKeyReadOnly(Key) || !ReadDefault(Reg, value)) return {};
    return value;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Removes every '%' and what follows it up to the next blank.
std::string RemovePlaceholders(const std::string& s)
{
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            r += s[i];
            continue;
        }
        while (i + 1 < s.size() && s[i + 1] != ' ') ++i;
    }
    return r;
}

} // namespace

TGoToWeb::TGoToWeb(TComponent* AOwner)
    : TComponent(AOwner), FUrl("http://www.example.com/penwise/"), FEMail("penwise@example.com")
{
}

std::string TGoToWeb::FindBrowserCommand()
{
    for (const char* ext : {".HTM", ".HTML", ".SHTML", ".SHTM"}) {
        // Read access only: a normal user may not open HKEY_CLASSES_ROOT for writing.
        TRegistry reg;
        reg.SetRootKey(HKEY_CLASSES_ROOT);
        std::string typeName;
        if (!reg.OpenKeyReadOnly(ext) || !ReadDefault(reg, typeName)) continue;
        std::string command;
        if (!typeName.empty()) {
            TRegistry types;
            types.SetRootKey(HKEY_CLASSES_ROOT);
            command = ReadCommand(types, "\\" + typeName + "\\shell\\open\\command");
        } else {
            command = ReadCommand(reg, "shell\\open\\command");
        }
        if (!command.empty()) return command;
    }
    return {};
}

std::string SplitBrowserCommand(const std::string& Command, std::string& Arguments)
{
    std::string cmd = Command;
    Arguments.clear();
    // Backward scan for the program's extension, never before the start of the command.
    size_t end = std::string::npos;
    for (size_t i = cmd.size() >= 4 ? cmd.size() - 4 + 1 : 0; i-- > 0;) {
        std::string four = UpperCase(cmd.substr(i, 4));
        if (four == ".EXE" || four == ".BAT" || four == ".COM") {
            end = i + 4;
            break;
        }
    }
    if (end != std::string::npos && end < cmd.size()) {
        std::string args = Trim(cmd.substr(end));
        args.erase(std::remove(args.begin(), args.end(), '"'), args.end());
        Arguments = Trim(RemovePlaceholders(args));
        cmd.resize(end);
    }
    if (!cmd.empty() && cmd[0] == '"') cmd.erase(0, 1);
    return cmd;
}

std::string TGoToWeb::GetBrowser()
{
    std::string cmd = FindBrowserCommand();
    if (cmd.empty()) return {};
    return SplitBrowserCommand(cmd, BrowserArguments);
}

std::string QuoteArgument(const std::string& Text)
{
    std::string r = "\"";
    size_t backslashes = 0;
    for (char c : Text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote; the quote itself is escaped.
        r.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        r += c;
        backslashes = 0;
    }
    r.append(backslashes * 2, '\\');
    return r + "\"";
}

bool TGoToWeb::OpenUrl()
{
    std::string program = GetBrowser();
    if (program.empty()) return false;
    int show = FBrowserState == gwMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    // The address is one argument of its own: its blanks and quotes add no others.
    std::string parameters = BrowserArguments + " " + QuoteArgument(FUrl);
    HWND owner = nullptr;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        owner = Application->MainForm()->Handle();
    // A launch that fails is reported by the result only, never in a box of the shell's.
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    return ShellExecuteExA(&info) && reinterpret_cast<INT_PTR>(info.hInstApp) > 32;
}

} // namespace pw
