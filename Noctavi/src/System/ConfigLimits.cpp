#include <Noctavi/System/ConfigLimits.h>

#include <Noctavi/IS/Config.h>
#include <Noctavi/System/Config.h>

namespace {

ConfigLimits g_limits;

} // namespace

const ConfigLimits& GetConfigLimits()
{
    return g_limits;
}

void SetConfigLimits(const ConfigLimits& limits)
{
    g_limits = limits;
}

void ApplyConfigLimits()
{
    const Config& config = Config::GetInstance();
    ConfigLimits limits;
    limits.EntryMax = config.GetEntryMax();
    limits.EventLogMaxLimit = config.GetEventLogMaxLimit();
    limits.RegularCheckInterval = config.GetRegularCheckIntervalRange();
    limits.PopupEventEraseInterval = config.GetPopupEventEraseIntervalRange();
    limits.SubscribeResponseLimit = config.GetSubscribeResponseLimit();
    limits.Port = config.GetPort();
    limits.SubscribeInterval = config.GetSubscribeInterval();
    limits.RetrySubscribeInterval = config.GetRetrySubscribeInterval();
    limits.MachineMonitorInterval = config.GetMachineMonitorInterval();
    limits.DetectedEventQueueSize = config.GetDetectedEventQueueSize();
    SetConfigLimits(limits);
    IS::SetConfiguration(IS::Config(config.GetTimeoutTable()));
}
