// Events that several objects can listen to. The owner of an event may still set one handler
// of its own by assignment, as with a plain handler; anything else that wants to hear the
// event subscribes and keeps the subscription for as long as it listens. Dropping the
// subscription (or destroying the listener that holds it) stops the calls; an event that goes
// away first leaves its subscriptions harmless.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace pw {

class TSubscription {
public:
    TSubscription() = default;
    explicit TSubscription(std::function<void()> Cancel) : FCancel(std::move(Cancel)) {}
    TSubscription(TSubscription&& Other) noexcept : FCancel(std::exchange(Other.FCancel, nullptr)) {}
    TSubscription& operator=(TSubscription&& Other) noexcept
    {
        if (this != &Other) {
            Cancel();
            FCancel = std::exchange(Other.FCancel, nullptr);
        }
        return *this;
    }
    TSubscription(const TSubscription&) = delete;
    TSubscription& operator=(const TSubscription&) = delete;
    ~TSubscription() { Cancel(); }

    void Cancel()
    {
        if (auto cancel = std::exchange(FCancel, nullptr)) cancel();
    }
    bool Active() const { return static_cast<bool>(FCancel); }

private:
    std::function<void()> FCancel;
};

template <class... TArgs>
class TEvent {
public:
    using THandler = std::function<void(TArgs...)>;

    TEvent() = default;
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    // The owner's own handler, replacing the one before (nullptr clears it).
    TEvent& operator=(THandler Handler)
    {
        FHandler = std::move(Handler);
        return *this;
    }
    // Something to call: the owner's handler or a subscriber.
    explicit operator bool() const { return FHandler || (FListeners && !FListeners->empty()); }

    [[nodiscard]] TSubscription Subscribe(THandler Handler)
    {
        if (!FListeners) FListeners = std::make_shared<TListeners>();
        size_t id = ++FNextId;
        auto handler = std::make_shared<THandler>(std::move(Handler));
        FListeners->push_back({id, handler});
        std::weak_ptr<TListeners> list = FListeners;
        std::weak_ptr<THandler> weak = handler;
        return TSubscription([list, weak, id] {
            // Emptied first: a call in progress skips a listener that left during it.
            if (auto h = weak.lock()) *h = nullptr;
            if (auto l = list.lock()) std::erase_if(*l, [id](const TListener& x) { return x.Id == id; });
        });
    }

    // Silences the event (every handler and subscriber) while the returned guard lives.
    class TMuted {
    public:
        explicit TMuted(const TEvent& Event) : FEvent(&Event) { ++FEvent->FMuted; }
        TMuted(const TMuted&) = delete;
        TMuted& operator=(const TMuted&) = delete;
        ~TMuted() { --FEvent->FMuted; }

    private:
        const TEvent* FEvent;
    };
    [[nodiscard]] TMuted Mute() const { return TMuted(*this); }
    bool Muted() const { return FMuted > 0; }

    // Calls the owner's handler, then each subscriber in the order they came. A listener that
    // subscribes during the call is called from the next call on; one that leaves during it is
    // not called again, not even later in this call.
    void operator()(TArgs... Args) const
    {
        if (FMuted > 0) return;
        THandler own = FHandler;
        std::vector<std::shared_ptr<THandler>> listeners;
        if (FListeners)
            for (const TListener& l : *FListeners) listeners.push_back(l.Handler);
        if (own) own(Args...);
        for (const auto& h : listeners)
            if (*h) (*h)(Args...);
    }

private:
    struct TListener {
        size_t Id;
        std::shared_ptr<THandler> Handler;
    };
    using TListeners = std::vector<TListener>;
    THandler FHandler;
    std::shared_ptr<TListeners> FListeners;
    size_t FNextId = 0;
    mutable int FMuted = 0;
};

} // namespace pw
