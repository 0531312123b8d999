#include "Classes.h"
#include "Events.h"
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
    ~Logged() override
    {
        if (g_log) g_log->push_back("~" + Name());
    }
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
        if (auto* p = dynamic_cast<Point2*>(s)) {
            X = p->X;
            Y = p->Y;
            return;
        }
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
        if (auto* p = dynamic_cast<Point2*>(d)) {
            p->X = R;
            p->Y = 0;
            return;
        }
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
    watcher.FreeNotification(watched); // asking twice still tells once
    delete watched;
    ASSERT_EQ(watcher.Removed.size(), 1u);
    EXPECT_EQ(watcher.Removed[0], "watched");
}

TEST(Component, FreeNotificationIsMutualAndCanBeWithdrawn)
{
    auto* a = new Logged(nullptr, "a");
    auto* b = new Logged(nullptr, "b");
    a->FreeNotification(b);
    delete a; // b hears of a, and a's destruction must not leave b pointing at a
    EXPECT_EQ(b->Removed, std::vector<std::string>{"a"});
    auto* c = new Logged(nullptr, "c");
    b->FreeNotification(c);
    b->RemoveFreeNotification(c);
    delete c;
    EXPECT_EQ(b->Removed.size(), 1u);
    delete b;
}

TEST(Event, TheOwnersHandlerAndEverySubscriberHearItInTurnUntilTheyLeave)
{
    TEvent<int> event;
    std::vector<std::string> heard;
    event = [&](int n) { heard.push_back("owner " + std::to_string(n)); };
    TSubscription second;
    TSubscription first = event.Subscribe([&](int n) {
        heard.push_back("first " + std::to_string(n));
        second.Cancel(); // leaves during the call: not called again, not even now
    });
    second = event.Subscribe([&](int n) { heard.push_back("second " + std::to_string(n)); });
    event(1);
    EXPECT_EQ(heard, (std::vector<std::string>{"owner 1", "first 1"}));

    heard.clear();
    {
        TSubscription third = event.Subscribe([&](int n) { heard.push_back("third " + std::to_string(n)); });
        event = nullptr; // the owner lets go of its handler; subscribers stay
        event(2);
        auto quiet = event.Mute();
        event(3);
    }
    event(4); // the third one's subscription was dropped with it
    EXPECT_EQ(heard, (std::vector<std::string>{"first 2", "third 2", "first 4"}));
    first.Cancel();
    EXPECT_FALSE(static_cast<bool>(event));
}

TEST(Event, ASubscriptionOutlivingItsEventIsHarmless)
{
    int calls = 0;
    TSubscription kept;
    {
        TEvent<> event;
        kept = event.Subscribe([&] { ++calls; });
        event();
    }
    EXPECT_TRUE(kept.Active());
    kept.Cancel(); // the event is gone: nothing to take the listener from
    EXPECT_FALSE(kept.Active());
    EXPECT_EQ(calls, 1);
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
