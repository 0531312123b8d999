#include "LiveSpeller.h"

#include "Controls.h"
#include "Graphics.h"
#include "RichEdit98.h"
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

// The text as the control counts positions: one character per paragraph mark.
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
    FTextStale = FRunsStale = true;
    Schedule(0);
}

void TLiveSpeller::Clear()
{
    FText.clear();
    FParagraphs.clear();
    FRuns.clear();
    FTextStale = FRunsStale = true;
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
    FRunsStale = true;
    FTextStale = true;
    for (TParagraph& p : FParagraphs) {
        p.Checked = false;
        p.CheckedTo = 0;
        p.Marks.clear();
    }
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
        out.push_back(TParagraph{start, i - start, false, 0, {}});
        start = i + 1;
    }
    out.push_back(TParagraph{start, To - start, false, 0, {}});
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

void TLiveSpeller::ReplaceParagraphs(int OldStart, int OldEnd, int Delta)
{
    size_t i = ParagraphAt(OldStart), j = ParagraphAt(OldEnd);
    int from = FParagraphs[i].Start;
    int to = FParagraphs[j].Start + FParagraphs[j].Length + Delta;
    to = std::clamp(to, from, static_cast<int>(FText.size()));
    std::vector<TParagraph> fresh = Split(FText, from, to);
    for (size_t k = j + 1; k < FParagraphs.size(); ++k) FParagraphs[k].Start += Delta;
    FParagraphs.erase(FParagraphs.begin() + static_cast<long>(i), FParagraphs.begin() + static_cast<long>(j) + 1);
    FParagraphs.insert(FParagraphs.begin() + static_cast<long>(i), fresh.begin(), fresh.end());
    if (FCursor > FParagraphs.size()) FCursor = 0;
}

void TLiveSpeller::ShiftRuns(int From, int OldEnd, int Delta)
{
    if (FRuns.empty()) return;
    // What is typed takes the language of the character before it, as the control does.
    unsigned typed = FRuns.front().Language;
    for (const TLanguageRun& r : FRuns)
        if (r.Start < std::max(From, 1) && r.End >= std::max(From, 1)) typed = r.Language;
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

void TLiveSpeller::Synchronize()
{
    FTextStale = false;
    std::wstring fresh = EditorText(FEditor);
    if (FParagraphs.empty()) {
        FText = std::move(fresh);
        FParagraphs = Split(FText, 0, static_cast<int>(FText.size()));
        FRunsStale = true;
        return;
    }
    if (fresh == FText) return;
    size_t n = std::min(fresh.size(), FText.size());
    size_t prefix = static_cast<size_t>(std::mismatch(FText.begin(), FText.begin() + static_cast<long>(n), fresh.begin()).first - FText.begin());
    size_t suffix = 0;
    while (suffix < n - prefix && FText[FText.size() - 1 - suffix] == fresh[fresh.size() - 1 - suffix]) ++suffix;
    int from = static_cast<int>(prefix);
    int oldEnd = static_cast<int>(FText.size() - suffix);
    int delta = static_cast<int>(fresh.size()) - static_cast<int>(FText.size());
    FText = std::move(fresh);
    ReplaceParagraphs(from, oldEnd, delta);
    ShiftRuns(from, oldEnd, delta);
    // Text that came in larger pieces (pasted, replaced) may carry languages of its own.
    if (oldEnd + delta - from > 1) FRunsStale = true;
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
        for (const TLanguageRun& r : FRuns) {
            if (r.End <= P.Start + pos) continue;
            if (r.Start > P.Start + pos) {
                end = std::min<int>(end, static_cast<int>(r.Start) - P.Start);
                break;
            }
            lang = static_cast<TLanguage>(r.Language);
            end = std::min<int>(end, static_cast<int>(r.End) - P.Start);
            break;
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
    if (FRunsStale) {
        FRuns = ReadLanguageRuns(FEditor);
        FRunsStale = false;
    }
    int vFrom, vTo;
    VisibleRange(vFrom, vTo);
    bool seen = false;
    for (;;) {
        size_t k = NextParagraph(vFrom, vTo);
        if (k == std::string::npos) break;
        TParagraph& p = FParagraphs[k];
        bool visible = p.Start <= vTo && p.Start + p.Length >= vFrom;
        if (CheckParagraph(p) && visible) seen = true;
        if (NowMs() - start >= BudgetMs) break;
    }
    if (seen) Redraw();
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
    if (FTextStale || FRunsStale) return true;
    return std::any_of(FParagraphs.begin(), FParagraphs.end(), [](const TParagraph& p) { return !p.Checked; });
}

// ---- Marks ----

std::vector<TSpellMark> TLiveSpeller::Marks() const
{
    std::vector<TSpellMark> out;
    for (const TParagraph& p : FParagraphs)
        for (const TLocalMark& m : p.Marks) {
            TSpellMark abs{p.Start + m.Offset, m.Length};
            if (!Hidden(abs)) out.push_back(abs);
        }
    return out;
}

bool TLiveSpeller::MarkAt(int Pos, TSpellMark& Mark) const
{
    if (FParagraphs.empty()) return false;
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
