#include "MarkOverlay.h"

#include "Graphics.h"
#include "RichEdit98.h"

#include <algorithm>

namespace pw {

void TMarkOverlay::Add(const std::vector<TSpellMark>& Found, bool InView)
{
    if (Found.empty()) return;
    auto at = std::upper_bound(FMarks.begin(), FMarks.end(), Found.front().Start,
                               [](int p, const TSpellMark& m) { return p < m.Start; });
    FMarks.insert(at, Found.begin(), Found.end());
    if (!InView) return;
    for (const TSpellMark& m : Found)
        if (!Hidden(m)) InvalidateMark(m, false);
}

void TMarkOverlay::Remove(int From, int To)
{
    RemoveIf([&](const TSpellMark& m) { return m.Start >= From && m.Start < To; });
}

void TMarkOverlay::RemoveIf(const std::function<bool(const TSpellMark&)>& Drop)
{
    for (size_t k = 0; k < FMarks.size();) {
        if (Drop(FMarks[k])) {
            InvalidateMark(FMarks[k], true);
            FMarks.erase(FMarks.begin() + static_cast<long>(k));
        } else {
            ++k;
        }
    }
}

void TMarkOverlay::Replaced(const TParagraphsReplaced& Change, int TextLength)
{
    bool marked = false;
    std::vector<TSpellMark> kept;
    kept.reserve(FMarks.size());
    for (TSpellMark m : FMarks) {
        if (m.Start >= Change.From && m.Start <= Change.OldTo) {
            marked = true;
            continue;
        }
        if (m.Start > Change.OldTo) m.Start += Change.Delta;
        kept.push_back(m);
    }
    FMarks = std::move(kept);
    // The control repaints the lines it changed, but a wave may hang below the last of them.
    if (marked) EraseLines(Change.From, Change.To, TextLength);
}

void TMarkOverlay::SetTypingAt(int Pos)
{
    if (Pos == FTypingAt) return;
    int was = FTypingAt;
    FTypingAt = Pos;
    for (const TSpellMark& m : FMarks)
        if (HiddenAt(m, was) != HiddenAt(m, Pos)) InvalidateMark(m, true);
}

std::vector<TSpellMark> TMarkOverlay::Shown() const
{
    std::vector<TSpellMark> out;
    for (const TSpellMark& m : FMarks)
        if (!Hidden(m)) out.push_back(m);
    return out;
}

bool TMarkOverlay::MarkAt(int Pos, TSpellMark& Mark) const
{
    for (const TSpellMark& m : FMarks)
        if (Pos >= m.Start && Pos <= m.End() && !Hidden(m)) {
            Mark = m;
            return true;
        }
    return false;
}

// ---- Painting ----

void TMarkOverlay::InvalidateAll()
{
    if (FEditor && FEditor->HandleAllocated()) InvalidateRect(FEditor->Handle(), nullptr, FALSE);
}

void TMarkOverlay::InvalidateMark(const TSpellMark& M, bool Erase)
{
    if (!FEditor || !FEditor->HandleAllocated()) return;
    RECT r;
    int base;
    if (MarkRect(M, r, base)) {
        InflateRect(&r, 1, 1);
        InvalidateRect(FEditor->Handle(), &r, Erase ? TRUE : FALSE);
    }
}

void TMarkOverlay::EraseLines(int From, int To, int TextLength)
{
    // From the line of From down to the line after To (the end of the view after the last
    // paragraph), where the waves of the text between were drawn.
    if (!FEditor || !FEditor->HandleAllocated()) return;
    HWND h = FEditor->Handle();
    RECT r;
    GetClientRect(h, &r);
    r.top = std::max(r.top, static_cast<LONG>(redit::PositionOf(FEditor, From).y));
    if (To + 1 < TextLength) r.bottom = std::min(r.bottom, static_cast<LONG>(redit::PositionOf(FEditor, To + 1).y));
    if (r.bottom > r.top) InvalidateRect(h, &r, TRUE);
}

bool TMarkOverlay::MarkRect(const TSpellMark& M, RECT& R, int& Baseline)
{
    POINT a = redit::PositionOf(FEditor, M.Start);
    POINT b = redit::PositionOf(FEditor, M.End());
    RECT client;
    GetClientRect(FEditor->Handle(), &client);
    // The line ends where the next one begins; the last line is as high as the one before.
    int line = redit::LineOf(FEditor, M.Start);
    int next = redit::LineStart(FEditor, line + 1);
    int bottom;
    if (next > M.Start) {
        bottom = redit::PositionOf(FEditor, next).y;
    } else {
        int height = 16;
        if (line > 0) {
            POINT p = redit::PositionOf(FEditor, redit::LineStart(FEditor, line - 1));
            if (a.y - p.y > 4) height = a.y - p.y;
        }
        bottom = a.y + height;
    }
    int right = b.y == a.y && b.x > a.x ? b.x : client.right;
    R = RECT{a.x, bottom - 4, right, bottom};
    Baseline = bottom - 1;
    return R.bottom > client.top && R.top < client.bottom && R.right > R.left;
}

void TMarkOverlay::Paint(HDC DC, int From, int To)
{
    if (!FEditor || !FEditor->HandleAllocated()) return;
    // Declared first, the pen is deleted last: after the guards below have put it out of the
    // DC (a pen still selected would not be deleted).
    TPenHandle pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    if (!pen) return;
    TDCGuard state(DC);
    RECT client;
    GetClientRect(FEditor->Handle(), &client);
    IntersectClipRect(DC, client.left, client.top, client.right, client.bottom);
    TSelectGuard selected(DC, pen.Get());
    auto first =
        std::lower_bound(FMarks.begin(), FMarks.end(), From, [](const TSpellMark& m, int p) { return m.Start < p; });
    for (auto it = first; it != FMarks.end() && it->Start <= To; ++it) {
        RECT r;
        int base;
        if (Hidden(*it) || !MarkRect(*it, r, base)) continue;
        // A wave two pixels high: down, up, down along the word.
        MoveToEx(DC, r.left, base, nullptr);
        for (int x = r.left + 2, up = 1; x <= r.right; x += 2, up ^= 1) LineTo(DC, x, up ? base - 2 : base);
    }
}

} // namespace pw
