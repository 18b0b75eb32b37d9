#ifndef NOCTAVI_MONITOREDENTRY_MFP_H
#define NOCTAVI_MONITOREDENTRY_MFP_H

#include <pelmo/cloner.hpp>

#include <boost/optional.hpp>

#include <string>

namespace MonitoredEntry {

// A machine: its name, its host (IPv4 address or host name) and how to reach
// it: over HTTPS to the HTTPS port when SSL is set, else over HTTP to the HTTP
// port.
class MFP {
public:
    // No name, empty host, no ports, SSL off.
    MFP();
    MFP(const boost::optional<std::wstring>& name, const std::wstring& host, const boost::optional<int>& http,
        const boost::optional<int>& https, bool ssl);

    const boost::optional<std::wstring>& GetName() const;
    void SetName(const boost::optional<std::wstring>& name);
    const std::wstring& GetHost() const;
    void SetHost(const std::wstring& host);
    const boost::optional<int>& GetHTTP() const;
    void SetHTTP(const boost::optional<int>& port);
    const boost::optional<int>& GetHTTPS() const;
    void SetHTTPS(const boost::optional<int>& port);
    bool GetSSL() const;
    void SetSSL(bool ssl);

    // A present name is not empty, the host is valid, the chosen scheme's port
    // is present and every present port is a port number.
    bool IsValid() const;

    // Field by field; texts compare exactly (case-sensitive, hosts unresolved).
    bool operator==(const MFP& other) const;
    bool operator!=(const MFP& other) const { return !(*this == other); }

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
