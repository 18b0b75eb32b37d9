#include <Noctavi/UI/EventListSource.h>

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>

namespace UI {

EventListSource::EventListSource(MonitoredEntry::EntryManager& manager)
    : manager_(&manager)
{
}

void EventListSource::SetEntry(const boost::optional<BasicID<long>>& entryId)
{
    entryId_ = entryId;
}

std::unique_ptr<EventListSource::Keys> EventListSource::GetKeys() const
{
    auto keys = std::make_unique<Keys>();
    const MonitoredEntry::EntryDB& table = manager_->GetEntryDB();
    if (!entryId_ || !table.Contains(*entryId_))
        return keys;
    for (const MonitoredEntry::Event& event : *table.GetEntry(*entryId_).GetSharedEventLog())
        keys->emplace_back(*entryId_, event.GetID());
    return keys;
}

bool EventListSource::Exists(const Key& key) const
{
    const MonitoredEntry::EntryDB& table = manager_->GetEntryDB();
    return table.Contains(key.first) && table.GetEntry(key.first).GetSharedEventLog()->Contains(key.second);
}

void EventListSource::Lock()
{
    manager_->Lock();
}

void EventListSource::Unlock() noexcept
{
    manager_->Unlock();
}

MonitoredEntry::Event EventListSource::GetEvent(const Key& key) const
{
    return manager_->GetEntryDB().GetEntry(key.first).GetSharedEventLog()->GetEvent(key.second);
}

} // namespace UI
