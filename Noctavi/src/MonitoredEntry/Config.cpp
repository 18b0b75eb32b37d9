#include <Noctavi/MonitoredEntry/Config.h>

#include <Noctavi/System/ConfigLimits.h>

namespace MonitoredEntry {

Config::Config(int logMax, int interval, bool notice, int eraseTime, bool eventRead, bool deleteMsg)
    : logMax_(logMax)
    , interval_(interval)
    , notice_(notice)
    , eraseTime_(eraseTime)
    , eventRead_(eventRead)
    , deleteMsg_(deleteMsg)
{
}

bool Config::IsValid() const
{
    const ConfigLimits& limits = GetConfigLimits();
    const ConfigLimits::Range logMax(1, limits.EventLogMaxLimit);
    return boost::numeric::in(logMax_, logMax) && boost::numeric::in(interval_, limits.RegularCheckInterval)
        && boost::numeric::in(eraseTime_, limits.PopupEventEraseInterval);
}

} // namespace MonitoredEntry
