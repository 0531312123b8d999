#include "Forms.h"
#include "Subclass.h"
#include "SysUtils.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

using namespace pw;

namespace {

constexpr UINT WM_PROBE = WM_USER + 40;

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)); }

// A subclass that records the order in which messages reach it and passes them on.
struct Recorder {
    std::string Name;
    std::vector<std::string>* Log;
    std::unique_ptr<TWindowSubclass> Link;
    Recorder(HWND h, std::string name, std::vector<std::string>* log) : Name(std::move(name)), Log(log)
    {
        Link = std::make_unique<TWindowSubclass>(h, [this](TMessage& m) {
            if (m.Msg == WM_PROBE) Log->push_back(Name);
            Link->CallPrevious(m);
        });
    }
};

class Bottom : public TForm {
public:
    using TForm::TForm;
    std::vector<std::string>* Log = nullptr;
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_PROBE) {
            if (Log) Log->push_back("form");
            m.Result = 42;
            return;
        }
        TForm::WndProc(m);
    }
};

WNDPROC g_foreignPrevious = nullptr;
LRESULT CALLBACK ForeignProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return CallWindowProcA(g_foreignPrevious, h, m, w, l);
}

} // namespace

TEST(Subclass, BoundProcedureCallsItsObjectThroughTheFirewall)
{
    int calls = 0;
    TWndProcInstance a([&](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
        ++calls;
        if (m == WM_PROBE + 1) Abort();
        return static_cast<LRESULT>(w) + 1;
    });
    TWndProcInstance b([](HWND, UINT, WPARAM w, LPARAM) -> LRESULT { return static_cast<LRESULT>(w) * 10; });
    ASSERT_NE(a.Procedure(), b.Procedure());
    EXPECT_EQ(CallWindowProcA(a.Procedure(), nullptr, WM_PROBE, 4, 0), 5);
    EXPECT_EQ(CallWindowProcA(b.Procedure(), nullptr, WM_PROBE, 4, 0), 40);
    // An exception does not leave the procedure; the silent abort shows nothing.
    EXPECT_EQ(CallWindowProcA(a.Procedure(), nullptr, WM_PROBE + 1, 4, 0), 0);
    EXPECT_EQ(calls, 2);
}

TEST(Subclass, MessagesPassDownTheChainFromTheLastInstalled)
{
    Bottom f(nullptr);
    std::vector<std::string> log;
    f.Log = &log;
    HWND h = f.Handle();
    Recorder a(h, "a", &log), b(h, "b", &log);
    EXPECT_EQ(SendMessageA(h, WM_PROBE, 0, 0), 42);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a", "form"}));
}

TEST(Subclass, RemovalInAnyOrderLeavesTheProcedureWhereItStarted)
{
    std::vector<int> order{0, 1, 2};
    do {
        Bottom f(nullptr);
        std::vector<std::string> log;
        f.Log = &log;
        HWND h = f.Handle();
        WNDPROC original = ProcOf(h);
        std::vector<std::unique_ptr<Recorder>> links;
        for (const char* n : {"a", "b", "c"}) links.push_back(std::make_unique<Recorder>(h, n, &log));
        std::vector<std::string> alive{"a", "b", "c"};
        for (int i : order) {
            links[static_cast<size_t>(i)].reset();
            alive.erase(std::find(alive.begin(), alive.end(), std::string(1, static_cast<char>('a' + i))));
            log.clear();
            // Every remaining link still sees the message, newest first, and the form answers.
            EXPECT_EQ(SendMessageA(h, WM_PROBE, 0, 0), 42);
            std::vector<std::string> expected(alive.rbegin(), alive.rend());
            expected.push_back("form");
            EXPECT_EQ(log, expected) << "order " << order[0] << order[1] << order[2];
        }
        EXPECT_EQ(ProcOf(h), original) << "order " << order[0] << order[1] << order[2];
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(Subclass, LinkUnderAForeignProcedureKeepsForwarding)
{
    Bottom f(nullptr);
    std::vector<std::string> log;
    f.Log = &log;
    HWND h = f.Handle();
    auto a = std::make_unique<Recorder>(h, "a", &log);
    g_foreignPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc)));
    a.reset();
    // The foreign procedure still calls the link it saved; the link forwards to the form.
    EXPECT_EQ(ProcOf(h), &ForeignProc);
    EXPECT_EQ(SendMessageA(h, WM_PROBE, 0, 0), 42);
    EXPECT_EQ(log, (std::vector<std::string>{"form"}));
}

TEST(Subclass, LinkOfADestroyedWindowIsForgotten)
{
    auto* f = new Bottom(nullptr);
    std::vector<std::string> log;
    Recorder a(f->Handle(), "a", &log);
    delete f;
    EXPECT_EQ(a.Link->Window(), nullptr);
}
