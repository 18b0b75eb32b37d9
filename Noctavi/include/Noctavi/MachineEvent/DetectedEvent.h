#ifndef NOCTAVI_MACHINEEVENT_DETECTEDEVENT_H
#define NOCTAVI_MACHINEEVENT_DETECTEDEVENT_H

#include <Noctavi/MonitoredEntry/BasicID.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <pelmo/cloner.hpp>

#include <boost/shared_ptr.hpp>

namespace RSS {
class Item;
class RSSFeed;
} // namespace RSS

namespace MachineEvent {

// A new feed item on its way from an event monitor to an entry's event log,
// tagged with the entry's ID. Threads share it read-only.
//
// The last event of a fetch carries the fetched feed, which becomes the
// entry's latest feed in the transaction that files the event: a data file
// saved at any moment then holds both the events and the feed that makes
// their items old, or neither.
class DetectedEvent {
public:
    typedef boost::shared_ptr<const RSS::RSSFeed> FeedPointer;

    // The event for the item: its category, title and publication time; the
    // thumbnail address (the item's description) and the document ID (its
    // guid) only when the description is not empty. Throws
    // RSS::InvalidTimeString when the publication time is not a date-time.
    static boost::shared_ptr<const DetectedEvent> Create(const RSS::Item& item, BasicID<long> entryID,
                                                         const FeedPointer& latestFeed = FeedPointer());

    DetectedEvent(BasicID<long> entryID, const MonitoredEntry::EventProperty& property,
                  const FeedPointer& latestFeed = FeedPointer());

    BasicID<long> GetEntryID() const;
    const MonitoredEntry::EventProperty& GetProperty() const;
    // The feed to store as the entry's latest once the event is filed; none
    // for all but the last event of a fetch.
    const FeedPointer& GetLatestFeed() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MachineEvent

#endif
