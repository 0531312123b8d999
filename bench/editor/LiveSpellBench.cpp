// Spelling as you type on a long document: the time until the whole text is marked and the
// longest idle slice, after loading, a keystroke, a change of language, a paste and its undo;
// the whole marking against the same paragraphs handed straight to the engines. Uses the spelling engines registered in
// the prefix (scripts/register-dictionaries.sh). Run: build/ARCH/bench/editor/livespell_bench.exe [PARAGRAPHS] in the
// architecture's prefix (README, Figures)
#include "Forms.h"
#include "LanguageRuns.h"
#include "LiveSpeller.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "SpellChecker.h"

#include <algorithm>
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

} // namespace

int main(int argc, char** argv)
{
    const int paragraphs = argc > 1 ? std::atoi(argv[1]) : 10000;
    Application = new TApplication(nullptr);
    auto* host = new TForm(nullptr);
    host->SetBounds(0, 0, 700, 500);
    auto* edit = new TRichEdit98(host);
    edit->SetParent(host);
    edit->SetAlign(TAlign::alClient);
    host->HandleNeeded();

    // English prose with a misspelling in every tenth paragraph and a Russian sentence in
    // every fifth one.
    const std::wstring english = L"The cat sat on the mat and looked at the dog across the room. ";
    const std::wstring russian =
        L"\x041A\x043E\x0442 \x0441\x0438\x0434\x0435\x043B \x043D\x0430 \x043A\x043E\x0432\x0440\x0435. ";
    std::wstring text;
    std::vector<std::pair<long, long>> russianRuns;
    for (int p = 0; p < paragraphs; ++p) {
        text += english;
        if (p % 10 == 3) text += L"Here is a misteak. ";
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
    for (const auto& r : russianRuns) Mark(edit, r.first, r.second, 1049);
    edit->Perform(EM_SETSEL, 0, 0);
    host->Show();
    std::printf("document: %d paragraphs, %zu characters (%.1f MB as UTF-16)\n", paragraphs, text.size(),
                static_cast<double>(text.size()) * 2 / (1024 * 1024));

    auto* checker = new TSpellChecker(host);
    checker->SetLanguage(1033);
    if (!checker->SpellerFor(1033) || !checker->SpellerFor(1049)) {
        std::printf("no engine registered for English or Russian: run scripts/register-dictionaries.sh\n");
        return 1;
    }

    // Baseline: every paragraph straight to the engine of its language, error by error.
    TAbstractSpeller* en = checker->SpellerFor(1033);
    auto t0 = std::chrono::steady_clock::now();
    int direct = 0;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L'\r', at);
        if (end == std::wstring::npos) end = text.size();
        std::string piece = WideToString(text.substr(at, end - at), 1252);
        for (int off = 0, pos = 0, len = 0; off < static_cast<int>(piece.size()); off += pos + std::max(len, 1)) {
            if (!en->CheckText(piece.c_str() + off, static_cast<int>(piece.size()) - off, pos, len)) break;
            ++direct;
        }
        at = end + 1;
    }
    double engines = Seconds(t0);

    t0 = std::chrono::steady_clock::now();
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    LRESULT n = edit->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
    std::wstring whole(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX gt = {static_cast<DWORD>((n + 1) * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    edit->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(whole.data()));
    double read = Seconds(t0);
    t0 = std::chrono::steady_clock::now();
    size_t runs = ReadLanguageRuns(edit).size();
    std::printf("reading the text: %.1f ms; its language runs: %.1f ms (%zu runs)\n", read * 1000, Seconds(t0) * 1000,
                runs);

    auto* live = new TLiveSpeller(host, edit, checker); // it hears the editor's changes itself

    // Slices until nothing is left, each timed here: the longest, how many, and when the
    // visible text was done.
    struct TRun {
        double Longest = 0, Total = 0, First = 0;
        int Slices = 0;
    };
    auto slices = [&] {
        TRun r;
        auto t = std::chrono::steady_clock::now();
        for (bool more = true; more && r.Slices < 100000;) {
            auto s = std::chrono::steady_clock::now();
            more = live->RunSlice(10.0);
            double ms = Seconds(s) * 1000;
            r.Longest = std::max(r.Longest, ms);
            if (++r.Slices == 1) r.First = ms;
        }
        r.Total = Seconds(t);
        return r;
    };
    auto report = [](const char* what, const TRun& r) {
        std::printf("%-44s longest slice %6.1f ms, %5d slices, %.2f s in all (first slice %.1f ms)\n", what, r.Longest,
                    r.Slices, r.Total, r.First);
    };

    TRun load = slices();
    report("marking the freshly loaded document:", load);
    std::printf(
        "  %zu marks; engines alone on the same text: %.2f s (%d reports, English engine only): marking/engines "
        "%.1f\n",
        live->Marks().size(), engines, direct, engines > 0 ? load.Total / engines : 0.0);

    // One keystroke in the middle (the caret and the view go there), then its re-check.
    const long middle = static_cast<long>(text.size() / 2);
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(middle), middle);
    edit->Perform(EM_SCROLLCARET, 0, 0);
    SendMessageA(edit->Handle(), WM_CHAR, 'x', 0);
    report("one keystroke in the middle:", slices());

    // Another language for one paragraph there, as the Language command does.
    long line = static_cast<long>(edit->Perform(EM_EXLINEFROMCHAR, 0, middle));
    long from = static_cast<long>(edit->Perform(EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    long to = from + static_cast<long>(edit->Perform(EM_LINELENGTH, static_cast<WPARAM>(from), 0));
    Mark(edit, from, to, 1049);
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(from), from);
    live->LanguagesChanged();
    report("a paragraph marked Russian:", slices());

    // A paste of 100 paragraphs copied from the start of the document, at the caret.
    long copyEnd = static_cast<long>(edit->Perform(EM_LINEINDEX, 100, 0));
    edit->Perform(EM_SETSEL, 0, copyEnd);
    edit->Perform(WM_COPY, 0, 0);
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(from), from);
    long before = edit->GetTextLen();
    edit->Perform(WM_PASTE, 0, 0);
    std::printf("(pasted %ld characters)\n", edit->GetTextLen() - before);
    report("a paste of 100 paragraphs:", slices());

    // Undoing it.
    edit->Perform(EM_UNDO, 0, 0);
    report("undoing the paste:", slices());

    // A paste of 1,000 paragraphs: more than is read around an edit at once. (Text this long
    // may come off the clipboard without its languages: it goes into English text.)
    copyEnd = static_cast<long>(edit->Perform(EM_LINEINDEX, 1000, 0));
    edit->Perform(EM_SETSEL, 0, copyEnd);
    edit->Perform(WM_COPY, 0, 0);
    long at = static_cast<long>(edit->Perform(EM_LINEINDEX, static_cast<WPARAM>(line + 10), 0));
    edit->Perform(EM_SETSEL, static_cast<WPARAM>(at), at);
    before = edit->GetTextLen();
    edit->Perform(WM_PASTE, 0, 0);
    std::printf("(pasted %ld characters)\n", edit->GetTextLen() - before);
    report("a paste of 1,000 paragraphs:", slices());
    std::printf("longest slice over everything: %.1f ms; %zu marks at the end\n", live->LongestSliceMs(),
                live->Marks().size());
    delete host;
    return 0;
}
