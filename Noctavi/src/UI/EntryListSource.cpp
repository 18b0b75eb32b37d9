#include <Noctavi/UI/EntryListSource.h>

#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/SearchResult.h>

namespace UI {

EntryListSource::EntryListSource(MonitoredEntry::EntryManager& manager)
    : manager_(&manager)
{
}

std::unique_ptr<EntryListSource::Keys> EntryListSource::GetKeys() const
{
    auto keys = std::make_unique<Keys>();
    const boost::shared_ptr<MonitoredEntry::SearchResult> entries = manager_->SearchAll();
    for (const MonitoredEntry::Entry& entry : *entries)
        keys->push_back(entry.GetID());
    return keys;
}

bool EntryListSource::Exists(const Key& id) const
{
    return manager_->GetEntryDB().Contains(id);
}

void EntryListSource::Lock()
{
    manager_->Lock();
}

void EntryListSource::Unlock() noexcept
{
    manager_->Unlock();
}

const MonitoredEntry::Entry& EntryListSource::GetEntry(const Key& id) const
{
    return manager_->GetEntryDB().GetEntry(id);
}

} // namespace UI
