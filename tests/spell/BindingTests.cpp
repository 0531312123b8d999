// The engine binding through a recording spelling library: the calls it makes, with their
// arguments and the records' contents, the registry rules and the failures.
#include "FakeSpell.h"
#include "Languages.h"
#include "Registry.h"
#include "SpellChecker.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace pw;

namespace {

std::string WinPath(std::string p)
{
    for (char& c : p) if (c == '/') c = '\\';
    return p;
}

const std::string Fake = WinPath(FAKE_LIBRARY);
const std::string Partial = WinPath(PARTIAL_LIBRARY);
const char* const CustomKey = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";

void Register(int language, const std::string& engine, const std::string& dictionary)
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(Format("SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%d\\Normal", language), true));
    r.WriteString("Engine", engine);
    r.WriteString("Dictionary", dictionary);
}

std::string CustomValue()
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!r.OpenKeyReadOnly(CustomKey)) return "<no key>";
    if (!r.ValueExists("1")) return "<no value>";
    return r.ReadString("1");
}

void SetCustomValue(const std::string& v)
{
    TRegistry r;
    r.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(r.OpenKey(CustomKey, true));
    r.WriteString("1", v);
}

std::vector<std::string> Lines(const std::string& log)
{
    std::vector<std::string> v;
    std::istringstream in(log);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

// The test's own hold on the recording library, through which it reads the log and scripts
// the answers.
class FakeLibrary {
public:
    explicit FakeLibrary(const std::string& path) : FModule(LoadLibraryA(path.c_str()))
    {
        EXPECT_NE(FModule, nullptr) << path;
        Reset = Entry<TFakeReset>("FakeReset");
        Log = Entry<TFakeLog>("FakeLog");
        FailNext = Entry<TFakeFailNext>("FakeFailNext");
        QueueCheck = Entry<TFakeQueueCheck>("FakeQueueCheck");
        QueueSuggestions = Entry<TFakeQueueSuggestions>("FakeQueueSuggestions");
        Reset();
    }
    ~FakeLibrary() { FreeLibrary(FModule); }
    std::vector<std::string> Calls() const { return Lines(Log()); }
    TFakeReset Reset;
    TFakeLog Log;
    TFakeFailNext FailNext;
    TFakeQueueCheck QueueCheck;
    TFakeQueueSuggestions QueueSuggestions;
private:
    HMODULE FModule;
    template <class F>
    F Entry(const char* name)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(FModule, name)));
    }
};

class BindingTest : public testing::Test {
protected:
    pwtest::RegistryRedirect Redirect;
    FakeLibrary Library{Fake};
    TSpellChecker Checker{nullptr};
    const std::string Main = "C:\\dicts\\en\\main.lex";
};

const char* const Init = "SpellInit(special=00 2D 1F 1E 97 96 85 0B 0A 0D 0A)";

} // namespace

// ---- the call sequence ----

TEST_F(BindingTest, CreationOpensTheInstanceWithItsDictionaries)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\mine\\words.dic");
    TCSAPISpeller s(1033, 0x00FF, &Checker);
    EXPECT_FALSE(s.Failed);
    std::vector<std::string> expected = {
        Init,
        "SpellOptions(0x51d0, 0xff)",
        "SpellOpenMdr(0x51d0, 'C:\\dicts\\en\\main.lex', null, 0, 1, 1033)",
        "SpellOpenUdr(0x51d0, 'C:\\mine\\words.dic', 1, 0xfffe)",
    };
    EXPECT_EQ(Library.Calls(), expected);
}

TEST_F(BindingTest, ChecksPassTheTextWithTheStateWordAndReportTheRange)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.Reset();
    Library.QueueCheck(1, 8, 3, "");
    Library.QueueCheck(0, 0, 0, "");
    int pos = -1, len = -1;
    EXPECT_EQ(s.CheckText("the cat sst on", 14, pos, len), 1);
    EXPECT_EQ(pos, 8);
    EXPECT_EQ(len, 3);
    std::string word;
    s.GetLastWord(word);
    EXPECT_EQ(word, "sst");
    pos = len = -7;
    EXPECT_EQ(s.ContinueCheckText("the mat", 7, pos, len), 0);
    EXPECT_EQ(pos, -7) << "a clean check leaves the range untouched";
    EXPECT_EQ(len, -7);
    std::vector<std::string> expected = {
        "SpellCheck(0x51d0, 2, in{len=14 mdrs=1 udrs=1 state=0 text='the cat sst on' mdr=@own udr=@own}, "
        "ret{strings=1024 ratings=255})",
        "SpellCheck(0x51d0, 2, in{len=7 mdrs=1 udrs=1 state=1 text='the mat' mdr=@own udr=@own}, "
        "ret{strings=1024 ratings=255})",
    };
    EXPECT_EQ(Library.Calls(), expected);
}

