#include "GoToWeb.h"

#include "Registry.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include "WinApi.h"
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;

namespace {

// ---- splitting a registered command ----

struct SplitCase {
    const char* Command;
    const char* Program;
    const char* Arguments;
};

TEST(SplitBrowserCommand, TakesTheProgramAndCleansItsArguments)
{
    const SplitCase cases[] = {
        // Quoted program, an option and a quoted placeholder.
        {"\"C:\\Program Files\\Web\\browser.exe\" -nohome \"%1\"", "C:\\Program Files\\Web\\browser.exe", "-nohome"},
        // No arguments at all.
        {"C:\\web\\browser.exe", "C:\\web\\browser.exe", ""},
        {"\"C:\\web\\browser.exe\"", "C:\\web\\browser.exe", ""},
        // Placeholders go with what follows them up to the next blank; quotes go everywhere.
        {"c:\\web\\Browser.EXE -new-tab %1 \"-profile x\" %L", "c:\\web\\Browser.EXE", "-new-tab  -profile x"},
        {"C:\\web\\run.bat /u %1", "C:\\web\\run.bat", "/u"},
        {"C:\\web\\run.com", "C:\\web\\run.com", ""},
        // The last extension in the command marks the end of the program.
        {"C:\\a.exe\\b.exe -x", "C:\\a.exe\\b.exe", "-x"},
        // Without any known extension the whole command is the program; nothing before the
        // start of the command is read.
        {"\"C:\\web\\browser\" %1", "C:\\web\\browser\" %1", ""},
        {"ab", "ab", ""},
        {"", "", ""},
        {"exe", "exe", ""},
    };
    for (const auto& c : cases) {
        std::string args = "left over";
        EXPECT_EQ(SplitBrowserCommand(c.Command, args), c.Program) << c.Command;
        EXPECT_EQ(args, c.Arguments) << c.Command;
    }
}

TEST(QuoteArgument, ReadsBackAsExactlyOneArgument)
{
    const char* texts[] = {"http://example.com/a b", "say \"hi\" -x", "C:\\dir\\", "a\\\"b", "", "\\\\\"", "plain"};
    for (const char* t : texts) {
        std::string line = "prog.exe " + QuoteArgument(t);
        std::wstring wide(line.begin(), line.end());
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &argc);
        ASSERT_NE(argv, nullptr);
        ASSERT_EQ(argc, 2) << line;
        std::wstring got = argv[1];
        LocalFree(argv);
        EXPECT_EQ(std::string(got.begin(), got.end()), t) << line;
    }
}

// ---- the association in a redirected HKEY_CLASSES_ROOT ----

void SetDefault(const std::string& Key, const std::string& Value, DWORD Type = REG_SZ)
{
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS)
        << Key;
    RegSetValueExA(k, nullptr, 0, Type, reinterpret_cast<const BYTE*>(Value.c_str()),
                   static_cast<DWORD>(Value.size() + 1));
    RegCloseKey(k);
}

std::string RecorderPath()
{
    std::string p = URL_RECORDER;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

TEST(FindBrowserCommand, EmptyWithoutAnAssociation)
{
    pwtest::RegistryRedirect redirect;
    BrowserArguments = "stale";
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "");
    EXPECT_EQ(TGoToWeb::GetBrowser(), "");
    TGoToWeb web(nullptr);
    EXPECT_FALSE(web.OpenUrl());
}

TEST(FindBrowserCommand, FollowsTheFileTypeOfTheFirstAssociatedExtension)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".html", "PwHtmlType");
    SetDefault("PwHtmlType\\shell\\open\\command", "C:\\html.exe %1");
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "C:\\html.exe %1");
    // .HTM comes first when both are associated.
    SetDefault(".htm", "PwHtmType");
    SetDefault("PwHtmType\\shell\\open\\command", "C:\\htm.exe %1");
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "C:\\htm.exe %1");
}

TEST(FindBrowserCommand, AnEmptyTypeNameUsesTheExtensionsOwnCommand)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".shtml", "");
    SetDefault(".shtml\\shell\\open\\command", "C:\\own.exe");
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "C:\\own.exe");
}

TEST(FindBrowserCommand, SkipsValuesThatAreNoText)
{
    pwtest::RegistryRedirect redirect;
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    DWORD v = 1;
    RegSetValueExA(k, nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(k);
    SetDefault(".shtm", "PwType");
    SetDefault("PwType\\shell\\open\\command", "C:\\next.exe");
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "C:\\next.exe");
}

TEST(FindBrowserCommand, ExpandsEnvironmentStrings)
{
    pwtest::RegistryRedirect redirect;
    SetEnvironmentVariableA("PW_BROWSER_DIR", "C:\\Browsers");
    SetDefault(".htm", "PwType");
    SetDefault("PwType\\shell\\open\\command", "\"%PW_BROWSER_DIR%\\b.exe\" \"%1\"", REG_EXPAND_SZ);
    EXPECT_EQ(TGoToWeb::FindBrowserCommand(), "\"C:\\Browsers\\b.exe\" \"%1\"");
    EXPECT_EQ(TGoToWeb::GetBrowser(), "C:\\Browsers\\b.exe");
    SetEnvironmentVariableA("PW_BROWSER_DIR", nullptr);
}

