#ifndef NOCTAVI_TESTS_MONITOR_MACHINEENTRY_H
#define NOCTAVI_TESTS_MONITOR_MACHINEENTRY_H

#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>

#include <string>

namespace testvalues {

// An entry for the account on the fake machine, over HTTP, polled once a
// minute, so that only signals bring fetches in between. The host is the
// machine's address unless another name for it is given.
inline MonitoredEntry::EntryProperty OnMachine(support::FakeInformationServer& server, const std::string& account,
                                               const std::string& password = "s3cret", bool monitoring = true,
                                               const std::string& host = std::string())
{
    support::FakeMachine& machine = server.Machine();
    return MonitoredEntry::EntryProperty(
        monitoring,
        MonitoredEntry::MFP(boost::none, Utility::ToWide(host.empty() ? machine.Address() : host), machine.Port(),
                            boost::none, false),
        MonitoredEntry::User(boost::none, Utility::ToWide(account),
                             MonitoredEntry::Password(Utility::ToWide(password))),
        MonitoredEntry::Config(5, 60000, true, 0, false, false));
}

} // namespace testvalues

#endif
