// The records of the CSAPI spelling interface, laid out byte for byte as clients pass them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace pwspell {

// Natural alignment: pointers of 4 bytes in a 32-bit library and of 8 in a 64-bit one, as its
// clients of the same architecture lay the records out.
struct SpecialChars {          // 11 bytes
    uint8_t Ignore, HardHyphen, OptionalHyphen, NonBreakingHyphen, EmDash, EnDash, Ellipsis;
    uint8_t LineBreak[2];
    uint8_t ParagraphBreak[2];
};
struct MainDictRecord {        // 12 bytes
    uint32_t Handle;
    uint16_t Language;
    uint16_t Padding;
    uint32_t Exclusion;
};
struct InputBuffer {           // 20 bytes (32 in a 64-bit library)
    uint16_t Length;
    uint16_t MainCount;
    uint16_t UserCount;
    uint16_t State;
    const char* Text;
    MainDictRecord* MainDicts;
    uint32_t* UserDicts;
};
struct ReturnBuffer {          // 24 bytes (40 in a 64-bit library)
    uint16_t ErrorPosition;
    uint16_t ErrorLength;
    uint16_t Status;
    uint16_t StringCount;
    uint16_t StringsUsed;
    uint16_t StringAreaSize;
    char* Strings;
    uint8_t* Ratings;
    uint16_t RatingsSize;
    uint16_t Padding;
};

static_assert(sizeof(SpecialChars) == 11);
static_assert(offsetof(SpecialChars, LineBreak) == 7 && offsetof(SpecialChars, ParagraphBreak) == 9);
static_assert(sizeof(MainDictRecord) == 12);
static_assert(offsetof(MainDictRecord, Language) == 4 && offsetof(MainDictRecord, Exclusion) == 8);
static_assert(offsetof(InputBuffer, State) == 6 && offsetof(InputBuffer, Text) == 8);
static_assert(offsetof(ReturnBuffer, Status) == 4 && offsetof(ReturnBuffer, StringAreaSize) == 10);
#if defined(_WIN64)
static_assert(sizeof(InputBuffer) == 32);
static_assert(offsetof(InputBuffer, MainDicts) == 16 && offsetof(InputBuffer, UserDicts) == 24);
static_assert(sizeof(ReturnBuffer) == 40);
static_assert(offsetof(ReturnBuffer, Strings) == 16 && offsetof(ReturnBuffer, Ratings) == 24);
static_assert(offsetof(ReturnBuffer, RatingsSize) == 32);
#elif defined(_WIN32)
static_assert(sizeof(InputBuffer) == 20);
static_assert(offsetof(InputBuffer, MainDicts) == 12 && offsetof(InputBuffer, UserDicts) == 16);
static_assert(sizeof(ReturnBuffer) == 24);
static_assert(offsetof(ReturnBuffer, Strings) == 12 && offsetof(ReturnBuffer, Ratings) == 16);
static_assert(offsetof(ReturnBuffer, RatingsSize) == 20);
#endif

// Commands of SpellCheck and the instance's own lists.
enum : uint32_t { cmdVerify = 2, cmdSuggest = 3, cmdSuggestMore = 4 };
enum : uint32_t { listChangeOnce = 0xFFFC, listChangeAlways = 0xFFFD, listIgnoreAlways = 0xFFFE };
// Status values (0 = success).
enum : uint32_t { secOK = 0, secOOM = 1, secModuleError = 2, secIOErrorMdr = 3, secIOErrorUdr = 4, secInvalidID = 5,
                  secInvalidUdr = 6, secInvalidInput = 7, secNotSupported = 8 };
enum : uint16_t { scrsNoMoreSuggestions = 8 };

} // namespace pwspell
