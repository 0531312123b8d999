#include "Classes.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pw;

namespace {

std::vector<std::string>* g_log = nullptr;

class Logged : public TComponent {
public:
    Logged(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
    ~Logged() override { if (g_log) g_log->push_back("~" + Name()); }
    std::vector<std::string> Removed;
protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove) Removed.push_back(c->Name());
    }
};

class Point2 : public TPersistent {
public:
    int X = 0, Y = 0;
    void Assign(TPersistent* s) override
    {
        if (auto* p = dynamic_cast<Point2*>(s)) { X = p->X; Y = p->Y; return; }
        TPersistent::Assign(s);
    }
};

// Knows how to copy itself into a Point2, though Point2 does not know it.
class Polar : public TPersistent {
public:
    int R = 5;
protected:
    void AssignTo(TPersistent* d) override
    {
        if (auto* p = dynamic_cast<Point2*>(d)) { p->X = R; p->Y = 0; return; }
        TPersistent::AssignTo(d);
    }
};

} // namespace

TEST(Component, OwnerDestroysOwnedInReverseOrderOfCreation)
{
    std::vector<std::string> log;
    g_log = &log;
    auto* root = new Logged(nullptr, "root");
    new Logged(root, "a");
    auto* b = new Logged(root, "b");
    new Logged(b, "b1");
    new Logged(root, "c");
    EXPECT_EQ(root->ComponentCount(), 3);
    delete root;
    g_log = nullptr;
    // The owner's destructor runs first, then its components from the last created back.
    std::vector<std::string> expected{"~root", "~c", "~b", "~b1", "~a"};
    EXPECT_EQ(log, expected);
}

TEST(Component, DeletingAnOwnedComponentRemovesItFromItsOwner)
{
    Logged root(nullptr, "root");
    auto* a = new Logged(&root, "a");
    new Logged(&root, "b");
    delete a;
    ASSERT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0)->Name(), "b");
    EXPECT_EQ(root.FindComponent("B"), root.Components(0));
    EXPECT_EQ(root.FindComponent("a"), nullptr);
}

TEST(Component, FreeNotificationTellsAboutDestructionOnce)
{
    Logged watcher(nullptr, "watcher");
    auto* watched = new Logged(nullptr, "watched");
    watcher.FreeNotification(watched);
    watcher.FreeNotification(watched);  // asking twice still tells once
    delete watched;
    ASSERT_EQ(watcher.Removed.size(), 1u);
    EXPECT_EQ(watcher.Removed[0], "watched");
}

TEST(Component, FreeNotificationIsMutualAndCanBeWithdrawn)
{
    auto* a = new Logged(nullptr, "a");
    auto* b = new Logged(nullptr, "b");
    a->FreeNotification(b);
    delete a;  // b hears of a, and a's destruction must not leave b pointing at a
    EXPECT_EQ(b->Removed, std::vector<std::string>{"a"});
    auto* c = new Logged(nullptr, "c");
    b->FreeNotification(c);
    b->RemoveFreeNotification(c);
    delete c;
    EXPECT_EQ(b->Removed.size(), 1u);
    delete b;
}

TEST(Component, NameAndTag)
{
    Logged c(nullptr, "first");
    c.SetTag(4097);
    EXPECT_EQ(c.Tag(), 4097);
    c.SetName("second");
    EXPECT_EQ(c.Name(), "second");
}

TEST(Persistent, AssignCopiesKnownClasses)
{
    Point2 a, b;
    a.X = 3;
    a.Y = 4;
    b.Assign(&a);
    EXPECT_EQ(b.X, 3);
    EXPECT_EQ(b.Y, 4);
}

TEST(Persistent, AssignFallsBackToTheSourcesAssignTo)
{
    Point2 p;
    Polar q;
    q.R = 7;
    p.Assign(&q);
    EXPECT_EQ(p.X, 7);
}

TEST(Persistent, AssignBetweenStrangersIsAConversionError)
{
    Polar a, b;
    EXPECT_THROW(a.Assign(&b), EConvertError);
    try {
        a.Assign(&b);
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("Cannot assign"), std::string::npos) << e.Message();
    }
}

TEST(Exceptions, CarryTheirMessageAndAbortIsDistinct)
{
    try {
        throw EOutOfResources("RichEdit line insertion error");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "RichEdit line insertion error");
        EXPECT_STREQ(e.what(), "RichEdit line insertion error");
    }
    EXPECT_THROW(Abort(), EAbort);
    EXPECT_THROW(StrToInt("12x"), EConvertError);
    EXPECT_EQ(StrToIntDef(" 42 ", 0), 42);
    EXPECT_EQ(StrToIntDef("", -1), -1);
    EXPECT_EQ(Format("Spelling error No %d", 7), "Spelling error No 7");
}

TEST(FileNames, ExtensionPathAndName)
{
    EXPECT_EQ(ExtractFileExt("C:\\docs\\Letter.RTF"), ".RTF");
    EXPECT_EQ(ExtractFileExt("C:\\my.docs\\Letter"), "");
    EXPECT_EQ(ExtractFileName("C:\\docs\\Letter.rtf"), "Letter.rtf");
    EXPECT_EQ(ExtractFilePath("C:\\docs\\Letter.rtf"), "C:\\docs\\");
    EXPECT_EQ(AnsiLowerCaseFileName("A.TXT"), "a.txt");
}
