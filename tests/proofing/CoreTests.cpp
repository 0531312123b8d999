// The engine core against small dictionaries of our own and the installed ones.
#include "Dictionary.h"
#include "Suggest.h"
#include "Text.h"
#include "TextCheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace pwspell;

namespace {

std::string DataFile(const std::string& name) { return std::string(PROOFING_TEST_DATA) + "/" + name; }

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream f(path);
    for (std::string l; std::getline(f, l);)
        if (!l.empty()) lines.push_back(l);
    return lines;
}

bool Installed(const std::string& name)
{
    return std::ifstream(std::string(HUNSPELL_DIR) + "/" + name + ".dic").good();
}

Dictionary LoadInstalled(const std::string& name)
{
    Dictionary d;
    std::string base = std::string(HUNSPELL_DIR) + "/" + name;
    d.LoadFiles(base + ".aff", base + ".dic");
    return d;
}

} // namespace

class GoldenCases : public testing::TestWithParam<std::string> {};

TEST_P(GoldenCases, GoodWordsPassAndWrongWordsFail)
{
    const std::string name = GetParam();
    Dictionary d;
    d.LoadFiles(DataFile(name + ".aff"), DataFile(name + ".dic"));
    for (const std::string& w : ReadLines(DataFile(name + ".good"))) EXPECT_TRUE(d.Check(w)) << w;
    for (const std::string& w : ReadLines(DataFile(name + ".wrong"))) EXPECT_FALSE(d.Check(w)) << w;
}

INSTANTIATE_TEST_SUITE_P(Features, GoldenCases, testing::Values("affixes", "compound", "flags", "sharps", "twofold", "utf8flags", "breaks", "cpdaffixes", "cpdjoints", "cpdtriple", "cpdrep", "turkish", "azeri", "crimean", "capitals", "numflags", "byteflags", "cpdsyllable", "cpdpattern", "cpdruleaffix", "complexprefixes", "crossed", "bom", "longaliases", "nonbmp", "ignore", "keepcase", "german"));

// Each line of a .sug file: "misspelling:expected first suggestion" (nothing after the colon:
// no suggestion at all), "misspelling!word never offered" (in either batch), or
// "misspelling=every suggestion, in order" (the edits, then the look-alikes; comma-separated).
class SuggestionCases : public testing::TestWithParam<std::string> {};

