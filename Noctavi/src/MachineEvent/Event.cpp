#include <Noctavi/MachineEvent/Event.h>

namespace MachineEvent {

struct Event::Pimpl {
    MonitoredEntry::MFP mfp;
    MonitoredEntry::User user;
    MonitoredEntry::EventProperty property;
};

Event::Event(const MonitoredEntry::MFP& mfp, const MonitoredEntry::User& user,
             const MonitoredEntry::EventProperty& property)
    : pimpl_(new Pimpl{mfp, user, property})
{
}

const MonitoredEntry::MFP& Event::GetMFP() const
{
    return pimpl_->mfp;
}

const MonitoredEntry::User& Event::GetUser() const
{
    return pimpl_->user;
}

const MonitoredEntry::EventProperty& Event::GetProperty() const
{
    return pimpl_->property;
}

} // namespace MachineEvent
