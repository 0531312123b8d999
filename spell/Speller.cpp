#include "Speller.h"

#include "Controls.h"
#include "Guards.h"
#include "Registry.h"
#include "SpellChecker.h"
#include "SpellStrings.h"

#include <cstring>

namespace pw {

namespace {

const char* const EntryNames[16] = {
    "SpellVer",        "SpellInit",       "SpellOptions",  "SpellCheck",        "SpellTerminate", "SpellVerifyMdr",
    "SpellOpenMdr",    "SpellOpenUdr",    "SpellAddUdr",   "SpellAddChangeUdr", "SpellDelUdr",    "SpellClearUdr",
    "SpellGetSizeUdr", "SpellGetListUdr", "SpellCloseMdr", "SpellCloseUdr",
};
enum {
    eVer,
    eInit,
    eOptions,
    eCheck,
    eTerminate,
    eVerifyMdr,
    eOpenMdr,
    eOpenUdr,
    eAddUdr,
    eAddChangeUdr,
    eDelUdr,
    eClearUdr,
    eGetSizeUdr,
    eGetListUdr,
    eCloseMdr,
    eCloseUdr
};

using FInit = uint32_t(__cdecl*)(uint32_t*, TSpecialChars*);
using FOptions = uint32_t(__cdecl*)(uint32_t, uint32_t);
using FOpenMdr = uint32_t(__cdecl*)(uint32_t, const char*, const char*, uint32_t, uint32_t, uint32_t, TMainDict*);
using FOpenUdr = uint32_t(__cdecl*)(uint32_t, const char*, uint32_t, uint32_t, uint32_t*, uint16_t*);
using FCheck = uint32_t(__cdecl*)(uint32_t, uint32_t, TSpellInputBuffer*, TSpellReturnBuffer*);
using FAddUdr = uint32_t(__cdecl*)(uint32_t, uint32_t, const char*);
using FAddChangeUdr = uint32_t(__cdecl*)(uint32_t, uint32_t, const char*, const char*);
using FCloseMdr = uint32_t(__cdecl*)(uint32_t, TMainDict*);
using FCloseUdr = uint32_t(__cdecl*)(uint32_t, uint32_t, uint32_t);
using FTerminate = uint32_t(__cdecl*)(uint32_t, uint32_t);

const char* const SpellingKey = "\\SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Spelling\\%d\\Normal";
const char* const CustomDictKey = "\\SOFTWARE\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries";

} // namespace

TCSAPISpeller::TCSAPISpeller(TLanguage ALanguage, uint16_t AOptions, TSpellChecker* AChecker)
    : TAbstractSpeller(ALanguage, AOptions, AChecker)
{
    static const uint8_t special[11] = {0x00, 0x2D, 0x1F, 0x1E, 0x97, 0x96, 0x85, 0x0B, 0x0A, 0x0D, 0x0A};
    std::memcpy(FSpecialChars.Bytes, special, sizeof special);
    if (!FindRegistration()) {
        Failed = true;
        return;
    }
    LoadLibraryEntries();
    Failed = false;
    FOptionBits = Options;
    {
        // A failure leaves no engine: the library instance and the library are given back.
        TScopeFail release([this] {
            if (FSpellerId) Call<FTerminate>(eTerminate, FSpellerId, 1u);
            FreeLibrary(FLibrary);
            FLibrary = nullptr;
            Failed = true;
        });
        Test(Call<FInit>(eInit, &FSpellerId, &FSpecialChars));
        Test(Call<FOptions>(eOptions, FSpellerId, static_cast<uint32_t>(FOptionBits)));
        Test(Call<FOpenMdr>(eOpenMdr, FSpellerId, FDictionaryPath.c_str(), static_cast<const char*>(nullptr), 0u, 1u,
                            static_cast<uint32_t>(Language), &FMainDict));
        uint16_t readOnly = 0;
        Test(Call<FOpenUdr>(eOpenUdr, FSpellerId, FCustomDictPath.c_str(), 1u, 0xFFFEu, &FUserDict, &readOnly));
    }
    FInput.MainCount = 1;
    FInput.UserCount = 1;
    FInput.MainDicts = &FMainDict;
    FInput.UserDicts = &FUserDict;
    FStrings.assign(1024, '\0');
    FRatings.assign(255, '\0');
    FReturn.StringAreaSize = 1024;
    FReturn.Strings = FStrings.data();
    FReturn.Ratings = reinterpret_cast<uint8_t*>(FRatings.data());
    FReturn.RatingsSize = 255;
}

TCSAPISpeller::~TCSAPISpeller()
{
    if (Failed || !FLibrary) return;
    // A teardown must not throw: every step is taken, and the first failure is reported to
    // the application afterwards.
    std::string failure;
    auto step = [&](uint32_t Status) {
        if ((Status & 0xFFFF) && failure.empty())
            failure = Format(SpellString(sSpellingErrorNo).c_str(), static_cast<unsigned>(Status & 0xFFFF));
    };
    step(Call<FCloseMdr>(eCloseMdr, FSpellerId, &FMainDict));
    step(Call<FCloseUdr>(eCloseUdr, FSpellerId, FUserDict, 1u));
    step(Call<FTerminate>(eTerminate, FSpellerId, 1u));
    if (!FreeLibrary(FLibrary) && failure.empty())
        failure = Format(SpellString(sErrorUnloadingDll).c_str(), FEnginePath.c_str());
    FLibrary = nullptr;
    if (failure.empty()) return;
    try {
        throw ESpellError(failure);
    } catch (...) {
        HandleCallbackException();
    }
}

bool TCSAPISpeller::ReadRegistration(TLanguage ALanguage, std::string& Engine, std::string& Dictionary, HKEY& Root)
{
    // The user's own registration (a per-user installation makes one) comes before the
    // machine's.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        TRegistry reg;
        reg.SetRootKey(root);
        if (!reg.OpenKeyReadOnly(Format(SpellingKey, ALanguage)) &&
            !reg.OpenKeyReadOnly(Format(SpellingKey, ALanguage % 1024 + 1024)))
            continue;
        Engine = reg.ReadString("Engine");
        Dictionary = reg.ReadString("Dictionary");
        Root = root;
        return true;
    }
    return false;
}

