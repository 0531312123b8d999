#include "LiveSpeller.h"

#include "Controls.h"
#include "Graphics.h"
#include "RichEdit98.h"
#include "RichEditStrings98.h"
#include "SpellChecker.h"

#include <richedit.h>

#include <algorithm>
#include <map>

namespace pw {

namespace {

std::vector<TLiveSpeller*>& LiveSpellers()
{
    static std::vector<TLiveSpeller*> all;
    return all;
}

std::map<UINT_PTR, TLiveSpeller*>& Timers()
{
    static std::map<UINT_PTR, TLiveSpeller*> timers;
    return timers;
}

double NowMs()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// The whole text as the control counts positions: one character per paragraph mark.
std::wstring EditorText(TCustomRichEdit98* E)
{
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    LRESULT n = E->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n) + 1, L'\0');
    GETTEXTEX gt = {static_cast<DWORD>((n + 1) * 2), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT got = E->Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(w.data()));
    w.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(got, n))));
    return w;
}

bool IsParagraphMark(wchar_t c) { return c == L'\r' || c == L'\n'; }

bool IsWordCharacter(wchar_t c) { return IsCharAlphaNumericW(c) || c == L'\'' || c == 0x2019 || c == L'-'; }

// Longest a paragraph is checked in one go; a longer one goes on in the next step.
constexpr int ChunkLength = 2048;
// After an edit the text this far on both sides of the carets is read and compared at once.
constexpr int EditReach = 1024;
// An edit that needs more than this read at once has its text read in pieces instead.
constexpr int LongestEditRead = 65536;
// The most language runs read at once out of view: the cost of a piece changes with its
// position, so that a piece measured in one place may cost more in another.
constexpr int LongestRunsRead = 8192;
// The least a reading piece holds, however little time a slice has left.
constexpr int LeastPiece = 4096;

// Common beginning and end of two texts: the part between is what changed.
void Difference(const wchar_t* Old, int OldLength, const wchar_t* New, int NewLength, int& Prefix, int& Suffix)
{
    int n = std::min(OldLength, NewLength);
    Prefix = static_cast<int>(std::mismatch(Old, Old + n, New).first - Old);
    Suffix = 0;
    while (Suffix < n - Prefix && Old[OldLength - 1 - Suffix] == New[NewLength - 1 - Suffix]) ++Suffix;
}

} // namespace

TLiveSpeller::TLiveSpeller(TComponent* AOwner, TCustomRichEdit98* AEditor, TSpellChecker* AChecker)
    : TComponent(AOwner), FEditor(AEditor), FChecker(AChecker)
{
    LiveSpellers().push_back(this);
    if (FEditor) {
        FEditor->FreeNotification(this);
        FEditor->OnPaintOverlay = [this](TObject*, HDC dc) { PaintOverlay(dc); };
    }
    if (FChecker) FChecker->FreeNotification(this);
    Schedule(0);
}

TLiveSpeller::~TLiveSpeller()
{
    StopTimer();
    if (FEditor) FEditor->OnPaintOverlay = nullptr;
    auto& all = LiveSpellers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void TLiveSpeller::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FEditor) {
        FEditor = nullptr;
        StopTimer();
    }
    if (AComponent == FChecker) FChecker = nullptr;
}

void TLiveSpeller::SetEnabled(bool Value)
{
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (!FEnabled) {
        StopTimer();
        Clear();
        if (FEditor && FEditor->HandleAllocated()) InvalidateRect(FEditor->Handle(), nullptr, FALSE);
        return;
    }
    Clear();
    Schedule(0);
}

void TLiveSpeller::Clear()
{
    FText.clear();
    FParagraphs.clear();
    FRuns.clear();
    FTextStale = true;
    FEditFrom = FEditTo = -1;
    FReading = TReading::None;
    FFresh = std::wstring();
    FCursor = 0;
}

// ---- Events of the editor ----

