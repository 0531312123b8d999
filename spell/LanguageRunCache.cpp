#include "LanguageRunCache.h"

#include "RichEdit98.h"

#include <algorithm>

namespace pw {

namespace {

// The most language runs read at once out of view: the cost of a piece changes with its
// position, so that a piece measured in one place may cost more in another.
constexpr int LongestRunsRead = 8192;

// Adds a run to Out, joined to the last one where it goes on with the same language.
void AddRun(std::vector<TLanguageRun>& Out, long From, long To, unsigned Language)
{
    if (To <= From) return;
    if (!Out.empty() && Out.back().Language == Language && Out.back().End == From) Out.back().End = To;
    else Out.push_back(TLanguageRun{From, To, Language});
}

} // namespace

const TLanguageRun* TLanguageRunCache::RunBefore(int Pos) const
{
    long at = std::max(Pos, 1);
    for (const TLanguageRun& r : FRuns)
        if (r.Start < at && r.End >= at) return &r;
    return nullptr;
}

void TLanguageRunCache::ShiftRuns(int From, int OldEnd, int Delta)
{
    if (FRuns.empty()) return;
    const TLanguageRun* before = RunBefore(From);
    unsigned typed = before ? before->Language : FRuns.front().Language;
    std::vector<TLanguageRun> out;
    for (const TLanguageRun& r : FRuns) AddRun(out, r.Start, std::min<long>(r.End, From), r.Language);
    AddRun(out, From, OldEnd + Delta, typed);
    for (const TLanguageRun& r : FRuns) AddRun(out, std::max<long>(r.Start, OldEnd) + Delta, r.End + Delta, r.Language);
    FRuns = std::move(out);
}

void TLanguageRunCache::ReadRuns(std::vector<TLiveParagraph>& Paragraphs, size_t First, int TextLength, TCharRange View,
                                 double BudgetMs)
{
    // All of those in view, and as many more as the time allows (it grows with the position
    // in some controls: the cost of the last piece, read nearby, is the measure).
    double want = BudgetMs / FRunsCost;
    size_t last = First;
    double chars = Paragraphs[First].Length + 1;
    while (last + 1 < Paragraphs.size() && !Paragraphs[last + 1].Languages) {
        const TLiveParagraph& next = Paragraphs[last + 1];
        bool inView = next.Start <= View.End && next.Start + next.Length >= View.Start;
        if (!inView && (chars + next.Length + 1 > want || chars + next.Length + 1 > LongestRunsRead)) break;
        chars += next.Length + 1;
        ++last;
    }
    int from = Paragraphs[First].Start;
    int to = std::min(TextLength, Paragraphs[last].Start + Paragraphs[last].Length + 1);
    double t = SliceClockMs();
    std::vector<TLanguageRun> fresh = ReadLanguageRuns(FEditor, from, to);
    // The measure rises at once and falls slowly: a slice had better end early than late.
    FRunsLast = SliceClockMs() - t;
    if (to - from >= LeastReadPiece) FRunsCost = std::max({1e-6, FRunsLast / (to - from), FRunsCost * 0.7});
    std::vector<TLanguageRun> out;
    out.reserve(FRuns.size() + fresh.size());
    for (const TLanguageRun& r : FRuns) {
        if (r.Start >= from) break;
        AddRun(out, r.Start, std::min<long>(r.End, from), r.Language);
    }
    for (const TLanguageRun& r : fresh)
        AddRun(out, std::max<long>(r.Start, from), std::min<long>(r.End, to), r.Language);
    for (const TLanguageRun& r : FRuns)
        if (r.End > to) AddRun(out, std::max<long>(r.Start, to), r.End, r.Language);
    FRuns = std::move(out);
    for (size_t k = First; k <= last; ++k) Paragraphs[k].Languages = true;
}

TLanguage TLanguageRunCache::LanguageFrom(int Pos, int& End) const
{
    auto r = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<long>(Pos),
                              [](long p, const TLanguageRun& run) { return p < run.End; });
    if (r == FRuns.end()) return 0;
    if (r->Start > Pos) {
        End = std::min<int>(End, static_cast<int>(r->Start));
        return 0;
    }
    End = std::min<int>(End, static_cast<int>(r->End));
    return static_cast<TLanguage>(r->Language);
}

TLanguage TLanguageRunCache::LanguageAt(int Pos) const
{
    unsigned lang = 0;
    for (const TLanguageRun& r : FRuns)
        if (r.Start <= Pos && Pos < r.End) lang = r.Language;
    return static_cast<TLanguage>(lang);
}

} // namespace pw