TEST(FindBrowserCommand, ReadsAnOverlongValueOnlyAsFarAsItsLimit)
{
    pwtest::RegistryRedirect redirect;
    std::string command = "C:\\b.exe " + std::string(3000, 'a');
    SetDefault(".htm", "PwType");
    SetDefault("PwType\\shell\\open\\command", command);
    std::string found = TGoToWeb::FindBrowserCommand();
    EXPECT_EQ(found.size(), 1024u);
    EXPECT_TRUE(found == command.substr(0, 1024));
    EXPECT_EQ(TGoToWeb::GetBrowser(), "C:\\b.exe");
    EXPECT_EQ(BrowserArguments.size(), 1024u - 9);
    EXPECT_EQ(BrowserArguments.find_first_not_of('a'), std::string::npos);
}

// ---- starting the registered program ----

class RecorderTest : public testing::Test {
protected:
    void SetUp() override
    {
        Record = Dir.File("record.bin");
        SetEnvironmentVariableA("PENWISE_URL_RECORD", Record.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("PENWISE_URL_RECORD", nullptr); }

    // Waits for the recorder to write its file; gives the arguments it received.
    std::vector<std::string> Received()
    {
        for (int i = 0; i < 600 && !FileExists(Record); ++i) Sleep(100);
        std::string bytes = pwtest::ReadFileBytes(Record);
        std::vector<std::string> args;
        for (size_t b = 0, e; (e = bytes.find('\0', b)) != std::string::npos; b = e + 1)
            args.push_back(bytes.substr(b, e - b));
        return args;
    }

    pwtest::TempDir Dir;
    std::string Record;
};

TEST_F(RecorderTest, TheBrowserGetsItsArgumentsAndExactlyTheAddress)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".htm", "PwRecorderPage");
    SetDefault("PwRecorderPage\\shell\\open\\command", "\"" + RecorderPath() + "\" -nohome \"%1\"");
    TGoToWeb web(nullptr);
    web.SetBrowserState(gwNormal);
    // Blanks and quotes in a document's address cannot become arguments of their own.
    const std::string url = "http://example.com/a b\" -evil \"c?q=1&r=\\\"";
    web.SetUrl(url);
    ASSERT_TRUE(web.OpenUrl());
    EXPECT_EQ(BrowserArguments, "-nohome");
    EXPECT_EQ(Received(), (std::vector<std::string>{"-nohome", url}));
}

TEST_F(RecorderTest, ACommandWithoutArgumentsPassesOnlyTheAddress)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".html", "");
    SetDefault(".html\\shell\\open\\command", RecorderPath());
    TGoToWeb web(nullptr);
    web.SetUrl("https://example.org/");
    ASSERT_TRUE(web.OpenUrl());
    EXPECT_EQ(BrowserArguments, "");
    EXPECT_EQ(Received(), (std::vector<std::string>{"https://example.org/"}));
}

TEST_F(RecorderTest, AProgramThatCannotStartIsReportedAsNotStarted)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".htm", "PwType");
    SetDefault("PwType\\shell\\open\\command", "\"" + Dir.File("missing.exe") + "\" %1");
    TGoToWeb web(nullptr);
    EXPECT_FALSE(web.OpenUrl());
    EXPECT_FALSE(FileExists(Record));
}

TEST(GoToWeb, StartsWithItsDefaults)
{
    TGoToWeb web(nullptr);
    EXPECT_FALSE(web.Url().empty());
    EXPECT_FALSE(web.EMail().empty());
    EXPECT_EQ(web.BrowserState(), gwMaximized);
    EXPECT_EQ(web.EMailSubject(), "");
}

} // namespace

// ---- a click in a document ----

#include "FrameFixture.h"

namespace {

class DocumentLinkTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        Record = Dir.File("record.bin");
        SetEnvironmentVariableA("PENWISE_URL_RECORD", Record.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("PENWISE_URL_RECORD", nullptr);
        FrameTest::TearDown();
    }
    // Clicks with the mouse on the character at Index of the active document.
    void ClickAt(int Index)
    {
        HWND edit = Doc()->RichEdit()->Handle();
        POINTL p = {};
        SendMessageA(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), Index);
        LPARAM at = MAKELPARAM(p.x + 2, p.y + 4);
        SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(edit, WM_LBUTTONUP, 0, at);
        pwtest::Pump();
    }
    pwtest::TempDir Dir;
    std::string Record;
};

TEST_F(DocumentLinkTest, AClickOnAWebAddressStartsTheBrowserOnIt)
{
    pwtest::RegistryRedirect redirect;
    SetDefault(".htm", "PwRecorderPage");
    SetDefault("PwRecorderPage\\shell\\open\\command", "\"" + RecorderPath() + "\" \"%1\"");
    EXPECT_EQ(Doc()->GoToWeb->BrowserState(), gwNormal);
    Type("read http://example.com/page?a=1 now");
    ClickAt(8);
    for (int i = 0; i < 600 && !FileExists(Record); ++i) Sleep(100);
    EXPECT_EQ(pwtest::ReadFileBytes(Record), std::string("http://example.com/page?a=1") + '\0');
    EXPECT_EQ(Doc()->GoToWeb->Url(), "http://example.com/page?a=1");
}

TEST_F(DocumentLinkTest, WithoutAnAssociationAClickStartsNothingAndSaysNothing)
{
    pwtest::RegistryRedirect redirect;
    pwtest::MessageBoxRecorder boxes;
    Type("http://example.com/");
    ClickAt(3);
    EXPECT_EQ(Doc()->GoToWeb->Url(), "http://example.com/");  // the click arrived
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(FileExists(Record));
}

} // namespace
