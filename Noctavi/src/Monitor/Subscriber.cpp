#include <Noctavi/Monitor/Subscriber.h>

#include <Noctavi/HTTP/Error.h>
#include <Noctavi/Monitor/MachineAccess.h>
#include <Noctavi/Monitor/SubscriptionOrder.h>
#include <Noctavi/MonitoredEntry/ChangeEntry.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ReadEntry.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/Trace.h>

#include <boost/chrono/duration.hpp>
#include <boost/make_shared.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <utility>

namespace Monitor {

namespace {

using MonitoredEntry::ChangeProperty;
using MonitoredEntry::EntryProperty;
using MonitoredEntry::ReadEntry;

struct Identity {
    MonitoredEntry::MFP machine;
    MonitoredEntry::User user;
};

typedef std::pair<std::wstring, std::wstring> PlaceKey;

PlaceKey KeyOf(const Identity& identity)
{
    return PlaceKey(identity.machine.GetHost(), identity.user.GetID());
}

// The entry's machine and user, or none when the entry is gone.
boost::optional<Identity> ReadIdentity(MonitoredEntry::EntryManager& manager, BasicID<long> id)
{
    boost::optional<Identity> identity;
    ReadEntry(manager, id, [&](const MonitoredEntry::Entry& entry) {
        identity = Identity{entry.GetProperty().GetMFP(), entry.GetProperty().GetUser()};
    });
    return identity;
}

} // namespace

// The address lock is a flag under a mutex rather than a mutex held across a
// request, so that every wait for it is interruptible: a thread being stopped
// never hangs behind another thread's request.
struct Subscriber::Pimpl {
    Pimpl(BasicID<long> id, MonitoredEntry::EntryManager& model, boost::shared_ptr<Subscriber> stopped)
        : manager(model)
        , entryID(id)
        , predecessor(std::move(stopped))
    {
    }

    MonitoredEntry::EntryManager& manager;
    const BasicID<long> entryID;
    // The thread alone uses these once it runs; OnStart sets them before.
    boost::shared_ptr<Subscriber> predecessor;
    boost::optional<SubscriptionOrder::Place> place;
    PlaceKey placeKey;
    std::atomic<bool> suspended{false};

    boost::mutex identityMutex;
    boost::condition_variable changeSignal;
    Identity identity;
    bool changed = false;

    boost::mutex addressMutex;
    boost::condition_variable addressSignal;
    boost::optional<std::wstring> feedAddress;
    bool settled = false;
    bool addressHeld = false;

    class AddressHold;

    void ResetIdentity(const Identity& fresh);
    void RefreshIdentity(const Identity& fresh);
    Identity TakeIdentity();
    void WaitForChange(int milliseconds);

    boost::optional<std::wstring> HoldForReading();
    void HoldForRequest();
    void ReleaseAddress();
    void Settle(const boost::optional<std::wstring>& address);
    int ChosenWait();

    void TakePlace(const Identity& target);
    void LeavePlace() noexcept;
    void JoinPredecessor();

    void Subscribe();
    bool Attempt(const Identity& target);
    void Unsubscribe();
    void End() noexcept;
    void WriteStatus(int status, int detail);
};

// Holds the address lock for one request of the subscriber's own, clearing
// the address, and settles the address that the request gave when released.
class Subscriber::Pimpl::AddressHold {
public:
    explicit AddressHold(Subscriber::Pimpl& subscriber)
        : subscriber_(subscriber)
    {
        subscriber_.HoldForRequest();
    }
    ~AddressHold()
    {
        if (settle_)
            subscriber_.Settle(*settle_);
        subscriber_.ReleaseAddress();
    }
    AddressHold(const AddressHold&) = delete;
    AddressHold& operator=(const AddressHold&) = delete;

