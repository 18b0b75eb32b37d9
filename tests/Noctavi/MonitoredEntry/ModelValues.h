#ifndef NOCTAVI_TESTS_MONITOREDENTRY_MODELVALUES_H
#define NOCTAVI_TESTS_MONITOREDENTRY_MODELVALUES_H

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/EventProperty.h>

#include <string>
#include <vector>

namespace testvalues {

// A valid property for an entry on the host, within the default limits.
inline MonitoredEntry::EntryProperty Property(const std::wstring& host, bool monitoring = true)
{
    using namespace MonitoredEntry;
    return EntryProperty(monitoring, MFP(boost::none, host, 80, boost::none, false),
                         User(boost::none, L"alice", Password()), Config(5, 60000, true, 0, false, false));
}

inline MonitoredEntry::EventProperty Event(const std::wstring& info)
{
    return MonitoredEntry::EventProperty(L"Box", info, boost::none, boost::none,
                                         RSS::EventTime("Tue, 09 Dec 2008 10:15:30 +0900"));
}

// The IDs of a table's or a search's entries, in their order.
template <class Entries>
std::vector<int> IDs(const Entries& entries)
{
    std::vector<int> ids;
    for (const MonitoredEntry::Entry& entry : entries)
        ids.push_back(entry.GetID().GetValue());
    return ids;
}

} // namespace testvalues

#endif
