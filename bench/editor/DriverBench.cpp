// The editor with long documents, each figure against a baseline measured in the same run:
// - the spell-check walk through the driver, against the same pieces handed straight to the
//   engines;
// - saving the document (language runs included), against the control's own RTF stream: both
//   into memory, and both into a file (the editor writes a temporary file and renames it over
//   the document; the stream's bytes go straight into their file);
// - opening a 10 MB RTF document, against a bare EM_STREAMIN of the same bytes into a bare
//   rich edit window of the same size and visibility (hidden: a shown one lays out text in
//   time that grows with the square of its length under Wine).
// Uses the spelling engines registered in the prefix (scripts/register-dictionaries.sh).
// Run: build/ARCH/bench/editor/driver_bench.exe [PARAGRAPHS... [errors]]  (default 1000 10000) in the
// architecture's prefix (README, Figures)
#include "Forms.h"
#include "LanguageRuns.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "SpellChecker.h"
#include "SpellerDialog.h"
#include "Streams.h"
#include "SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace pw;

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point t0) { return std::chrono::duration<double>(TClock::now() - t0).count(); }

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

DWORD CALLBACK Collect(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<const char*>(Buffer), static_cast<size_t>(Count));
    *Done = Count;
    return 0;
}

struct TSource {
    const std::string* Bytes;
    size_t At;
};

DWORD CALLBACK Supply(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    auto* s = reinterpret_cast<TSource*>(Cookie);
    size_t n = std::min(static_cast<size_t>(Count), s->Bytes->size() - s->At);
    std::memcpy(Buffer, s->Bytes->data() + s->At, n);
    s->At += n;
    *Done = static_cast<LONG>(n);
    return 0;
}

const std::wstring English = L"The cat sat on the mat and looked at the dog across the room. ";
const std::wstring Russian = L"\x041A\x043E\x0442 \x0441\x0438\x0434\x0435\x043B \x043D\x0430 \x043A\x043E\x0432\x0440\x0435. ";

struct TRun {
    long Start, End;
};

// English paragraphs with a Russian sentence in every fifth one and, with errors, a
// misspelling in every tenth.
std::wstring MakeText(int Paragraphs, bool WithErrors, std::vector<TRun>& RussianRuns)
{
    std::wstring text;
    for (int p = 0; p < Paragraphs; ++p) {
        text += English;
        if (WithErrors && p % 10 == 3) text += L"Here is a misteak. ";
        if (p % 5 == 1) {
            long s = static_cast<long>(text.size());
            text += Russian;
            RussianRuns.push_back({s, static_cast<long>(text.size())});
        }
        text += English;
        text += L"\r";
    }
    return text;
}

// A book-like document as RTF of at least MinBytes bytes, in the shape the editor saves it
// (\lang at each run, the runs recorded in their own destination): paragraphs of eight English
// sentences, a Russian one in every fifth paragraph.
std::string MakeRTF(size_t MinBytes)
{
    std::string body, runs;
    long pos = 0;
    auto run = [&](long from, long to, unsigned lang) { runs += Format("%ld %ld %u;", from, to, lang); };
    std::string russian;
    for (wchar_t c : Russian) russian += c < 128 ? std::string(1, static_cast<char>(c)) : Format("\\u%d?", c);
    std::string english = WideToString(English, 1252);
    const long sentence = static_cast<long>(English.size());
    long runStart = 0;
    for (int p = 0; body.size() < MinBytes; ++p) {
        body += "\\pard\\f0\\lang1033 ";
        for (int k = 0; k < 4; ++k) body += english;
        pos += 4 * sentence;
        if (p % 5 == 1) {
            run(runStart, pos, 1033);
            body += "\\f1\\lang1049 " + russian + "\\f0\\lang1033 ";
            run(pos, pos + static_cast<long>(Russian.size()), 1049);
            pos += static_cast<long>(Russian.size());
            runStart = pos;
        }
        for (int k = 0; k < 4; ++k) body += english;
        body += "\\par\r\n";
        pos += 4 * sentence + 1;
    }
    run(runStart, pos, 1033);
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
           "{\\f1\\fnil\\fcharset204 Arial;}}\r\n\\uc1" + body + "{\\*\\pwlangs " + runs + "}}\r\n";
}

struct TWalk {
    double Driver, Engines;
    int Errors;
};