    void Settle(const std::wstring& address) { settle_ = address; }

private:
    Subscriber::Pimpl& subscriber_;
    boost::optional<std::wstring> settle_;
};

void Subscriber::Pimpl::ResetIdentity(const Identity& fresh)
{
    boost::lock_guard<boost::mutex> lock(identityMutex);
    identity = fresh;
    changed = false;
}

// Readers then wait for the subscription with the new copies, rather than
// take the address that the old ones gave. The address is unsettled before
// the change is made known, so that the subscription it brings settles it.
void Subscriber::Pimpl::RefreshIdentity(const Identity& fresh)
{
    {
        boost::lock_guard<boost::mutex> lock(identityMutex);
        if (fresh.machine == identity.machine && fresh.user == identity.user)
            return;
    }
    {
        boost::lock_guard<boost::mutex> lock(addressMutex);
        settled = false;
    }
    boost::lock_guard<boost::mutex> lock(identityMutex);
    identity = fresh;
    changed = true;
    changeSignal.notify_all();
}

Identity Subscriber::Pimpl::TakeIdentity()
{
    boost::lock_guard<boost::mutex> lock(identityMutex);
    changed = false;
    return identity;
}

void Subscriber::Pimpl::WaitForChange(int milliseconds)
{
    boost::unique_lock<boost::mutex> lock(identityMutex);
    changeSignal.wait_for(lock, boost::chrono::milliseconds(milliseconds), [this] { return changed; });
}

boost::optional<std::wstring> Subscriber::Pimpl::HoldForReading()
{
    boost::unique_lock<boost::mutex> lock(addressMutex);
    addressSignal.wait(lock, [this] { return settled && !addressHeld; });
    addressHeld = true;
    return feedAddress;
}

void Subscriber::Pimpl::HoldForRequest()
{
    boost::unique_lock<boost::mutex> lock(addressMutex);
    addressSignal.wait(lock, [this] { return !addressHeld; });
    addressHeld = true;
    feedAddress = boost::none;
}

void Subscriber::Pimpl::ReleaseAddress()
{
    boost::lock_guard<boost::mutex> lock(addressMutex);
    addressHeld = false;
    addressSignal.notify_all();
}

void Subscriber::Pimpl::Settle(const boost::optional<std::wstring>& address)
{
    boost::lock_guard<boost::mutex> lock(addressMutex);
    feedAddress = address;
    settled = true;
    addressSignal.notify_all();
}

int Subscriber::Pimpl::ChosenWait()
{
    boost::lock_guard<boost::mutex> lock(addressMutex);
    return feedAddress ? GetConfigLimits().SubscribeInterval : GetConfigLimits().RetrySubscribeInterval;
}

// A new machine or user takes a place at the end of the line for them.
void Subscriber::Pimpl::TakePlace(const Identity& target)
{
    const PlaceKey key = KeyOf(target);
    if (place && key == placeKey)
        return;
    LeavePlace();
    place = SubscriptionOrder::Get().Enter(key.first, key.second);
    placeKey = key;
}

void Subscriber::Pimpl::LeavePlace() noexcept
{
    if (place)
        SubscriptionOrder::Get().Leave(*place);
    place = boost::none;
}

// Waits for the stopped subscriber this one took over from, and so for its
// unsubscription, off the thread that switched the entry on again.
void Subscriber::Pimpl::JoinPredecessor()
{
    if (!predecessor)
        return;
    predecessor->Join();
    predecessor.reset();
}

void Subscriber::Pimpl::Subscribe()
{
    const Identity target = TakeIdentity();
    TakePlace(target);
    SubscriptionOrder::Get().WaitForTurn(*place);
    boost::this_thread::interruption_point();
    bool subscribed = false;
    try {
        subscribed = Attempt(target);
    } catch (const boost::thread_interrupted&) {
        throw;
    } catch (...) {
        WriteStatus(EntryProperty::StatusNotSubscribed, EntryProperty::RequestFailed);
        throw;
    }
    boost::this_thread::interruption_point();
    if (subscribed)
        WriteStatus(EntryProperty::StatusSubscribed, EntryProperty::RequestSucceeded);
    else
        WriteStatus(EntryProperty::StatusNotSubscribed, EntryProperty::RequestFailed);
}

// While the attempt runs, and after it failed, readers find no address.
bool Subscriber::Pimpl::Attempt(const Identity& target)
{
    AddressHold hold(*this);
    boost::this_thread::interruption_point();
    try {
        hold.Settle(GetMachineAccess()->SubscribeToRSSFeed(target.machine, target.user));
        return true;
    } catch (const HTTP::Error&) {
        return false;
    }
}

void Subscriber::Pimpl::Unsubscribe()
{
    const Identity target = TakeIdentity();
    int detail = EntryProperty::RequestSucceeded;
    try {
        AddressHold hold(*this);
        GetMachineAccess()->UnsubscribeToRSSFeed(target.machine, target.user);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "unsubscribing from the machine failed");
        detail = EntryProperty::RequestFailed;
    }
    WriteStatus(EntryProperty::StatusNotSubscribed, detail);
}

