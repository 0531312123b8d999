// The CSAPI entry points over the engine core. Text arrives as 8-bit characters in the ANSI
// code page of the language the main dictionary was opened with; words go back the same way.
// No exception leaves an entry point and nothing is written past a size the caller declared.
#include "Csapi.h"

#include "Dictionary.h"
#include "Suggest.h"
#include "Text.h"
#include "TextCheck.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace pwspell;

namespace {

struct Instance {
    unsigned Options = 0;
    unsigned CodePage = CP_ACP;
    std::unique_ptr<Dictionary> Dict;
    std::unique_ptr<TextChecker> Checker;
    // What carries over to a call that continues the text. Before any text has been seen a
    // continued text is taken to be in mid-sentence: a caller that switches engines in the
    // middle of a paragraph hands this instance text that follows someone else's words.
    TextState State = {false, {}};
    std::string UserPath;
    std::vector<std::u32string> Pending;  // suggestions not yet returned
    std::vector<std::u32string> Offered;  // the first batch, kept out of the second
    int Batch = 0;
    std::u32string SuggestWord;
};

std::mutex g_lock;
std::map<uint32_t, std::unique_ptr<Instance>> g_instances;
uint32_t g_next = 1;

Instance* Find(uint32_t id)
{
    auto it = g_instances.find(id);
    return it == g_instances.end() ? nullptr : it->second.get();
}

unsigned CodePageOf(uint32_t lid)
{
    char buf[8] = {};
    if (!GetLocaleInfoA(MAKELCID(lid, SORT_DEFAULT), LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf)) return GetACP();
    unsigned cp = static_cast<unsigned>(std::atoi(buf));
    return cp ? cp : GetACP();
}

// The 8-bit text as code points, with the byte offset where each one starts.
std::u32string Decode(const char* text, size_t bytes, unsigned cp, std::vector<size_t>& starts)
{
    std::u32string out;
    for (size_t i = 0; i < bytes;) {
        size_t len = (i + 1 < bytes && IsDBCSLeadByteEx(cp, static_cast<BYTE>(text[i]))) ? 2 : 1;
        wchar_t w[2] = {};
        int n = MultiByteToWideChar(cp, 0, text + i, static_cast<int>(len), w, 2);
        starts.push_back(i);
        out += n > 0 ? static_cast<char32_t>(w[0]) : U'\xFFFD';
        i += len;
    }
    starts.push_back(bytes);
    return out;
}

std::string Encode(const std::u32string& s, unsigned cp)
{
    std::wstring w;
    for (char32_t c : s) w += static_cast<wchar_t>(c < 0x10000 ? c : U'?');
    int n = WideCharToMultiByte(cp, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0) WideCharToMultiByte(cp, 0, w.c_str(), static_cast<int>(w.size()), r.data(), n, nullptr, nullptr);
    return r;
}

std::u32string DecodeWord(const char* s, unsigned cp)
{
    std::vector<size_t> starts;
    return s ? Decode(s, std::strlen(s), cp, starts) : std::u32string();
}

// Writes strings, each zero-terminated, then an empty one, into the caller's area. Gives how
// many fitted.
uint16_t PutStrings(ReturnBuffer* rb, const std::vector<std::string>& words)
{
    if (!rb->Strings || rb->StringAreaSize == 0) return 0;
    size_t cap = rb->StringAreaSize, used = 0;
    uint16_t count = 0;
    for (const std::string& w : words) {
        if (used + w.size() + 2 > cap) break;  // room for this word's terminator and the list's
        std::memcpy(rb->Strings + used, w.c_str(), w.size() + 1);
        used += w.size() + 1;
        ++count;
    }
    rb->Strings[used < cap ? used : cap - 1] = '\0';
    rb->StringCount = count;
    rb->StringsUsed = static_cast<uint16_t>(used + 1);
    return count;
}

uint32_t Verify(Instance& in, const InputBuffer* ib, ReturnBuffer* rb)
{
    if (ib->State == 0) in.State = TextState{};
    std::vector<size_t> starts;
    std::u32string text = Decode(ib->Text, ib->Length, in.CodePage, starts);
    TextProblem p = in.Checker->Check(text, in.Options, in.State);
    rb->Status = static_cast<uint16_t>(p.Code);
    rb->ErrorPosition = static_cast<uint16_t>(p.Code ? starts[p.Position] : 0);
    rb->ErrorLength = static_cast<uint16_t>(p.Code ? starts[p.Position + p.Length] - starts[p.Position] : 0);
    std::vector<std::string> words;
    if (!p.Replacement.empty()) words.push_back(Encode(p.Replacement, in.CodePage));
    PutStrings(rb, words);
    return secOK;
}

void PrepareSuggestions(Instance& in, const std::u32string& word)
{
    in.SuggestWord = word;
    in.Batch = 0;
    in.Pending = SuggestEdits(*in.Dict, word, 12);
    in.Offered = in.Pending;
    if (in.Options & optSuggestFromUserDict)
        for (const std::u32string& u : in.Checker->UserWords)
            if (Lower(u).size() > 1 && Lower(u).substr(0, 2) == Lower(word).substr(0, 2)) in.Pending.push_back(u);
}

uint32_t Suggest(Instance& in, uint32_t cmd, const InputBuffer* ib, ReturnBuffer* rb)
{
    if (cmd == cmdSuggest) {
        std::vector<size_t> starts;
        PrepareSuggestions(in, Decode(ib->Text, ib->Length, in.CodePage, starts));
    } else if (in.Pending.empty() && in.Batch == 1) {
        in.Pending = SuggestSimilar(*in.Dict, in.SuggestWord, 8, in.Offered);
    }
    ++in.Batch;
    if (in.Pending.empty() || in.Batch > 2) {
        rb->Status = scrsNoMoreSuggestions;
        PutStrings(rb, {});
        return secOK;
    }
    std::vector<std::string> words;
    for (const std::u32string& s : in.Pending) words.push_back(Encode(s, in.CodePage));
    uint16_t fitted = PutStrings(rb, words);
    in.Pending.erase(in.Pending.begin(), in.Pending.begin() + fitted);
    if (fitted == 0) in.Pending.clear();
    rb->Status = 0;
    return secOK;
}

template <class F>
uint32_t Guarded(F f)
{
    try {
        std::lock_guard<std::mutex> guard(g_lock);
        return f();
    } catch (const std::bad_alloc&) {
        return secOOM;
    } catch (...) {
        return secModuleError;
    }
}

} // namespace

