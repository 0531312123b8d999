// A spelling library that records every call. It reads the records it is given byte by byte
// at their documented offsets, so a client that lays them out differently shows it in the log.
#include "FakeSpell.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>

namespace {

std::string Log;
std::map<std::string, uint32_t> Failures;
struct CheckAnswer { uint16_t Code, Pos, Len; std::string Replacement; };
std::deque<CheckAnswer> Checks;
std::deque<std::string> Batches;
std::deque<std::string> Pending;  // batches of the current suggestion run
const void* MainDictAddress = nullptr;
const void* UserDictAddress = nullptr;

const uint32_t SpellerId = 0x51D0;
const uint32_t MainHandle = 0xD1C7, UserHandle = 0x0DD1;

// Where the records' fields are, as documented for each architecture (pointers are 4 bytes in
// a 32-bit library and 8 in a 64-bit one, each aligned to its size).
#if defined(_WIN64)
constexpr int InText = 8, InMainDicts = 16, InUserDicts = 24;
constexpr int RetStrings = 16, RetRatingsSize = 32;
#else
constexpr int InText = 8, InMainDicts = 12, InUserDicts = 16;
constexpr int RetStrings = 12, RetRatingsSize = 20;
#endif

uint16_t U16(const void* p, int offset) { uint16_t v; std::memcpy(&v, static_cast<const char*>(p) + offset, 2); return v; }
uint32_t U32(const void* p, int offset) { uint32_t v; std::memcpy(&v, static_cast<const char*>(p) + offset, 4); return v; }
void* Ptr(const void* p, int offset) { void* v; std::memcpy(&v, static_cast<const char*>(p) + offset, sizeof v); return v; }
void Put16(void* p, int offset, uint16_t v) { std::memcpy(static_cast<char*>(p) + offset, &v, 2); }
void Put32(void* p, int offset, uint32_t v) { std::memcpy(static_cast<char*>(p) + offset, &v, 4); }

void Write(const char* fmt, ...)
{
    char buf[2048];
    va_list a;
    va_start(a, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, a);
    va_end(a);
    Log += buf;
    Log += '\n';
}

uint32_t Result(const char* entry)
{
    auto it = Failures.find(entry);
    if (it == Failures.end()) return 0;
    uint32_t s = it->second;
    Failures.erase(it);
    return s;
}

std::string Str(const char* s) { return s ? "'" + std::string(s) + "'" : std::string("null"); }

const char* Which(const void* p, const void* expected) { return p == expected && p ? "@own" : "@other"; }

std::string Input(const void* in)
{
    const char* text = static_cast<const char*>(Ptr(in, InText));
    std::string t = text ? std::string(text, U16(in, 0)) : std::string("<null>");
    char buf[1024];
    std::snprintf(buf, sizeof buf, "in{len=%u mdrs=%u udrs=%u state=%u text='%s' mdr=%s udr=%s}", U16(in, 0),
                  U16(in, 2), U16(in, 4), U16(in, 6), t.c_str(), Which(Ptr(in, InMainDicts), MainDictAddress),
                  Which(Ptr(in, InUserDicts), UserDictAddress));
    return buf;
}

std::string Return(const void* rb)
{
    char buf[256];
    std::snprintf(buf, sizeof buf, "ret{strings=%u ratings=%u}", U16(rb, 10), U16(rb, RetRatingsSize));
    return buf;
}

void FillStrings(void* rb, const std::string& zeroSeparated)
{
    char* area = static_cast<char*>(Ptr(rb, RetStrings));
    size_t size = U16(rb, 10);
    size_t n = zeroSeparated.size() < size ? zeroSeparated.size() : size;
    if (area && size) {
        std::memset(area, 0, size);
        std::memcpy(area, zeroSeparated.data(), n);
    }
}

uint32_t Verify(void* in, void* rb)
{
    if (Checks.empty()) {
        Put16(rb, 4, 0);
        return 0;
    }
    CheckAnswer a = Checks.front();
    Checks.pop_front();
    Put16(rb, 0, a.Pos);
    Put16(rb, 2, a.Len);
    Put16(rb, 4, a.Code);
    FillStrings(rb, a.Replacement + std::string(2, '\0'));
    (void)in;
    return 0;
}

uint32_t Suggest(void* rb, bool first)
{
    if (first) Pending = Batches;
    if (Pending.empty()) {
        Put16(rb, 4, 8);
        FillStrings(rb, std::string(2, '\0'));
        return 0;
    }
    Put16(rb, 4, 0);
    FillStrings(rb, Pending.front() + std::string(2, '\0'));
    Pending.pop_front();
    return 0;
}

} // namespace

