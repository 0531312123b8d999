// The speller engine with our spelling library, found through a redirected registry.
#include "Registry.h"
#include "SpellChecker.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace pw;

namespace {

std::string WinPath(std::string p)
{
    for (char& c : p) if (c == '/') c = '\\';
    return p;
}

const std::string Library = WinPath(SPELL_LIBRARY);
const std::string Dictionary = WinPath(std::string(SPELL_TEST_DATA) + "/text.dic");

void Register(int language, const std::string& engine, const std::string& dictionary)
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(Format("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%d\\Normal", language), true));
    r.WriteString("Engine", engine);
    r.WriteString("Dictionary", dictionary);
}

std::string CustomDictValue()
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!r.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries")) return "<no key>";
    return r.ReadString("1");
}

class SpellerTest : public testing::Test {
protected:
    void SetUp() override
    {
        Custom = Dir.File("custom.dic");
        Host.SetCustomDict(Custom);
    }
    pwtest::RegistryRedirect Redirect;
    pwtest::TempDir Dir;
    TSpellChecker Host{nullptr};
    std::string Custom;
};

} // namespace

TEST_F(SpellerTest, ALanguageWithoutAnEngineSeesEverythingAsCorrect)
{
    TCSAPISpeller s(1049, 0, &Host);
    EXPECT_TRUE(s.Failed);
    int pos = -1, len = -1;
    EXPECT_EQ(s.CheckText("\xEE\xF8\xE8\xE1\xEA\xE0", 6, pos, len), 0);
    EXPECT_EQ(pos, -1);
    TStringList l;
    l.Add("old");
    s.GetSuggestions("x", &l);
    EXPECT_EQ(l.Count(), 0);
    std::string r = "x";
    s.GetReplacement(r);
    EXPECT_EQ(r, "");
}

TEST_F(SpellerTest, TheSubLanguageFallsBackToItsPrimaryLanguage)
{
    Register(1033, Library, Dictionary);
    TCSAPISpeller s(2057, 0, &Host);
    EXPECT_FALSE(s.Failed);
    EXPECT_EQ(s.EnginePath(), Library);
    EXPECT_EQ(s.Language, 2057);
    int pos = 0, len = 0;
    EXPECT_EQ(s.CheckText("the cat sst", 11, pos, len), 1);
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(len, 3);
    std::string last;
    s.GetLastWord(last);
    EXPECT_EQ(last, "sst");
}

TEST_F(SpellerTest, TheDictionaryOperationsReachTheLibrary)
{
    Register(1033, Library, Dictionary);
    TCSAPISpeller s(1033, 0, &Host);
    int pos = 0, len = 0;
    s.ChangeAlways("teh", "the");
    EXPECT_EQ(s.CheckText("teh cat", 7, pos, len), 2);
    std::string r;
    s.GetReplacement(r);
    EXPECT_EQ(r, "the");
    s.ChangeOnce("mta", "mat");
    EXPECT_EQ(s.CheckText("the mta", 7, pos, len), 3);
    s.IgnoreAlways("zork");
    EXPECT_EQ(s.CheckText("the zork", 8, pos, len), 0);
    s.AddToCustomDict("Penwise");
    EXPECT_EQ(s.CheckText("the Penwise", 11, pos, len), 0);
    EXPECT_NE(pwtest::ReadFileBytes(Custom).find("Penwise"), std::string::npos);
    TStringList l;
    s.GetSuggestions("sentense", &l);
    ASSERT_GT(l.Count(), 0);
    EXPECT_EQ(l.Strings(0), "sentence");
    for (int i = 1; i < l.Count(); ++i) EXPECT_NE(l.Strings(i), l.Strings(0));
    s.GetSuggestions("qqqqqqqqqqqqqqqq", &l);
    EXPECT_EQ(l.Count(), 0);
}

TEST_F(SpellerTest, TheCustomDictionaryDefaultsBesideTheMainOneAndIsWrittenBack)
{
    Register(1033, Library, Dictionary);
    Host.SetCustomDict("");
    TCSAPISpeller s(1033, 0, &Host);
    std::string expected = ExtractFilePath(Dictionary) + "CUSTOM.DIC";
    EXPECT_EQ(s.CustomDictPath(), expected);
    EXPECT_EQ(CustomDictValue(), expected);
    DeleteFileA(expected.c_str());
}

TEST_F(SpellerTest, AGivenCustomDictionaryIsUsedAndTheHandlerMayChangeIt)
{
    Register(1033, Library, Dictionary);
    std::string seen;
    Host.OnGetDictionary = [&](TObject*, TLanguage lang, std::string& dict) {
        seen = dict;
        EXPECT_EQ(lang, 1033);
        dict = Dir.File("chosen.dic");
    };
    TCSAPISpeller s(1033, 0, &Host);
    EXPECT_EQ(seen, Custom);
    EXPECT_EQ(s.CustomDictPath(), Dir.File("chosen.dic"));
    EXPECT_EQ(CustomDictValue(), "<no key>");  // nothing written
}

TEST_F(SpellerTest, FailuresCarryTheirMessages)
{
    Register(1033, "Z:\\no\\such\\speller.dll", Dictionary);
    try {
        TCSAPISpeller s(1033, 0, &Host);
        FAIL() << "a missing library was accepted";
    } catch (const ESpellError& e) {
        EXPECT_EQ(e.Message(), "Error loading Spell DLL Z:\\no\\such\\speller.dll");
    }
    Register(1033, Library, Dir.File("missing.dic"));
    try {
        TCSAPISpeller s(1033, 0, &Host);
        FAIL() << "a missing dictionary was accepted";
    } catch (const ESpellError& e) {
        EXPECT_EQ(e.Message(), "Spelling error No 3");
    }
}