TEST_F(BindingTest, OnlyThePassedLengthOfTheTextIsChecked)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.Reset();
    int pos = 0, len = 0;
    s.CheckText("first second", 5, pos, len);
    ASSERT_EQ(Library.Calls().size(), 1u);
    EXPECT_NE(Library.Calls()[0].find("len=5 mdrs=1 udrs=1 state=0 text='first'"), std::string::npos)
        << Library.Calls()[0];
}

TEST_F(BindingTest, TheReplacementIsTheFirstStringOfTheReturnBuffer)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.QueueCheck(2, 0, 3, "the");
    int pos = 0, len = 0;
    EXPECT_EQ(s.CheckText("teh cat", 7, pos, len), 2);
    std::string r;
    s.GetReplacement(r);
    EXPECT_EQ(r, "the");
    Library.QueueCheck(3, 4, 3, "mat");
    EXPECT_EQ(s.CheckText("the mta", 7, pos, len), 3);
    s.GetReplacement(r);
    EXPECT_EQ(r, "mat");
}

TEST_F(BindingTest, DictionaryOperationsUseTheirLists)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.Reset();
    s.ChangeOnce("sst", "sat");
    s.ChangeAlways("teh", "the");
    s.AddToCustomDict("Penwise");
    s.IgnoreAlways("zork");
    std::vector<std::string> expected = {
        "SpellAddChangeUdr(0x51d0, 0xfffc, 'sst', 'sat')",
        "SpellAddChangeUdr(0x51d0, 0xfffd, 'teh', 'the')",
        "SpellAddUdr(0x51d0, 0xdd1, 'Penwise')",
        "SpellAddUdr(0x51d0, 0xfffe, 'zork')",
    };
    EXPECT_EQ(Library.Calls(), expected);
}

TEST_F(BindingTest, DestructionClosesBothDictionariesAndTheInstance)
{
    Register(2057, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    {
        TCSAPISpeller s(2057, 0, &Checker);
        Library.Reset();
    }
    std::vector<std::string> expected = {
        "SpellCloseMdr(0x51d0, @own handle=0xd1c7 lang=2057)",
        "SpellCloseUdr(0x51d0, 0xdd1, 1)",
        "SpellTerminate(0x51d0, 1)",
    };
    EXPECT_EQ(Library.Calls(), expected);
}

// ---- suggestions ----

TEST_F(BindingTest, SuggestionsComeInBatchesUntilStatusEightWithDuplicatesDropped)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.Reset();
    Library.QueueSuggestions(std::string("sat\0set\0sat\0", 13).c_str());
    Library.QueueSuggestions(std::string("set\0sit\0", 9).c_str());
    TStringList list;
    list.Add("stale");
    s.GetSuggestions("sst", &list);
    EXPECT_EQ(list.Text(), "sat\r\nset\r\nsit\r\n");
    std::string in = "in{len=3 mdrs=1 udrs=1 state=0 text='sst' mdr=@own udr=@own}, ret{strings=2047 ratings=255})";
    std::vector<std::string> expected = {
        "SpellCheck(0x51d0, 3, " + in,
        "SpellCheck(0x51d0, 4, " + in,
        "SpellCheck(0x51d0, 4, " + in,
    };
    EXPECT_EQ(Library.Calls(), expected);
}

TEST_F(BindingTest, AWordWithoutSuggestionsAsksOnceAndLeavesTheListEmpty)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    Library.Reset();
    TStringList list;
    list.Add("stale");
    s.GetSuggestions("qqqq", &list);
    EXPECT_EQ(list.Count(), 0);
    ASSERT_EQ(Library.Calls().size(), 1u);
    EXPECT_EQ(Library.Calls()[0].rfind("SpellCheck(0x51d0, 3, in{len=4", 0), 0u) << Library.Calls()[0];
}

