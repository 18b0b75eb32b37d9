#ifndef NOCTAVI_UI_ENTRYLISTSOURCE_H
#define NOCTAVI_UI_ENTRYLISTSOURCE_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/UI/VirtualList/Source.h>

namespace MonitoredEntry {
class Entry;
class EntryManager;
} // namespace MonitoredEntry

namespace UI {

// The entries of the model, one row each, keyed by entry ID, under the
// model lock.
class EntryListSource : public VirtualList::Source<BasicID<long>> {
public:
    explicit EntryListSource(MonitoredEntry::EntryManager& manager);

    // Every entry's ID, in table order.
    std::unique_ptr<Keys> GetKeys() const override;
    bool Exists(const Key& id) const override;
    void Lock() override;
    void Unlock() noexcept override;

    // The entry of an ID that exists.
    const MonitoredEntry::Entry& GetEntry(const Key& id) const;

private:
    MonitoredEntry::EntryManager* manager_;
};

} // namespace UI

#endif
