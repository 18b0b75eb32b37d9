#ifndef NOCTAVI_SYSTEM_CONFIGLIMITS_H
#define NOCTAVI_SYSTEM_CONFIGLIMITS_H

#include <boost/numeric/interval.hpp>

#include <cstdint>

// The settings that the model, the machine requests and the monitoring threads
// read. They are copied from the loaded configuration once at start-up, before
// any background thread exists, and only read afterwards, so readers need no
// lock. Until then they hold the configuration's defaults.
struct ConfigLimits {
    // An inclusive range; building one whose maximum is below its minimum throws
    // std::runtime_error.
    typedef boost::numeric::interval<int> Range;

    int EntryMax = 3;
    int EventLogMaxLimit = 50;
    Range RegularCheckInterval{60000, 3600000};
    Range PopupEventEraseInterval{0, 100000000};
    // How long to wait for a subscription's outcome, in milliseconds.
    std::int64_t SubscribeResponseLimit = 180000;
    int Port = 61000;
    int SubscribeInterval = 1800000;
    int RetrySubscribeInterval = 300000;
    int MachineMonitorInterval = 600000;
    int DetectedEventQueueSize = 50;
};

const ConfigLimits& GetConfigLimits();

// Replaces the process-wide copies; for start-up and for tests.
void SetConfigLimits(const ConfigLimits& limits);

// Copies the loaded settings of Config::GetInstance() into the process-wide
// copies, the time-out table included (IS::SetConfiguration).
void ApplyConfigLimits();

#endif