// ---- the registry ----

TEST_F(BindingTest, ASubLanguageFallsBackToItsPrimaryLanguageButKeepsItsOwnLanguage)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(2057, 0, &Checker);
    EXPECT_FALSE(s.Failed);
    EXPECT_EQ(s.Language, 2057);
    EXPECT_EQ(s.EnginePath(), Fake);
    ASSERT_GE(Library.Calls().size(), 3u);
    EXPECT_EQ(Library.Calls()[2], "SpellOpenMdr(0x51d0, 'C:\\dicts\\en\\main.lex', null, 0, 1, 2057)");
}

TEST_F(BindingTest, ItsOwnKeyWinsOverThePrimaryLanguage)
{
    Register(1033, "Z:\\no\\such.dll", Main);
    Register(2057, Fake, "C:\\dicts\\gb.lex");
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(2057, 0, &Checker);
    EXPECT_EQ(s.DictionaryPath(), "C:\\dicts\\gb.lex");
}

TEST_F(BindingTest, ALanguageWithoutAKeyLoadsNothingAndPassesEverything)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1049, 0, &Checker);  // Russian: neither 1049 nor its primary default is there
    EXPECT_TRUE(s.Failed);
    int pos = -1, len = -1;
    EXPECT_EQ(s.CheckText("\xEE\xF8\xE8\xE1\xEA\xE0", 6, pos, len), 0);
    EXPECT_EQ(s.ContinueCheckText("\xEE\xF8", 2, pos, len), 0);
    TStringList l;
    l.Add("old");
    s.GetSuggestions("x", &l);
    EXPECT_EQ(l.Count(), 0);
    std::string r = "x";
    s.GetReplacement(r);
    EXPECT_EQ(r, "");
    r = "x";
    s.GetLastWord(r);
    EXPECT_EQ(r, "");
    s.AddToCustomDict("a");
    s.IgnoreAlways("b");
    s.ChangeOnce("c", "d");
    s.ChangeAlways("e", "f");
    EXPECT_TRUE(Library.Calls().empty());
}

TEST_F(BindingTest, ALanguageWithoutAKeyWritesNoCustomDictionary)
{
    bool asked = false;
    Checker.OnGetDictionary = [&](TObject*, TLanguage, std::string&) { asked = true; };
    {
        TCSAPISpeller missing(1049, 0, &Checker);
        EXPECT_TRUE(missing.Failed);
        EXPECT_EQ(missing.CustomDictPath(), "");
    }
    EXPECT_FALSE(asked);
    EXPECT_EQ(CustomValue(), "<no key>");
    // The engine of a language that has a key is not given a relative path afterwards.
    Register(1033, Fake, Main);
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "C:\\dicts\\en\\CUSTOM.DIC");
}

TEST_F(BindingTest, WithNothingChosenTheCustomDictionaryIsBesideTheMainOneAndRemembered)
{
    Register(1033, Fake, Main);
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "C:\\dicts\\en\\CUSTOM.DIC");
    EXPECT_EQ(CustomValue(), "C:\\dicts\\en\\CUSTOM.DIC");
    EXPECT_EQ(Library.Calls()[3], "SpellOpenUdr(0x51d0, 'C:\\dicts\\en\\CUSTOM.DIC', 1, 0xfffe)");
}

TEST_F(BindingTest, AnEmptyRememberedValueCountsAsNothingChosen)
{
    Register(1033, Fake, Main);
    SetCustomValue("");
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "C:\\dicts\\en\\CUSTOM.DIC");
    EXPECT_EQ(CustomValue(), "C:\\dicts\\en\\CUSTOM.DIC");
}

