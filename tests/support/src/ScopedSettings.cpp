#include <support/ScopedSettings.h>

namespace support {

namespace {

const int kLongWait = 60000;
const HTTP::Timeout kTestTimeout{5000, 1, 5000, 5000};

IS::Config CurrentTimeouts()
{
    IS::Config::Records records;
    for (std::size_t kind = 0; kind < IS::Config::Count; ++kind)
        records[kind] = IS::GetTimeout(static_cast<IS::RequestKind>(kind));
    return IS::Config(records);
}

} // namespace

ConfigLimits ScopedSettings::TestLimits()
{
    ConfigLimits limits;
    limits.Port = 0;
    limits.SubscribeInterval = kLongWait;
    limits.RetrySubscribeInterval = kLongWait;
    limits.MachineMonitorInterval = kLongWait;
    limits.SubscribeResponseLimit = kLongWait;
    return limits;
}

IS::Config ScopedSettings::TestTimeouts()
{
    IS::Config::Records records;
    records.fill(kTestTimeout);
    return IS::Config(records);
}

ScopedSettings::ScopedSettings(const ConfigLimits& limits, const IS::Config& timeouts)
    : savedLimits_(GetConfigLimits())
    , savedTimeouts_(CurrentTimeouts())
{
    SetConfigLimits(limits);
    IS::SetConfiguration(timeouts);
}

ScopedSettings::~ScopedSettings()
{
    SetConfigLimits(savedLimits_);
    IS::SetConfiguration(savedTimeouts_);
}

void ScopedSettings::SetPort(int port)
{
    ConfigLimits limits = GetConfigLimits();
    limits.Port = port;
    SetConfigLimits(limits);
}

} // namespace support
