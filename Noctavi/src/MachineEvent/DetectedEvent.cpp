#include <Noctavi/MachineEvent/DetectedEvent.h>

#include <Noctavi/RSS/Item.h>
#include <Noctavi/RSS/RSSFeed.h>
#include <Noctavi/Utility/TextConversion.h>

#include <boost/make_shared.hpp>

namespace MachineEvent {

namespace {

// A document's thumbnail and ID come only with an item that links to it.
boost::optional<std::wstring> IfDocument(const RSS::Item& item, const std::string& text)
{
    if (item.GetDescription().empty())
        return boost::none;
    return Utility::ToWide(text);
}

} // namespace

struct DetectedEvent::Pimpl {
    BasicID<long> entryID;
    MonitoredEntry::EventProperty property;
    FeedPointer latestFeed;
};

boost::shared_ptr<const DetectedEvent> DetectedEvent::Create(const RSS::Item& item, BasicID<long> entryID,
                                                             const FeedPointer& latestFeed)
{
    const MonitoredEntry::EventProperty property(Utility::ToWide(item.GetCategory()), Utility::ToWide(item.GetTitle()),
                                                 IfDocument(item, item.GetDescription()),
                                                 IfDocument(item, item.GetGuid()), RSS::EventTime(item.GetPub()));
    return boost::make_shared<const DetectedEvent>(entryID, property, latestFeed);
}

DetectedEvent::DetectedEvent(BasicID<long> entryID, const MonitoredEntry::EventProperty& property,
                             const FeedPointer& latestFeed)
    : pimpl_(new Pimpl{entryID, property, latestFeed})
{
}

BasicID<long> DetectedEvent::GetEntryID() const
{
    return pimpl_->entryID;
}

const MonitoredEntry::EventProperty& DetectedEvent::GetProperty() const
{
    return pimpl_->property;
}

const DetectedEvent::FeedPointer& DetectedEvent::GetLatestFeed() const
{
    return pimpl_->latestFeed;
}

} // namespace MachineEvent
