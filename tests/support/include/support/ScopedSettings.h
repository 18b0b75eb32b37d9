#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDSETTINGS_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDSETTINGS_H

#include <Noctavi/IS/Config.h>
#include <Noctavi/System/ConfigLimits.h>

namespace support {

// Puts test values in place of the process-wide settings that the model, the
// requests and the monitoring threads read, and puts back every value, the
// request time-outs included, when it goes. The settings are read without a
// lock, so they change only while no thread that reads them runs.
class ScopedSettings {
public:
    // Long waits that a test shortens where it needs them, no wait longer
    // than a minute, "PORT" 0 (the system chooses), and time-outs of a few
    // seconds for every request.
    static ConfigLimits TestLimits();
    static IS::Config TestTimeouts();

    explicit ScopedSettings(const ConfigLimits& limits = TestLimits(), const IS::Config& timeouts = TestTimeouts());
    ~ScopedSettings();
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

    // For the port a receiver bound when "PORT" was 0.
    void SetPort(int port);

private:
    const ConfigLimits savedLimits_;
    const IS::Config savedTimeouts_;
};

} // namespace support

#endif
