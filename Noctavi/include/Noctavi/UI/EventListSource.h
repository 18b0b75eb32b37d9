#ifndef NOCTAVI_UI_EVENTLISTSOURCE_H
#define NOCTAVI_UI_EVENTLISTSOURCE_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/UI/VirtualList/Source.h>

#include <boost/optional.hpp>

#include <utility>

namespace MonitoredEntry {
class EntryManager;
class Event;
} // namespace MonitoredEntry

namespace UI {

// The logged events of one entry, one row each, keyed by (entry ID, event
// ID), under the model lock. Without an entry, or when it is gone, there are
// no rows.
class EventListSource : public VirtualList::Source<std::pair<BasicID<long>, BasicID<long>>> {
public:
    // No entry is shown at first.
    explicit EventListSource(MonitoredEntry::EntryManager& manager);

    // The entry whose events are shown, or none.
    void SetEntry(const boost::optional<BasicID<long>>& entryId);

    // The events' keys in log order, oldest first.
    std::unique_ptr<Keys> GetKeys() const override;
    bool Exists(const Key& key) const override;
    void Lock() override;
    void Unlock() noexcept override;

    // The event of a key that exists.
    MonitoredEntry::Event GetEvent(const Key& key) const;

private:
    MonitoredEntry::EntryManager* manager_;
    boost::optional<BasicID<long>> entryId_;
};

} // namespace UI

#endif
