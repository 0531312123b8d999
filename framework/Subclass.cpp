#include "Subclass.h"

#include "SysUtils.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pw {

#if !defined(_M_IX86) && !defined(__i386__)
#error "The window procedure thunks are written for 32-bit x86"
#endif

struct TInstanceEntry {
    // Called by a thunk with the instance pushed in front of the window procedure's arguments.
    static LRESULT CALLBACK Proc(TWndProcInstance* Self, HWND h, UINT msg, WPARAM w, LPARAM l)
    {
        return Firewall<LRESULT>([&] { return Self->FHandler ? Self->FHandler(h, msg, w, l) : DefWindowProcA(h, msg, w, l); },
                                 0);
    }
};

namespace {

// Executable slots for thunks, taken from whole pages and reused when freed.
constexpr size_t ThunkSize = 16;

class TThunkPool {
public:
    unsigned char* Take()
    {
        if (FFree.empty()) {
            void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
            if (!page) RaiseLastOSError("Cannot allocate a window procedure");
            for (size_t i = 4096 / ThunkSize; i-- > 0;) FFree.push_back(static_cast<unsigned char*>(page) + i * ThunkSize);
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

// pop eax; push Self; push eax; jmp TInstanceEntry::Proc
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
