#include "Streams.h"
#include "StringList.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace pw;

namespace {

std::vector<std::string> Lines(const TStrings& s)
{
    std::vector<std::string> r;
    for (int i = 0; i < s.Count(); ++i) r.push_back(s.Strings(i));
    return r;
}

// A list that implements only the abstract operations, to prove what the base builds on them.
class MinimalList : public TStrings {
public:
    std::vector<std::pair<std::string, TObject*>> Items;
    std::vector<bool> UpdateStates;
    std::string Get(int i) const override { return Items.at(static_cast<size_t>(i)).first; }
    int GetCount() const override { return static_cast<int>(Items.size()); }
    TObject* GetObject(int i) const override { return Items.at(static_cast<size_t>(i)).second; }
    void PutObject(int i, TObject* o) override { Items.at(static_cast<size_t>(i)).second = o; }
    void Clear() override { Items.clear(); }
    void Delete(int i) override { Items.erase(Items.begin() + i); }
    void Insert(int i, const std::string& s) override { Items.insert(Items.begin() + i, {s, nullptr}); }
protected:
    void SetUpdateState(bool u) override { UpdateStates.push_back(u); }
};

} // namespace

TEST(StringList, TextSplitsAtCrLfAndCrLf)
{
    TStringList l;
    l.SetText("one\rtwo\nthree\r\nfour");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
}

TEST(StringList, TrailingBreakAddsNoEmptyLineButInnerEmptyLinesStay)
{
    TStringList l;
    l.SetText("a\r\n\r\nb\r\n");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "", "b"}));
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Text(), "");
    l.SetText("\n");
    EXPECT_EQ(Lines(l), std::vector<std::string>{""});
    // LF CR is two breaks, not one.
    l.SetText("x\n\ry");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x", "", "y"}));
}

TEST(StringList, IndexOfIgnoresCaseAndGivesTheFirstMatch)
{
    TStringList l;
    l.SetText("Alpha\nBETA\nbeta");
    EXPECT_EQ(l.IndexOf("beta"), 1);
    EXPECT_EQ(l.IndexOf("gamma"), -1);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("beta"), 2);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList l;
    l.SetSorted(true);
    l.Add("pear");
    l.Add("Apple");
    l.Add("fig");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Apple", "fig", "pear"}));
    EXPECT_EQ(l.Add("APPLE"), 0); // ignored duplicate gives the existing index
    EXPECT_EQ(l.Count(), 3);
    int idx = -1;
    EXPECT_TRUE(l.Find("FIG", idx));
    EXPECT_EQ(idx, 1);
    EXPECT_FALSE(l.Find("grape", idx));
    EXPECT_EQ(idx, 2);
    l.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(l.Add("fig"), EListError);
    l.SetDuplicates(TDuplicates::dupAccept);
    l.Add("fig");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_THROW(l.Insert(0, "x"), EListError);
}

TEST(StringList, ObjectsTravelWithTheirLines)
{
    TStringList l;
    TObject a, b;
    l.AddObject("a", &a);
    l.AddObject("b", &b);
    l.Exchange(0, 1);
    EXPECT_EQ(l.Strings(0), "b");
    EXPECT_EQ(l.Objects(0), &b);
    EXPECT_EQ(l.IndexOfObject(&a), 1);
    l.Move(1, 0);
    EXPECT_EQ(l.Objects(0), &a);
    TStringList copy;
    copy.Add("old");
    copy.Assign(&l);
    EXPECT_EQ(Lines(copy), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(copy.Objects(1), &b);
}

TEST(StringList, OutOfRangeIndexIsAListError)
{
    TStringList l;
    l.Add("x");
    EXPECT_THROW(l.Strings(1), EListError);
    EXPECT_THROW(l.Delete(-1), EListError);
    EXPECT_THROW(l.Insert(2, "y"), EListError);
    try {
        l.Strings(5);
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
}

TEST(StringList, ChangeEventsFireOncePerUpdateBracket)
{
    TStringList l;
    int changes = 0, changing = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.OnChanging = [&](TObject*) { ++changing; };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    l.SetText("x\ny\nz"); // one bracket around clear and three adds
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);
    l.BeginUpdate();
    l.Add("q");
    l.BeginUpdate();
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    l.EndUpdate();
    EXPECT_EQ(changes, 3);
}

TEST(Strings, BaseOperationsBuildOnTheAbstractOnes)
{
    MinimalList m;
    TObject o;
    m.AddObject("keep", &o);
    m.Add("two");
    m.SetStrings(0, "kept"); // replace keeps the line's object
    EXPECT_EQ(m.Strings(0), "kept");
    EXPECT_EQ(m.Objects(0), &o);
    m.SetText("a\nb");
    // The whole-text assignment is one update bracket: opened once, closed once.
    EXPECT_EQ(m.UpdateStates, (std::vector<bool>{true, false}));
    TStringList src;
    src.SetText("c\nd");
    m.AddStrings(&src);
    EXPECT_EQ(Lines(m), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(m.IndexOf("C"), 2);
    EXPECT_EQ(m.CommaText(), "a,b,c,d");
}

TEST(Strings, AnUpdateBracketClosesWhenItsWorkFailsAndAFailureOnClosingReachesTheCaller)
{
    struct RefusingList : MinimalList {
        void Insert(int i, const std::string& s) override
        {
            if (s == "bad") throw EListError("refused");
            MinimalList::Insert(i, s);
        }
    } m;
    EXPECT_THROW(m.SetText("a\nbad\nc"), EListError);
    EXPECT_EQ(m.UpdateCount(), 0);
    EXPECT_EQ(m.UpdateStates, (std::vector<bool>{true, false}));
    // The work went well; the change handler run as the bracket closes fails.
    TStringList l;
    l.OnChange = [](TObject*) { throw EListError("handler"); };
    EXPECT_THROW(l.SetText("x\ny"), EListError);
    EXPECT_EQ(l.UpdateCount(), 0);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x", "y"}));
}

TEST(Strings, AssignFromSomethingElseIsAConversionError)
{
    TStringList l;
    TFont f;
    EXPECT_THROW(l.Assign(&f), EConvertError);
}

TEST(StringList, StreamsAndFilesRoundTrip)
{
    pwtest::TempDir dir;
    TStringList l;
    l.SetText("first\nsecond");
    TMemoryStream m;
    l.SaveToStream(&m);
    EXPECT_EQ(std::string(m.Memory(), m.Data().size()), "first\r\nsecond\r\n");
    // Loading reads from the current position to the end.
    m.SetPosition(7);
    TStringList back;
    back.LoadFromStream(&m);
    EXPECT_EQ(Lines(back), std::vector<std::string>{"second"});

    std::string file = dir.File("lines.txt");
    l.SaveToFile(file);
    EXPECT_EQ(pwtest::ReadFileBytes(file), "first\r\nsecond\r\n");
    TStringList fromFile;
    fromFile.LoadFromFile(file);
    EXPECT_EQ(Lines(fromFile), (std::vector<std::string>{"first", "second"}));
    EXPECT_THROW(fromFile.LoadFromFile(dir.File("missing.txt")), EFOpenError);
    EXPECT_EQ(fromFile.Count(), 2); // a failed load loses nothing
}
