// The spelling library through its exported entry points, loaded and called as the program
// calls a proofing library.
#include "Csapi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace pwspell;

namespace {

using FInit = uint32_t(__cdecl*)(uint32_t*, const SpecialChars*);
using FOptions = uint32_t(__cdecl*)(uint32_t, uint32_t);
using FOpenMdr = uint32_t(__cdecl*)(uint32_t, const char*, const char*, uint32_t, uint32_t, uint32_t, MainDictRecord*);
using FOpenUdr = uint32_t(__cdecl*)(uint32_t, const char*, uint32_t, uint32_t, uint32_t*, uint16_t*);
using FCheck = uint32_t(__cdecl*)(uint32_t, uint32_t, InputBuffer*, ReturnBuffer*);
using FAddUdr = uint32_t(__cdecl*)(uint32_t, uint32_t, const char*);
using FAddChange = uint32_t(__cdecl*)(uint32_t, uint32_t, const char*, const char*);
using FCloseMdr = uint32_t(__cdecl*)(uint32_t, MainDictRecord*);
using FCloseUdr = uint32_t(__cdecl*)(uint32_t, uint32_t, uint32_t);
using FTerminate = uint32_t(__cdecl*)(uint32_t, uint32_t);

template <class F>
F Proc(HMODULE m, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

std::string Data(const std::string& name) { return std::string(PROOFING_TEST_DATA) + "/" + name; }

class Library : public testing::Test {
protected:
    void SetUp() override
    {
        Module = LoadLibraryA("PWSPELL.DLL");
        ASSERT_NE(Module, nullptr);
        for (const char* name : {"SpellVer", "SpellInit", "SpellOptions", "SpellCheck", "SpellTerminate", "SpellVerifyMdr",
                                 "SpellOpenMdr", "SpellOpenUdr", "SpellAddUdr", "SpellAddChangeUdr", "SpellDelUdr",
                                 "SpellClearUdr", "SpellGetSizeUdr", "SpellGetListUdr", "SpellCloseMdr", "SpellCloseUdr"})
            ASSERT_NE(GetProcAddress(Module, name), nullptr) << name;
        Init = Proc<FInit>(Module, "SpellInit");
        Options = Proc<FOptions>(Module, "SpellOptions");
        OpenMdr = Proc<FOpenMdr>(Module, "SpellOpenMdr");
        OpenUdr = Proc<FOpenUdr>(Module, "SpellOpenUdr");
        Check = Proc<FCheck>(Module, "SpellCheck");
        AddUdr = Proc<FAddUdr>(Module, "SpellAddUdr");
        AddChange = Proc<FAddChange>(Module, "SpellAddChangeUdr");
        CloseMdr = Proc<FCloseMdr>(Module, "SpellCloseMdr");
        CloseUdr = Proc<FCloseUdr>(Module, "SpellCloseUdr");
        Terminate = Proc<FTerminate>(Module, "SpellTerminate");
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        UserPath = std::string(tmp) + "pwspell-test-" + std::to_string(GetCurrentProcessId()) + ".dic";
        DeleteFileA(UserPath.c_str());
        Strings.assign(1024, '\0');
        Ratings.assign(255, 0);
    }
    void TearDown() override
    {
        if (Id) {
            CloseMdr(Id, &Main);
            CloseUdr(Id, Udr, 1);
            Terminate(Id, 1);
        }
        DeleteFileA(UserPath.c_str());
        if (Module) FreeLibrary(Module);
    }
    void Open(const std::string& dic, uint32_t language, uint32_t options)
    {
        SpecialChars sc = {0x00, 0x2D, 0x1F, 0x1E, 0x97, 0x96, 0x85, {0x0B, 0x0A}, {0x0D, 0x0A}};
        ASSERT_EQ(Init(&Id, &sc), 0u);
        ASSERT_EQ(Options(Id, options), 0u);
        ASSERT_EQ(OpenMdr(Id, dic.c_str(), nullptr, 0, 1, language, &Main), 0u);
        EXPECT_EQ(Main.Language, language);
        uint16_t readOnly = 7;
        ASSERT_EQ(OpenUdr(Id, UserPath.c_str(), 1, 0xFFFE, &Udr, &readOnly), 0u);
    }
    // One check of text with the given state: gives the code, sets Pos and Len.
    int Verify(const std::string& text, uint16_t state = 0)
    {
        InputBuffer ib = {static_cast<uint16_t>(text.size()), 1, 1, state, text.c_str(), &Main, &Udr};
        ReturnBuffer rb = {0, 0, 0, 0, 0, 1024, Strings.data(), Ratings.data(), 255, 0};
        EXPECT_EQ(Check(Id, 2, &ib, &rb), 0u);
        Pos = rb.ErrorPosition;
        Len = rb.ErrorLength;
        return rb.Status & 0xFF;
    }
    std::vector<std::string> Suggestions(const std::string& word, int& calls)
    {
        std::vector<std::string> out;
        std::vector<char> area(2048, '\0');
        std::vector<uint8_t> ratings(256, 0);
        InputBuffer ib = {static_cast<uint16_t>(word.size()), 1, 1, 0, word.c_str(), &Main, &Udr};
        ReturnBuffer rb = {0, 0, 0, 0, 0, 2047, area.data(), ratings.data(), 255, 0};
        EXPECT_EQ(Check(Id, 3, &ib, &rb), 0u);
        calls = 1;
        while (rb.Status != 8 && calls < 20) {
            for (const char* p = area.data(); *p; p += std::strlen(p) + 1) out.push_back(p);
            EXPECT_EQ(Check(Id, 4, &ib, &rb), 0u);
            ++calls;
        }
        return out;
    }
    std::string FirstString() const { return Strings.data(); }

    HMODULE Module = nullptr;
    FInit Init; FOptions Options; FOpenMdr OpenMdr; FOpenUdr OpenUdr; FCheck Check; FAddUdr AddUdr;
    FAddChange AddChange; FCloseMdr CloseMdr; FCloseUdr CloseUdr; FTerminate Terminate;
    uint32_t Id = 0, Udr = 0;
    MainDictRecord Main = {};
    std::string UserPath;
    std::vector<char> Strings;
    std::vector<uint8_t> Ratings;
    int Pos = -1, Len = -1;
};

} // namespace

TEST_F(Library, UnknownWordsAndCapitalisation)
{
    Open(Data("text.dic"), 1033, 0);
    EXPECT_EQ(Verify("this is a sentence"), 0);
    EXPECT_EQ(Verify("the cat sst on the mat"), 1);
    EXPECT_EQ(Pos, 8);
    EXPECT_EQ(Len, 3);
    EXPECT_EQ(Verify("the end of paris"), 5);
    EXPECT_EQ(Pos, 11);
    EXPECT_EQ(FirstString(), "Paris");
}

TEST_F(Library, OptionsFindSentenceRepeatSpacesAndNumerals)
{
    Open(Data("text.dic"), 1033, 0x10 | 0x20 | 0x40 | 0x80 | 0x800);
    EXPECT_EQ(Verify("this is a sentence."), 10);
    EXPECT_EQ(FirstString(), "This");
    EXPECT_EQ(Verify("This is is a sentence."), 11);
    EXPECT_EQ(Pos, 8);
    EXPECT_EQ(Len, 2);
    EXPECT_EQ(Verify("This is  a sentence."), 12);
    EXPECT_EQ(Verify("The end.The cat"), 13);
    EXPECT_EQ(Verify("The 2cats sat."), 14);
    // The state carries the sentence and the previous word from one call to the next.
    EXPECT_EQ(Verify("The end."), 0);
    EXPECT_EQ(Verify(" the cat", 1), 10);
    EXPECT_EQ(Verify("The cat"), 0);
    EXPECT_EQ(Verify(" cat sat", 1), 11);
    // A reported word counts as passed when the caller goes on after it.
    EXPECT_EQ(Verify("the end."), 10);
    EXPECT_EQ(Verify(" end.", 1), 0);
    EXPECT_EQ(Verify("The cat cat"), 11);
    EXPECT_EQ(Verify(" cat", 1), 11);
    EXPECT_EQ(Verify("The qzx"), 1);
    EXPECT_EQ(Verify(" sat", 1), 0);
}

TEST_F(Library, IgnoreOptionsSuppressErrors)
{
    Open(Data("text.dic"), 1033, 0x2 | 0x4 | 0x8);
    EXPECT_EQ(Verify("the NASA cat"), 0);
    EXPECT_EQ(Verify("the cat2x sat"), 0);
    EXPECT_EQ(Verify("the XIV cat"), 0);
}

TEST_F(Library, ListsOfTheInstanceAndTheUserDictionary)
{
    Open(Data("text.dic"), 1033, 0);
    ASSERT_EQ(AddChange(Id, 0xFFFD, "teh", "the"), 0u);
    EXPECT_EQ(Verify("teh cat"), 2);
    EXPECT_EQ(FirstString(), "the");
    ASSERT_EQ(AddChange(Id, 0xFFFC, "mta", "mat"), 0u);
    EXPECT_EQ(Verify("the mta"), 3);
    EXPECT_EQ(FirstString(), "mat");
    ASSERT_EQ(AddUdr(Id, 0xFFFE, "zork"), 0u);
    EXPECT_EQ(Verify("the zork"), 0);
    ASSERT_EQ(AddUdr(Id, Udr, "Penwise"), 0u);
    EXPECT_EQ(Verify("the Penwise cat"), 0);
    // The word is in the file at once.
    std::ifstream f(UserPath);
    std::string line;
    std::getline(f, line);
    EXPECT_EQ(line.substr(0, 7), "Penwise");
}

TEST_F(Library, SuggestionsComeInBatchesThenStatusEight)
{
    Open(Data("text.dic"), 1033, 0);
    int calls = 0;
    std::vector<std::string> s = Suggestions("sentense", calls);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0], "sentence");
    EXPECT_GE(calls, 2);
    s = Suggestions("Sentense", calls);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0], "Sentence");  // the word's capitals
    s = Suggestions("qqqqqqqqqqqqqqqq", calls);
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(calls, 1);  // the first call already says there is nothing
}

