// The custom dictionary the registration names for the user: words added with Add go there
// and a new session accepts them.
#include "ImageMachine.h"
#include "Registry.h"
#include "SpellChecker.h"
#include "TestSupport.h"
#include "UserDictionary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace pw;

namespace {

std::string WinPath(std::string p)
{
    for (char& c : p) if (c == '/') c = '\\';
    return p;
}

const char* const CustomKey = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";

class UserDictionaryTest : public testing::Test {
protected:
    void SetUp() override
    {
        TRegistry r;
        r.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(r.OpenKey("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\1033\\Normal", true));
        r.WriteString("Engine", WinPath(SPELL_LIBRARY));
        r.WriteString("Dictionary", WinPath(std::string(SPELL_TEST_DATA) + "/text.dic"));
    }
    std::string CustomValue()
    {
        TRegistry r;
        r.SetRootKey(HKEY_LOCAL_MACHINE);
        return r.OpenKeyReadOnly(CustomKey) ? r.ReadString("1") : "<no key>";
    }
    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
};

} // namespace

TEST_F(UserDictionaryTest, AnAddedWordIsAcceptedInANewSession)
{
    std::string file = Dir.File("CUSTOM.DIC");
    EXPECT_EQ(regspell::RegisterCustomDictionary(file), file);
    EXPECT_EQ(CustomValue(), file);
    {
        TSpellChecker session(nullptr);  // no custom dictionary of its own: the registry's
        EXPECT_FALSE(session.CheckWord("zorblax", 1033));
        session.AddWord("zorblax", 1033);
        auto* engine = dynamic_cast<TCSAPISpeller*>(session.SpellerFor(1033));
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(engine->CustomDictPath(), file);
    }
    TSpellChecker next(nullptr);
    EXPECT_TRUE(next.CheckWord("zorblax", 1033));
    EXPECT_NE(pwtest::ReadFileBytes(file).find("zorblax"), std::string::npos);
}

TEST_F(UserDictionaryTest, ANamedCustomDictionaryIsKept)
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(CustomKey, true));
    r.WriteString("1", "D:\\mine.dic");
    EXPECT_EQ(regspell::RegisterCustomDictionary(Dir.File("CUSTOM.DIC")), "D:\\mine.dic");
    EXPECT_EQ(CustomValue(), "D:\\mine.dic");
}

TEST(UserDictionary, TheUsersFileIsInTheApplicationDataFolder)
{
    std::string file = regspell::UserCustomDictionary();
    ASSERT_GT(file.size(), 20u);
    EXPECT_EQ(file.substr(file.size() - 19), "\\Penwise\\CUSTOM.DIC");
    DWORD a = GetFileAttributesA(file.substr(0, file.size() - 11).c_str());
    EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << file;
}

TEST(LibraryKind, TheRegistrationToolTakesOnlyALibraryOfItsOwnKind)
{
    // The library built with this program is of this program's kind, which is its pointer size.
    std::string library = WinPath(SPELL_LIBRARY);
    EXPECT_EQ(regspell::OwnMachine(), sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(regspell::ImageMachine(library), regspell::OwnMachine());
    // The same library made out to be of the other kind is told apart; a file that is no
    // library, or none at all, is no kind.
    pwtest::TempDir dir;
    std::string bytes = pwtest::ReadFileBytes(library);
    ASSERT_GT(bytes.size(), 0x200u);
    uint32_t header = 0;
    std::memcpy(&header, bytes.data() + 0x3C, 4);
    uint16_t other = sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_AMD64;
    std::memcpy(bytes.data() + header + 4, &other, 2);
    pwtest::WriteFileBytes(dir.File("other.dll"), bytes);
    EXPECT_EQ(regspell::ImageMachine(dir.File("other.dll")), other);
    pwtest::WriteFileBytes(dir.File("words.dll"), "MZ but no more than words");
    EXPECT_EQ(regspell::ImageMachine(dir.File("words.dll")), 0);
    EXPECT_EQ(regspell::ImageMachine(dir.File("missing.dll")), 0);
}
