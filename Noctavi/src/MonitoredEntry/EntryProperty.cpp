#include <Noctavi/MonitoredEntry/EntryProperty.h>

namespace MonitoredEntry {

struct EntryProperty::Pimpl {
    bool monitoring = false;
    int status = StatusNotReported;
    int statusDetail = RequestSucceeded;
    MFP mfp;
    User user;
    Config config;
};

EntryProperty::EntryProperty()
    : pimpl_(new Pimpl)
{
}

EntryProperty::EntryProperty(bool monitoring, const MFP& mfp, const User& user, const Config& config)
    : pimpl_(new Pimpl{monitoring, StatusNotReported, RequestSucceeded, mfp, user, config})
{
}

bool EntryProperty::GetMonitoring() const
{
    return pimpl_->monitoring;
}

void EntryProperty::SetMonitoring(bool monitoring)
{
    pimpl_->monitoring = monitoring;
}

int EntryProperty::GetStatus() const
{
    return pimpl_->status;
}

void EntryProperty::SetStatus(int status)
{
    pimpl_->status = status;
}

int EntryProperty::GetStatusDetail() const
{
    return pimpl_->statusDetail;
}

void EntryProperty::SetStatusDetail(int detail)
{
    pimpl_->statusDetail = detail;
}

const MFP& EntryProperty::GetMFP() const
{
    return pimpl_->mfp;
}

void EntryProperty::SetMFP(const MFP& mfp)
{
    pimpl_->mfp = mfp;
}

const User& EntryProperty::GetUser() const
{
    return pimpl_->user;
}

void EntryProperty::SetUser(const User& user)
{
    pimpl_->user = user;
}

const Config& EntryProperty::GetConfig() const
{
    return pimpl_->config;
}

void EntryProperty::SetConfig(const Config& config)
{
    pimpl_->config = config;
}

} // namespace MonitoredEntry
