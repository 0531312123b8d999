#include "LiveSpeller.h"

#include "Controls.h"
#include "RichEdit98.h"
#include "SpellChecker.h"

#include <algorithm>
#include <map>

namespace pw {

namespace {

std::map<UINT_PTR, TLiveSpeller*>& Timers()
{
    static std::map<UINT_PTR, TLiveSpeller*> timers;
    return timers;
}

bool IsWordCharacter(wchar_t c) { return IsCharAlphaNumericW(c) || c == L'\'' || c == 0x2019 || c == L'-'; }

// Longest a paragraph is checked in one go; a longer one goes on in the next step.
constexpr int ChunkLength = 2048;

} // namespace

TLiveSpeller::TLiveSpeller(TComponent* AOwner, TCustomRichEdit98* AEditor, TSpellChecker* AChecker)
    : TComponent(AOwner), FEditor(AEditor), FChecker(AChecker), FText(AEditor, *this), FRuns(AEditor), FOverlay(AEditor)
{
    if (FEditor) {
        FEditor->FreeNotification(this);
        FEditor->OnPaintOverlay = [this](TObject*, HDC dc) { PaintMarks(dc); };
        FChangeHeard = FEditor->OnChange.Subscribe([this](TObject*) { TextChanged(); });
        FSelectionHeard = FEditor->OnSelectionChange.Subscribe([this](TObject*) { SelectionChanged(); });
        FLanguagesHeard = FEditor->OnLanguagesChanged.Subscribe([this](TObject*) { LanguagesChanged(); });
    }
    if (FChecker) {
        FChecker->FreeNotification(this);
        FWordAcceptedHeard = FChecker->OnWordAccepted.Subscribe(
            [this](TObject*, const std::string& Word, TLanguage Language) { WordAccepted(Language, Word); });
    }
    Schedule(0);
}

TLiveSpeller::~TLiveSpeller()
{
    StopTimer();
    if (FEditor) FEditor->OnPaintOverlay = nullptr;
}

void TLiveSpeller::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FEditor) {
        FEditor = nullptr;
        FText.SetEditor(nullptr);
        FRuns.SetEditor(nullptr);
        FOverlay.SetEditor(nullptr);
        StopTimer();
        FChangeHeard.Cancel();
        FSelectionHeard.Cancel();
        FLanguagesHeard.Cancel();
    }
    if (AComponent == FChecker) {
        FChecker = nullptr;
        FWordAcceptedHeard.Cancel();
    }
}

void TLiveSpeller::SetEnabled(bool Value)
{
    if (FEnabled == Value) return;
    FEnabled = Value;
    if (!FEnabled) {
        StopTimer();
        Clear();
        FOverlay.InvalidateAll();
        return;
    }
    Clear();
    Schedule(0);
}

void TLiveSpeller::Clear()
{
    FText.Clear();
    FRuns.Clear();
    FOverlay.Clear();
    FCursor = 0;
}

// ---- Events of the editor ----

void TLiveSpeller::TextChanged()
{
    if (!FEnabled || !FEditor) return;
    TCharRange sel = redit::Selection(FEditor);
    FText.Edited(sel);
    // Followed at once: the control paints the edit next, and the waves it draws then are to
    // stand where their words went.
    if (FEditor->HandleAllocated()) FText.Follow();
    FOverlay.SetTypingAt(sel.End);
    Schedule(SettleDelay);
}

void TLiveSpeller::SelectionChanged()
{
    if (!FEnabled || !FEditor || FOverlay.TypingAt() < 0) return;
    TCharRange sel = redit::Selection(FEditor);
    if (FText.Stale()) {
        FOverlay.SetTypingAt(sel.End); // still typing
        return;
    }
    // The word the caret was typing in: letters on both sides of the typing position.
    const std::wstring& text = FText.Text();
    int a = std::clamp(FOverlay.TypingAt(), 0, static_cast<int>(text.size()));
    int b = a;
    while (a > 0 && IsWordCharacter(text[static_cast<size_t>(a - 1)])) --a;
    while (b < static_cast<int>(text.size()) && IsWordCharacter(text[static_cast<size_t>(b)])) ++b;
    if (sel.Start == sel.End && sel.End >= a && sel.End <= b) return;
    FOverlay.SetTypingAt(-1);
}

