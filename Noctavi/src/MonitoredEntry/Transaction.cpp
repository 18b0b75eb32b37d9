#include <Noctavi/MonitoredEntry/Transaction.h>

#include <Noctavi/MonitoredEntry/Duplicate.h>
#include <Noctavi/MonitoredEntry/DuplicateEntry.h>
#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/InvalidEntry.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/OverLimitEntryCount.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>
#include <Noctavi/System/ConfigLimits.h>

#include <boost/make_shared.hpp>

#include <cstdint>
#include <utility>

namespace MonitoredEntry {

// The lock is taken before the snapshot and released after it was put back.
struct EntryManager::Transaction::Pimpl {
    explicit Pimpl(EntryManager& owner)
        : manager(owner)
        , lock(owner)
        , nextID(owner.GetEntryDB().GetNextID())
        , entries(owner.GetEntryDB().GetEntryList())
    {
    }

    EntryManager& manager;
    ModelLock lock;
    BasicID<long> nextID;
    EntryDB::EntryList entries;
    bool committed = false;
};

EntryManager::Transaction::Transaction(EntryManager& manager)
    : pimpl_(boost::make_shared<Pimpl>(manager))
{
}

EntryManager::Transaction::~Transaction()
{
    Pimpl& transaction = *pimpl_;
    if (transaction.committed) {
        transaction.lock.Unlock();
        transaction.manager.QueueNotification();
    } else {
        transaction.manager.GetEntryDB().Restore(transaction.nextID, std::move(transaction.entries));
    }
}

EntryDB& EntryManager::Transaction::GetEntryDB()
{
    return pimpl_->manager.GetEntryDB();
}

void EntryManager::Transaction::SetEntry(const boost::shared_ptr<Entry>& entry)
{
    if (!entry)
        PELMO_THROW(InvalidEntry());
    if (!Search(Conditions::Duplicate<Entry>(*entry))->empty())
        PELMO_THROW(DuplicateEntry());
    GetEntryDB().SetEntry(entry);
}

BasicID<long> EntryManager::Transaction::Append(const EntryProperty& property)
{
    if (static_cast<std::int64_t>(GetEntryDB().Size()) >= GetConfigLimits().EntryMax)
        PELMO_THROW(OverLimitEntryCount());
    if (!Search(Conditions::Duplicate<EntryProperty>(property))->empty())
        PELMO_THROW(DuplicateEntry());
    return GetEntryDB().Append(property);
}

boost::shared_ptr<SearchResult> EntryManager::Transaction::Search(const EntryDB::Predicate& predicate)
{
    return GetEntryDB().Search(predicate);
}

void EntryManager::Transaction::Commit()
{
    pimpl_->committed = true;
}

} // namespace MonitoredEntry