void TLiveSpeller::TextChanged()
{
    if (!FEnabled || !FEditor) return;
    FTextStale = true;
    CHARRANGE cr{};
    FEditor->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    FTypingAt = cr.cpMax;
    FEditFrom = FEditFrom < 0 ? static_cast<int>(cr.cpMin) : std::min(FEditFrom, static_cast<int>(cr.cpMin));
    FEditTo = std::max(FEditTo, static_cast<int>(cr.cpMax));
    Schedule(SettleDelay);
}

void TLiveSpeller::SelectionChanged()
{
    if (!FEnabled || !FEditor || FTypingAt < 0) return;
    CHARRANGE cr{};
    FEditor->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    if (FTextStale) {
        FTypingAt = cr.cpMax;  // still typing
        return;
    }
    // The word the caret was typing in: letters on both sides of the typing position.
    int a = std::clamp(FTypingAt, 0, static_cast<int>(FText.size()));
    int b = a;
    while (a > 0 && IsWordCharacter(FText[static_cast<size_t>(a - 1)])) --a;
    while (b < static_cast<int>(FText.size()) && IsWordCharacter(FText[static_cast<size_t>(b)])) ++b;
    if (cr.cpMin == cr.cpMax && cr.cpMax >= a && cr.cpMax <= b) return;
    FTypingAt = -1;
    Redraw();
}

void TLiveSpeller::LanguagesChanged()
{
    if (!FEnabled || !FEditor) return;
    for (TParagraph& p : FParagraphs) {
        p.Checked = false;
        p.CheckedTo = 0;
        p.Marks.clear();
        p.Languages = false;
    }
    // The text is read again too, in pieces: when its length or what is in view differs, a
    // document came in and nothing is checked before it is read; otherwise checking goes on
    // with the text known while the reading confirms it.
    bool same = FEditor->HandleAllocated() && !FParagraphs.empty() && TextLength() == static_cast<int>(FText.size());
    if (same) {
        int a, b;
        VisibleRange(a, b);
        b = std::clamp(b, 0, static_cast<int>(FText.size()));
        a = std::clamp(a, 0, b);
        same = TextRange(a, b) == FText.substr(static_cast<size_t>(a), static_cast<size_t>(b - a));
    }
    FTextStale = false;
    FEditFrom = FEditTo = -1;
    StartReading(same ? TReading::Confirm : TReading::Renew);
    if (FEditor->HandleAllocated()) InvalidateRect(FEditor->Handle(), nullptr, FALSE);
    Schedule(0);
}

// ---- Idle timer ----

void TLiveSpeller::Schedule(unsigned Delay)
{
    if (!FEnabled || !FEditor) return;
    if (FTimer && FTimerPeriod == Delay) return;
    StopTimer();
    FTimer = SetTimer(nullptr, 0, Delay ? Delay : 1, &TLiveSpeller::TimerProc);
    FTimerPeriod = Delay;
    if (FTimer) Timers()[FTimer] = this;
}

void TLiveSpeller::StopTimer()
{
    if (!FTimer) return;
    KillTimer(nullptr, FTimer);
    Timers().erase(FTimer);
    FTimer = 0;
}

void CALLBACK TLiveSpeller::TimerProc(HWND, UINT, UINT_PTR Id, DWORD)
{
    Firewall<int>([&] {
        auto it = Timers().find(Id);
        if (it == Timers().end()) {
            KillTimer(nullptr, Id);
            return 0;
        }
        TLiveSpeller* s = it->second;
        // Timer messages come only when nothing else is waiting: this is idle time.
        if (s->RunSlice(10.0)) s->Schedule(15);
        else s->StopTimer();
        return 0;
    }, 0);
}

// ---- Following the text ----

std::vector<TLiveSpeller::TParagraph> TLiveSpeller::Split(const std::wstring& Text, int From, int To)
{
    std::vector<TParagraph> out;
    int start = From;
    for (int i = From; i < To; ++i) {
        if (!IsParagraphMark(Text[static_cast<size_t>(i)])) continue;
        out.push_back(TParagraph{start, i - start, false, 0, false, {}});
        start = i + 1;
    }
    out.push_back(TParagraph{start, To - start, false, 0, false, {}});
    return out;
}