extern "C" {

uint32_t __cdecl SpellVer(uint32_t* Version, uint32_t* Engine, uint32_t* Type)
{
    if (Version) *Version = 0x03000000;
    if (Engine) *Engine = 0x50570001;
    if (Type) *Type = 0;
    return secOK;
}

uint32_t __cdecl SpellInit(uint32_t* Id, const SpecialChars*)
{
    if (!Id) return secInvalidInput;
    return Guarded([&] {
        uint32_t id = g_next++;
        g_instances[id] = std::make_unique<Instance>();
        *Id = id;
        return secOK;
    });
}

uint32_t __cdecl SpellOptions(uint32_t Id, uint32_t Options)
{
    return Guarded([&] {
        Instance* in = Find(Id);
        if (!in) return secInvalidID;
        in->Options = Options & 0xFFFF;
        return secOK;
    });
}

uint32_t __cdecl SpellOpenMdr(uint32_t Id, const char* Path, const char*, uint32_t, uint32_t, uint32_t Language,
                              MainDictRecord* Out)
{
    if (!Path || !Out) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in) return secInvalidID;
        std::string dic = Path, aff = dic;
        size_t dot = aff.find_last_of('.');
        aff = (dot == std::string::npos ? aff : aff.substr(0, dot)) + ".aff";
        auto d = std::make_unique<Dictionary>();
        try {
            d->LoadFiles(aff, dic);
        } catch (const DictionaryError&) {
            return secIOErrorMdr;
        }
        in->Dict = std::move(d);
        in->Checker = std::make_unique<TextChecker>(*in->Dict);
        in->CodePage = CodePageOf(Language);
        Out->Handle = Id;
        Out->Language = static_cast<uint16_t>(Language);
        Out->Padding = 0;
        Out->Exclusion = 0;
        return secOK;
    });
}

uint32_t __cdecl SpellOpenUdr(uint32_t Id, const char* Path, uint32_t Create, uint32_t, uint32_t* Udr, uint16_t* ReadOnly)
{
    if (!Path || !Udr) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        std::ifstream f(Path, std::ios::binary);
        if (!f) {
            if (!Create || !std::ofstream(Path, std::ios::binary | std::ios::app)) return secIOErrorUdr;
        }
        for (std::string line; std::getline(f, line);) {
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
            if (!line.empty()) in->Checker->UserWords.insert(DecodeWord(line.c_str(), in->CodePage));
        }
        in->UserPath = Path;
        *Udr = Id;
        if (ReadOnly) *ReadOnly = 0;
        return secOK;
    });
}

