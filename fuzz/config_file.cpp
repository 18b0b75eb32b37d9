// Loads arbitrary bytes as "config.dat". A file that loads is kept whole as
// the backup when it is rewritten, and loads again, as it stands or as
// rewritten, to the same settings.
#include "Check.h"
#include "ScratchDataHome.h"

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/System/Config.h>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>

#include <support/ReadFile.h>

#include <boost/filesystem/operations.hpp>
#include <boost/numeric/interval.hpp>
#include <boost/program_options/errors.hpp>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using fuzz::Check;

// Every setting the rest of the program reads, but for the default machine.
std::vector<long long> Settings(const ::Config& config)
{
    const auto& regular = config.GetRegularCheckIntervalRange();
    const auto& erase = config.GetPopupEventEraseIntervalRange();
    const MonitoredEntry::Config& entry = config.GetEntryDefaults().GetConfig();
    std::vector<long long> values = {
        config.GetPort(), config.GetEntryMax(), config.GetEventLogMaxLimit(), config.GetDetectedEventQueueSize(),
        config.GetRegularSerializeInterval(), config.GetSubscribeInterval(), config.GetRetrySubscribeInterval(),
        config.GetMachineMonitorInterval(), config.GetPopupEventEraseInterval(),
        config.GetEntryDefaultEnableEventRead(), config.GetEntryDefaultEnableDeleteMsg(),
        config.GetSubscribeResponseLimit(), regular.lower(), regular.upper(), erase.lower(), erase.upper(),
        config.GetEntryDefaults().GetMonitoring(), entry.GetLogMax(), entry.GetInterval(), entry.GetNotice(),
        entry.GetEraseTime(), entry.GetEventRead(), entry.GetDeleteMsg()};
    for (const HTTP::Timeout& timeout : config.GetTimeoutTable())
        values.insert(values.end(),
                      {timeout.ConnectTimeout, timeout.RetryCount, timeout.SendTimeout, timeout.ReceiveTimeout});
    return values;
}

bool Loads(::Config& config)
{
    try {
        config.Load();
        return true;
    } catch (const pelmo::exception&) {
    } catch (const boost::program_options::error&) {
    } catch (const std::runtime_error&) {
        // A value out of its bounds, an inverted range or a file-system failure.
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const boost::filesystem::path folder = fuzz::EmptyDataFolder();
    const std::string bytes(data, data + size);
    pelmo::filesystem::write_file_synced(folder / "config.dat", bytes);
    ::Config& config = ::Config::GetInstance();
    if (!Loads(config))
        return 0;
    const std::vector<long long> loaded = Settings(config);
    const MonitoredEntry::MFP machine = config.GetEntryDefaults().GetMFP();
    if (boost::filesystem::exists(folder / "config.bak"))
        Check(support::ReadFile(folder / "config.bak") == bytes);

    Check(Loads(config));
    Check(Settings(config) == loaded && config.GetEntryDefaults().GetMFP() == machine);
    return 0;
}
