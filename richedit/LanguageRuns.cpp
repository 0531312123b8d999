#include "LanguageRuns.h"

#include "RichEdit98.h"
#include "Streams.h"
#include "SysUtils.h"

#include <cstring>
#include <sstream>

namespace pw {

namespace {

const char* const Tag = "{\\*\\pwlangs ";

// Selection, event mask and redraw are put back when the scan or the marking is done.
struct TQuietSelection {
    TCustomRichEdit98* R;
    CHARRANGE Saved = {0, 0};
    LRESULT Mask;
    explicit TQuietSelection(TCustomRichEdit98* r) : R(r)
    {
        R->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        Mask = R->Perform(EM_SETEVENTMASK, 0, 0);
        R->Perform(WM_SETREDRAW, 0, 0);
    }
    ~TQuietSelection()
    {
        R->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&Saved));
        R->Perform(WM_SETREDRAW, 1, 0);
        R->Perform(EM_SETEVENTMASK, 0, Mask);
        if (R->HandleAllocated()) InvalidateRect(R->Handle(), nullptr, TRUE);
    }
};

// The language of [From, To) when it is one language throughout, else -1.
long UniformLanguage(TCustomRichEdit98* r, long From, long To)
{
    CHARRANGE cr = {From, To};
    r->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    CHARFORMAT2W f;
    std::memset(&f, 0, sizeof f);
    f.cbSize = sizeof f;
    r->Perform(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    return (f.dwMask & CFM_LCID) ? static_cast<long>(LOWORD(f.lcid)) : -1;
}

} // namespace

bool IsRichTextFormat(const TMemoryStream& Stream)
{
    const auto& d = Stream.Data();
    return d.size() >= 5 && std::memcmp(d.data(), "{\\rtf", 5) == 0;
}

std::vector<TLanguageRun> ReadLanguageRuns(TCustomRichEdit98* RichEdit)
{
    std::vector<TLanguageRun> runs;
    if (!RichEdit->HandleAllocated()) return runs;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    for (long pos = 0; pos < length;) {
        long lang = UniformLanguage(RichEdit, pos, pos + 1);
        // Gallop while the language holds, then halve the step back to the exact end.
        long good = pos + 1, step = 1;
        while (good < length) {
            long next = std::min(length, good + step);
            if (UniformLanguage(RichEdit, pos, next) == lang) {
                good = next;
                step *= 2;
            } else if (step > 1) {
                step /= 2;
            } else {
                break;
            }
        }
        runs.push_back(TLanguageRun{pos, good, static_cast<unsigned>(lang < 0 ? 0 : lang)});
        pos = good;
    }
    return runs;
}

void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const std::vector<TLanguageRun>& Runs)
{
    if (!RichEdit->HandleAllocated() || Runs.empty()) return;
    long length = RichEdit->GetTextLen();
    TQuietSelection quiet(RichEdit);
    for (const TLanguageRun& run : Runs) {
        if (run.Start >= length || run.End <= run.Start) continue;
        CHARRANGE cr = {run.Start, std::min(run.End, length)};
        RichEdit->Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        CHARFORMAT2W f;
        std::memset(&f, 0, sizeof f);
        f.cbSize = sizeof f;
        f.dwMask = CFM_LCID;
        f.lcid = run.Language;
        RichEdit->Perform(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
    }
}

std::string WithLanguageRuns(TCustomRichEdit98* RichEdit, const std::string& RTF)
{
    size_t close = RTF.rfind('}');
    if (close == std::string::npos) return RTF;
    std::string group = Tag;
    for (const TLanguageRun& r : ReadLanguageRuns(RichEdit))
        group += Format("%ld %ld %u;", r.Start, r.End, r.Language);
    group += "}";
    return RTF.substr(0, close) + group + RTF.substr(close);
}

std::vector<TLanguageRun> ParseLanguageRuns(const std::string& RTF)
{
    std::vector<TLanguageRun> runs;
    size_t at = RTF.rfind(Tag);
    if (at == std::string::npos) return runs;
    size_t end = RTF.find('}', at);
    std::istringstream in(RTF.substr(at + std::strlen(Tag), end == std::string::npos ? std::string::npos : end - at - std::strlen(Tag)));
    TLanguageRun r;
    char sep;
    while (in >> r.Start >> r.End >> r.Language >> sep) {
        if (sep != ';' || r.Start < 0 || r.End < r.Start || r.Language > 0xFFFF) break;
        runs.push_back(r);
    }
    return runs;
}

void ApplyLanguageRuns(TCustomRichEdit98* RichEdit, const TMemoryStream& RTF)
{
    ApplyLanguageRuns(RichEdit, ParseLanguageRuns(std::string(RTF.Memory(), RTF.Data().size())));
}

} // namespace pw