TEST_F(BindingTest, TheRememberedCustomDictionaryIsUsed)
{
    Register(1033, Fake, Main);
    SetCustomValue("D:\\user\\my.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "D:\\user\\my.dic");
    EXPECT_EQ(CustomValue(), "D:\\user\\my.dic");
}

TEST_F(BindingTest, TheDriversCustomDictionaryIsUsedAndNothingIsWritten)
{
    Register(1033, Fake, Main);
    SetCustomValue("D:\\user\\my.dic");
    Checker.SetCustomDict("E:\\driver.dic");
    std::string seen;
    TLanguage seenLanguage = 0;
    TObject* seenSender = nullptr;
    Checker.OnGetDictionary = [&](TObject* sender, TLanguage language, std::string& dict) {
        seenSender = sender;
        seenLanguage = language;
        seen = dict;
    };
    TCSAPISpeller s(2057, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "E:\\driver.dic");
    EXPECT_EQ(seen, "E:\\driver.dic");
    EXPECT_EQ(seenLanguage, 2057);
    EXPECT_EQ(seenSender, &Checker);
    EXPECT_EQ(CustomValue(), "D:\\user\\my.dic");
}

TEST_F(BindingTest, TheDriversCustomDictionaryCreatesNoKey)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("E:\\driver.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(CustomValue(), "<no key>");
}

TEST_F(BindingTest, TheHandlerMayReplaceTheChoice)
{
    Register(1033, Fake, Main);
    SetCustomValue("D:\\user\\my.dic");
    std::string seen;
    Checker.OnGetDictionary = [&](TObject*, TLanguage, std::string& dict) {
        seen = dict;
        dict = "F:\\handler.dic";
    };
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(seen, "D:\\user\\my.dic");
    EXPECT_EQ(s.CustomDictPath(), "F:\\handler.dic");
    EXPECT_EQ(CustomValue(), "D:\\user\\my.dic");
}

TEST_F(BindingTest, AHandlerThatClearsTheChoiceGetsTheDefaultWrittenBack)
{
    Register(1033, Fake, Main);
    SetCustomValue("D:\\user\\my.dic");
    Checker.OnGetDictionary = [&](TObject*, TLanguage, std::string& dict) { dict.clear(); };
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_EQ(s.CustomDictPath(), "C:\\dicts\\en\\CUSTOM.DIC");
    EXPECT_EQ(CustomValue(), "C:\\dicts\\en\\CUSTOM.DIC");
}

// ---- failures ----

TEST_F(BindingTest, AMissingLibraryCannotBeLoaded)
{
    Register(1033, "Z:\\no\\such\\speller.dll", Main);
    try {
        TCSAPISpeller s(1033, 0, &Checker);
        FAIL() << "a missing library was accepted";
    } catch (const ESpellError& e) {
        EXPECT_EQ(e.Message(), "Error loading Spell DLL Z:\\no\\such\\speller.dll");
    }
}

TEST_F(BindingTest, ALibraryWithoutAllEntryPointsIsRefusedAndFreed)
{
    Register(1033, Partial, Main);
    try {
        TCSAPISpeller s(1033, 0, &Checker);
        FAIL() << "a library without SpellClearUdr was accepted";
    } catch (const ESpellError& e) {
        EXPECT_EQ(e.Message(), "Error loading Spell DLL " + Partial);
    }
    EXPECT_EQ(GetModuleHandleA("FAKEPART.DLL"), nullptr);
}

TEST_F(BindingTest, AFailingCallRaisesItsLowWordAsUnsignedNumber)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    const struct { const char* Entry; uint32_t Status; const char* Message; } cases[] = {
        {"SpellInit", 5, "Spelling error No 5"},
        {"SpellOptions", 0x00030007, "Spelling error No 7"},
        {"SpellOpenMdr", 3, "Spelling error No 3"},
        {"SpellOpenUdr", 0xFFFF, "Spelling error No 65535"},
    };
    for (const auto& c : cases) {
        Library.Reset();
        Library.FailNext(c.Entry, c.Status);
        try {
            TCSAPISpeller s(1033, 0, &Checker);
            ADD_FAILURE() << c.Entry << " failing was not noticed";
        } catch (const ESpellError& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Entry;
        }
        // The instance is given back; nothing else is called after the failure.
        EXPECT_EQ(Library.Calls().back(), "SpellTerminate(0x51d0, 1)") << c.Entry;
    }
}

TEST_F(BindingTest, AStatusWhoseLowWordIsZeroIsSuccess)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    Library.FailNext("SpellOpenMdr", 0x00010000);
    TCSAPISpeller s(1033, 0, &Checker);
    EXPECT_FALSE(s.Failed);
}