void TLiveSpeller::LanguagesChanged()
{
    if (!FEnabled || !FEditor) return;
    for (TLiveParagraph& p : FText.Paragraphs()) {
        p.Checked = false;
        p.CheckedTo = 0;
        p.Languages = false;
    }
    FOverlay.Clear();
    // The text is read again too, in pieces: when its length or what is in view differs, a
    // document came in and nothing is checked before it is read; otherwise checking goes on
    // with the text known while the reading confirms it.
    FText.Reread(VisibleRange());
    FOverlay.InvalidateAll();
    Schedule(0);
}

void TLiveSpeller::WordAccepted(TLanguage Language, const std::string& Word)
{
    std::wstring wide = StringToWide(Word, static_cast<unsigned>(LanguageCodePage(Language)));
    if (wide.empty()) return;
    const std::wstring& text = FText.Text();
    FOverlay.RemoveIf([&](const TSpellMark& m) {
        bool same = m.End() <= static_cast<int>(text.size()) &&
            text.compare(static_cast<size_t>(m.Start), static_cast<size_t>(m.Length), wide) == 0;
        return same && FRuns.LanguageAt(m.Start) == Language;
    });
}

// ---- Following the text ----

bool TLiveSpeller::KeepsLanguages(int ChangeFrom, int ChangeEnd, int Delta) const
{
    return FRuns.Typed(ChangeFrom, ChangeEnd, Delta);
}

void TLiveSpeller::ParagraphsReplaced(const TParagraphsReplaced& Change)
{
    if (FCursor > FText.Paragraphs().size()) FCursor = 0;
    FOverlay.Replaced(Change, FText.Length());
    FRuns.ShiftRuns(Change.ChangeFrom, Change.ChangeEnd, Change.Delta);
}

void TLiveSpeller::TextRetaken() { FOverlay.InvalidateAll(); }

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
    Firewall<int>(
        [&] {
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
        },
        0);
}

// ---- Checking ----

TCharRange TLiveSpeller::VisibleRange()
{
    TCharRange view{0, FText.Length()};
    if (!FEditor->HandleAllocated() || !IsWindowVisible(FEditor->Handle())) return view;
    RECT r;
    GetClientRect(FEditor->Handle(), &r);
    view.Start = redit::CharAt(FEditor, POINT{0, 0});
    view.End = redit::CharAt(FEditor, POINT{r.right, r.bottom}) + 1;
    return view;
}

size_t TLiveSpeller::NextParagraph(TCharRange View)
{
    std::vector<TLiveParagraph>& paragraphs = FText.Paragraphs();
    if (paragraphs.empty()) return std::string::npos;
    for (size_t k = FText.ParagraphAt(View.Start); k < paragraphs.size() && paragraphs[k].Start <= View.End; ++k)
        if (!paragraphs[k].Checked) return k;
    for (size_t step = 0; step < paragraphs.size(); ++step) {
        size_t k = (FCursor + step) % paragraphs.size();
        if (!paragraphs[k].Checked) {
            FCursor = k;
            return k;
        }
    }
    return std::string::npos;
}

void TLiveSpeller::CheckParagraph(TLiveParagraph& P, bool InView)
{
    const std::wstring& text = FText.Text();
    int from = P.CheckedTo;
    int to = P.Length;
    if (to - from > ChunkLength) {
        // Stop at a blank, so no word is cut in two.
        to = from + ChunkLength;
        while (to < P.Length && IsWordCharacter(text[static_cast<size_t>(P.Start + to)])) ++to;
    }
    if (from == 0) FOverlay.Remove(P.Start, P.Start + P.Length + 1);
    std::vector<TSpellMark> found;
    // The piece in runs of one language each.
    int pos = P.Start + from, end = P.Start + to;
    while (pos < end) {
        int stop = end;
        TLanguage lang = FRuns.LanguageFrom(pos, stop);
        CheckSegment(pos, stop, lang, found);
        pos = std::max(stop, pos + 1);
    }
    P.CheckedTo = to;
    P.Checked = to >= P.Length;
    FOverlay.Add(found, InView);
}

