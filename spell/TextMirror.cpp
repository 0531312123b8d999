#include "TextMirror.h"

#include "RichEdit98.h"

#include <algorithm>

namespace pw {

namespace {

bool IsParagraphMark(wchar_t c) { return c == L'\r' || c == L'\n'; }

// After an edit the text this far on both sides of the carets is read and compared at once.
constexpr int EditReach = 1024;
// An edit that needs more than this read at once has its text read in pieces instead.
constexpr int LongestEditRead = 65536;

// Common beginning and end of two texts: the part between is what changed.
void Difference(const wchar_t* Old, int OldLength, const wchar_t* New, int NewLength, int& Prefix, int& Suffix)
{
    int n = std::min(OldLength, NewLength);
    Prefix = static_cast<int>(std::mismatch(Old, Old + n, New).first - Old);
    Suffix = 0;
    while (Suffix < n - Prefix && Old[OldLength - 1 - Suffix] == New[NewLength - 1 - Suffix]) ++Suffix;
}

} // namespace

double SliceClockMs()
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

void TTextMirror::Clear()
{
    FText.clear();
    FParagraphs.clear();
    FStale = true;
    FEditFrom = FEditTo = -1;
    FReading = TReading::None;
    FFresh = std::wstring();
}

void TTextMirror::Edited(TCharRange Carets)
{
    FStale = true;
    FEditFrom = FEditFrom < 0 ? Carets.Start : std::min(FEditFrom, Carets.Start);
    FEditTo = std::max(FEditTo, Carets.End);
}

std::vector<TLiveParagraph> TTextMirror::Split(const std::wstring& Text, int From, int To)
{
    std::vector<TLiveParagraph> out;
    int start = From;
    for (int i = From; i < To; ++i) {
        if (!IsParagraphMark(Text[static_cast<size_t>(i)])) continue;
        out.push_back(TLiveParagraph{start, i - start, false, 0, false});
        start = i + 1;
    }
    out.push_back(TLiveParagraph{start, To - start, false, 0, false});
    return out;
}

size_t TTextMirror::ParagraphAt(int Pos) const
{
    auto it = std::upper_bound(FParagraphs.begin(), FParagraphs.end(), Pos,
                               [](int p, const TLiveParagraph& para) { return p < para.Start; });
    if (it == FParagraphs.begin()) return 0;
    return static_cast<size_t>(it - FParagraphs.begin() - 1);
}

void TTextMirror::Replaced(int From, int OldEnd, int Delta)
{
    // Typed text takes the language of the text before it; text that came in larger pieces
    // (pasted, replaced) may carry languages of its own, and so does a character typed where
    // no language is known yet (into a document that was empty): their runs are read again.
    bool keep = FFollower.KeepsLanguages(From, OldEnd, Delta);
    size_t i = ParagraphAt(From), j = ParagraphAt(OldEnd);
    TParagraphsReplaced change{};
    change.From = FParagraphs[i].Start;
    change.OldTo = FParagraphs[j].Start + FParagraphs[j].Length;
    change.To = std::clamp(change.OldTo + Delta, change.From, static_cast<int>(FText.size()));
    change.ChangeFrom = From;
    change.ChangeEnd = OldEnd;
    change.Delta = Delta;
    bool known = keep;
    for (size_t k = i; k <= j; ++k) known = known && FParagraphs[k].Languages;
    std::vector<TLiveParagraph> fresh = Split(FText, change.From, change.To);
    for (TLiveParagraph& p : fresh) p.Languages = known;
    for (size_t k = j + 1; k < FParagraphs.size(); ++k) FParagraphs[k].Start += Delta;
    FParagraphs.erase(FParagraphs.begin() + static_cast<long>(i), FParagraphs.begin() + static_cast<long>(j) + 1);
    FParagraphs.insert(FParagraphs.begin() + static_cast<long>(i), fresh.begin(), fresh.end());
    FFollower.ParagraphsReplaced(change);
}

void TTextMirror::Follow()
{
    FStale = false;
    int editFrom = FEditFrom, editTo = FEditTo;
    FEditFrom = FEditTo = -1;
    if (FReading == TReading::Renew || FParagraphs.empty()) {
        StartReading(TReading::Renew);
        return;
    }
    // The edits happened around the carets they left: that much is read and compared now.
    int newLength = redit::TextLength(FEditor), oldLength = static_cast<int>(FText.size());
    int delta = newLength - oldLength;
    if (editFrom < 0) {
        TCharRange sel = redit::Selection(FEditor);
        editFrom = sel.Start;
        editTo = sel.End;
    }
    int w0 = std::clamp(editFrom - std::max(delta, 0) - EditReach, 0, newLength);
    int w1 = std::clamp(editTo + EditReach, w0, newLength);
    if (w1 - w0 < delta) { // the new window holds at least what came in
        w1 = std::min(newLength, w0 + delta);
        w0 = w1 - delta;
    }
    if (w1 - w0 > LongestEditRead) {
        StartReading(TReading::Renew);
        return;
    }
    std::wstring fresh = redit::TextRange(FEditor, w0, w1);
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

void TTextMirror::Reread(TCharRange View)
{
    bool same = FEditor->HandleAllocated() && !FParagraphs.empty() && redit::TextLength(FEditor) == Length();
    if (same) {
        int b = std::clamp(View.End, 0, Length());
        int a = std::clamp(View.Start, 0, b);
        same = redit::TextRange(FEditor, a, b) == FText.substr(static_cast<size_t>(a), static_cast<size_t>(b - a));
    }
    FStale = false;
    FEditFrom = FEditTo = -1;
    StartReading(same ? TReading::Confirm : TReading::Renew);
}

void TTextMirror::StartReading(TReading Kind)
{
    if (FReading != TReading::Renew) FReading = Kind;
    FFresh.clear();
    FFreshLength = redit::TextLength(FEditor);
}

void TTextMirror::ReadStep(double Start, double BudgetMs)
{
    int length = redit::TextLength(FEditor);
    if (length != FFreshLength) { // changed under the reading: it begins again
        FFresh.clear();
        FFreshLength = length;
    }
    double share = FReading == TReading::Renew ? 0.7 : 0.4;
    double left = std::max(0.0, BudgetMs * share - (SliceClockMs() - Start));
    int from = static_cast<int>(FFresh.size());
    int piece = static_cast<int>(
        std::min(std::max(left / FTextCost, static_cast<double>(LeastReadPiece)), static_cast<double>(length) + 1));
    int to = std::min(length, from + piece);
    if (to > from) {
        double t = SliceClockMs();
        std::wstring got = redit::TextRange(FEditor, from, to);
        if (static_cast<int>(got.size()) != to - from) {
            // A piece the control would not give as asked: the whole text at once.
            FFresh = redit::Text(FEditor);
            FFreshLength = static_cast<int>(FFresh.size());
        } else {
            FFresh += got;
            if (to - from >= LeastReadPiece)
                FTextCost = std::max({1e-6, (SliceClockMs() - t) / (to - from), FTextCost * 0.7});
        }
    }
    if (static_cast<int>(FFresh.size()) < FFreshLength) return;
    // Comparing and following what changed takes its own slice when little time is left.
    if (BudgetMs > 0 && SliceClockMs() - Start > BudgetMs * 0.6) return;
    bool renew = FReading == TReading::Renew;
    FReading = TReading::None;
    std::wstring fresh = std::move(FFresh);
    FFresh = std::wstring();
    TakeText(std::move(fresh));
    if (renew) FFollower.TextRetaken();
}

void TTextMirror::TakeText(std::wstring Fresh)
{
    if (FParagraphs.empty()) {
        FText = std::move(Fresh);
        FParagraphs = Split(FText, 0, static_cast<int>(FText.size()));
        return;
    }
    if (Fresh == FText) return;
    int prefix, suffix;
    Difference(FText.data(), static_cast<int>(FText.size()), Fresh.data(), static_cast<int>(Fresh.size()), prefix,
               suffix);
    int oldEnd = static_cast<int>(FText.size()) - suffix;
    int delta = static_cast<int>(Fresh.size()) - static_cast<int>(FText.size());
    FText = std::move(Fresh);
    Replaced(prefix, oldEnd, delta);
    // Waves drawn where the text was not what it was thought to be go.
    FFollower.TextRetaken();
}

} // namespace pw
