// Spelling as you type: marks found in idle slices, drawn as red waves over a real editor,
// following edits, scrolling, languages and words accepted elsewhere.
#include "LanguageRuns.h"
#include "LiveSpeller.h"
#include "SpellFixture.h"
#include "Streams.h"

#include <algorithm>
#include <map>
#include <vector>

using namespace spelltest;

namespace {

class LiveSpellerTest : public SpellFixture {
protected:
    void SetUp() override
    {
        SpellFixture::SetUp();
        Live = new TLiveSpeller(Host, Edit, Checker); // it listens to the editor itself
        Host->Show();
        pwtest::Pump();
    }
    // The document, checked to the end, painted.
    void Checked(const std::wstring& text, int caret = 0, TLanguage language = 1033)
    {
        SetDocument(text, caret, language);
        Live->CheckAll();
        Paint();
    }
    // A change told as if the caret had stayed at the end of the document, then everything
    // checked and painted with the caret back at the start.
    void ToldWithTheCaretAtTheEnd()
    {
        int end = static_cast<int>(WideText(Edit).size());
        Edit->Perform(EM_SETSEL, static_cast<WPARAM>(end), end);
        Live->TextChanged();
        Edit->Perform(EM_SETSEL, 0, 0);
        Live->CheckAll();
        Paint();
    }
    void Paint()
    {
        InvalidateRect(Edit->Handle(), nullptr, TRUE);
        UpdateWindow(Edit->Handle());
    }
    std::vector<std::wstring> MarkedWords()
    {
        std::vector<std::wstring> words;
        std::wstring text = WideText(Edit);
        for (const TSpellMark& m : Live->Marks())
            words.push_back(text.substr(static_cast<size_t>(m.Start), static_cast<size_t>(m.Length)));
        return words;
    }
    // Red pixels in the band under the characters [from, to) of the editor's first line there.
    int RedUnder(int from, int to)
    {
        POINTL a{}, b{};
        Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&a), from);
        Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&b), to);
        int line = static_cast<int>(Edit->Perform(EM_EXLINEFROMCHAR, 0, from));
        int next = static_cast<int>(Edit->Perform(EM_LINEINDEX, static_cast<WPARAM>(line + 1), 0));
        POINTL n{};
        if (next > from) Edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&n), next);
        else n.y = a.y + 24;
        HDC dc = GetDC(Edit->Handle());
        int red = 0;
        for (int y = a.y; y < n.y + 1; ++y)
            for (int x = a.x; x < (b.y == a.y ? b.x : a.x + 30); ++x)
                if (GetPixel(dc, x, y) == RGB(255, 0, 0)) ++red;
        ReleaseDC(Edit->Handle(), dc);
        return red;
    }
    int Find(const wchar_t* word) { return static_cast<int>(WideText(Edit).find(word)); }

    TLiveSpeller* Live = nullptr;
};

} // namespace

TEST_F(LiveSpellerTest, MarksTheWordsItsEngineRejectsAndDrawsARedWaveUnderThem)
{
    Checked(L"the cat sat on the wrold mat");
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
    int w = Find(L"wrold");
    EXPECT_GT(RedUnder(w, w + 5), 3) << "a wave under the misspelt word";
    EXPECT_EQ(RedUnder(Find(L"cat"), Find(L"cat") + 3), 0) << "none under a correct word";
    TSpellMark m{};
    EXPECT_TRUE(Live->MarkAt(w + 2, m));
    EXPECT_EQ(m.Start, w);
    EXPECT_FALSE(Live->MarkAt(Find(L"mat") + 1, m));
}

TEST_F(LiveSpellerTest, TextInALanguageWithoutDictionaryIsNotMarked)
{
    Checked(L"the wrold cat", 0, 1031); // German: no engine registered
    EXPECT_TRUE(MarkedWords().empty());
    EXPECT_FALSE(Live->WorkLeft());
}

