// Scopes that put something back however they are left: a clean-up to run, a value to restore,
// a bracket (begin ... end) to close.
//
// A clean-up that runs because an exception leaves the scope must not raise another one: the
// exception that is on its way goes on, and whatever the clean-up raises then is dropped. A
// clean-up that runs at the normal end of the scope raises its errors to the caller, as the
// same call written after the scope's last statement would.
#pragma once
#include <exception>
#include <utility>

namespace pw {

// Runs a clean-up at the end of a scope that was entered while Exceptions exceptions were on
// their way: errors go to the caller unless a newer exception is leaving the scope.
template <class F>
void RunCleanUp(F&& Action, int Exceptions) noexcept(false)
{
    if (std::uncaught_exceptions() == Exceptions) {
        Action();
        return;
    }
    try {
        Action();
    } catch (...) {
    }
}

// Runs Action when the scope is left, normally or by an exception.
template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F Action) : FAction(std::move(Action)), FExceptions(std::uncaught_exceptions()) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    ~TScopeExit() noexcept(false) { RunCleanUp(FAction, FExceptions); }

private:
    F FAction;
    int FExceptions;
};

// Runs Action only when an exception leaves the scope: the undoing of work that stays when the
// scope ends normally.
template <class F>
class TScopeFail {
public:
    explicit TScopeFail(F Action) : FAction(std::move(Action)), FExceptions(std::uncaught_exceptions()) {}
    TScopeFail(const TScopeFail&) = delete;
    TScopeFail& operator=(const TScopeFail&) = delete;
    ~TScopeFail()
    {
        if (std::uncaught_exceptions() != FExceptions) RunCleanUp(FAction, FExceptions);
    }

private:
    F FAction;
    int FExceptions;
};

// Gives a variable a value for a scope; on leaving it the variable gets After (by default the
// value it had before).
template <class T>
class TValueGuard {
public:
    TValueGuard(T& Target, T During) : TValueGuard(Target, std::move(During), Target) {}
    TValueGuard(T& Target, T During, T After) : FTarget(Target), FAfter(std::move(After))
    {
        FTarget = std::move(During);
    }
    TValueGuard(const TValueGuard&) = delete;
    TValueGuard& operator=(const TValueGuard&) = delete;
    ~TValueGuard() { FTarget = std::move(FAfter); }

private:
    T& FTarget;
    T FAfter;
};

// Calls Begin on an object now and End when the scope is left (an update bracket, say).
template <class T, void (T::*Begin)(), void (T::*End)()>
class TBracketGuard {
public:
    explicit TBracketGuard(T& Object) : FObject(Object), FExceptions(std::uncaught_exceptions()) { (FObject.*Begin)(); }
    TBracketGuard(const TBracketGuard&) = delete;
    TBracketGuard& operator=(const TBracketGuard&) = delete;
    ~TBracketGuard() noexcept(false)
    {
        RunCleanUp([this] { (FObject.*End)(); }, FExceptions);
    }

private:
    T& FObject;
    int FExceptions;
};

} // namespace pw