size_t TLiveSpeller::ParagraphAt(int Pos) const
{
    // The paragraph whose text or closing mark holds Pos.
    auto it = std::upper_bound(FParagraphs.begin(), FParagraphs.end(), Pos,
                               [](int p, const TParagraph& para) { return p < para.Start; });
    if (it == FParagraphs.begin()) return 0;
    return static_cast<size_t>(it - FParagraphs.begin() - 1);
}

void TLiveSpeller::ReplaceParagraphs(int OldStart, int OldEnd, int Delta, bool KeepLanguages)
{
    size_t i = ParagraphAt(OldStart), j = ParagraphAt(OldEnd);
    int from = FParagraphs[i].Start;
    int to = FParagraphs[j].Start + FParagraphs[j].Length + Delta;
    to = std::clamp(to, from, static_cast<int>(FText.size()));
    bool known = KeepLanguages, marked = false;
    for (size_t k = i; k <= j; ++k) {
        known = known && FParagraphs[k].Languages;
        marked = marked || !FParagraphs[k].Marks.empty();
    }
    std::vector<TParagraph> fresh = Split(FText, from, to);
    for (TParagraph& p : fresh) p.Languages = known;
    for (size_t k = j + 1; k < FParagraphs.size(); ++k) FParagraphs[k].Start += Delta;
    FParagraphs.erase(FParagraphs.begin() + static_cast<long>(i), FParagraphs.begin() + static_cast<long>(j) + 1);
    FParagraphs.insert(FParagraphs.begin() + static_cast<long>(i), fresh.begin(), fresh.end());
    if (FCursor > FParagraphs.size()) FCursor = 0;
    // The control repaints the lines it changed, but a wave may hang below the last of them.
    if (marked) EraseLines(from, to);
}

void TLiveSpeller::EraseLines(int From, int To)
{
    // From the line of From down to the line after To (the end of the view after the last
    // paragraph), where the waves of the text between were drawn.
    if (!FEditor || !FEditor->HandleAllocated()) return;
    HWND h = FEditor->Handle();
    RECT r;
    GetClientRect(h, &r);
    POINTL a{}, b{};
    FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), From);
    r.top = std::max(r.top, static_cast<LONG>(a.y));
    if (To + 1 < static_cast<int>(FText.size())) {
        FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), To + 1);
        r.bottom = std::min(r.bottom, static_cast<LONG>(b.y));
    }
    if (r.bottom > r.top) InvalidateRect(h, &r, TRUE);
}

const TLanguageRun* TLiveSpeller::RunBefore(int Pos) const
{
    // The run of the character before Pos (of the first character at the start).
    long at = std::max(Pos, 1);
    for (const TLanguageRun& r : FRuns)
        if (r.Start < at && r.End >= at) return &r;
    return nullptr;
}

void TLiveSpeller::ShiftRuns(int From, int OldEnd, int Delta)
{
    if (FRuns.empty()) return;
    // What is typed takes the language of the character before it, as the control does.
    const TLanguageRun* before = RunBefore(From);
    unsigned typed = before ? before->Language : FRuns.front().Language;
    std::vector<TLanguageRun> out;
    auto add = [&](long a, long b, unsigned lang) {
        if (b <= a) return;
        if (!out.empty() && out.back().Language == lang && out.back().End == a) out.back().End = b;
        else out.push_back(TLanguageRun{a, b, lang});
    };
    for (const TLanguageRun& r : FRuns) add(r.Start, std::min<long>(r.End, From), r.Language);
    add(From, OldEnd + Delta, typed);
    for (const TLanguageRun& r : FRuns) add(std::max<long>(r.Start, OldEnd) + Delta, r.End + Delta, r.Language);
    FRuns = std::move(out);
}

void TLiveSpeller::Replaced(int From, int OldEnd, int Delta)
{
    // Typed text takes the language of the text before it; text that came in larger pieces
    // (pasted, replaced) may carry languages of its own, and so does a character typed where
    // no language is known yet (into a document that was empty): their runs are read again.
    bool typed = OldEnd + Delta - From <= 1 && RunBefore(From) != nullptr;
    ReplaceParagraphs(From, OldEnd, Delta, typed);
    ShiftRuns(From, OldEnd, Delta);
}