extern "C" {

void __cdecl FakeReset()
{
    Log.clear();
    Failures.clear();
    Checks.clear();
    Batches.clear();
    Pending.clear();
}

const char* __cdecl FakeLog() { return Log.c_str(); }

void __cdecl FakeFailNext(const char* Entry, uint32_t Status) { Failures[Entry] = Status; }

void __cdecl FakeQueueCheck(uint16_t Code, uint16_t Pos, uint16_t Len, const char* Replacement)
{
    Checks.push_back({Code, Pos, Len, Replacement ? Replacement : ""});
}

void __cdecl FakeQueueSuggestions(const char* Batch)
{
    std::string b;
    for (const char* p = Batch; *p; p += std::strlen(p) + 1) b.append(p, std::strlen(p) + 1);
    Batches.push_back(b);
}

uint32_t __cdecl SpellVer(uint32_t, uint32_t, uint32_t) { Write("SpellVer"); return 0; }

uint32_t __cdecl SpellInit(uint32_t* Id, const uint8_t* Special)
{
    std::string bytes;
    for (int i = 0; i < 11; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", Special[i]);
        bytes += b;
    }
    Write("SpellInit(special=%s)", bytes.c_str());
    *Id = SpellerId;
    return Result("SpellInit");
}

uint32_t __cdecl SpellOptions(uint32_t Id, uint32_t Bits)
{
    Write("SpellOptions(%#x, %#x)", Id, Bits);
    return Result("SpellOptions");
}

uint32_t __cdecl SpellOpenMdr(uint32_t Id, const char* Path, const char* Exclusion, uint32_t A,
                                                    uint32_t B, uint32_t Language, void* Mdr)
{
    Write("SpellOpenMdr(%#x, %s, %s, %u, %u, %u)", Id, Str(Path).c_str(), Str(Exclusion).c_str(), A, B, Language);
    MainDictAddress = Mdr;
    Put32(Mdr, 0, MainHandle);
    Put16(Mdr, 4, static_cast<uint16_t>(Language));
    Put16(Mdr, 6, 0);
    Put32(Mdr, 8, 0);
    return Result("SpellOpenMdr");
}

uint32_t __cdecl SpellOpenUdr(uint32_t Id, const char* Path, uint32_t Create, uint32_t Type,
                                                    uint32_t* Udr, uint16_t* ReadOnly)
{
    Write("SpellOpenUdr(%#x, %s, %u, %#x)", Id, Str(Path).c_str(), Create, Type);
    UserDictAddress = Udr;
    *Udr = UserHandle;
    *ReadOnly = 0;
    return Result("SpellOpenUdr");
}

uint32_t __cdecl SpellCheck(uint32_t Id, uint32_t Command, void* In, void* Rb)
{
    Write("SpellCheck(%#x, %u, %s, %s)", Id, Command, Input(In).c_str(), Return(Rb).c_str());
    if (uint32_t s = Result("SpellCheck")) return s;
    if (Command == 2) return Verify(In, Rb);
    return Suggest(Rb, Command == 3);
}

uint32_t __cdecl SpellTerminate(uint32_t Id, uint32_t Force)
{
    Write("SpellTerminate(%#x, %u)", Id, Force);
    return Result("SpellTerminate");
}

uint32_t __cdecl SpellVerifyMdr(uint32_t, uint32_t, uint32_t) { Write("SpellVerifyMdr"); return 0; }

uint32_t __cdecl SpellAddUdr(uint32_t Id, uint32_t List, const char* Word)
{
    Write("SpellAddUdr(%#x, %#x, %s)", Id, List, Str(Word).c_str());
    return Result("SpellAddUdr");
}

uint32_t __cdecl SpellAddChangeUdr(uint32_t Id, uint32_t List, const char* Word, const char* New)
{
    Write("SpellAddChangeUdr(%#x, %#x, %s, %s)", Id, List, Str(Word).c_str(), Str(New).c_str());
    return Result("SpellAddChangeUdr");
}

uint32_t __cdecl SpellDelUdr(uint32_t, uint32_t, uint32_t) { Write("SpellDelUdr"); return 0; }
uint32_t __cdecl SpellClearUdr(uint32_t, uint32_t) { Write("SpellClearUdr"); return 0; }
uint32_t __cdecl SpellGetSizeUdr(uint32_t, uint32_t, uint32_t) { Write("SpellGetSizeUdr"); return 0; }
uint32_t __cdecl SpellGetListUdr(uint32_t, uint32_t, uint32_t, uint32_t)
{
    Write("SpellGetListUdr");
    return 0;
}

uint32_t __cdecl SpellCloseMdr(uint32_t Id, void* Mdr)
{
    Write("SpellCloseMdr(%#x, %s handle=%#x lang=%u)", Id, Which(Mdr, MainDictAddress), U32(Mdr, 0), U16(Mdr, 4));
    return Result("SpellCloseMdr");
}

uint32_t __cdecl SpellCloseUdr(uint32_t Id, uint32_t Udr, uint32_t Save)
{
    Write("SpellCloseUdr(%#x, %#x, %u)", Id, Udr, Save);
    return Result("SpellCloseUdr");
}

} // extern "C"