TEST_F(Library, ATinyStringAreaIsNeverOverrun)
{
    Open(Data("text.dic"), 1033, 0);
    std::string word = "sentense";
    char area[4] = {'x', 'x', 'x', 'x'};
    uint8_t ratings[4] = {};
    InputBuffer ib = {static_cast<uint16_t>(word.size()), 1, 1, 0, word.c_str(), &Main, &Udr};
    ReturnBuffer rb = {0, 0, 0, 0, 0, 1, area, ratings, 1, 0};
    EXPECT_EQ(Check(Id, 3, &ib, &rb), 0u);
    EXPECT_EQ(area[1], 'x');
    EXPECT_EQ(area[2], 'x');
}

TEST_F(Library, BadInputGivesAStatusOrAVerdict)
{
    Open(Data("text.dic"), 1033, 0);
    std::string big(65535, 'a');
    for (size_t i = 1; i < big.size(); i += 2) big[i] = ' ';
    EXPECT_EQ(Verify(big), 0);  // the word "a", over and over
    EXPECT_EQ(Verify(std::string("the\0cat", 7)), 0);
    EXPECT_EQ(Verify(std::string(1000, 'w')), 1);
    MainDictRecord other = {};
    uint32_t id2 = 0;
    SpecialChars sc = {};
    ASSERT_EQ(Init(&id2, &sc), 0u);
    EXPECT_NE(OpenMdr(id2, Data("missing.dic").c_str(), nullptr, 0, 1, 1033, &other), 0u);
    uint32_t udr = 0;
    EXPECT_NE(OpenUdr(id2, "Z:\\no\\such\\folder\\custom.dic", 1, 0xFFFE, &udr, nullptr), 0u);
    EXPECT_EQ(Terminate(id2, 1), 0u);
    EXPECT_NE(Terminate(id2, 1), 0u);
}

