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

#if defined(_WIN64)
// The module an address of code belongs to.
HMODULE ModuleOf(void* Address)
{
    HMODULE m = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(Address), &m);
    return m;
}
#endif

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

TEST(Subclass, EveryLinkOfALongChainGetsTheWholeArgumentsAndTheAnswerComesBackWhole)
{
    // Every argument and the result keep all the bits of their type down a chain of links and
    // back (the 64-bit procedures move all four arguments from register to register and put one
    // on the stack), also for procedures past the first pages of them.
    std::vector<std::unique_ptr<TWndProcInstance>> taken;
    for (int i = 0; i < 600; ++i) taken.push_back(std::make_unique<TWndProcInstance>(nullptr));
    Bottom f(nullptr);
    HWND h = f.Handle();
    const auto w = static_cast<WPARAM>(0xFEDCBA9876543210ull);
    const auto l = static_cast<LPARAM>(-0x123456789ALL);
    const auto answer = static_cast<LRESULT>(0x7ABCDEF012345678ll);
    constexpr UINT WM_WIDE = WM_USER + 41;
    int seen = 0, whole = 0;
    std::vector<std::unique_ptr<TWindowSubclass>> links;
    for (int i = 0; i < 40; ++i)
        links.push_back(std::make_unique<TWindowSubclass>(h, [&, i](TMessage& m) {
            if (m.Msg == WM_WIDE) {
                ++seen;
                whole += m.WParam == w && m.LParam == l;
                if (i == 0) {
                    m.Result = answer;  // the oldest link answers for the window
                    return;
                }
            }
            links[static_cast<size_t>(i)]->CallPrevious(m);
        }));
    EXPECT_EQ(SendMessageA(h, WM_WIDE, w, l), answer);
    EXPECT_EQ(seen, 40);
    EXPECT_EQ(whole, 40);
    links.clear();
}

#if defined(_WIN64)
TEST(Subclass, EveryFrameOfTheChainHasTheUnwindDataThatStackWalksAndExceptionsNeed)
{
    // On x64 the system walks the stack by each function's unwind data (exceptions, crash
    // reports, the debugger): a frame of code without any is taken for a leaf and the walk goes
    // astray there. A walk from inside the innermost of three links, by that data alone, meets
    // the procedures' own frame once per link and goes on through each to the sender.
    Bottom f(nullptr);
    HWND h = f.Handle();
    HMODULE self = GetModuleHandleA(nullptr);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    int unnamed = -1, withoutData = -1, ownAfter = -1, calledBySystem = -1;
    std::vector<std::unique_ptr<TWindowSubclass>> links;
    for (int i = 0; i < 3; ++i)
        links.push_back(std::make_unique<TWindowSubclass>(h, [&, i](TMessage& m) {
            if (m.Msg == WM_PROBE && i == 0) {
                CONTEXT c = {};
                RtlCaptureContext(&c);
                unnamed = withoutData = ownAfter = calledBySystem = 0;
                bool procedure = false;
                for (int k = 0; k < 200 && c.Rip; ++k) {
                    DWORD64 base = 0;
                    PRUNTIME_FUNCTION fn = RtlLookupFunctionEntry(c.Rip, &base, nullptr);
                    HMODULE module = ModuleOf(reinterpret_cast<void*>(c.Rip));
                    if (procedure) calledBySystem += module == user32;  // a window procedure's caller
                    procedure = !module;
                    if (!module) {
                        ++unnamed;  // code of no module: the procedures' own
                        withoutData += fn == nullptr;
                    }
                    if (module == self && unnamed > 0) ++ownAfter;
                    if (!fn) {
                        // A leaf: its return address is on top of the stack.
                        c.Rip = *reinterpret_cast<DWORD64*>(c.Rsp);
                        c.Rsp += 8;
                        continue;
                    }
                    void* data = nullptr;
                    DWORD64 frame = 0;
                    RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, c.Rip, fn, &c, &data, &frame, nullptr);
                }
                return;
            }
            links[static_cast<size_t>(i)]->CallPrevious(m);
        }));
    SendMessageA(h, WM_PROBE, 0, 0);
    EXPECT_EQ(unnamed, 3) << "one frame of the procedures per link";
    EXPECT_EQ(withoutData, 0);
    EXPECT_EQ(calledBySystem, 3) << "past each, the system that called it";
    EXPECT_GE(ownAfter, 3) << "the links above the innermost and the sender, found past them";
}
#endif