int TLiveSpeller::TextLength()
{
    GETTEXTLENGTHEX gl = {GTL_DEFAULT, 1200};
    return static_cast<int>(std::max<LRESULT>(0, FEditor->Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0)));
}

std::wstring TLiveSpeller::TextRange(int From, int To)
{
    if (To <= From) return {};
    std::vector<wchar_t> buf(static_cast<size_t>(To - From) + 1, L'\0');
    TEXTRANGEW tr = {{From, To}, buf.data()};
    TWideModeGuard wide(FEditor);
    LRESULT got = FEditor->Perform(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    return std::wstring(buf.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, To - From)));
}

void TLiveSpeller::Synchronize()
{
    FTextStale = false;
    int editFrom = FEditFrom, editTo = FEditTo;
    FEditFrom = FEditTo = -1;
    if (FReading == TReading::Renew || FParagraphs.empty()) {
        StartReading(TReading::Renew);
        return;
    }
    // The edits happened around the carets they left: that much is read and compared now.
    int newLength = TextLength(), oldLength = static_cast<int>(FText.size());
    int delta = newLength - oldLength;
    if (editFrom < 0) {
        CHARRANGE cr{};
        FEditor->Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        editFrom = static_cast<int>(cr.cpMin);
        editTo = static_cast<int>(cr.cpMax);
    }
    int w0 = std::clamp(editFrom - std::max(delta, 0) - EditReach, 0, newLength);
    int w1 = std::clamp(editTo + EditReach, w0, newLength);
    if (w1 - w0 < delta) {  // the new window holds at least what came in
        w1 = std::min(newLength, w0 + delta);
        w0 = w1 - delta;
    }
    if (w1 - w0 > LongestEditRead) {
        StartReading(TReading::Renew);
        return;
    }
    std::wstring fresh = TextRange(w0, w1);
    int newCount = w1 - w0, oldCount = newCount - delta;
    if (static_cast<int>(fresh.size()) != newCount || oldCount < 0 || w0 + oldCount > oldLength) {
        StartReading(TReading::Renew);
        return;
    }
    int prefix, suffix;
    Difference(FText.data() + w0, oldCount, fresh.data(), newCount, prefix, suffix);
    if (prefix < oldCount || prefix < newCount) {
        int from = w0 + prefix;
        FText.replace(static_cast<size_t>(from), static_cast<size_t>(oldCount - prefix - suffix), fresh,
                      static_cast<size_t>(prefix), static_cast<size_t>(newCount - prefix - suffix));
        Replaced(from, w0 + oldCount - suffix, delta);
    }
    // The rest is assumed unchanged until a reading in later slices confirms it.
    StartReading(TReading::Confirm);
}

void TLiveSpeller::StartReading(TReading Kind)
{
    if (FReading != TReading::Renew) FReading = Kind;
    FFresh.clear();
    FFreshLength = TextLength();
}

void TLiveSpeller::ReadStep(double Start, double BudgetMs)
{
    int length = TextLength();
    if (length != FFreshLength) {  // changed under the reading: it begins again
        FFresh.clear();
        FFreshLength = length;
    }
    double share = FReading == TReading::Renew ? 0.7 : 0.4;
    double left = std::max(0.0, BudgetMs * share - (NowMs() - Start));
    int from = static_cast<int>(FFresh.size());
    int piece = static_cast<int>(std::min(std::max(left / FTextCost, static_cast<double>(LeastPiece)), static_cast<double>(length) + 1));
    int to = std::min(length, from + piece);
    if (to > from) {
        double t = NowMs();
        std::wstring got = TextRange(from, to);
        if (static_cast<int>(got.size()) != to - from) {
            // A piece the control would not give as asked: the whole text at once.
            FFresh = EditorText(FEditor);
            FFreshLength = static_cast<int>(FFresh.size());
        } else {
            FFresh += got;
            if (to - from >= LeastPiece) FTextCost = std::max({1e-6, (NowMs() - t) / (to - from), FTextCost * 0.7});
        }
    }
    if (static_cast<int>(FFresh.size()) < FFreshLength) return;
    // Comparing and following what changed takes its own slice when little time is left.
    if (BudgetMs > 0 && NowMs() - Start > BudgetMs * 0.6) return;
    bool renew = FReading == TReading::Renew;
    FReading = TReading::None;
    std::wstring fresh = std::move(FFresh);
    FFresh = std::wstring();
    TakeText(std::move(fresh));
    if (renew && FEditor->HandleAllocated()) InvalidateRect(FEditor->Handle(), nullptr, FALSE);
}

