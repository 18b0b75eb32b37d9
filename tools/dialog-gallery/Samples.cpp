#include "Samples.h"

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/MonitoredEntry/User.h>

#include <boost/optional.hpp>

#include <string>

namespace {

MonitoredEntry::EntryProperty Entry(const boost::optional<std::wstring>& machine, const std::wstring& host,
                                    const std::wstring& user, bool monitoring)
{
    using namespace MonitoredEntry;
    return EntryProperty(monitoring, MFP(machine, host, 80, 443, false),
                         User(user, user.substr(0, user.find(L' ')), Password()),
                         Config(20, 300000, true, 30000, true, true));
}

} // namespace

Samples::Samples()
{
    MonitoredEntry::EntryManager::Transaction transaction(model_);
    transaction.Append(Entry(std::wstring(L"R&D Copier 3F"), L"192.0.2.10", L"Ada Example", true));
    transaction.Append(Entry(boost::none, L"printer-hall.example.net", L"Bo Sample", true));
    transaction.Append(Entry(std::wstring(L"Archive scanner"), L"192.0.2.30", L"Cy Demo", false));
    transaction.Commit();
}
