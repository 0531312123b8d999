// Speller engines: one per language, over a CSAPI spelling library found through the registry.
#pragma once
#include "Languages.h"
#include "StringList.h"
#include "SysUtils.h"
#include "WinApi.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace pw {

using TSpellReturnCode = uint8_t;

// The engine's verdicts: what CheckText and ContinueCheckText found in a piece of text.
// TSpellerDialog2's VerdictView knows how the dialog shows each.
enum : TSpellReturnCode {
    srNoErrors = 0,
    srUnknownWord = 1, // a word the dictionaries lack
    srChangeAlways = 2, // a word of the change-always list: its replacement goes in unasked
    srChangeOnce = 3, // a word of the change-once list: its replacement is offered first
    srIllegalHyphenation = 4,
    srCapitalization = 5, // a word capitalised as the dictionary does not have it
    srPossibleAbbreviation = 6,
    srHyphenationChangesSpelling = 7, // an answer to a hyphenation request
    srNoMoreSuggestions = 8, // an answer to a suggestion request
    srMoreSuggestionsThanRoom = 9, // an answer to a suggestion request
    srSentenceCapitalization = 10, // a sentence that starts in lower case
    srRepeatedWord = 11,
    srExtraSpaces = 12,
    srMissingSpace = 13,
    srInitialNumerals = 14,
};

// A word the dictionaries lack (spelling as you type marks these; the dialog offers its
// suggestions for them).
inline bool IsMisspelledWord(TSpellReturnCode Code) { return Code == srUnknownWord || Code == srChangeOnce; }

class ESpellError : public Exception {
    using Exception::Exception;
};

// The spell-check driver that owns the engines: an engine reads its custom dictionary
// settings while it is created.
class TSpellChecker;

// The most text an engine takes in one call (its length field has 16 bits).
constexpr int MaxSpellTextLength = 65535;

class TAbstractSpeller : public TObject {
public:
    TAbstractSpeller(TLanguage ALanguage, uint16_t AOptions, TSpellChecker* AChecker)
        : Language(ALanguage), Options(AOptions), Checker(AChecker)
    {
    }
    virtual TSpellReturnCode CheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen) = 0;
    virtual TSpellReturnCode ContinueCheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen) = 0;
    virtual void ChangeOnce(const std::string& Word, const std::string& NewWord) = 0;
    virtual void ChangeAlways(const std::string& Word, const std::string& NewWord) = 0;
    virtual void AddToCustomDict(const std::string& Word) = 0;
    virtual void IgnoreAlways(const std::string& Word) = 0;
    virtual void GetSuggestions(const std::string& Word, TStrings* List) = 0;
    virtual void GetReplacement(std::string& S) = 0;
    virtual void GetLastWord(std::string& S) = 0;

    ~TAbstractSpeller() override = default;

    TLanguage Language;
    uint16_t Options;
    TSpellChecker* Checker;
    bool Failed = false;
};