bool TCSAPISpeller::FindRegistration()
{
    if (ReadRegistration(Language, FEnginePath, FDictionaryPath, FRegistrationRoot)) {
        ChooseCustomDictionary();
        return true;
    }
    // Without a language key there is no engine, so no custom dictionary is chosen either
    // (and no relative "CUSTOM.DIC" is written for the engines of other languages to find).
    return false;
}

void TCSAPISpeller::ChooseCustomDictionary()
{
    std::string path = Checker ? Checker->CustomDict() : std::string();
    // The user's custom dictionary, then the machine's; one chosen here is recorded beside the
    // registration in use.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        if (!path.empty()) break;
        TRegistry reg;
        reg.SetRootKey(root);
        if (reg.OpenKeyReadOnly(CustomDictKey)) path = reg.ReadString("1");
    }
    if (Checker && Checker->OnGetDictionary) Checker->OnGetDictionary(Checker, Language, path);
    if (path.empty()) {
        path = ExtractFilePath(FDictionaryPath) + "CUSTOM.DIC";
        TRegistry reg;
        reg.SetRootKey(FRegistrationRoot);
        if (reg.OpenKey(CustomDictKey, true)) reg.WriteString("1", path);
    }
    FCustomDictPath = path;
}

void TCSAPISpeller::LoadLibraryEntries()
{
    FLibrary = LoadLibraryA(FEnginePath.c_str());
    bool ok = FLibrary != nullptr;
    for (int i = 0; ok && i < 16; ++i) {
        FEntries[i] = reinterpret_cast<TEntry>(reinterpret_cast<void*>(GetProcAddress(FLibrary, EntryNames[i])));
        ok = FEntries[i] != nullptr;
    }
    if (!ok) {
        if (FLibrary) FreeLibrary(FLibrary);
        FLibrary = nullptr;
        Failed = true;
        throw ESpellError(Format(SpellString(sErrorLoadingDll).c_str(), FEnginePath.c_str()));
    }
}