void TLiveSpeller::TakeText(std::wstring Fresh)
{
    if (FParagraphs.empty()) {
        FText = std::move(Fresh);
        FParagraphs = Split(FText, 0, static_cast<int>(FText.size()));
        FCursor = 0;
        return;
    }
    if (Fresh == FText) return;
    int prefix, suffix;
    Difference(FText.data(), static_cast<int>(FText.size()), Fresh.data(), static_cast<int>(Fresh.size()), prefix, suffix);
    int oldEnd = static_cast<int>(FText.size()) - suffix;
    int delta = static_cast<int>(Fresh.size()) - static_cast<int>(FText.size());
    FText = std::move(Fresh);
    Replaced(prefix, oldEnd, delta);
    // Waves drawn where the text was not what it was thought to be go.
    if (FEditor->HandleAllocated()) InvalidateRect(FEditor->Handle(), nullptr, FALSE);
}

void TLiveSpeller::ReadRuns(size_t First, int VisibleFrom, int VisibleTo, double BudgetMs)
{
    // The paragraphs from First on whose languages are not known: all of those in view, and
    // as many more as the time allows (it grows with the position in some controls: the
    // cost of the last piece, read nearby, is the measure).
    double want = BudgetMs / FRunsCost;
    size_t last = First;
    double chars = FParagraphs[First].Length + 1;
    while (last + 1 < FParagraphs.size() && !FParagraphs[last + 1].Languages) {
        const TParagraph& next = FParagraphs[last + 1];
        bool inView = next.Start <= VisibleTo && next.Start + next.Length >= VisibleFrom;
        if (!inView && (chars + next.Length + 1 > want || chars + next.Length + 1 > LongestRunsRead)) break;
        chars += next.Length + 1;
        ++last;
    }
    int from = FParagraphs[First].Start;
    int to = std::min(static_cast<int>(FText.size()), FParagraphs[last].Start + FParagraphs[last].Length + 1);
    double t = NowMs();
    std::vector<TLanguageRun> fresh = ReadLanguageRuns(FEditor, from, to);
    // The measure rises at once and falls slowly: a slice had better end early than late.
    FRunsLast = NowMs() - t;
    if (to - from >= LeastPiece) FRunsCost = std::max({1e-6, FRunsLast / (to - from), FRunsCost * 0.7});
    std::vector<TLanguageRun> out;
    out.reserve(FRuns.size() + fresh.size());
    auto add = [&](long a, long b, unsigned lang) {
        if (b <= a) return;
        if (!out.empty() && out.back().Language == lang && out.back().End == a) out.back().End = b;
        else out.push_back(TLanguageRun{a, b, lang});
    };
    for (const TLanguageRun& r : FRuns) {
        if (r.Start >= from) break;
        add(r.Start, std::min<long>(r.End, from), r.Language);
    }
    for (const TLanguageRun& r : fresh) add(std::max<long>(r.Start, from), std::min<long>(r.End, to), r.Language);
    for (const TLanguageRun& r : FRuns)
        if (r.End > to) add(std::max<long>(r.Start, to), r.End, r.Language);
    FRuns = std::move(out);
    for (size_t k = First; k <= last; ++k) FParagraphs[k].Languages = true;
}

// ---- Checking ----