// The same paragraphs straight to the engines, each piece in its own language.
double EnginesOnly(const std::wstring& Text, const std::vector<TRun>& RussianRuns, TAbstractSpeller* En,
                   TAbstractSpeller* Ru)
{
    auto t0 = TClock::now();
    size_t at = 0, runIndex = 0;
    while (at < Text.size()) {
        size_t end = Text.find(L'\r', at);
        if (end == std::wstring::npos) end = Text.size();
        for (size_t from = at; from < end;) {
            bool inRussian = runIndex < RussianRuns.size() && static_cast<long>(from) >= RussianRuns[runIndex].Start;
            size_t next = runIndex < RussianRuns.size() && static_cast<size_t>(RussianRuns[runIndex].Start) < end
                              ? static_cast<size_t>(RussianRuns[runIndex].Start) : end;
            size_t to = inRussian ? static_cast<size_t>(RussianRuns[runIndex].End) : next;
            TAbstractSpeller* s = inRussian ? Ru : En;
            std::string piece = WideToString(Text.substr(from, to - from), inRussian ? 1251 : 1252);
            int pos = 0, len = 0, offset = 0;
            bool fresh = from == at;
            while (offset < static_cast<int>(piece.size())) {
                const char* p = piece.c_str() + offset;
                int n = static_cast<int>(piece.size()) - offset;
                TSpellReturnCode code = fresh ? s->CheckText(p, n, pos, len) : s->ContinueCheckText(p, n, pos, len);
                fresh = false;
                if (!code) break;
                offset += pos + len;
            }
            if (inRussian) ++runIndex;
            from = to;
        }
        at = end + 1;
    }
    return Seconds(t0);
}

TWalk Walk(TSpellChecker* Checker, TRichEdit98* Edit, const std::wstring& Text, const std::vector<TRun>& Runs)
{
    TWalk w{};
    Edit->Perform(EM_SETSEL, 0, 0);
    auto t0 = TClock::now();
    Checker->CheckControl(Edit);
    while (Checker->ReturnCode() != 0) {
        ++w.Errors;
        Checker->CheckNext();
    }
    w.Driver = Seconds(t0);
    w.Engines = 1e9;
    for (int i = 0; i < 2; ++i)
        w.Engines = std::min(w.Engines, EnginesOnly(Text, Runs, Checker->SpellerFor(1033), Checker->SpellerFor(1049)));
    return w;
}

struct TSaveTimes {
    double Ours, Bare;          // into memory: the document's bytes, the control's own RTF stream
    double OursFile, BareFile;  // into a file: the editor's save, the bare stream written to a file
};

// The bare stream's bytes into a new file, as a program without a safe save writes them.
void WriteFileOnce(const std::string& Path, const std::string& Bytes)
{
    HANDLE h = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, Bytes.data(), static_cast<DWORD>(Bytes.size()), &done, nullptr);
        CloseHandle(h);
    }
}

const int SaveRounds = 7;

double Best(std::vector<double> v) { return *std::min_element(v.begin(), v.end()); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Rounds of each in turn, after one of each that is not timed; the best of each is its figure
// (on a shared machine a few milliseconds lost to other programs land on any of them), the
// medians are printed beside. The file save is the one the editor's File > Save makes: a
// temporary file beside the document, renamed over it.
TSaveTimes Save(TRichEdit98* Edit, const std::string& Folder)
{
    std::string raw;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&raw), 0, Collect};
    Edit->Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    const std::string ours = Folder + "driver_bench_save.rtf", bare = Folder + "driver_bench_stream.rtf";
    Edit->Lines()->SaveToFile(ours);
    WriteFileOnce(bare, raw);
    std::vector<double> o, b, of, bf;
    for (int i = 0; i < SaveRounds; ++i) {
        TMemoryStream saved;
        auto t0 = TClock::now();
        Edit->Lines()->SaveToStream(&saved);
        o.push_back(Seconds(t0));
        raw.clear();
        t0 = TClock::now();
        Edit->Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
        b.push_back(Seconds(t0));
        t0 = TClock::now();
        Edit->Lines()->SaveToFile(ours);
        of.push_back(Seconds(t0));
        raw.clear();
        t0 = TClock::now();
        Edit->Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
        WriteFileOnce(bare, raw);
        bf.push_back(Seconds(t0));
    }
    DeleteFileA(ours.c_str());
    DeleteFileA(bare.c_str());
    std::printf("  save, median of %d: %.4f s, the stream %.4f s; into a file %.4f s and %.4f s\n", SaveRounds,
                Median(o), Median(b), Median(of), Median(bf));
    return {Best(o), Best(b), Best(of), Best(bf)};
}

