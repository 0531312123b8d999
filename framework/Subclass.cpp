#include "Subclass.h"

#include "SysUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pw {

#if !defined(_M_IX86) && !defined(__i386__) && !defined(_M_X64) && !defined(__x86_64__)
#error "The window procedure thunks are written for x86 and x64"
#endif

struct TInstanceEntry {
    // Called by a thunk with the instance put in front of the window procedure's arguments.
    static LRESULT CALLBACK Proc(TWndProcInstance* Self, HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        return Firewall<LRESULT>([&] { return Self->FHandler ? Self->FHandler(h, msg, w, l) : DefWindowProcA(h, msg, w, l); },
                                 0);
    }
};

namespace {

constexpr size_t PageSize = 4096;

unsigned char* ExecutablePage()
{
    void* page = VirtualAlloc(nullptr, PageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (!page) RaiseLastOSError("Cannot allocate a window procedure");
    return static_cast<unsigned char*>(page);
}

#if defined(_M_IX86) || defined(__i386__)

constexpr size_t ThunkSize = 16;

// pop eax; push Self; push eax; jmp TInstanceEntry::Proc: the instance becomes the first of
// the stdcall arguments, and Proc removes all five.
void WriteThunk(unsigned char* Code, TWndProcInstance* Self)
{
    auto self = reinterpret_cast<uintptr_t>(Self);
    auto target = reinterpret_cast<uintptr_t>(&TInstanceEntry::Proc);
    uint32_t rel = static_cast<uint32_t>(target - (reinterpret_cast<uintptr_t>(Code) + 12));
    Code[0] = 0x58;
    Code[1] = 0x68;
    std::memcpy(Code + 2, &self, 4);
    Code[6] = 0x50;
    Code[7] = 0xE9;
    std::memcpy(Code + 8, &rel, 4);
    std::memset(Code + 12, 0xCC, ThunkSize - 12);
    FlushInstructionCache(GetCurrentProcess(), Code, ThunkSize);
}

#else

constexpr size_t ThunkSize = 32;

// The four arguments come in rcx, rdx, r8 and r9; a fifth goes on the stack above the 32 bytes
// the caller keeps for the first four. A thunk cannot add a stack slot and jump on, so each
// thunk only loads its instance into r10 and jumps to one shared stub that makes a frame of its
// own: Proc(r10, rcx, rdx, r8, r9), then returns Proc's result to the caller.
const unsigned char StubCode[] = {
    0x48, 0x83, 0xEC, 0x28,        // sub rsp, 40           (32 for the callee + the fifth argument)
    0x4C, 0x89, 0x4C, 0x24, 0x20,  // mov [rsp+32], r9      lParam is the fifth argument
    0x4D, 0x89, 0xC1,              // mov r9, r8            wParam
    0x49, 0x89, 0xD0,              // mov r8, rdx           message
    0x48, 0x89, 0xCA,              // mov rdx, rcx          window
    0x4C, 0x89, 0xD1,              // mov rcx, r10          the instance
    0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,  // mov rax, TInstanceEntry::Proc
    0xFF, 0xD0,                    // call rax
    0x48, 0x83, 0xC4, 0x28,        // add rsp, 40
    0xC3,                          // ret
};
constexpr size_t StubProcAt = 23;  // where the address of Proc goes
constexpr uint8_t StubPrologSize = 4;

// The stub with the unwind data that lets exceptions and stack walks go through its frame: the
// prolog allocates 40 bytes (UWOP_ALLOC_SMALL, (40 - 8) / 8). Registered once for the process.
struct TStub {
    unsigned char* Code;
    RUNTIME_FUNCTION Function;
};

const TStub& Stub()
{
    static const TStub stub = [] {
        unsigned char* page = ExecutablePage();
        std::memcpy(page, StubCode, sizeof StubCode);
        auto proc = reinterpret_cast<uintptr_t>(&TInstanceEntry::Proc);
        std::memcpy(page + StubProcAt, &proc, 8);
        // UNWIND_INFO: version 1, no flags, the prolog's size, one code (padded to two), no frame register.
        constexpr DWORD UnwindAt = 64;
        const unsigned char unwind[8] = {1, StubPrologSize, 1, 0, StubPrologSize, static_cast<unsigned char>(2 | (4 << 4)), 0, 0};
        std::memcpy(page + UnwindAt, unwind, sizeof unwind);
        TStub s{page, {}};
        s.Function.BeginAddress = 0;
        s.Function.EndAddress = sizeof StubCode;
        s.Function.UnwindData = UnwindAt;
        FlushInstructionCache(GetCurrentProcess(), page, PageSize);
        return s;
    }();
    static const bool registered = RtlAddFunctionTable(const_cast<RUNTIME_FUNCTION*>(&stub.Function), 1,
                                                       reinterpret_cast<DWORD64>(stub.Code));
    (void)registered;
    return stub;
}

// mov r10, Self; mov rax, stub; jmp rax
void WriteThunk(unsigned char* Code, TWndProcInstance* Self)
{
    auto self = reinterpret_cast<uintptr_t>(Self);
    auto stub = reinterpret_cast<uintptr_t>(Stub().Code);
    Code[0] = 0x49;
    Code[1] = 0xBA;
    std::memcpy(Code + 2, &self, 8);
    Code[10] = 0x48;
    Code[11] = 0xB8;
    std::memcpy(Code + 12, &stub, 8);
    Code[20] = 0xFF;
    Code[21] = 0xE0;
    std::memset(Code + 22, 0xCC, ThunkSize - 22);
    FlushInstructionCache(GetCurrentProcess(), Code, ThunkSize);
}

#endif

// Executable slots for thunks, taken from whole pages and reused when freed.
class TThunkPool {
public:
    unsigned char* Take()
    {
        if (FFree.empty()) {
            unsigned char* page = ExecutablePage();
            for (size_t i = PageSize / ThunkSize; i-- > 0;) FFree.push_back(page + i * ThunkSize);
        }
        unsigned char* slot = FFree.back();
        FFree.pop_back();
        return slot;
    }
    void Give(unsigned char* Slot) { FFree.push_back(Slot); }
private:
    std::vector<unsigned char*> FFree;
};

TThunkPool& Pool()
{
    static TThunkPool pool;
    return pool;
}

} // namespace

TWndProcInstance::TWndProcInstance(THandler Handler) : FHandler(std::move(Handler))
{
    unsigned char* code = Pool().Take();
    WriteThunk(code, this);
    FProc = reinterpret_cast<WNDPROC>(code);
}

TWndProcInstance::~TWndProcInstance()
{
    Pool().Give(reinterpret_cast<unsigned char*>(FProc));
}

// ---- TWindowSubclass ----

struct TWindowSubclass::TLink {
    HWND Window;
    WNDPROC Previous = nullptr;
    THandler Handler;
    bool Owned = true;      // the subclass object still exists; otherwise the link only forwards
    bool Unlinked = false;  // out of the chain: freed once no message of it is running
    int Depth = 0;
    TWndProcInstance Instance;