void TLiveSpeller::VisibleRange(int& From, int& To)
{
    From = 0;
    To = static_cast<int>(FText.size());
    if (!FEditor->HandleAllocated() || !IsWindowVisible(FEditor->Handle())) return;
    RECT r;
    GetClientRect(FEditor->Handle(), &r);
    POINTL a{0, 0}, b{r.right, r.bottom};
    From = static_cast<int>(FEditor->Perform(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&a)));
    To = static_cast<int>(FEditor->Perform(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&b))) + 1;
}

size_t TLiveSpeller::NextParagraph(int VisibleFrom, int VisibleTo)
{
    if (FParagraphs.empty()) return std::string::npos;
    for (size_t k = ParagraphAt(VisibleFrom); k < FParagraphs.size() && FParagraphs[k].Start <= VisibleTo; ++k)
        if (!FParagraphs[k].Checked) return k;
    for (size_t step = 0; step < FParagraphs.size(); ++step) {
        size_t k = (FCursor + step) % FParagraphs.size();
        if (!FParagraphs[k].Checked) {
            FCursor = k;
            return k;
        }
    }
    return std::string::npos;
}

bool TLiveSpeller::CheckParagraph(TParagraph& P)
{
    int from = P.CheckedTo;
    int to = P.Length;
    if (to - from > ChunkLength) {
        // Stop at a blank, so no word is cut in two.
        to = from + ChunkLength;
        while (to < P.Length && IsWordCharacter(FText[static_cast<size_t>(P.Start + to)])) ++to;
    }
    if (from == 0) P.Marks.clear();
    size_t before = P.Marks.size();
    // The piece in runs of one language each.
    int pos = from;
    while (pos < to) {
        TLanguage lang = 0;
        int end = to;
        auto r = std::upper_bound(FRuns.begin(), FRuns.end(), static_cast<long>(P.Start + pos),
                                  [](long p, const TLanguageRun& run) { return p < run.End; });
        if (r != FRuns.end()) {
            if (r->Start > P.Start + pos) {
                end = std::min<int>(end, static_cast<int>(r->Start) - P.Start);
            } else {
                lang = static_cast<TLanguage>(r->Language);
                end = std::min<int>(end, static_cast<int>(r->End) - P.Start);
            }
        }
        CheckSegment(P, pos, end, lang, P.Marks);
        pos = std::max(end, pos + 1);
    }
    P.CheckedTo = to;
    P.Checked = to >= P.Length;
    return P.Marks.size() != before;
}

void TLiveSpeller::CheckSegment(const TParagraph& P, int From, int To, TLanguage Language, std::vector<TLocalMark>& Out)
{
    if (!FChecker || !Language || FNoEngine.count(Language)) return;
    TAbstractSpeller* speller = FChecker->SpellerFor(Language);
    if (!speller) {
        FNoEngine.insert(Language);
        return;
    }
    std::wstring wide = FText.substr(static_cast<size_t>(P.Start + From), static_cast<size_t>(To - From));
    unsigned cp = static_cast<unsigned>(LanguageCodePage(Language));
    std::string bytes = WideToString(wide, cp);
    // Where each byte's character starts in the wide text (one to one in single-byte pages).
    std::vector<int> at;
    if (bytes.size() != wide.size()) {
        bytes.clear();
        for (size_t i = 0; i < wide.size(); ++i) {
            size_t n = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) ? 2 : 1;
            std::string b = WideToString(wide.substr(i, n), cp);
            for (size_t k = 0; k < b.size(); ++k) at.push_back(static_cast<int>(i));
            bytes += b;
            i += n - 1;
        }
    }
    auto wideAt = [&](int byte) {
        if (at.empty()) return byte;
        return byte >= static_cast<int>(at.size()) ? static_cast<int>(wide.size()) : at[static_cast<size_t>(byte)];
    };
    int n = static_cast<int>(bytes.size());
    for (int off = 0, guard = 0; off < n && guard < 100000; ++guard) {
        int pos = 0, len = 0;
        TSpellReturnCode code = speller->CheckText(bytes.data() + off, n - off, pos, len);
        if (code == 0 || pos < 0 || len < 0 || off + pos >= n) break;
        if (code == 1 || code == 3) {
            int a = wideAt(off + pos), b = wideAt(off + pos + len);
            if (b > a) Out.push_back(TLocalMark{From + a, b - a});
        }
        off += pos + std::max(len, 1);
    }
}

