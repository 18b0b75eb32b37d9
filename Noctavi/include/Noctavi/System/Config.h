#ifndef NOCTAVI_SYSTEM_CONFIG_H
#define NOCTAVI_SYSTEM_CONFIG_H

#include <Noctavi/HTTP/Timeout.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/System/ConfigLimits.h>

#include <boost/shared_ptr.hpp>

#include <array>
#include <cstdint>
#include <string>

// The application's settings, read from "config.dat" in the data folder.
//
// Load reads the file once at start-up (writing it with every default when it
// is missing, and rewriting it with a ".bak" copy of the old one when keys are
// missing), refuses values the program cannot run with, and derives the
// time-out table, the ranges and a new entry's defaults. The getters are valid after a successful Load.
class Config {
public:
    // One record per kind of request, in this order: generic HTTP (the feed),
    // machine settings, user information, user list, document download,
    // document page, print, thumbnail, subscribe, unsubscribe, delete.
    typedef std::array<HTTP::Timeout, 11> TimeoutTable;

    // Created empty on first use; reads no file until Load.
    static Config& GetInstance();

    // Throws what the file engine throws (but for a defective file, which is
    // rewritten), InvalidSetting for a value that is not a number or boolean
    // or is out of its bounds, and std::runtime_error for an inverted range.
    void Load();

    int GetPort() const;
    int GetEntryMax() const;
    int GetEventLogMaxLimit() const;
    int GetDetectedEventQueueSize() const;
    int GetRegularSerializeInterval() const;
    int GetSubscribeInterval() const;
    int GetRetrySubscribeInterval() const;
    int GetMachineMonitorInterval() const;
    int GetPopupEventEraseInterval() const;
    bool GetEntryDefaultEnableEventRead() const;
    bool GetEntryDefaultEnableDeleteMsg() const;

    // (connect + send + receive time-out) x retry count x 2 of the subscribe
    // record, in 64 bits so that large settings cannot overflow.
    std::int64_t GetSubscribeResponseLimit() const;

    const ConfigLimits::Range& GetRegularCheckIntervalRange() const;
    const ConfigLimits::Range& GetPopupEventEraseIntervalRange() const;
    const TimeoutTable& GetTimeoutTable() const;
    // What a new entry starts with: the ENTRY_DEFAULT_ settings and the
    // default pop-up time; no machine name, host or account.
    const MonitoredEntry::EntryProperty& GetEntryDefaults() const;

private:
    Config();

    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

// The data folder's "config.dat".
std::string GetConfigFilePath();

#endif
