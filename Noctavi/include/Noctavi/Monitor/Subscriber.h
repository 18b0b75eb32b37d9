#ifndef NOCTAVI_MONITOR_SUBSCRIBER_H
#define NOCTAVI_MONITOR_SUBSCRIBER_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <pelmo/thread/actor.hpp>

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <string>

namespace MonitoredEntry {
class EntryManager;
}

namespace Monitor {

// Keeps one entry's user subscribed to the machine's event feed, so that the
// machine signals news to the listen port ("PORT"), and holds the address of
// the user's feed that the machine answers with.
//
// Its thread subscribes, then waits "SUBSCRIBE_INTERVAL_MS" after a success
// or "RETRY_SUBSCRIBE_INTERVAL_MS" after a failure, or until Refresh finds
// the entry's machine or user changed, and subscribes again; when it ends it
// unsubscribes. It reports in the entry's subscription status: subscribed
// (1, 0), refused or unreachable (2, 1), and after unsubscribing (2, 0), or
// (2, 1) when that failed. A failed request or a status write that the model
// refuses never ends the thread; any failure but a request's does, and the
// actor keeps it.
//
// Subscribers of one machine and user take turns (SubscriptionOrder): one
// subscribes only after those started before it have unsubscribed.
class Subscriber : public pelmo::actor<> {
public:
    class ScopedRSSFeedURLLock;

    // Nothing starts: Start copies the entry's machine and user. One that
    // takes over from a stopped `predecessor` waits on its own thread for
    // that one to end, so that nobody else waits for its unsubscription.
    Subscriber(BasicID<long> entryID, MonitoredEntry::EntryManager& manager,
               boost::shared_ptr<Subscriber> predecessor = boost::shared_ptr<Subscriber>());
    // Joins (and so unsubscribes), swallowing every exception.
    ~Subscriber() override;

    // Stops the thread, without waiting, because the entry's monitoring was
    // switched off: its unsubscription then reports only while the entry
    // stays off, so that it never overwrites the outcome of the subscription
    // that follows when the entry is switched on again.
    void Suspend();

    // Takes the entry's machine and user afresh; when either changed, the
    // thread subscribes again at once, and readers of the feed address wait
    // for that subscription. Only for a started subscriber; not to be called
    // with the model lock held.
    void Refresh();

private:
    void OnStart() override;
    int Run() override;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

// A reader's hold on the feed address. Taking it waits, interruptibly, until
// the subscriber has settled the address since its last start (a successful
// subscription, or the end of its thread) and no subscription attempt runs;
// while it is held no attempt starts, so a feed fetched under it is fetched
// with the address that is current.
class Subscriber::ScopedRSSFeedURLLock {
public:
    explicit ScopedRSSFeedURLLock(Subscriber& subscriber);
    ~ScopedRSSFeedURLLock();
    ScopedRSSFeedURLLock(const ScopedRSSFeedURLLock&) = delete;
    ScopedRSSFeedURLLock& operator=(const ScopedRSSFeedURLLock&) = delete;

    // None when the last attempt failed or the subscriber has ended.
    const boost::optional<std::wstring>& GetURL() const;

private:
    boost::shared_ptr<Subscriber::Pimpl> subscriber_;
    boost::optional<std::wstring> url_;
};

} // namespace Monitor

#endif