TEST_F(LiveSpellerTest, EachPieceIsCheckedInItsOwnLanguage)
{
    SetDocument(L"the cat миир sat кот mat");
    MarkLanguage(Find(L"миир"), Find(L"миир") + 4, 1049);
    MarkLanguage(Find(L"кот"), Find(L"кот") + 3, 1049);
    Live->LanguagesChanged();
    Live->CheckAll();
    Paint();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"миир"});
    EXPECT_GT(RedUnder(Find(L"миир"), Find(L"миир") + 4), 3);

    // Marked Russian now, every English word is checked in Russian and fails; "кот" passes.
    MarkLanguage(0, static_cast<int>(WideText(Edit).size()), 1049);
    Live->LanguagesChanged();
    Live->CheckAll();
    std::vector<std::wstring> all{L"the", L"cat", L"миир", L"sat", L"mat"};
    EXPECT_EQ(MarkedWords(), all);
}

TEST_F(LiveSpellerTest, MarksMoveWithEditsAboveThemAndTheEditedParagraphIsCheckedAgain)
{
    Checked(L"the cat\rsat on the wrold mat");
    int before = Find(L"wrold");
    Edit->Perform(EM_SETSEL, 0, 0);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"a mat\r"));
    }
    Edit->Perform(EM_SETSEL, 100, 100); // the caret goes elsewhere: no word is being typed
    Live->CheckAll();
    Paint();
    int after = Find(L"wrold");
    EXPECT_EQ(after, before + 6);
    ASSERT_EQ(Live->Marks().size(), 1u);
    EXPECT_EQ(Live->Marks()[0].Start, after);
    EXPECT_GT(RedUnder(after, after + 5), 3) << "the wave moved with its word";

    // Fixing the word removes its mark.
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(after), after + 5);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"word"));
    }
    Edit->Perform(EM_SETSEL, 0, 0);
    Live->CheckAll();
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(after, after + 4), 0);
}

TEST_F(LiveSpellerTest, TheWordBeingTypedIsMarkedOnlyOnceTheCaretLeavesIt)
{
    Checked(L"the cat ");
    Edit->Perform(EM_SETSEL, 8, 8);
    for (const char* c = "wrold"; *c; ++c) SendMessageA(Edit->Handle(), WM_CHAR, static_cast<WPARAM>(*c), 0);
    Live->CheckAll();
    EXPECT_TRUE(MarkedWords().empty()) << "the caret is still in the word";
    SendMessageA(Edit->Handle(), WM_CHAR, ' ', 0); // typing goes on after it
    Live->CheckAll();
    Live->SelectionChanged();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
}

TEST_F(LiveSpellerTest, ADocumentTypedFromEmptyAKeyAtATimeIsCheckedInTheLanguageOfItsText)
{
    // As a user types: the empty document is taken in first, then every key is painted before
    // the next comes (the paint follows the edit), so the text grows a character at a time.
    Checked(L"");
    for (const char* c = "the wrnog cat sat "; *c; ++c) {
        SendMessageA(Edit->Handle(), WM_CHAR, static_cast<WPARAM>(*c), 0);
        Paint();
    }
    Live->CheckAll();
    Live->SelectionChanged();
    Paint();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrnog"});
    EXPECT_GT(RedUnder(Find(L"wrnog"), Find(L"wrnog") + 5), 3);
}

TEST_F(LiveSpellerTest, AWordCorrectedOnTheLastLineLeavesNoWaveWhereTheControlRepaintsOnlyItsLine)
{
    Checked(L"the cat sat on a wrold");
    int w = Find(L"wrold");
    ASSERT_GT(RedUnder(w, w + 5), 3);
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(w), w + 5);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"mat"));
    }
    Edit->Perform(EM_SETSEL, 0, 0);
    UpdateWindow(Edit->Handle()); // only what the control and the speller found to repaint
    Live->CheckAll();
    UpdateWindow(Edit->Handle());
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(w, w + 5), 0) << "the wave of the corrected word is gone";
}

