#include <Noctavi/MonitoredEntry/Distinction.h>

#include <Noctavi/MonitoredEntry/Entry.h>

namespace MonitoredEntry {

struct Distinction::Pimpl {
    MFP mfp;
    User user;
};

Distinction::Distinction()
    : pimpl_(new Pimpl)
{
}

Distinction::Distinction(const Entry& entry)
    : pimpl_(new Pimpl{entry.GetProperty().GetMFP(), entry.GetProperty().GetUser()})
{
}

const MFP& Distinction::GetMFP() const
{
    return pimpl_->mfp;
}

const User& Distinction::GetUser() const
{
    return pimpl_->user;
}

} // namespace MonitoredEntry
