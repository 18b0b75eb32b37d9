#ifndef NOCTAVI_MONITOREDENTRY_ENTRYMANAGER_H
#define NOCTAVI_MONITOREDENTRY_ENTRYMANAGER_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {

class Observer;
class SearchResult;

// The one shared model: the entry table under one recursive lock, changed
// only through transactions, and the observers told of every committed change
// on a notification thread of the manager's own.
//
// Readers on any thread hold the model lock (Lock and Unlock, or ModelLock)
// around each read and copy out what they keep.
class EntryManager {
public:
    class Transaction;

    // An empty model; its notification thread starts at once.
    EntryManager();
    // Stops and joins the notification thread. Not to be destroyed by a
    // thread that holds the model lock: an observer being notified may be
    // waiting for it.
    ~EntryManager();
    EntryManager(const EntryManager&) = delete;
    EntryManager& operator=(const EntryManager&) = delete;

    EntryDB& GetEntryDB();
    const EntryDB& GetEntryDB() const;

    // The model lock; the thread that holds it may take it again.
    void Lock();
    void Unlock() noexcept;

    // The table's search, for readers that hold the lock.
    boost::shared_ptr<SearchResult> Search(const EntryDB::Predicate& predicate) const;
    boost::shared_ptr<SearchResult> SearchAll() const;

    // Neither of these two may be called with the model lock held, nor from
    // an observer's Notify: a delivery holds the observer list's lock while
    // observers take the model lock, so the other order deadlocks.

    // Lists the observer and queues a notification so that it reads the model
    // at once; false, queueing nothing, when it is listed already.
    bool AddObserver(Observer& observer);
    // Waits for a delivery in progress; afterwards the observer is not called
    // again. False when it was not listed.
    bool RemoveObserver(Observer& observer);

    // Polls the entry's subscription status every 200 ms until it is non-zero
    // or the subscription wait limit has passed, and says whether it became
    // non-zero. Throws MissingEntry when the entry is gone.
    bool WaitForEntryFlag(BasicID<long> id);

private:
    // Queues a notification unless one is pending; never throws.
    void QueueNotification() noexcept;

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