TEST_F(BindingTest, FailingOperationsRaiseTheirStatus)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TCSAPISpeller s(1033, 0, &Checker);
    int pos = 0, len = 0;
    Library.FailNext("SpellCheck", 7);
    EXPECT_THROW(s.CheckText("abc", 3, pos, len), ESpellError);
    Library.FailNext("SpellAddUdr", 6);
    try {
        s.AddToCustomDict("abc");
        ADD_FAILURE() << "no error";
    } catch (const ESpellError& e) {
        EXPECT_EQ(e.Message(), "Spelling error No 6");
    }
    Library.FailNext("SpellAddChangeUdr", 2);
    EXPECT_THROW(s.ChangeAlways("a", "b"), ESpellError);
    TStringList l;
    Library.FailNext("SpellCheck", 1);
    EXPECT_THROW(s.GetSuggestions("abc", &l), ESpellError);
}

TEST_F(BindingTest, AFailingTeardownIsReportedAndStillFinishes)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    pwtest::MessageBoxRecorder boxes;
    {
        TCSAPISpeller s(1033, 0, &Checker);
        Library.Reset();
        Library.FailNext("SpellCloseMdr", 4);
    }
    std::vector<std::string> calls = Library.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2], "SpellTerminate(0x51d0, 1)");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text.rfind("Spelling error No 4", 0), 0u) << boxes.Shown()[0].Text;
}

// ---- the driver's engines ----

TEST_F(BindingTest, TheDriverKeepsOneEngineForEachLanguageAndGivesItsOptions)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    TSpellOptions o{spoSuggestFromUserDict, spoFindRepeatWord, spoFindInitialNumerals};
    EXPECT_EQ(o.Word(), 0x0841);
    Checker.SetOptions(o);
    TAbstractSpeller* a = Checker.SpellerFor(1033);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Checker.SpellerFor(1033), a);
    EXPECT_EQ(Checker.SpellerCount(), 1);
    EXPECT_EQ(Library.Calls()[1], "SpellOptions(0x51d0, 0x841)");
    // A language whose engine cannot be created has none, and its words pass; the user is
    // told once why, and the library is not tried again for every word.
    pwtest::MessageBoxRecorder boxes;
    Register(1036, "Z:\\no\\such.dll", Main);
    EXPECT_EQ(Checker.SpellerFor(1036), nullptr);
    EXPECT_TRUE(Checker.CheckWord("mot", 1036));
    TStringList l;
    l.Add("x");
    Checker.GetVariants("mot", &l, 1036);
    EXPECT_EQ(l.Count(), 0);
    Checker.AddWord("mot", 1036);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Spelling in " + LanguageName(1036) +
                                         " is not checked: Error loading Spell DLL Z:\\no\\such.dll.\r\r"
                                         "Spelling library: Z:\\no\\such.dll\rDictionary: " + Main +
                                         "\rCustom dictionary: C:\\c.dic.");
}

TEST_F(BindingTest, TheDriversWordServicesGoToTheEngineOfTheLanguage)
{
    Register(1033, Fake, Main);
    Checker.SetCustomDict("C:\\c.dic");
    Library.QueueCheck(1, 0, 4, "");
    EXPECT_FALSE(Checker.CheckWord("wrod", 1033));
    EXPECT_TRUE(Checker.CheckWord("word", 1033));
    Library.QueueSuggestions(std::string("word\0", 6).c_str());
    TStringList l;
    Checker.GetVariants("wrod", &l, 1033);
    EXPECT_EQ(l.Text(), "word\r\n");
    Library.Reset();
    Checker.AddWord("Penwise", 1033);
    EXPECT_EQ(Library.Calls(), std::vector<std::string>{"SpellAddUdr(0x51d0, 0xdd1, 'Penwise')"});
}

// ---- the registry view ----