TEST_F(Library, MalformedDictionariesFailToOpen)
{
    Open(Data("text.dic"), 1033, 0);
    for (const char* name : {"truncated.dic", "badset.dic", "missing.dic"}) {
        MainDictRecord other = {};
        uint32_t id2 = 0;
        SpecialChars sc = {};
        ASSERT_EQ(Init(&id2, &sc), 0u);
        EXPECT_NE(OpenMdr(id2, Data(name).c_str(), nullptr, 0, 1, 1033, &other) & 0xFFFF, 0u) << name;
        // The instance stays usable for what needs no dictionary, and is ended cleanly.
        EXPECT_EQ(Terminate(id2, 1), 0u) << name;
    }
}

TEST_F(Library, AUserDictionaryThatCannotBeWrittenGivesAStatus)
{
    Open(Data("text.dic"), 1033, 0);
    ASSERT_EQ(AddUdr(Id, Udr, "penwize"), 0u);
    // A folder where the file was: no one can write to it, not even an administrator.
    ASSERT_TRUE(DeleteFileA(UserPath.c_str()));
    ASSERT_TRUE(CreateDirectoryA(UserPath.c_str(), nullptr));
    EXPECT_NE(AddUdr(Id, Udr, "zorblat") & 0xFFFF, 0u);
    RemoveDirectoryA(UserPath.c_str());
    // The word written before is still known; the refused one is not.
    EXPECT_EQ(Verify("penwize"), 0);
    EXPECT_EQ(Verify("zorblat"), 1);
}

TEST_F(Library, AReplacementNeverOverrunsAOneByteArea)
{
    Open(Data("text.dic"), 1033, 0);
    ASSERT_EQ(AddChange(Id, 0xFFFD, "teh", "the"), 0u);
    std::string text = "teh";
    char area[4] = {'x', 'x', 'x', 'x'};
    uint8_t ratings[4] = {};
    InputBuffer ib = {static_cast<uint16_t>(text.size()), 1, 1, 0, text.c_str(), &Main, &Udr};
    ReturnBuffer rb = {0, 0, 0, 0, 0, 1, area, ratings, 1, 0};
    EXPECT_EQ(Check(Id, 2, &ib, &rb), 0u);
    EXPECT_EQ(rb.Status & 0xFF, 2);
    EXPECT_EQ(area[0], '\0');
    EXPECT_EQ(area[1], 'x');
}

TEST_F(Library, RussianTextInItsCodePage)
{
    std::string dic = std::string(HUNSPELL_DIR) + "/ru_RU.dic";
    if (GetFileAttributesA(dic.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "ru_RU not installed";
    Open(dic, 1049, 0);
    EXPECT_EQ(Verify("\xEF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0"), 0);  // "привет мир" in code page 1251
    EXPECT_EQ(Verify("\xEF\xF0\xE8\xE2\xE5\xF2\xF2 \xEC\xE8\xF0"), 1);
    EXPECT_EQ(Len, 7);
    int calls = 0;
    std::vector<std::string> s = Suggestions("\xEF\xF0\xE8\xE2\xE5\xF2\xF2", calls);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0], "\xEF\xF0\xE8\xE2\xE5\xF2");
}
