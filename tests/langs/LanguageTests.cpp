#include "Languages.h"
#include "WinApi.h"

#include <gtest/gtest.h>

using namespace pw;

TEST(Languages, CodePagesAndCharsetsOfKnownLanguages)
{
    EXPECT_EQ(LanguageCodePage(1049), 1251);  // Russian
    EXPECT_EQ(LanguageCharset(1049), 204);
    EXPECT_EQ(LanguageCodePage(1033), 1252);  // English (United States)
    EXPECT_EQ(LanguageCharset(1033), 0);
    EXPECT_EQ(LanguageCharset(1029), 238);    // Czech, code page 1250
    EXPECT_EQ(LanguageCharset(1032), 161);    // Greek
    EXPECT_EQ(LanguageCharset(1055), 162);    // Turkish
    EXPECT_EQ(LanguageCharset(1037), 177);    // Hebrew
    EXPECT_EQ(LanguageCharset(1025), 178);    // Arabic
    EXPECT_EQ(LanguageCharset(1063), 186);    // Lithuanian
    EXPECT_EQ(LanguageCharset(1066), 163);    // Vietnamese
}

TEST(Languages, CodePageOutsideTheTableGivesTheDefaultCharset)
{
    EXPECT_EQ(LanguageCodePage(1041), 932);  // Japanese
    EXPECT_EQ(LanguageCharset(1041), DEFAULT_CHARSET);
}

TEST(Languages, UnknownLanguageGivesTheSystemCodePageEvenAfterAKnownOne)
{
    // A known language first: a stale buffer would then give 1251 for the unknown one.
    ASSERT_EQ(LanguageCodePage(1049), 1251);
    EXPECT_EQ(LanguageCodePage(0x03FF), static_cast<int>(GetACP()));
    EXPECT_EQ(LanguageCodePage(0xFFFF), static_cast<int>(GetACP()));
    EXPECT_EQ(LanguageName(0x03FF), "");
}

TEST(Languages, NamesComeFromTheLocaleDatabase)
{
    std::string en = LanguageName(1033);
    EXPECT_NE(en.find("English"), std::string::npos) << en;
    std::string ru = LanguageName(1049);
    EXPECT_NE(ru.find("Russian"), std::string::npos) << ru;
}

TEST(Languages, ConversionOfEmptyText)
{
    EXPECT_EQ(StringToWide("", 1252), L"");
    EXPECT_EQ(WideToString(L"", 1251), "");
}

TEST(Languages, ConversionUsesTheGivenCodePage)
{
    EXPECT_EQ(StringToWide("\xC0", 1251), std::wstring(1, L'\x0410'));
    EXPECT_EQ(StringToWide("\xC0", 1252), std::wstring(1, L'\x00C0'));
    EXPECT_EQ(WideToString(std::wstring(1, L'\x0410'), 1251), "\xC0");
}

TEST(Languages, EveryRepresentableCharacterSurvivesTheRoundTrip)
{
    for (unsigned cp : {1250u, 1251u, 1252u, 1253u}) {
        for (int c = 1; c < 256; ++c) {
            std::string s(1, static_cast<char>(c));
            std::wstring w = StringToWide(s, cp);
            ASSERT_EQ(w.size(), 1u) << "cp " << cp << " byte " << c;
            // Bytes the code page leaves undefined map to private or replacement characters.
            BOOL usedDefault = FALSE;
            char back[4] = {};
            WideCharToMultiByte(cp, 0, w.c_str(), 1, back, sizeof back, nullptr, &usedDefault);
            if (usedDefault) continue;
            EXPECT_EQ(WideToString(w, cp), s) << "cp " << cp << " byte " << c;
        }
    }
}