TEST_F(LiveSpellerTest, AWordAcceptedElsewhereLosesItsMarksInEveryDocument)
{
    auto* other = new TRichEdit98(Host);
    other->SetParent(Host);
    other->SetBounds(0, 250, 480, 40);
    other->SetLanguage(1033);
    PutText(other, L"a wrold and a wrold");
    MarkLanguage(other, 0, 19, 1033);
    auto* live2 = new TLiveSpeller(Host, other, Checker);
    Checked(L"the wrold cat");
    live2->CheckAll();
    EXPECT_EQ(live2->Marks().size(), 2u);
    Checker->OnWordAccepted(Checker, "wrold", 1049); // another language: nothing changes
    EXPECT_EQ(Live->Marks().size(), 1u);
    Checker->OnWordAccepted(Checker, "wrold", 1033);
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_TRUE(live2->Marks().empty());
    EXPECT_EQ(RedUnder(Find(L"wrold"), Find(L"wrold") + 5), 0);
}

TEST_F(LiveSpellerTest, MarksLeaveTheDocumentUntouchedAndTurningOffRemovesThem)
{
    SetDocument(L"the wrold cat\rsat on a mat");
    Edit->Perform(EM_EMPTYUNDOBUFFER, 0, 0);
    std::string plain = Edit->RTFText();
    Live->CheckAll();
    Paint();
    EXPECT_EQ(Edit->RTFText(), plain) << "marks are not in the document";
    EXPECT_FALSE(Edit->CanUndo());
    int w = Find(L"wrold");
    EXPECT_GT(RedUnder(w, w + 5), 3);
    Live->SetEnabled(false);
    Paint();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(w, w + 5), 0);
    Live->SetEnabled(true);
    Live->CheckAll();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
}

TEST_F(LiveSpellerTest, VisibleTextIsCheckedFirstAndScrollingMovesTheWave)
{
    std::wstring text;
    for (int i = 0; i < 400; ++i) text += i == 300 ? L"the wrold cat\r" : L"the cat sat on the mat\r";
    SetDocument(text, 0);
    Live->CheckAll();
    int w = Find(L"wrold");
    // Scroll the misspelling into view, forget everything and take one tiny slice.
    Edit->Perform(EM_LINESCROLL, 0, 295);
    pwtest::Pump();
    Live->LanguagesChanged();
    for (int i = 0; i < 20; ++i) Live->RunSlice(0.0); // a paragraph each
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"}) << "what the user sees comes first";
    EXPECT_TRUE(Live->WorkLeft());
    Live->CheckAll();
    Paint();
    int red = RedUnder(w, w + 5);
    EXPECT_GT(red, 3);
    Edit->Perform(EM_LINESCROLL, 0, 1);
    UpdateWindow(Edit->Handle());
    EXPECT_GT(RedUnder(w, w + 5), 3) << "the wave is drawn where the word went";
}

namespace {

// Lines of correct words, Count of them, with Odd standing at line Index.
std::wstring Lines(int count, int index = -1, const wchar_t* odd = L"")
{
    std::wstring text;
    for (int i = 0; i < count; ++i) text += (i == index ? std::wstring(odd) : L"the cat sat on the mat") + L"\r";
    return text;
}

// Unicode text on the clipboard, as another program would leave it.
bool PutOnClipboard(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(g), text.c_str(), bytes);
    GlobalUnlock(g);
    bool put = SetClipboardData(CF_UNICODETEXT, g) != nullptr;
    CloseClipboard();
    return put;
}

struct TStreamSource {
    std::string Bytes;
    size_t At = 0;
};

DWORD CALLBACK GiveBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done)
{
    auto* s = reinterpret_cast<TStreamSource*>(cookie);
    size_t n = std::min(static_cast<size_t>(size), s->Bytes.size() - s->At);
    std::memcpy(buffer, s->Bytes.data() + s->At, n);
    s->At += n;
    *done = static_cast<LONG>(n);
    return 0;
}

} // namespace