uint32_t __cdecl SpellCheck(uint32_t Id, uint32_t Command, const InputBuffer* Ib, ReturnBuffer* Rb)
{
    if (!Ib || !Rb || (Ib->Length && !Ib->Text)) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        Rb->Status = 0;
        Rb->ErrorPosition = Rb->ErrorLength = 0;
        if (Command == cmdVerify) return Verify(*in, Ib, Rb);
        if (Command == cmdSuggest || Command == cmdSuggestMore) return Suggest(*in, Command, Ib, Rb);
        return secNotSupported;
    });
}

uint32_t __cdecl SpellAddUdr(uint32_t Id, uint32_t Udr, const char* Word)
{
    if (!Word) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        std::u32string w = DecodeWord(Word, in->CodePage);
        if (Udr == listIgnoreAlways) {
            in->Checker->IgnoreAlways.insert(w);
            return secOK;
        }
        if (Udr != Id || in->UserPath.empty()) return secInvalidUdr;
        // Written at once, so that nothing is lost if the program stops.
        std::ofstream f(in->UserPath, std::ios::binary | std::ios::app);
        if (!(f << Word << "\r\n") || !f.flush()) return secIOErrorUdr;
        in->Checker->UserWords.insert(w);
        return secOK;
    });
}

uint32_t __cdecl SpellAddChangeUdr(uint32_t Id, uint32_t Udr, const char* Word, const char* Change)
{
    if (!Word || !Change) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        std::u32string w = DecodeWord(Word, in->CodePage), c = DecodeWord(Change, in->CodePage);
        if (Udr == listChangeOnce) in->Checker->ChangeOnce[w] = c;
        else if (Udr == listChangeAlways) in->Checker->ChangeAlways[w] = c;
        else return secInvalidUdr;
        return secOK;
    });
}

uint32_t __cdecl SpellDelUdr(uint32_t Id, uint32_t Udr, const char* Word)
{
    if (!Word) return secInvalidInput;
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        std::u32string w = DecodeWord(Word, in->CodePage);
        if (Udr == listIgnoreAlways) { in->Checker->IgnoreAlways.erase(w); return secOK; }
        if (Udr == listChangeOnce) { in->Checker->ChangeOnce.erase(w); return secOK; }
        if (Udr == listChangeAlways) { in->Checker->ChangeAlways.erase(w); return secOK; }
        if (Udr != Id) return secInvalidUdr;
        in->Checker->UserWords.erase(w);
        std::ofstream f(in->UserPath, std::ios::binary | std::ios::trunc);
        for (const std::u32string& u : in->Checker->UserWords) f << Encode(u, in->CodePage) << "\r\n";
        return f ? secOK : secIOErrorUdr;
    });
}

uint32_t __cdecl SpellClearUdr(uint32_t Id, uint32_t Udr)
{
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker) return secInvalidID;
        if (Udr == listIgnoreAlways) in->Checker->IgnoreAlways.clear();
        else if (Udr == listChangeOnce) in->Checker->ChangeOnce.clear();
        else if (Udr == listChangeAlways) in->Checker->ChangeAlways.clear();
        else return secNotSupported;
        return secOK;
    });
}

uint32_t __cdecl SpellGetSizeUdr(uint32_t Id, uint32_t, uint32_t* Size)
{
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in || !in->Checker || !Size) return secInvalidID;
        *Size = static_cast<uint32_t>(in->Checker->UserWords.size());
        return secOK;
    });
}

uint32_t __cdecl SpellGetListUdr(uint32_t, uint32_t, uint32_t, ReturnBuffer*) { return secNotSupported; }

uint32_t __cdecl SpellVerifyMdr(const char* Path, uint32_t, uint32_t* Language)
{
    if (Language) *Language = 0;
    return Path && GetFileAttributesA(Path) != INVALID_FILE_ATTRIBUTES ? secOK : secIOErrorMdr;
}

uint32_t __cdecl SpellCloseMdr(uint32_t Id, MainDictRecord*)
{
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in) return secInvalidID;
        in->Checker.reset();
        in->Dict.reset();
        return secOK;
    });
}

uint32_t __cdecl SpellCloseUdr(uint32_t Id, uint32_t, uint32_t)
{
    return Guarded([&]() -> uint32_t {
        Instance* in = Find(Id);
        if (!in) return secInvalidID;
        in->UserPath.clear();
        return secOK;
    });
}

uint32_t __cdecl SpellTerminate(uint32_t Id, uint32_t)
{
    return Guarded([&]() -> uint32_t { return g_instances.erase(Id) ? secOK : secInvalidID; });
}

} // extern "C"