void TLiveSpeller::CheckSegment(int From, int To, TLanguage Language, std::vector<TSpellMark>& Out)
{
    if (!FChecker || !Language || FNoEngine.count(Language)) return;
    TAbstractSpeller* speller = FChecker->SpellerFor(Language);
    if (!speller) {
        FNoEngine.insert(Language);
        return;
    }
    std::wstring wide = FText.Text().substr(static_cast<size_t>(From), static_cast<size_t>(To - From));
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
        if (code == srNoErrors || pos < 0 || len < 0 || off + pos >= n) break;
        if (IsMisspelledWord(code)) {
            int a = wideAt(off + pos), b = wideAt(off + pos + len);
            if (b > a) Out.push_back(TSpellMark{From + a, b - a});
        }
        off += pos + std::max(len, 1);
    }
}

bool TLiveSpeller::RunSlice(double BudgetMs)
{
    if (!FEnabled || !FEditor || !FEditor->HandleAllocated()) return false;
    double start = SliceClockMs();
    if (FText.Stale()) FText.Follow();
    if (FText.Reading()) FText.ReadStep(start, BudgetMs);
    double runsMs = 0; // spent reading languages in this slice
    int checked = 0;
    if (!FText.Renewing()) {
        TCharRange view = VisibleRange();
        for (;;) {
            size_t k = NextParagraph(view);
            if (k == std::string::npos) break;
            std::vector<TLiveParagraph>& paragraphs = FText.Paragraphs();
            if (!paragraphs[k].Languages) {
                // Reading languages takes at most about half of a slice; checking the rest.
                double share = std::min(BudgetMs * 0.4 - runsMs, (BudgetMs - (SliceClockMs() - start)) * 0.6);
                // Every piece costs some time however short it is (more, further into the
                // text, in some controls): one that would not fit is left to the next slice.
                if (checked > 0 && (share <= 0 || (runsMs > 0 && share < FRuns.LastReadMs()))) break;
                double t = SliceClockMs();
                FRuns.ReadRuns(paragraphs, k, FText.Length(), view, std::max(share, 0.0));
                runsMs += SliceClockMs() - t;
            }
            ++checked;
            TLiveParagraph& p = paragraphs[k];
            CheckParagraph(p, p.Start <= view.End && p.Start + p.Length >= view.Start);
            if (SliceClockMs() - start >= BudgetMs) break;
        }
    }
    FLongestSlice = std::max(FLongestSlice, SliceClockMs() - start);
    return WorkLeft();
}

void TLiveSpeller::CheckAll()
{
    for (int guard = 0; guard < 1000000 && RunSlice(10.0); ++guard) {}
}

bool TLiveSpeller::WorkLeft() const
{
    if (!FEnabled || !FEditor) return false;
    if (FText.Stale() || FText.Reading()) return true;
    const std::vector<TLiveParagraph>& paragraphs = FText.Paragraphs();
    return std::any_of(paragraphs.begin(), paragraphs.end(), [](const TLiveParagraph& p) { return !p.Checked; });
}

// ---- Marks ----

std::vector<TSpellMark> TLiveSpeller::Marks() const
{
    if (FText.Renewing()) return {}; // the text is not known yet
    return FOverlay.Shown();
}

bool TLiveSpeller::MarkAt(int Pos, TSpellMark& Mark) const
{
    if (FText.Paragraphs().empty() || FText.Renewing()) return false;
    return FOverlay.MarkAt(Pos, Mark);
}

void TLiveSpeller::PaintMarks(HDC DC)
{
    // What is known is drawn as it is: the text was followed when the editor told its edit.
    if (!FEnabled || !FEditor || !FEditor->HandleAllocated() || FText.Paragraphs().empty() || FText.Renewing()) return;
    TCharRange view = VisibleRange();
    const std::vector<TLiveParagraph>& paragraphs = FText.Paragraphs();
    const TLiveParagraph& first = paragraphs[FText.ParagraphAt(view.Start)];
    const TLiveParagraph& last = paragraphs[FText.ParagraphAt(view.End)];
    FOverlay.Paint(DC, first.Start, last.Start + last.Length);
}

} // namespace pw