// The edits below are told with the caret far from where they happened, as happens with an
// undo, a replacement made by code or a stream: only the text around the caret is read at
// once, and the reading of the rest in later slices must find them.
TEST_F(LiveSpellerTest, AnUndoneEditTheCaretDoesNotShowLeavesTheRightMarks)
{
    Checked(Lines(200));
    ASSERT_TRUE(Live->Marks().empty());
    const int at = Find(L"\r") + 1; // the second line, in view
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(at), at);
    ASSERT_TRUE(PutOnClipboard(Host->Handle(), L"the wrold cat\r"));
    Edit->Perform(WM_PASTE, 0, 0);
    ASSERT_EQ(Find(L"wrold"), at + 4) << "the paste went in";
    Edit->Perform(EM_SETSEL, 0, 0);
    Live->CheckAll();
    Paint();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
    EXPECT_GT(RedUnder(at + 4, at + 9), 3);

    // The undo, told as if the caret had stayed at the end of the document.
    auto untold = Edit->OnChange.Mute();
    Edit->Perform(EM_UNDO, 0, 0);
    ASSERT_EQ(Find(L"wrold"), -1) << "the paste was undone";
    ToldWithTheCaretAtTheEnd();
    EXPECT_TRUE(Live->Marks().empty());
    EXPECT_EQ(RedUnder(at, at + 12), 0) << "no wave left where the pasted word was";
}

TEST_F(LiveSpellerTest, AReplacementOfEqualLengthFarFromTheCaretIsFound)
{
    Checked(Lines(200, 3, L"the cat sat"));
    ASSERT_TRUE(Live->Marks().empty());
    // "cat" of line 3 becomes "cta", by code, with the caret at the end of the document.
    auto untold = Edit->OnChange.Mute();
    int cat = Find(L"the cat sat\r") + 4;
    Edit->Perform(EM_SETSEL, static_cast<WPARAM>(cat), cat + 3);
    {
        TWideModeGuard wide(Edit);
        Edit->Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"cta"));
    }
    ToldWithTheCaretAtTheEnd();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"cta"});
    EXPECT_GT(RedUnder(cat, cat + 3), 3);
}

TEST_F(LiveSpellerTest, StreamedInTextIsMarkedAsItsOwn)
{
    Checked(Lines(300, 5, L"the cat sat on the mta"));
    ASSERT_EQ(MarkedWords(), std::vector<std::wstring>{L"mta"});
    auto streamIn = [&](const std::wstring& text) {
        SetDefaultLanguage(Edit, 1033);
        TStreamSource source{Narrow(text)};
        EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&source), 0, GiveBytes};
        Edit->Perform(EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&es));
        ASSERT_EQ(WideText(Edit), text) << "the stream went in";
    };
    // A text of the same length, its misspelling elsewhere: told as an edit at the caret.
    auto untold = Edit->OnChange.Mute();
    std::wstring same = WideText(Edit);
    same.replace(same.find(L"mta"), 3, L"mat");
    same.replace(static_cast<size_t>(250 * 23 + 4), 3, L"cta");
    streamIn(same);
    Edit->Perform(EM_SETSEL, 0, 0);
    Live->TextChanged();
    Live->CheckAll();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"cta"});
    int cta = Find(L"cta");
    Edit->Perform(EM_LINESCROLL, 0, 245);
    Paint();
    EXPECT_GT(RedUnder(cta, cta + 3), 3) << "the wave under the streamed-in misspelling";

    // A text of another length, told as a document loaded.
    std::wstring other = Lines(120, 100, L"a wrold");
    other.pop_back();
    streamIn(other);
    Edit->Perform(EM_SETSEL, 0, 0);
    Live->LanguagesChanged();
    Live->CheckAll();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
    EXPECT_EQ(Live->Marks()[0].Start, Find(L"wrold"));
}

