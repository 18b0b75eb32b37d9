#ifndef NOCTAVI_MONITOR_SUBSCRIPTIONORDER_H
#define NOCTAVI_MONITOR_SUBSCRIPTIONORDER_H

#include <cstdint>
#include <memory>
#include <string>

namespace Monitor {

// Puts the subscribers of one machine's host and one account ID in a line,
// in the order they took their places: a subscriber subscribes only once
// everyone ahead of it has left, and one leaves after it has unsubscribed.
// A machine keys subscriptions by user, so an unsubscription that reached it
// after the subscription of a subscriber taking over the same user (the
// entry switched on again, or removed and added again) would end that one.
//
// One line serves the whole process.
class SubscriptionOrder {
public:
    typedef std::uint64_t Place;

    static SubscriptionOrder& Get();

    // A place behind every place taken so far for the host and account.
    Place Enter(const std::wstring& host, const std::wstring& account);
    // Waits, interruptibly, until every place ahead of this one for the same
    // host and account has been left.
    void WaitForTurn(Place place);
    // A place already left is ignored.
    void Leave(Place place) noexcept;

private:
    SubscriptionOrder();

    struct Pimpl;
    std::shared_ptr<Pimpl> pimpl_;
};

} // namespace Monitor

#endif