// A reader waiting for the address goes on, and finds none.
void Subscriber::Pimpl::End() noexcept
{
    try {
        Settle(boost::none);
        Unsubscribe();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "a subscriber could not end its subscription");
    }
    LeavePlace();
}

// A subscriber stopped because the entry was switched off writes nothing
// once it is on again: the status then belongs to the one that took over.
// Checked in the transaction that writes, so that the switch cannot come in
// between.
void Subscriber::Pimpl::WriteStatus(int status, int detail)
{
    ChangeProperty(manager, entryID, [&](EntryProperty& property) {
        if (suspended && property.GetMonitoring())
            return;
        property.SetStatus(status);
        property.SetStatusDetail(detail);
    });
}

Subscriber::Subscriber(BasicID<long> entryID, MonitoredEntry::EntryManager& manager,
                       boost::shared_ptr<Subscriber> predecessor)
    : pimpl_(boost::make_shared<Pimpl>(entryID, manager, std::move(predecessor)))
{
}

// A thread that never came to life leaves the place it took.
Subscriber::~Subscriber()
{
    try {
        Join();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "a subscriber's thread ended in a failure");
    }
    pimpl_->LeavePlace();
}

void Subscriber::Suspend()
{
    pimpl_->suspended = true;
    Interrupt();
}

void Subscriber::Refresh()
{
    if (const boost::optional<Identity> fresh = ReadIdentity(pimpl_->manager, pimpl_->entryID))
        pimpl_->RefreshIdentity(*fresh);
}

void Subscriber::OnStart()
{
    const boost::optional<Identity> fresh = ReadIdentity(pimpl_->manager, pimpl_->entryID);
    if (!fresh)
        return;
    pimpl_->ResetIdentity(*fresh);
    pimpl_->suspended = false;
    pimpl_->TakePlace(*fresh);
    boost::lock_guard<boost::mutex> lock(pimpl_->addressMutex);
    pimpl_->settled = false;
}

int Subscriber::Run()
{
    Pimpl& self = *pimpl_;
    try {
        self.JoinPredecessor();
        for (;;) {
            self.Subscribe();
            self.WaitForChange(self.ChosenWait());
        }
    } catch (...) {
        self.End();
        throw;
    }
}

Subscriber::ScopedRSSFeedURLLock::ScopedRSSFeedURLLock(Subscriber& subscriber)
    : subscriber_(subscriber.pimpl_)
    , url_(subscriber_->HoldForReading())
{
}

Subscriber::ScopedRSSFeedURLLock::~ScopedRSSFeedURLLock()
{
    subscriber_->ReleaseAddress();
}

const boost::optional<std::wstring>& Subscriber::ScopedRSSFeedURLLock::GetURL() const
{
    return url_;
}

} // namespace Monitor
