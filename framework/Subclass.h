// Window procedures bound to objects, and window subclasses that form a chain.
#pragma once
#include "Controls.h"

#include <functional>
#include <memory>

namespace pw {

// A callable window procedure bound to a function object (a small machine-code thunk that
// passes the bound object along). Every call goes through the exception firewall. The
// procedure stays valid for the life of the instance.
class TWndProcInstance {
public:
    using THandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
    explicit TWndProcInstance(THandler Handler);
    ~TWndProcInstance();
    TWndProcInstance(const TWndProcInstance&) = delete;
    TWndProcInstance& operator=(const TWndProcInstance&) = delete;

    WNDPROC Procedure() const { return FProc; }
    void SetHandler(THandler Handler) { FHandler = std::move(Handler); }

private:
    friend struct TInstanceEntry;
    THandler FHandler;
    WNDPROC FProc;
};

// One link of a window's chain of procedures. Installing puts this link on top; every
// message the handler does not consume goes on to the procedure that was there before
// (CallPrevious). Removal, in the destructor, writes the previous procedure back when this
// link is on top; otherwise the link above it is told to skip it, so the chain stays whole
// in any order of removal. When a procedure that is not one of ours sits above, the link
// stays in place and only forwards until its window goes.
class TWindowSubclass {
public:
    using THandler = std::function<void(TMessage&)>;
    TWindowSubclass(HWND Window, THandler Handler);
    ~TWindowSubclass();
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // Hands the message to the procedure below this link.
    void CallPrevious(TMessage& Message);
    HWND Window() const;
    WNDPROC Procedure() const;
    WNDPROC Previous() const;

    struct TLink;

private:
    TLink* FLink;
};

} // namespace pw
