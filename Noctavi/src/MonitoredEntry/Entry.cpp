#include <Noctavi/MonitoredEntry/Entry.h>

#include <Noctavi/MonitoredEntry/EventLog.h>

#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>

#include <boost/make_shared.hpp>

#include <algorithm>

namespace MonitoredEntry {

// Copying the record copies the pointer to the log, so that copies of an
// entry share it.
struct Entry::Pimpl {
    BasicID<long> id;
    EntryProperty property;
    boost::shared_ptr<const EventLog> eventLog;
    boost::optional<RSS::RSSFeed> latestRSSFeed;
};

Entry::Entry()
    : Entry(BasicID<long>(), EntryProperty())
{
}

Entry::Entry(BasicID<long> id, const EntryProperty& property)
    : pimpl_(new Pimpl{id, property, boost::make_shared<const EventLog>(property.GetConfig().GetLogMax()), boost::none})
{
}

BasicID<long> Entry::GetID() const
{
    return pimpl_->id;
}

const EntryProperty& Entry::GetProperty() const
{
    return pimpl_->property;
}

void Entry::SetProperty(const EntryProperty& property)
{
    pimpl_->property = property;
}

boost::shared_ptr<EventLog> Entry::GetEventLog() const
{
    return boost::make_shared<EventLog>(*pimpl_->eventLog);
}

boost::shared_ptr<const EventLog> Entry::GetSharedEventLog() const
{
    return pimpl_->eventLog;
}

void Entry::SetEventLog(const boost::shared_ptr<EventLog>& log)
{
    if (!log)
        PELMO_THROW(pelmo::logic_error());
    pimpl_->eventLog = boost::make_shared<const EventLog>(*log);
}

const boost::optional<RSS::RSSFeed>& Entry::GetLatestRSSFeed() const
{
    return pimpl_->latestRSSFeed;
}

void Entry::SetLatestRSSFeed(const boost::optional<RSS::RSSFeed>& feed)
{
    pimpl_->latestRSSFeed = feed;
}

bool Entry::IsValid() const
{
    const Pimpl& e = *pimpl_;
    const EntryProperty& property = e.property;
    return property.GetMFP().IsValid() && property.GetUser().IsValid() && property.GetConfig().IsValid()
        && e.eventLog->Size() <= static_cast<std::size_t>(std::max(e.eventLog->GetMax(), 0))
        && (!e.latestRSSFeed || e.latestRSSFeed->IsValid());
}

} // namespace MonitoredEntry