TEST_F(LiveSpellerTest, ALanguageChangeFarFromTheViewIsCheckedInTheNewLanguage)
{
    Checked(Lines(400, 350, L"the cat sat"));
    ASSERT_TRUE(Live->Marks().empty());
    int line = Find(L"the cat sat\r");
    MarkLanguage(line, line + 11, 1049);
    Edit->Perform(EM_SETSEL, 0, 0);
    Edit->Perform(EM_SCROLLCARET, 0, 0);
    ASSERT_EQ(Edit->Perform(EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the changed line is far out of view";
    Live->LanguagesChanged();
    Live->CheckAll();
    EXPECT_EQ(MarkedWords(), (std::vector<std::wstring>{L"the", L"cat", L"sat"})) << "checked in Russian now";
    Edit->Perform(EM_LINESCROLL, 0, 348);
    Paint();
    EXPECT_GT(RedUnder(line + 4, line + 7), 3);
    EXPECT_EQ(RedUnder(line + 12, line + 15), 0) << "the next line is still English";
}

namespace {

// The GDI objects of a drawing recorded in an enhanced metafile, as GDI itself wrote them
// down: how many were created, how many of those were deleted while still selected into the
// DC (Windows refuses to delete them, and the object stays for as long as the process), how
// many were never deleted, and how many were still selected when the drawing ended.
struct TGdiLedger {
    int Created = 0;
    int DeletedWhileSelected = 0;
    int NeverDeleted = 0;
    int LeftSelected = 0;
    int Lines = 0;
};

struct TGdiReplay {
    TGdiLedger Ledger;
    std::map<DWORD, DWORD> Kind; // object index -> OBJ_PEN, OBJ_BRUSH, OBJ_FONT ...
    std::map<DWORD, DWORD> Selected; // kind -> object index selected (0: not one of these)
    std::vector<std::map<DWORD, DWORD>> Saved;
};

DWORD StockKind(DWORD Stock)
{
    if (Stock <= HOLLOW_BRUSH || Stock == DC_BRUSH) return OBJ_BRUSH;
    if (Stock == WHITE_PEN || Stock == BLACK_PEN || Stock == NULL_PEN || Stock == DC_PEN) return OBJ_PEN;
    if (Stock == DEFAULT_PALETTE) return OBJ_PAL;
    return OBJ_FONT;
}

int CALLBACK ReplayRecord(HDC, HANDLETABLE*, const ENHMETARECORD* Record, int, LPARAM Data)
{
    auto* r = reinterpret_cast<TGdiReplay*>(Data);
    DWORD first = Record->nSize > 8 ? Record->dParm[0] : 0;
    auto created = [&](DWORD kind) {
        r->Kind[first] = kind;
        ++r->Ledger.Created;
    };
    switch (Record->iType) {
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN: created(OBJ_PEN); break;
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH: created(OBJ_BRUSH); break;
    case EMR_EXTCREATEFONTINDIRECTW: created(OBJ_FONT); break;
    case EMR_CREATEPALETTE: created(OBJ_PAL); break;
    case EMR_SELECTOBJECT:
        if (first & 0x80000000) r->Selected[StockKind(first & 0x7FFFFFFF)] = 0;
        else if (r->Kind.count(first)) r->Selected[r->Kind[first]] = first;
        break;
    case EMR_DELETEOBJECT:
        if (r->Kind.count(first)) {
            if (r->Selected[r->Kind[first]] == first) ++r->Ledger.DeletedWhileSelected;
            r->Kind.erase(first);
        }
        break;
    case EMR_SAVEDC: r->Saved.push_back(r->Selected); break;
    case EMR_RESTOREDC: {
        auto relative = static_cast<int>(first);
        size_t keep = relative < 0 ? r->Saved.size() - std::min(r->Saved.size(), static_cast<size_t>(-relative))
                                   : std::min(r->Saved.size(), static_cast<size_t>(std::max(relative - 1, 0)));
        if (keep < r->Saved.size()) {
            r->Selected = r->Saved[keep];
            r->Saved.resize(keep);
        }
        break;
    }
    case EMR_LINETO: ++r->Ledger.Lines; break;
    case EMR_EOF:
        r->Ledger.NeverDeleted = static_cast<int>(r->Kind.size());
        for (const auto& [kind, index] : r->Selected)
            if (index) ++r->Ledger.LeftSelected;
        break;
    default: break;
    }
    return 1;
}

// What Draw does on a DC, recorded and replayed.
template <class F>
TGdiLedger RecordedDrawing(F Draw)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
    ReleaseDC(nullptr, screen);
    Draw(dc);
    HENHMETAFILE picture = CloseEnhMetaFile(dc);
    TGdiReplay replay;
    EnumEnhMetaFile(nullptr, picture, ReplayRecord, &replay, nullptr);
    DeleteEnhMetaFile(picture);
    return replay.Ledger;
}

} // namespace

TEST_F(LiveSpellerTest, DrawingTheWavesAThousandTimesKeepsNoGdiObjectAndLeavesTheDcAsItWas)
{
    Checked(L"the wrold cat sat on the mta");
    ASSERT_EQ(MarkedWords().size(), 2u);
    // The waves are drawn as the editor paints: each time, the DC keeps the pen, brush and font
    // it had before.
    auto overlay = Edit->OnPaintOverlay;
    ASSERT_TRUE(overlay);
    int draws = 0, changed = 0;
    Edit->OnPaintOverlay = [&](TObject* sender, HDC dc) {
        HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
        HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
        overlay(sender, dc);
        ++draws;
        if (GetCurrentObject(dc, OBJ_PEN) != pen || GetCurrentObject(dc, OBJ_BRUSH) != brush ||
            GetCurrentObject(dc, OBJ_FONT) != font)
            ++changed;
    };
    auto repaint = [&] { RedrawWindow(Edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); };
    for (int i = 0; i < 10; ++i) repaint(); // whatever the control keeps for its painting is made
    // The process's GDI objects (Wine counts none: 0 before and after).
    DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i) repaint();
    DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    Edit->OnPaintOverlay = overlay;
    EXPECT_EQ(draws, 1010);
    EXPECT_EQ(changed, 0) << "the DC's objects are put back after every drawing";
    EXPECT_LE(after, before + 10) << "a pen kept by every drawing would make a thousand";

    // One drawing as GDI writes it down: every object the overlay creates is taken out of the
    // DC before it is deleted, and deleted.
    TGdiLedger ledger = RecordedDrawing([&](HDC dc) { overlay(Edit, dc); });
    EXPECT_GT(ledger.Lines, 10) << "the waves were drawn";
    EXPECT_GE(ledger.Created, 1);
    EXPECT_EQ(ledger.DeletedWhileSelected, 0);
    EXPECT_EQ(ledger.NeverDeleted, 0);
    EXPECT_EQ(ledger.LeftSelected, 0);
}