    TLink(HWND h, THandler handler)
        : Window(h), Handler(std::move(handler)),
          Instance([this](HWND, UINT m, WPARAM wp, LPARAM lp) { return Dispatch(m, wp, lp); })
    {
    }
    LRESULT Dispatch(UINT msg, WPARAM w, LPARAM l);
    LRESULT Forward(TMessage& m) { return CallWindowProcA(Previous, Window, m.Msg, m.WParam, m.LParam); }
};

namespace {

// Every link of ours that is in a chain, in order of installation.
std::vector<TWindowSubclass::TLink*>& Links()
{
    static std::vector<TWindowSubclass::TLink*> links;
    return links;
}

// Takes the link out of the list; frees it now or when its running messages return.
void Drop(TWindowSubclass::TLink* Link)
{
    auto& v = Links();
    v.erase(std::remove(v.begin(), v.end(), Link), v.end());
    Link->Unlinked = true;
    if (Link->Depth == 0) delete Link;
}

} // namespace

LRESULT TWindowSubclass::TLink::Dispatch(UINT msg, WPARAM w, LPARAM l)
{
    TMessage m{msg, w, l, 0};
    ++Depth;
    if (Owned && !Unlinked) {
        try {
            Handler(m);
        } catch (...) {
            m.Result = 0;
            HandleCallbackException();
        }
    } else {
        m.Result = Forward(m);
    }
    --Depth;
    if (msg == WM_NCDESTROY && !Unlinked) {
        // The window is gone: nothing is left to unlink.
        Window = nullptr;
        if (!Owned) Drop(this);
    } else if (Unlinked && Depth == 0) {
        delete this;
    }
    return m.Result;
}

TWindowSubclass::TWindowSubclass(HWND Window, THandler Handler)
{
    if (!Window || !IsWindow(Window)) throw EInvalidOperation("Cannot subclass a window that does not exist");
    FLink = new TLink(Window, std::move(Handler));
    FLink->Previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FLink->Instance.Procedure())));
    Links().push_back(FLink);
}

TWindowSubclass::~TWindowSubclass()
{
    TLink* link = FLink;
    link->Owned = false;
    if (!link->Window) {
        Drop(link);
        return;
    }
    WNDPROC mine = link->Instance.Procedure();
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(link->Window, GWLP_WNDPROC));
    if (current == mine) {
        SetWindowLongPtrA(link->Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->Previous));
        Drop(link);
        return;
    }
    for (TLink* above : Links())
        if (above != link && above->Window == link->Window && above->Previous == mine) {
            above->Previous = link->Previous;
            Drop(link);
            return;
        }
    // A procedure that is not ours holds this link as its previous one: the link stays and
    // forwards until its window goes.
}

void TWindowSubclass::CallPrevious(TMessage& Message) { Message.Result = FLink->Forward(Message); }
HWND TWindowSubclass::Window() const { return FLink->Window; }
WNDPROC TWindowSubclass::Procedure() const { return FLink->Instance.Procedure(); }
WNDPROC TWindowSubclass::Previous() const { return FLink->Previous; }

} // namespace pw
