// Spell-checking a long document through the driver, against the same text handed straight
// to the engine; saving it, against the control's own RTF stream. Uses the spelling engines
// registered in the prefix (scripts/register-dictionaries.sh).
// Run: wine build/win/bench/editor/driver_bench.exe [PARAGRAPHS [errors]]
#include "Forms.h"
#include "LanguageRuns.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "SpellChecker.h"
#include "SpellerDialog.h"
#include "Streams.h"
#include "SysUtils.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace pw;

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Mark(TRichEdit98* e, long start, long end, TLanguage lang)
{
    CHARRANGE r = {start, end};
    e->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2W f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    f.dwMask = CFM_LCID;
    f.lcid = lang;
    e->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
}

DWORD CALLBACK Collect(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<const char*>(Buffer), static_cast<size_t>(Count));
    *Done = Count;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int paragraphs = argc > 1 ? std::atoi(argv[1]) : 1000;
    // Without misspellings the check measures the walk over the document; with one in every
    // tenth paragraph, also the dialog's display of each error.
    const bool withErrors = argc > 2 && std::strcmp(argv[2], "errors") == 0;
    Application = new TApplication(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string custom = std::string(temp) + "driver_bench_custom.dic";

    auto* host = new TForm(nullptr);
    host->SetBounds(0, 0, 600, 400);
    auto* edit = new TRichEdit98(host);
    edit->SetName("RichEdit");
    edit->SetParent(host);
    edit->SetAlign(TAlign::alClient);
    host->HandleNeeded();

    // English prose with a misspelling every ten paragraphs and a Russian sentence in every
    // fifth one.
    const std::wstring english = L"The cat sat on the mat and looked at the dog across the room. ";
    const std::wstring russian = L"\x041A\x043E\x0442 \x0441\x0438\x0434\x0435\x043B \x043D\x0430 \x043A\x043E\x0432\x0440\x0435. ";
    std::wstring text;
    struct TRun { long Start, End; };
    std::vector<TRun> russianRuns;
    for (int p = 0; p < paragraphs; ++p) {
        text += english;
        if (withErrors && p % 10 == 3) text += L"Here is a misteak. ";
        if (p % 5 == 1) {
            long s = static_cast<long>(text.size());
            text += russian;
            russianRuns.push_back({s, static_cast<long>(text.size())});
        }
        text += english;
        text += L"\r";
    }
    {
        TWideModeGuard wide(edit);
        edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    Mark(edit, 0, -1, 1033);
    for (const TRun& r : russianRuns) Mark(edit, r.Start, r.End, 1049);
    std::printf("document: %d paragraphs, %zu characters, %zu Russian runs\n", paragraphs, text.size(),
                russianRuns.size());

    auto* checker = new TSpellChecker(host);
    checker->SetLanguage(1033);
    checker->SetCustomDict(custom);
    checker->SetHTMLSupport(true);
    // Engines are loaded before the clock starts.
    if (!checker->SpellerFor(1033) || !checker->SpellerFor(1049)) {
        std::printf("no engine registered for English or Russian: run scripts/register-dictionaries.sh\n");
        return 1;
    }

    {
        TStringList list;
        auto s0 = std::chrono::steady_clock::now();
        for (int i = 0; i < 10; ++i) checker->GetVariants("misteak", &list, 1033);
        std::printf("suggestions for one word: %.1f ms (%d)\n", Seconds(s0) * 100, list.Count());
    }
    edit->Perform(EM_SETSEL, 0, 0);
    auto t0 = std::chrono::steady_clock::now();
    int errors = 0;
    checker->CheckControl(edit);
    while (checker->ReturnCode() != 0) {
        ++errors;
        checker->CheckNext();
    }
    double driver = Seconds(t0);

    // The same paragraphs straight to the engines, each piece in its own language.
    TAbstractSpeller* en = checker->SpellerFor(1033);
    TAbstractSpeller* ru = checker->SpellerFor(1049);
    t0 = std::chrono::steady_clock::now();
    int direct = 0;
    size_t at = 0;
    size_t runIndex = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\r', at);
        if (end == std::wstring::npos) end = text.size();
        size_t from = at;
        while (from < end) {
            bool inRussian = runIndex < russianRuns.size() && static_cast<long>(from) >= russianRuns[runIndex].Start;
            size_t to = inRussian ? static_cast<size_t>(russianRuns[runIndex].End)
                                  : (runIndex < russianRuns.size() && static_cast<size_t>(russianRuns[runIndex].Start) < end
                                         ? static_cast<size_t>(russianRuns[runIndex].Start) : end);
            TAbstractSpeller* s = inRussian ? ru : en;
            std::string piece = WideToString(text.substr(from, to - from), inRussian ? 1251 : 1252);
            int pos = 0, len = 0, offset = 0;
            bool fresh = from == at;
            while (offset < static_cast<int>(piece.size())) {
                const char* p = piece.c_str() + offset;
                int n = static_cast<int>(piece.size()) - offset;
                TSpellReturnCode code = fresh ? s->CheckText(p, n, pos, len) : s->ContinueCheckText(p, n, pos, len);
                fresh = false;
                if (!code) break;
                ++direct;
                offset += pos + len;
            }
            if (inRussian) ++runIndex;
            from = to;
        }
        at = end + 1;
    }
    double engine = Seconds(t0);
    std::printf("check: driver %.2f s (%d errors), engines directly %.2f s (%d errors): driver/engines %.1f\n",
                driver, errors, engine, direct, engine > 0 ? driver / engine : 0.0);
    if (errors) std::printf("each error shown in the dialog: %.0f ms\n", 1000 * driver / errors);

    t0 = std::chrono::steady_clock::now();
    auto runs = ReadLanguageRuns(edit);
    double runsTime = Seconds(t0);
    TMemoryStream saved;
    t0 = std::chrono::steady_clock::now();
    edit->Lines()->SaveToStream(&saved);
    double save = Seconds(t0);
    std::string raw;
    t0 = std::chrono::steady_clock::now();
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&raw), 0, Collect};
    edit->Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    double stream = Seconds(t0);
    std::printf("save: %.2f s (language runs %.2f s, %zu runs), the control's own RTF stream %.2f s: save/stream %.1f\n",
                save, runsTime, runs.size(), stream, stream > 0 ? save / stream : 0.0);
    delete host;
    DeleteFileA(custom.c_str());
    return 0;
}