TEST_P(SuggestionCases, FirstSuggestionsAndWordsNeverOffered)
{
    const std::string name = GetParam();
    Dictionary d;
    d.LoadFiles(DataFile(name + ".aff"), DataFile(name + ".dic"));
    for (const std::string& line : ReadLines(DataFile(name + ".sug"))) {
        if (line[0] == '#') continue;
        size_t mark = line.find_first_of(":!=");
        ASSERT_NE(mark, std::string::npos) << line;
        std::u32string word = FromUtf8(line.substr(0, mark)), other = FromUtf8(line.substr(mark + 1));
        std::vector<std::u32string> s = SuggestEdits(d, word, 10);
        if (line[mark] == '=') {
            std::vector<std::u32string> more = SuggestSimilar(d, word, 10, s);
            std::string all;
            for (const std::u32string& x : s) all += (all.empty() ? "" : ",") + ToUtf8(x);
            for (const std::u32string& x : more) all += (all.empty() ? "" : ",") + ToUtf8(x);
            EXPECT_EQ(all, ToUtf8(other)) << line;
        } else if (line[mark] == '!') {
            std::vector<std::u32string> more = SuggestSimilar(d, word, 10, s);
            s.insert(s.end(), more.begin(), more.end());
            for (const std::u32string& x : s) EXPECT_NE(ToUtf8(x), ToUtf8(other)) << line;
        } else if (other.empty()) {
            EXPECT_TRUE(s.empty()) << line << " gave " << ToUtf8(s.empty() ? U"" : s[0]);
        } else {
            ASSERT_FALSE(s.empty()) << line;
            EXPECT_EQ(ToUtf8(s[0]), ToUtf8(other)) << line;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Features, SuggestionCases, testing::Values("sharps", "suggest", "ranking", "phone", "sugopts", "maxngram", "maxdiff", "onlymaxdiff", "replace", "slips", "nokey", "likeness", "spoken", "casesugs", "phonengram", "nongram"));

// The phonetic table of phone.aff: groups, letters left for the next rule, a replacement put
// back into the word, start and end of the word, a rule giving way to one of higher priority.
TEST(Suggestions, PhoneticTranscription)
{
    Dictionary d;
    d.LoadFiles(DataFile("phone.aff"), DataFile("phone.dic"));
    const std::pair<const char32_t*, const char*> cases[] = {
        {U"phonetic", "FNETK"}, {U"fonetik", "FNETK"},  // PH; C at the end
        {U"quick", "KWK"}, {U"kwik", "KWK"},            // QU, CK; I dropped after the start
        {U"night", "NT"}, {U"nite", "NT"},              // GH before T (T left); E at the end only
        {U"knight", "NT"}, {U"Knit", "NT"},             // KN at the start, in any case
        {U"unknown", "NKNWN"},                          // KN not at the start; U dropped
        {U"city", "STY"},                               // C before E, I, Y (the letter left)
        {U"watch", "WX"},                               // TCH put back as CH, then CH
        {U"little", "LTL"},                             // a letter twice running counts once
        {U"school", "SXL"},                             // SC gives way to CH of priority 9
        {U"yacht", "JXT"}, {U"box", "BKS"}, {U"zebra", "SEBR"}};
    for (const auto& [word, sound] : cases) EXPECT_EQ(ToUtf8(Phonetic(d.Suggesting(), word)), sound) << ToUtf8(word);
}

TEST(Suggestions, CapitalsFollowTheWord)
{
    Dictionary en;
    en.LoadFiles(DataFile("text.aff"), DataFile("text.dic"));
    std::vector<std::u32string> caps = SuggestEdits(en, U"SENTENSE", 5);
    ASSERT_FALSE(caps.empty());
    EXPECT_EQ(ToUtf8(caps[0]), "SENTENCE");
}

TEST(Text, Utf8RoundTripAndCase)
{
    std::string s = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 Stra\xC3\x9F" "e";
    std::u32string u = FromUtf8(s);
    EXPECT_EQ(u.size(), 13u);
    EXPECT_EQ(ToUtf8(u), s);
    EXPECT_EQ(CaseOf(FromUtf8("\xD0\x9F\xD1\x80\xD0\xB8")), CaseKind::Initial);
    EXPECT_EQ(Lower(U"\u0410\u0411"), std::u32string(U"\u0430\u0431"));
    EXPECT_EQ(Upper(U"\u00E9t\u00E9"), std::u32string(U"\u00C9T\u00C9"));
    // Broken sequences become replacement characters, never a read past the end.
    EXPECT_EQ(FromUtf8("a\xC3"), std::u32string(U"a\uFFFD"));
}

TEST(BadInput, MalformedDictionariesAreErrors)
{
    Dictionary d;
    EXPECT_THROW(d.Load("SET UTF-8\nSFX A Y 3\nSFX A 0 s .\n", "1\nx/A\n"), DictionaryError);  // truncated rule block
    EXPECT_THROW(d.Load("SET UTF-8\nSFX A Y\n", "1\nx\n"), DictionaryError);                  // short header
    EXPECT_THROW(Dictionary().Load("SET KOI8-U-X\n", "1\nx\n"), DictionaryError);             // unknown encoding
    EXPECT_THROW(Dictionary().Load("SET UTF-8\n", "no count\nx\n"), DictionaryError);
    EXPECT_THROW(Dictionary().Load("SET UTF-8\n", ""), DictionaryError);
    EXPECT_THROW(Dictionary().LoadFiles(DataFile("missing.aff"), DataFile("missing.dic")), DictionaryError);
}

// The message names the file and the line where the dictionary goes wrong.
TEST(BadInput, ErrorsNameTheFileAndLine)
{
    auto message = [](const std::string& aff, const std::string& dic) {
        try {
            Dictionary().Load(aff, dic, "x.aff", "x.dic");
        } catch (const DictionaryError& e) {
            return std::string(e.what());
        }
        return std::string("loaded");
    };
    EXPECT_EQ(message("SET UTF-8\nTRY abc\nSFX A Y 1\nSFX B 0 s .\n", "1\nx/A\n"), "x.aff line 4: bad affix rule: SFX B 0 s .");
    EXPECT_EQ(message("SET UTF-8\n\nREP x\n", "1\nx\n"), "x.aff line 3: bad number in affix file: x");
    EXPECT_EQ(message("SET UTF-8\nPFX A Y 1\nPFX A 0 x [ab\n", "1\nx\n"), "x.aff line 3: unclosed condition [ab");
    EXPECT_EQ(message("SET UTF-8\n", "words\nx\n"), "x.dic line 1: the dictionary does not start with its word count");
    EXPECT_EQ(message("SET ABC-1\n", "1\nx\n"), "x.aff: unsupported encoding ABC-1");
    try {
        Dictionary().LoadFiles(DataFile("truncated.aff"), DataFile("truncated.dic"));
        ADD_FAILURE() << "truncated.aff loaded";
    } catch (const DictionaryError& e) {
        EXPECT_NE(std::string(e.what()).find("truncated.aff line "), std::string::npos) << e.what();
    }
}

// A byte order mark before SET and the word count, and a rule line whose kind is misspelt
// (its flag names the block).
TEST(Formats, ByteOrderMarksAndMisspeltRuleKinds)
{
    Dictionary d;
    d.Load("\xEF\xBB\xBFSET UTF-8\r\nSFX A Y 2\r\nSFX A 0 s .\r\nSFT A 0 \xC3\xA9 .\r\n", "\xEF\xBB\xBF" "2\r\nchat/A\r\nd\xC3\xA9j\xC3\xA0\r\n");
    EXPECT_TRUE(d.Check("chats"));
    EXPECT_TRUE(d.Check("chat\xC3\xA9"));
    EXPECT_TRUE(d.Check("d\xC3\xA9j\xC3\xA0"));
    EXPECT_FALSE(d.Check("chatx"));
}

// A space in a dictionary line belongs to the word unless morphological fields follow it.
TEST(Formats, SpacesInDictionaryLines)
{
    Dictionary d;
    d.Load("SET UTF-8\nSFX A Y 1\nSFX A 0 s .\n", "4\nnew york\ncat /A\ndog/A po:noun\nbird st:bird\n");
    EXPECT_FALSE(d.Check("new"));
    EXPECT_FALSE(d.Check("cat"));
    EXPECT_TRUE(d.Check("dog"));
    EXPECT_TRUE(d.Check("dogs"));
    EXPECT_TRUE(d.Check("bird"));
}

// In running text the full stop after a word stays outside it; an abbreviation in the
// dictionary ("etc.", "Dr.", "Ph.D.") is taken with it, and only with it.
TEST(Text, AbbreviationsTakeTheirFullStop)
{
    Dictionary d;
    d.Load("SET UTF-8\nWORDCHARS .\n", "5\netc.\nDr.\nPh.D.\nOpenOffice.org\nfoo\n");
    TextChecker tc(d);
    auto first = [&](const char* text) {
        TextState st;
        TextProblem p = tc.Check(FromUtf8(text), 0, st);
        return p.Code == rcOk ? std::string() : ToUtf8(FromUtf8(text).substr(p.Position, p.Length));
    };
    EXPECT_EQ(first("Dr. foo, OpenOffice.org etc. foo Ph.D. foo."), "");
    EXPECT_EQ(first("foo etc foo."), "etc");
    EXPECT_EQ(first("foo Ph.D foo."), "Ph.D");
    EXPECT_EQ(first("foo Dr, foo."), "Dr");
    EXPECT_EQ(first("foo foo. OpenOffice. foo"), "OpenOffice");
}

TEST(Encodings, EightBitDictionariesAreDecodedByTheirSet)
{
    // "дом" and "домы" (wrong) in KOI8-R; "Čas" in ISO8859-2; "été" in cp1252.
    Dictionary koi;
    koi.Load("SET KOI8-R\n", "1\n\xC4\xCF\xCD\n");
    EXPECT_TRUE(koi.Check("\xD0\xB4\xD0\xBE\xD0\xBC"));
    EXPECT_FALSE(koi.Check("\xD0\xB4\xD0\xBE\xD0\xBC\xD1\x8B"));
    Dictionary latin2;
    latin2.Load("SET ISO8859-2\n", "1\n\xC8" "as\n");
    EXPECT_TRUE(latin2.Check("\xC4\x8C" "as"));
    Dictionary cp;
    cp.Load("SET microsoft-cp1252\n", "1\n\xE9t\xE9\n");
    EXPECT_TRUE(cp.Check("\xC3\xA9t\xC3\xA9"));
}

TEST(BadInput, LongWordsAndOddCharactersGiveAVerdict)
{
    Dictionary d;
    d.LoadFiles(DataFile("affixes.aff"), DataFile("affixes.dic"));
    EXPECT_FALSE(d.Check(std::string(1000, 'w')));
    // A run of letters far longer than a word has no suggestions (its edits alone took minutes).
    std::u32string run(60000, U'w');
    EXPECT_TRUE(SuggestEdits(d, run, 12).empty());
    EXPECT_TRUE(SuggestSimilar(d, run, 8, {}).empty());
    EXPECT_FALSE(d.Check(std::string("wo\0rk", 5)));
    EXPECT_TRUE(d.Check("12.345"));
    EXPECT_TRUE(d.Check(""));
}

TEST(Installed, EnglishChecksAsHunspellDoes)
{
    if (!Installed("en_US")) GTEST_SKIP() << "en_US not installed";
    Dictionary d = LoadInstalled("en_US");
    for (const char* w : {"the", "walked", "walking", "unhappy", "children", "Paris", "PARIS", "isn't", "dictionary",
                          "dictionaries", "well-known", "Hello", "1st", "21st", "103rd", "11th"})
        EXPECT_TRUE(d.Check(w)) << w;
    for (const char* w : {"teh", "walkked", "paris", "dictionarys", "recieve", "xyzzyq", "21th", "2st"}) EXPECT_FALSE(d.Check(w)) << w;
}

TEST(Installed, RussianGermanFrenchAndBritish)
{
    if (Installed("ru_RU")) {
        Dictionary ru = LoadInstalled("ru_RU");
        for (const char* w : {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xD0\xB4\xD0\xBE\xD0\xBC\xD0\xB0"})
            EXPECT_TRUE(ru.Check(w)) << w;
        EXPECT_FALSE(ru.Check("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\xD1\x82\xD1\x82"));
    }
    if (Installed("de_DE")) {
        Dictionary de = LoadInstalled("de_DE");
        for (const char* w : {"Haus", "H\xC3\xA4user", "gehen", "Fu\xC3\x9F" "ball"}) EXPECT_TRUE(de.Check(w)) << w;
        EXPECT_FALSE(de.Check("Hauss"));
    }
    if (Installed("fr")) {
        Dictionary fr = LoadInstalled("fr");
        for (const char* w : {"maison", "maisons", "parler", "parlons"}) EXPECT_TRUE(fr.Check(w)) << w;
        EXPECT_FALSE(fr.Check("maisonn"));
    }
    if (Installed("en_GB")) {
        Dictionary gb = LoadInstalled("en_GB");
        EXPECT_TRUE(gb.Check("colour"));
        EXPECT_TRUE(gb.Check("organisation"));
        EXPECT_FALSE(gb.Check("colur"));
    }
}
