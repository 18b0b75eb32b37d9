#include <Noctavi/MachineEvent/DetectedEvent.h>

#include <Noctavi/RSS/Item.h>
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
};

boost::shared_ptr<const DetectedEvent> DetectedEvent::Create(const RSS::Item& item, BasicID<long> entryID)
{
    const MonitoredEntry::EventProperty property(Utility::ToWide(item.GetCategory()), Utility::ToWide(item.GetTitle()),
                                                 IfDocument(item, item.GetDescription()),
                                                 IfDocument(item, item.GetGuid()), RSS::EventTime(item.GetPub()));
    return boost::make_shared<const DetectedEvent>(entryID, property);
}

DetectedEvent::DetectedEvent(BasicID<long> entryID, const MonitoredEntry::EventProperty& property)
    : pimpl_(new Pimpl{entryID, property})
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

} // namespace MachineEvent
