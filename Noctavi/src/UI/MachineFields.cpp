#include <Noctavi/UI/MachineFields.h>

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/UI/DDX/DDX.h>

namespace UI {

MonitoredEntry::MFP MachineFields::Machine() const
{
    return MonitoredEntry::MFP(name, host, http, https, ssl);
}

void MachineFields::Take(const MonitoredEntry::MFP& machine)
{
    name = machine.GetName();
    host = machine.GetHost();
    http = machine.GetHTTP();
    https = machine.GetHTTPS();
}

void MachineFields::Clear()
{
    Take(MonitoredEntry::MFP(boost::none, std::wstring(), boost::none, boost::none, false));
}

void MachineFields::Exchange(DataExchange& exchange, const ControlIds& ids)
{
    DDX_Text(exchange, ids.name, name);
    DDX_Text(exchange, ids.host, host);
    DDX_Text(exchange, ids.http, http);
    DDX_Text(exchange, ids.https, https);
    DDX_Check(exchange, ids.ssl, ssl);
}

} // namespace UI