// A registration written straight into the machine's keys of the prefix (not a redirected
// copy: only those have the two views) in one view of the registry, removed afterwards.
class ViewRegistration {
public:
    ViewRegistration(REGSAM View, int Language, const std::string& Engine) : FView(View), FLanguage(Language)
    {
        HKEY k = nullptr;
        std::string key = Format("%s\\%d\\Normal", SpellingRoot, Language);
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | View, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        if (!k) return;
        RegSetValueExA(k, "Engine", 0, REG_SZ, reinterpret_cast<const BYTE*>(Engine.c_str()),
                       static_cast<DWORD>(Engine.size() + 1));
        RegSetValueExA(k, "Dictionary", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\main.lex"), 12);
        RegCloseKey(k);
    }
    ~ViewRegistration()
    {
        HKEY root = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SpellingRoot, 0, KEY_ALL_ACCESS | FView, &root) != ERROR_SUCCESS) return;
        RegDeleteKeyA(root, Format("%d\\Normal", FLanguage).c_str());
        RegDeleteKeyA(root, Format("%d", FLanguage).c_str());
        RegCloseKey(root);
    }
private:
    static constexpr const char* SpellingRoot = "SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling";
    REGSAM FView;
    int FLanguage;
};

TEST(RegistryView, TheEngineIsTheOneRegisteredInTheViewOfTheProgramsOwnArchitecture)
{
    // A 64-bit program can load only a 64-bit library, which a 64-bit installation registers
    // in the 64-bit view; a 32-bit one reads the 32-bit view (Wow6432Node on a 64-bit system).
    // On a 32-bit system there is one view, and the registration written last holds.
#if defined(_WIN64)
    const REGSAM own = KEY_WOW64_64KEY, other = KEY_WOW64_32KEY;
#else
    const REGSAM own = KEY_WOW64_32KEY, other = KEY_WOW64_64KEY;
#endif
    const int language = 127;  // the invariant language: no installation registers it
    ViewRegistration wrong(other, language, "Z:\\no\\such\\library.dll");
    ViewRegistration right(own, language, Fake);
    TSpellChecker checker(nullptr);
    checker.SetCustomDict("C:\\c.dic");
    std::unique_ptr<TCSAPISpeller> s;
    ASSERT_NO_THROW(s = std::make_unique<TCSAPISpeller>(language, 0, &checker));
    EXPECT_FALSE(s->Failed);
    EXPECT_EQ(s->EnginePath(), Fake);
}

TEST(SpellCheckerDefaults, PropertiesStartAsDocumented)
{
    TSpellChecker c(nullptr);
    EXPECT_EQ(c.Language(), static_cast<TLanguage>(LOWORD(GetSystemDefaultLCID())));
    EXPECT_EQ(c.Options().Word(), 0x000F);
    EXPECT_TRUE(c.Options().Contains(spoIgnoreRomanNumerals));
    EXPECT_FALSE(c.Options().Contains(spoFindUncappedSentences));
    EXPECT_EQ(c.Caption(), "");
    EXPECT_FALSE(c.ModalDialog());
    EXPECT_FALSE(c.HTMLSupport());
    EXPECT_EQ(c.CustomDict(), "");
    EXPECT_EQ(c.FinishMessage(), "");
    EXPECT_FALSE(c.ShowFinishMessage());
    EXPECT_EQ(c.SpellerLanguage(), 0);
}

TEST(SpellStringTable, EveryMessageAndCaptionIsInTheProgramsStringTable)
{
    const struct { int Id; const char* Text; } strings[] = {
        {65296, "Possible abbreviation"}, {65297, "Sentence capitalization error"}, {65298, "Extra spaces"},
        {65299, "Missing space"}, {65300, "Numerals in start of word"}, {65301, "Repeated word"},
        {65302, "Message"}, {65303, "Spelling error No %d"}, {65304, "Error loading Spell DLL %s"},
        {65305, "Error unloading Spell DLL %s"}, {65306, "Start"}, {65317, "&Variants"}, {65318, "&Delete"},
        {65319, "&Change"}, {65320, "Change A&ll"}, {65321, "&Skip"}, {65322, "S&kip All"},
        {65323, "Ca&ncel"}, {65324, "&Undo Edit"}, {65325, "Unknown word"}, {65326, "Illegal hyphenations"},
        {65327, "Capitalization error"},
    };
    for (const auto& s : strings) {
        char buf[256] = {};
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(s.Id), buf, sizeof buf);
        EXPECT_STREQ(buf, s.Text) << s.Id;
    }
}
