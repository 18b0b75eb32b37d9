#include <Noctavi/MonitoredEntry/Event.h>

namespace MonitoredEntry {

struct Event::Pimpl {
    BasicID<long> id;
    EventProperty property;
    bool read;
};

Event::Event(BasicID<long> id, const EventProperty& property)
    : pimpl_(new Pimpl{id, property, false})
{
}

BasicID<long> Event::GetID() const
{
    return pimpl_->id;
}

const EventProperty& Event::GetProperty() const
{
    return pimpl_->property;
}

bool Event::IsRead() const
{
    return pimpl_->read;
}

void Event::SetRead(bool read)
{
    pimpl_->read = read;
}

} // namespace MonitoredEntry
