#ifndef NOCTAVI_TESTS_MONITOR_IDENTITY_H
#define NOCTAVI_TESTS_MONITOR_IDENTITY_H

#include <Noctavi/MonitoredEntry/Distinction.h>
#include <Noctavi/MonitoredEntry/Entry.h>

#include <boost/optional.hpp>

#include <string>

namespace testvalues {

// A monitor's copies of an entry on the host, reached over HTTP on port 80,
// or over HTTPS with SSL set.
inline MonitoredEntry::Distinction Identity(const std::wstring& host, bool ssl = false,
                                            const boost::optional<int>& https = boost::none)
{
    const MonitoredEntry::EntryProperty property(true, MonitoredEntry::MFP(boost::none, host, 80, https, ssl),
                                                 MonitoredEntry::User(), MonitoredEntry::Config());
    return MonitoredEntry::Distinction(MonitoredEntry::Entry(BasicID<long>(1), property));
}

} // namespace testvalues

#endif
