#ifndef NOCTAVI_MACHINEEVENT_DETECTEDEVENT_H
#define NOCTAVI_MACHINEEVENT_DETECTEDEVENT_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <pelmo/cloner.hpp>

#include <boost/shared_ptr.hpp>

namespace RSS {
class Item;
}

namespace MachineEvent {

// A new feed item on its way from an event monitor to an entry's event log,
// tagged with the entry's ID. Threads share it read-only.
class DetectedEvent {
public:
    // The event for the item: its category, title and publication time; the
    // thumbnail address (the item's description) and the document ID (its
    // guid) only when the description is not empty. Throws
    // RSS::InvalidTimeString when the publication time is not a date-time.
    static boost::shared_ptr<const DetectedEvent> Create(const RSS::Item& item, BasicID<long> entryID);

    DetectedEvent(BasicID<long> entryID, const MonitoredEntry::EventProperty& property);

    BasicID<long> GetEntryID() const;
    const MonitoredEntry::EventProperty& GetProperty() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MachineEvent

#endif