void TCSAPISpeller::Test(uint32_t Status)
{
    unsigned code = Status & 0xFFFF;
    if (code) throw ESpellError(Format(SpellString(sSpellingErrorNo).c_str(), code));
}

TSpellReturnCode TCSAPISpeller::Check(const char* Text, int Length, int& ErrorPos, int& ErrorLen, uint16_t State)
{
    if (Failed) return 0;
    FInput.Length = static_cast<uint16_t>(Length);
    FInput.Text = Text;
    FInput.State = State;
    Test(Call<FCheck>(eCheck, FSpellerId, 2u, &FInput, &FReturn));
    TSpellReturnCode code = static_cast<TSpellReturnCode>(FReturn.Status & 0xFF);
    if (code == srNoErrors) return srNoErrors;
    ErrorPos = FReturn.ErrorPos;
    ErrorLen = FReturn.ErrorLen;
    FLastWord.assign(Text + ErrorPos, static_cast<size_t>(ErrorLen));
    return code;
}

TSpellReturnCode TCSAPISpeller::CheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen)
{
    return Check(Text, Length, ErrorPos, ErrorLen, 0);
}

TSpellReturnCode TCSAPISpeller::ContinueCheckText(const char* Text, int Length, int& ErrorPos, int& ErrorLen)
{
    return Check(Text, Length, ErrorPos, ErrorLen, 1);
}

void TCSAPISpeller::ChangeOnce(const std::string& Word, const std::string& NewWord)
{
    if (!Failed) Test(Call<FAddChangeUdr>(eAddChangeUdr, FSpellerId, 0xFFFCu, Word.c_str(), NewWord.c_str()));
}

void TCSAPISpeller::ChangeAlways(const std::string& Word, const std::string& NewWord)
{
    if (!Failed) Test(Call<FAddChangeUdr>(eAddChangeUdr, FSpellerId, 0xFFFDu, Word.c_str(), NewWord.c_str()));
}

void TCSAPISpeller::AddToCustomDict(const std::string& Word)
{
    if (!Failed) Test(Call<FAddUdr>(eAddUdr, FSpellerId, FUserDict, Word.c_str()));
}

void TCSAPISpeller::IgnoreAlways(const std::string& Word)
{
    if (!Failed) Test(Call<FAddUdr>(eAddUdr, FSpellerId, 0xFFFEu, Word.c_str()));
}

void TCSAPISpeller::GetSuggestions(const std::string& Word, TStrings* List)
{
    List->Clear();
    if (Failed) return;
    std::string word = Word;
    TSpellInputBuffer in = FInput;
    in.Length = static_cast<uint16_t>(word.size());
    in.State = 0;
    in.Text = word.c_str();
    std::string strings(2048, '\0'), ratings(256, '\0');
    TSpellReturnBuffer rb = {};
    rb.StringAreaSize = 2047;
    rb.Strings = strings.data();
    rb.Ratings = reinterpret_cast<uint8_t*>(ratings.data());
    rb.RatingsSize = 255;
    Test(Call<FCheck>(eCheck, FSpellerId, 3u, &in, &rb));
    // A library that never says it has no more is not asked for ever.
    for (int batch = 0; rb.Status != 8 && batch < 100; ++batch) {
        for (const char* p = strings.data(); *p; p += std::strlen(p) + 1)
            if (List->IndexOf(p) < 0) List->Add(p);
        Test(Call<FCheck>(eCheck, FSpellerId, 4u, &in, &rb));
    }
}

void TCSAPISpeller::GetReplacement(std::string& S) { S = Failed ? std::string() : std::string(FStrings.c_str()); }

void TCSAPISpeller::GetLastWord(std::string& S) { S = Failed ? std::string() : FLastWord; }

} // namespace pw
