#include <Noctavi/MonitoredEntry/Duplicate.h>

#include <Noctavi/MonitoredEntry/Entry.h>

namespace MonitoredEntry {
namespace Conditions {

namespace {

const std::wstring& HostOf(const Entry& entry)
{
    return entry.GetProperty().GetMFP().GetHost();
}

} // namespace

Duplicate<EntryProperty>::Duplicate(const EntryProperty& property)
    : host_(property.GetMFP().GetHost())
{
}

bool Duplicate<EntryProperty>::operator()(const Entry& stored) const
{
    return HostOf(stored) == host_;
}

Duplicate<Entry>::Duplicate(const Entry& entry)
    : id_(entry.GetID())
    , monitoring_(entry.GetProperty().GetMonitoring())
    , host_(HostOf(entry))
{
}

bool Duplicate<Entry>::operator()(const Entry& stored) const
{
    return monitoring_ && stored.GetID() != id_ && stored.GetProperty().GetMonitoring() && HostOf(stored) == host_;
}

} // namespace Conditions
} // namespace MonitoredEntry
