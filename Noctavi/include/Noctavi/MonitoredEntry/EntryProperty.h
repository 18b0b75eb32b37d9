#ifndef NOCTAVI_MONITOREDENTRY_ENTRYPROPERTY_H
#define NOCTAVI_MONITOREDENTRY_ENTRYPROPERTY_H

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>

#include <pelmo/cloner.hpp>

namespace MonitoredEntry {

// What the user edits for an entry, plus the subscription status that the
// monitoring threads report, which is never saved.
class EntryProperty {
public:
    // Values of the subscription status.
    enum SubscriptionStatus { StatusNotReported = 0, StatusSubscribed = 1, StatusNotSubscribed = 2 };
    // Values of the status detail: whether the last request to the machine failed.
    enum RequestStatus { RequestSucceeded = 0, RequestFailed = 1 };

    // Not monitored, nothing reported, default machine, user and settings.
    EntryProperty();
    EntryProperty(bool monitoring, const MFP& mfp, const User& user, const Config& config);

    // The entry's monitors run while this is set.
    bool GetMonitoring() const;
    void SetMonitoring(bool monitoring);
    int GetStatus() const;
    void SetStatus(int status);
    int GetStatusDetail() const;
    void SetStatusDetail(int detail);
    const MFP& GetMFP() const;
    void SetMFP(const MFP& mfp);
    const User& GetUser() const;
    void SetUser(const User& user);
    const Config& GetConfig() const;
    void SetConfig(const Config& config);

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
