#include <Noctavi/MonitoredEntry/EntryDB.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/IDCounter.h>
#include <Noctavi/MonitoredEntry/InvalidEntry.h>
#include <Noctavi/MonitoredEntry/MissingEntry.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>

#include <boost/make_shared.hpp>

#include <algorithm>

namespace MonitoredEntry {

namespace {

template <class Entries>
auto FindEntry(Entries& entries, BasicID<long> id) -> decltype(entries.begin())
{
    return std::find_if(entries.begin(), entries.end(),
                        [id](const boost::shared_ptr<const Entry>& entry) { return entry->GetID() == id; });
}

bool HasValidParts(const EntryProperty& property)
{
    return property.GetMFP().IsValid() && property.GetUser().IsValid() && property.GetConfig().IsValid();
}

} // namespace

struct EntryDB::Pimpl {
    BasicID<long> nextID;
    EntryList entries;

    EntryList::const_iterator FindOrThrow(BasicID<long> id) const
    {
        const auto found = FindEntry(entries, id);
        if (found == entries.end())
            PELMO_THROW(MissingEntry());
        return found;
    }
};

EntryDB::EntryDB()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

const Entry& EntryDB::GetEntry(BasicID<long> id) const
{
    return **pimpl_->FindOrThrow(id);
}

boost::shared_ptr<Entry> EntryDB::CloneEntry(BasicID<long> id) const
{
    return boost::make_shared<Entry>(GetEntry(id));
}

void EntryDB::SetEntry(const boost::shared_ptr<Entry>& entry)
{
    if (!entry || !entry->IsValid())
        PELMO_THROW(InvalidEntry());
    const auto found = FindEntry(pimpl_->entries, entry->GetID());
    if (found == pimpl_->entries.end())
        PELMO_THROW(MissingEntry());
    *found = boost::make_shared<const Entry>(*entry);
}

bool EntryDB::Contains(BasicID<long> id) const
{
    return FindEntry(pimpl_->entries, id) != pimpl_->entries.end();
}

boost::shared_ptr<SearchResult> EntryDB::Search(const Predicate& predicate) const
{
    return boost::make_shared<SearchResult>(*this, predicate);
}

BasicID<long> EntryDB::Append(const EntryProperty& property)
{
    if (!HasValidParts(property))
        PELMO_THROW(InvalidEntry());
    Pimpl& table = *pimpl_;
    const BasicID<long> id = FirstFreeID(table.nextID, [this](BasicID<long> candidate) { return Contains(candidate); });
    EntryList entries(table.entries);
    const auto position = std::upper_bound(
        entries.begin(), entries.end(), id,
        [](BasicID<long> value, const boost::shared_ptr<const Entry>& entry) { return value < entry->GetID(); });
    entries.insert(position, boost::make_shared<const Entry>(id, property));
    table.entries.swap(entries);
    table.nextID = FollowingID(id);
    return id;
}

bool EntryDB::Erase(BasicID<long> id)
{
    const auto found = FindEntry(pimpl_->entries, id);
    if (found == pimpl_->entries.end())
        return false;
    pimpl_->entries.erase(found);
    return true;
}

int EntryDB::CountUnread() const
{
    int unread = 0;
    for (const Entry& entry : *this)
        unread += entry.GetSharedEventLog()->CountUnread();
    return unread;
}

std::size_t EntryDB::Size() const
{
    return pimpl_->entries.size();
}

EntryDB::const_iterator EntryDB::begin() const
{
    return const_iterator(pimpl_->entries.begin());
}

EntryDB::const_iterator EntryDB::end() const
{
    return const_iterator(pimpl_->entries.end());
}

BasicID<long> EntryDB::GetNextID() const
{
    return pimpl_->nextID;
}

const EntryDB::EntryList& EntryDB::GetEntryList() const
{
    return pimpl_->entries;
}

void EntryDB::Restore(BasicID<long> nextID, EntryList entries) noexcept
{
    pimpl_->nextID = nextID;
    pimpl_->entries.swap(entries);
}

} // namespace MonitoredEntry