bool TLiveSpeller::RunSlice(double BudgetMs)
{
    if (!FEnabled || !FEditor || !FEditor->HandleAllocated()) return false;
    double start = NowMs();
    if (FTextStale) Synchronize();
    if (FReading != TReading::None) ReadStep(start, BudgetMs);
    double runsMs = 0;  // spent reading languages in this slice
    int checked = 0;
    if (FReading != TReading::Renew) {
        int vFrom, vTo;
        VisibleRange(vFrom, vTo);
        bool seen = false;
        for (;;) {
            size_t k = NextParagraph(vFrom, vTo);
            if (k == std::string::npos) break;
            if (!FParagraphs[k].Languages) {
                // Reading languages takes at most about half of a slice; checking the rest.
                double share = std::min(BudgetMs * 0.4 - runsMs, (BudgetMs - (NowMs() - start)) * 0.6);
                // Every piece costs some time however short it is (more, further into the
                // text, in some controls): one that would not fit is left to the next slice.
                if (checked > 0 && (share <= 0 || (runsMs > 0 && share < FRunsLast))) break;
                double t = NowMs();
                ReadRuns(k, vFrom, vTo, std::max(share, 0.0));
                runsMs += NowMs() - t;
            }
            ++checked;
            TParagraph& p = FParagraphs[k];
            bool visible = p.Start <= vTo && p.Start + p.Length >= vFrom;
            if (CheckParagraph(p) && visible) seen = true;
            if (NowMs() - start >= BudgetMs) break;
        }
        if (seen) Redraw();
    }
    FLongestSlice = std::max(FLongestSlice, NowMs() - start);
    return WorkLeft();
}

void TLiveSpeller::CheckAll()
{
    for (int guard = 0; guard < 1000000 && RunSlice(10.0); ++guard) {}
}

bool TLiveSpeller::WorkLeft() const
{
    if (!FEnabled || !FEditor) return false;
    if (FTextStale || FReading != TReading::None) return true;
    return std::any_of(FParagraphs.begin(), FParagraphs.end(), [](const TParagraph& p) { return !p.Checked; });
}

// ---- Marks ----

std::vector<TSpellMark> TLiveSpeller::Marks() const
{
    std::vector<TSpellMark> out;
    if (FReading == TReading::Renew) return out;  // the text is not known yet
    for (const TParagraph& p : FParagraphs)
        for (const TLocalMark& m : p.Marks) {
            TSpellMark abs{p.Start + m.Offset, m.Length};
            if (!Hidden(abs)) out.push_back(abs);
        }
    return out;
}

bool TLiveSpeller::MarkAt(int Pos, TSpellMark& Mark) const
{
    if (FParagraphs.empty() || FReading == TReading::Renew) return false;
    const TParagraph& p = FParagraphs[ParagraphAt(Pos)];
    for (const TLocalMark& m : p.Marks) {
        TSpellMark abs{p.Start + m.Offset, m.Length};
        if (Pos >= abs.Start && Pos <= abs.End() && !Hidden(abs)) {
            Mark = abs;
            return true;
        }
    }
    return false;
}

bool TLiveSpeller::Hidden(const TSpellMark& M) const
{
    return FTypingAt >= 0 && FTypingAt >= M.Start && FTypingAt <= M.End();
}

void TLiveSpeller::WordAccepted(TLanguage Language, const std::string& Word)
{
    std::wstring wide = StringToWide(Word, static_cast<unsigned>(LanguageCodePage(Language)));
    if (wide.empty()) return;
    for (TLiveSpeller* s : LiveSpellers()) s->DropWord(Language, wide);
}

