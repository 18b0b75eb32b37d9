#include <Noctavi/MonitoredEntry/MFP.h>

#include <Noctavi/MonitoredEntry/InputChecks.h>

namespace MonitoredEntry {

namespace {

bool IsAbsentOrPort(const boost::optional<int>& port)
{
    return !port || IsPortNumber(*port);
}

} // namespace

struct MFP::Pimpl {
    boost::optional<std::wstring> name;
    std::wstring host;
    boost::optional<int> http;
    boost::optional<int> https;
    bool ssl = false;
};

MFP::MFP()
    : pimpl_(new Pimpl)
{
}

MFP::MFP(const boost::optional<std::wstring>& name, const std::wstring& host, const boost::optional<int>& http,
         const boost::optional<int>& https, bool ssl)
    : pimpl_(new Pimpl{name, host, http, https, ssl})
{
}

const boost::optional<std::wstring>& MFP::GetName() const
{
    return pimpl_->name;
}

void MFP::SetName(const boost::optional<std::wstring>& name)
{
    pimpl_->name = name;
}

const std::wstring& MFP::GetHost() const
{
    return pimpl_->host;
}

void MFP::SetHost(const std::wstring& host)
{
    pimpl_->host = host;
}

const boost::optional<int>& MFP::GetHTTP() const
{
    return pimpl_->http;
}

void MFP::SetHTTP(const boost::optional<int>& port)
{
    pimpl_->http = port;
}

const boost::optional<int>& MFP::GetHTTPS() const
{
    return pimpl_->https;
}

void MFP::SetHTTPS(const boost::optional<int>& port)
{
    pimpl_->https = port;
}

bool MFP::GetSSL() const
{
    return pimpl_->ssl;
}

void MFP::SetSSL(bool ssl)
{
    pimpl_->ssl = ssl;
}

bool MFP::IsValid() const
{
    const Pimpl& m = *pimpl_;
    return (!m.name || IsNonEmptyString(*m.name)) && IsValidHost(m.host) && (m.ssl ? m.https : m.http)
        && IsAbsentOrPort(m.http) && IsAbsentOrPort(m.https);
}

bool MFP::operator==(const MFP& other) const
{
    const Pimpl& a = *pimpl_;
    const Pimpl& b = *other.pimpl_;
    return a.name == b.name && a.host == b.host && a.http == b.http && a.https == b.https && a.ssl == b.ssl;
}

} // namespace MonitoredEntry