TEST_F(LiveSpellerTest, ItHearsTheEditorBesideTheHandlersOfTheEditorsOwner)
{
    Checked(L"");
    int changes = 0, moves = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    Edit->OnSelectionChange = [&](TObject*) { ++moves; };
    for (const char* c = "the wrold"; *c; ++c) SendMessageA(Edit->Handle(), WM_CHAR, static_cast<WPARAM>(*c), 0);
    Live->CheckAll();
    EXPECT_TRUE(MarkedWords().empty()) << "the caret is still in the word";
    EXPECT_EQ(changes, 9) << "the owner's handler hears every key";
    int movesBefore = moves;
    Edit->Perform(EM_SETSEL, 0, 0); // the caret leaves the word: no one tells the speller but the editor
    EXPECT_EQ(moves, movesBefore + 1);
    Live->CheckAll();
    Paint();
    EXPECT_EQ(MarkedWords(), std::vector<std::wstring>{L"wrold"});
    EXPECT_GT(RedUnder(Find(L"wrold"), Find(L"wrold") + 5), 3);
}

TEST_F(LiveSpellerTest, ADocumentLoadedThroughTheEditorsLinesIsCheckedInItsLanguagesUntold)
{
    // The same text as the document, all of it Russian: only its languages are new.
    SetDocument(L"the cat sat on the mat");
    MarkLanguage(0, 22, 1049);
    std::string russian = Edit->RTFText();
    Checked(L"the cat sat on the mat");
    ASSERT_TRUE(MarkedWords().empty());
    TMemoryStream stream;
    stream.WriteBuffer(russian.data(), static_cast<long>(russian.size()));
    stream.SetPosition(0);
    Edit->Lines()->LoadFromStream(&stream);
    ASSERT_EQ(WideText(Edit), L"the cat sat on the mat");
    Edit->Perform(EM_SETSEL, 12, 12); // away from the first and last words, where loading leaves the caret
    Live->CheckAll();
    Paint();
    std::vector<std::wstring> all{L"the", L"cat", L"sat", L"on", L"the", L"mat"};
    EXPECT_EQ(MarkedWords(), all) << "checked in Russian";
    EXPECT_GT(RedUnder(Find(L"cat"), Find(L"cat") + 3), 3);
}
