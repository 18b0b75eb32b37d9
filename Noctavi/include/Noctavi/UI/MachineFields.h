#ifndef NOCTAVI_UI_MACHINEFIELDS_H
#define NOCTAVI_UI_MACHINEFIELDS_H

#include <boost/optional.hpp>

#include <string>

namespace MonitoredEntry {
class MFP;
}

namespace UI {

class DataExchange;

// The fields of a page that edits a machine: its name (a label), host, HTTP
// and HTTPS ports and SSL flag, with the ids of their controls.
struct MachineFields {
    struct ControlIds {
        int name;
        int host;
        int http;
        int https;
        int ssl;
    };

    MonitoredEntry::MFP Machine() const;
    // Name, host and ports of the machine; the SSL flag stays as the user set it.
    void Take(const MonitoredEntry::MFP& machine);
    // No name, host or ports.
    void Clear();
    void Exchange(DataExchange& exchange, const ControlIds& ids);

    boost::optional<std::wstring> name;
    std::wstring host;
    boost::optional<int> http;
    boost::optional<int> https;
    bool ssl = false;
};

} // namespace UI

#endif
