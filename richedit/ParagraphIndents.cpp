#include "ParagraphIndents.h"

#include "RichEditText.h"
#include "RichTextLexer.h"
#include "SysUtils.h"

#include <cstring>
#include <vector>

namespace pw {

namespace {

bool WriterSwapsIndents()
{
    static const bool swaps = [] {
        TRichEditProbe probe(L"x");
        if (!probe.Handle()) return false;
        PARAFORMAT2 p;
        std::memset(&p, 0, sizeof p);
        p.cbSize = sizeof p;
        p.dwMask = PFM_STARTINDENT | PFM_OFFSET;
        p.dxStartIndent = 720;
        p.dxOffset = 360;
        SendMessageW(probe.Handle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
        std::string out = probe.StreamOut();
        return out.find("\\li360") != std::string::npos && out.find("\\fi720") != std::string::npos;
    }();
    return swaps;
}

// Where a control word ends, without the blank it may have eaten.
size_t WordEnd(const TRichTextTokenInfo& Word) { return Word.End - (Word.SpaceEaten ? 1 : 0); }

} // namespace

std::string SwapWrittenIndents(const std::string& RTF)
{
    std::string out;
    out.reserve(RTF.size() + 64);
    size_t copied = 0;
    TRichTextLexer lexer(RTF);
    TRichTextTokenInfo t;
    bool have = lexer.Next(t);
    while (have) {
        if (t.Kind != TRichTextToken::rtControlWord || t.Word != "pard") {
            have = lexer.Next(t);
            continue;
        }
        // The paragraph's control words run up to the first blank.
        std::vector<TRichTextTokenInfo> words{t};
        have = lexer.Next(t);
        while (have && !words.back().SpaceEaten && t.Kind == TRichTextToken::rtControlWord) {
            words.push_back(t);
            have = lexer.Next(t);
        }
        const TRichTextTokenInfo *li = nullptr, *fi = nullptr;
        for (const TRichTextTokenInfo& w : words) {
            if (!w.HasParameter) continue;
            if (w.Word == "li" && !li) li = &w;
            if (w.Word == "fi" && !fi) fi = &w;
        }
        if (!li && !fi) continue;
        long offset = li ? li->Parameter : 0, start = fi ? fi->Parameter : 0;
        // Drop both and write them the standard way.
        size_t from = words.front().At;
        out.append(RTF, copied, from - copied);
        for (const TRichTextTokenInfo& w : words) {
            if (&w != li && &w != fi) continue;
            out.append(RTF, from, w.At - from);
            from = WordEnd(w);
        }
        size_t end = WordEnd(words.back());
        if (end > from) out.append(RTF, from, end - from);
        out += Format("\\fi%ld\\li%ld", -offset, start + offset);
        copied = end;
    }
    out.append(RTF, copied, std::string::npos);
    return out;
}

std::string RepairParagraphIndents(const std::string& RTF)
{
    return WriterSwapsIndents() ? SwapWrittenIndents(RTF) : RTF;
}

} // namespace pw