// The records exchanged with a spelling library, laid out as a client and a library of the
// same architecture lay them out: natural alignment, pointers of 4 bytes in a 32-bit program
// and of 8 in a 64-bit one.
struct TSpecialChars {
    uint8_t Bytes[11];
};
struct TMainDict {
    uint32_t Handle;
    uint16_t Language;
    uint16_t Padding;
    uint32_t Exclusion;
};
struct TSpellInputBuffer {
    uint16_t Length, MainCount, UserCount, State;
    const char* Text;
    TMainDict* MainDicts;
    uint32_t* UserDicts;
};
struct TSpellReturnBuffer {
    uint16_t ErrorPos, ErrorLen, Status, StringCount, StringsUsed, StringAreaSize;
    char* Strings;
    uint8_t* Ratings;
    uint16_t RatingsSize, Padding;
};
static_assert(sizeof(TSpecialChars) == 11 && sizeof(TMainDict) == 12);
static_assert(offsetof(TMainDict, Language) == 4 && offsetof(TMainDict, Exclusion) == 8);
static_assert(offsetof(TSpellInputBuffer, MainCount) == 2 && offsetof(TSpellInputBuffer, UserCount) == 4);
static_assert(offsetof(TSpellInputBuffer, State) == 6 && offsetof(TSpellInputBuffer, Text) == 8);
static_assert(offsetof(TSpellReturnBuffer, ErrorLen) == 2 && offsetof(TSpellReturnBuffer, Status) == 4);
static_assert(offsetof(TSpellReturnBuffer, StringCount) == 6 && offsetof(TSpellReturnBuffer, StringsUsed) == 8);
static_assert(offsetof(TSpellReturnBuffer, StringAreaSize) == 10);
#if defined(_WIN64)
static_assert(sizeof(TSpellInputBuffer) == 32 && sizeof(TSpellReturnBuffer) == 40);
static_assert(offsetof(TSpellInputBuffer, MainDicts) == 16 && offsetof(TSpellInputBuffer, UserDicts) == 24);
static_assert(offsetof(TSpellReturnBuffer, Strings) == 16 && offsetof(TSpellReturnBuffer, Ratings) == 24);
static_assert(offsetof(TSpellReturnBuffer, RatingsSize) == 32 && offsetof(TSpellReturnBuffer, Padding) == 34);
#else
static_assert(sizeof(TSpellInputBuffer) == 20 && sizeof(TSpellReturnBuffer) == 24);
static_assert(offsetof(TSpellInputBuffer, MainDicts) == 12 && offsetof(TSpellInputBuffer, UserDicts) == 16);
static_assert(offsetof(TSpellReturnBuffer, Strings) == 12 && offsetof(TSpellReturnBuffer, Ratings) == 16);
static_assert(offsetof(TSpellReturnBuffer, RatingsSize) == 20 && offsetof(TSpellReturnBuffer, Padding) == 22);
#endif

class TCSAPISpeller : public TAbstractSpeller {
public:
    // Finds the library and dictionaries for the language and opens them. A language with no
    // registry entry gives an engine that passes everything (Failed); a library that cannot be
    // loaded or a call that fails raises ESpellError.
    TCSAPISpeller(TLanguage ALanguage, uint16_t AOptions, TSpellChecker* AChecker);
    ~TCSAPISpeller() override;

    TSpellReturnCode CheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen) override;
    TSpellReturnCode ContinueCheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen) override;
    void ChangeOnce(const std::string& Word, const std::string& NewWord) override;
    void ChangeAlways(const std::string& Word, const std::string& NewWord) override;
    void AddToCustomDict(const std::string& Word) override;
    void IgnoreAlways(const std::string& Word) override;
    void GetSuggestions(const std::string& Word, TStrings* List) override;
    void GetReplacement(std::string& S) override;
    void GetLastWord(std::string& S) override;

    const std::string& EnginePath() const { return FEnginePath; }
    const std::string& DictionaryPath() const { return FDictionaryPath; }
    const std::string& CustomDictPath() const { return FCustomDictPath; }
    // The library and main dictionary registered for a language, and under which root.
    static bool ReadRegistration(TLanguage ALanguage, std::string& Engine, std::string& Dictionary, HKEY& Root);

private:
    using TEntry = uint32_t(__cdecl*)();
    HMODULE FLibrary = nullptr;
    std::string FEnginePath, FDictionaryPath, FCustomDictPath, FLastWord;
    HKEY FRegistrationRoot = HKEY_LOCAL_MACHINE; // where the language's registration was found
    uint16_t FOptionBits = 0;
    TEntry FEntries[16] = {};
    uint32_t FSpellerId = 0;
    TSpecialChars FSpecialChars = {};
    TMainDict FMainDict = {};
    uint32_t FUserDict = 0;
    TSpellInputBuffer FInput = {};
    TSpellReturnBuffer FReturn = {};
    std::string FStrings;
    std::string FRatings;

    bool FindRegistration();
    void ChooseCustomDictionary();
    void LoadLibraryEntries();
    void Test(uint32_t Status);
    TSpellReturnCode Check(const char* Text, int Length, int& ErrorPos, int& ErrorLen, uint16_t State);
    template <class F, class... A>
    uint32_t Call(int Index, A... Args)
    {
        return reinterpret_cast<F>(reinterpret_cast<void*>(FEntries[Index]))(Args...);
    }
};

} // namespace pw