void TLiveSpeller::DropWord(TLanguage Language, const std::wstring& Word)
{
    for (TParagraph& p : FParagraphs) {
        auto& marks = p.Marks;
        for (size_t k = 0; k < marks.size();) {
            TSpellMark abs{p.Start + marks[k].Offset, marks[k].Length};
            bool same = abs.End() <= static_cast<int>(FText.size()) &&
                        FText.compare(static_cast<size_t>(abs.Start), static_cast<size_t>(abs.Length), Word) == 0;
            unsigned lang = 0;
            for (const TLanguageRun& r : FRuns)
                if (r.Start <= abs.Start && abs.Start < r.End) lang = r.Language;
            if (same && lang == Language) {
                EraseMark(abs);
                marks.erase(marks.begin() + static_cast<long>(k));
            } else {
                ++k;
            }
        }
    }
}

// ---- Drawing ----

bool TLiveSpeller::MarkRect(const TSpellMark& M, RECT& R, int& Baseline)
{
    HWND h = FEditor->Handle();
    POINTL a{}, b{};
    FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), M.Start);
    FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), M.End());
    RECT client;
    GetClientRect(h, &client);
    // The line ends where the next one begins; the last line is as high as the one before.
    int line = static_cast<int>(FEditor->Perform(EM_EXLINEFROMCHAR, 0, M.Start));
    int next = static_cast<int>(FEditor->Perform(EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0));
    int bottom;
    if (next > M.Start) {
        POINTL n{};
        FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&n), next);
        bottom = n.y;
    } else {
        int height = 16;
        if (line > 0) {
            int prev = static_cast<int>(FEditor->Perform(EM_LINEINDEX, static_cast<WPARAM>(line - 1), 0));
            POINTL p{};
            FEditor->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), prev);
            if (a.y - p.y > 4) height = a.y - p.y;
        }
        bottom = a.y + height;
    }
    int right = b.y == a.y && b.x > a.x ? b.x : client.right;
    R = RECT{a.x, bottom - 4, right, bottom};
    Baseline = bottom - 1;
    return R.bottom > client.top && R.top < client.bottom && R.right > R.left;
}

void TLiveSpeller::PaintOverlay(HDC DC)
{
    if (!FEnabled || !FEditor || !FEditor->HandleAllocated() || FParagraphs.empty()) return;
    if (FTextStale) Synchronize();
    if (FReading == TReading::Renew) return;
    int vFrom, vTo;
    VisibleRange(vFrom, vTo);
    TDCGuard guard(DC);
    RECT client;
    GetClientRect(FEditor->Handle(), &client);
    IntersectClipRect(DC, client.left, client.top, client.right, client.bottom);
    TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    SelectObject(DC, pen.Get());
    for (size_t k = ParagraphAt(vFrom); k < FParagraphs.size() && FParagraphs[k].Start <= vTo; ++k) {
        const TParagraph& p = FParagraphs[k];
        for (const TLocalMark& m : p.Marks) {
            TSpellMark abs{p.Start + m.Offset, m.Length};
            RECT r;
            int base;
            if (Hidden(abs) || !MarkRect(abs, r, base)) continue;
            // A wave two pixels high: down, up, down along the word.
            MoveToEx(DC, r.left, base, nullptr);
            for (int x = r.left + 2, up = 1; x <= r.right; x += 2, up ^= 1) LineTo(DC, x, up ? base - 2 : base);
        }
    }
}

void TLiveSpeller::Redraw()
{
    if (!FEditor || !FEditor->HandleAllocated() || !IsWindowVisible(FEditor->Handle())) return;
    HWND h = FEditor->Handle();
    HDC dc = GetDC(h);
    PaintOverlay(dc);
    ReleaseDC(h, dc);
}

void TLiveSpeller::EraseMark(const TSpellMark& M)
{
    if (!FEditor || !FEditor->HandleAllocated()) return;
    RECT r;
    int base;
    if (MarkRect(M, r, base)) {
        InflateRect(&r, 1, 1);
        InvalidateRect(FEditor->Handle(), &r, TRUE);
    }
}

} // namespace pw