// Both controls hidden, each fresh; the bare one first.
void Open(const std::string& RTF, double& Ours, double& Bare, long& Length)
{
    auto* host = new TForm(nullptr);
    host->SetBounds(0, 0, 600, 400);
    host->HandleNeeded();
    RECT rc;
    GetClientRect(host->Handle(), &rc);
    HWND bare = CreateWindowExW(WS_EX_CLIENTEDGE, L"RICHEDIT20W", L"", WS_CHILD | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL,
                                0, 0, rc.right, rc.bottom, host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageW(bare, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    TSource src{&RTF, 0};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&src), 0, Supply};
    auto t0 = TClock::now();
    SendMessageW(bare, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    Bare = Seconds(t0);
    DestroyWindow(bare);

    auto* edit = new TRichEdit98(host);
    edit->SetVisible(false);
    edit->SetParent(host);
    edit->SetBounds(0, 0, rc.right, rc.bottom);
    edit->HandleNeeded();
    TMemoryStream m;
    m.WriteBuffer(RTF.data(), static_cast<long>(RTF.size()));
    m.SetPosition(0);
    t0 = TClock::now();
    edit->Lines()->LoadFromStream(&m);
    Ours = Seconds(t0);
    Length = edit->GetTextLen();
    delete host;
}

int RunOne(int Paragraphs, bool WithErrors, const std::string& Custom, const std::string& Folder, double& WalkTime)
{
    auto* host = new TForm(nullptr);
    host->SetBounds(0, 0, 600, 400);
    auto* edit = new TRichEdit98(host);
    edit->SetName("RichEdit");
    edit->SetParent(host);
    edit->SetAlign(TAlign::alClient);
    host->HandleNeeded();

    std::vector<TRun> russianRuns;
    std::wstring text = MakeText(Paragraphs, WithErrors, russianRuns);
    {
        TWideModeGuard wide(edit);
        edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::vector<TLanguageRun> marks = {{0, static_cast<long>(text.size()), 1033}};
    for (const TRun& r : russianRuns) marks.push_back({r.Start, r.End, 1049});
    ApplyLanguageRuns(edit, marks);
    std::printf("document: %d paragraphs, %zu characters, %zu Russian runs\n", Paragraphs, text.size(),
                russianRuns.size());

    auto* checker = new TSpellChecker(host);
    checker->SetLanguage(1033);
    checker->SetCustomDict(Custom);
    checker->SetHTMLSupport(true);
    // Engines are loaded before the clock starts.
    if (!checker->SpellerFor(1033) || !checker->SpellerFor(1049)) {
        std::printf("no engine registered for English or Russian: run scripts/register-dictionaries.sh\n");
        delete host;
        return 1;
    }
    TWalk w = Walk(checker, edit, text, russianRuns);
    WalkTime = w.Driver;
    std::printf("  check: driver %.2f s (%d errors), engines directly %.2f s: walk/engines %.1f\n", w.Driver, w.Errors,
                w.Engines, Ratio(w.Driver, w.Engines));
    if (w.Errors) std::printf("  each error shown in the dialog: %.0f ms\n", 1000 * w.Driver / w.Errors);

    TSaveTimes s = Save(edit, Folder);
    std::printf("  save, best of %d: %.4f s, the control's own RTF stream %.4f s: save/stream %.1f\n", SaveRounds, s.Ours, s.Bare,
                Ratio(s.Ours, s.Bare));
    // The disk's part, which the figures above leave out on both sides.
    std::printf("  save to a file (temporary file, renamed): %.4f s, the stream written to a file %.4f s: %.1f;"
                " the file's part %.4f s and %.4f s\n",
                s.OursFile, s.BareFile, Ratio(s.OursFile, s.BareFile), std::max(0.0, s.OursFile - s.Ours),
                std::max(0.0, s.BareFile - s.Bare));

    std::printf("ratios at %d paragraphs: walk/engines %.1f, save/stream %.1f, file save/stream to a file %.1f\n",
                Paragraphs, Ratio(w.Driver, w.Engines), Ratio(s.Ours, s.Bare), Ratio(s.OursFile, s.BareFile));
    std::fflush(stdout);
    delete host;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    bool withErrors = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "errors") == 0) withErrors = true;
        else counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) counts = {1000, 10000};
    Application = new TApplication(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string custom = std::string(temp) + "driver_bench_custom.dic";
    int rc = 0;
    std::vector<double> walks;
    for (int n : counts) {
        double t = 0;
        rc |= RunOne(n, withErrors, custom, temp, t);
        walks.push_back(t);
    }
    // The 10 MB document is the same whatever the paragraphs of the walk: opened once.
    std::string rtf = MakeRTF(10u << 20);
    double open = 0, bare = 0;
    long length = 0;
    Open(rtf, open, bare, length);
    std::printf("open %.1f MB RTF (%ld characters): %.2f s, bare EM_STREAMIN %.2f s: open/streamin %.2f\n",
                static_cast<double>(rtf.size()) / (1 << 20), length, open, bare, Ratio(open, bare));
    // Linear means ten times the text takes about ten times as long.
    for (size_t i = 1; i < counts.size(); ++i)
        std::printf("walk of %d against %d paragraphs: %.1f times the text, %.1f times the time\n", counts[i],
                    counts[0], static_cast<double>(counts[i]) / counts[0], Ratio(walks[i], walks[0]));
    DeleteFileA(custom.c_str());
    return rc;
}
