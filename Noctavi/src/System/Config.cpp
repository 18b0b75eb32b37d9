#include <Noctavi/System/Config.h>

#include <Noctavi/System/Folders.h>
#include <Noctavi/System/InvalidSetting.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/config/config.hpp>
#include <pelmo/defective_config.hpp>
#include <pelmo/exception.hpp>

#include <boost/lexical_cast.hpp>

#include <iterator>
#include <limits>
#include <map>
#include <vector>

namespace {

const int kNoLimit = std::numeric_limits<int>::max();
const int kNoFloor = std::numeric_limits<int>::min();
// The least that a count or a period may be: anything less would leave a
// queue without a place or a thread polling without pause.
const int kPositive = 1;

// The request kinds whose send and receive time-outs have keys of their own,
// in time-out table order; "HTTP" is the generic record.
const char* const kRequestKinds[] = {
    "HTTP",
    "IS_GET_MACHINE_SETTINGS",
    "IS_GET_USER_INFO",
    "IS_GET_USER_LIST",
    "IS_DOWNLOAD_IMAGE",
    "IS_GET_IMAGE",
    "IS_PRINT",
    "IS_GET_THUMBNAIL",
    "IS_SUBSCRIBE",
    "IS_UNSUBSCRIBE",
    "IS_DELETE",
};
static_assert(std::size(kRequestKinds) == std::tuple_size<Config::TimeoutTable>::value);
const std::size_t kSubscribeRecord = 8;

std::string SendTimeoutKey(const std::string& kind)
{
    return kind + "_SEND_TIMEOUT_MS";
}

std::string ReceiveTimeoutKey(const std::string& kind)
{
    return kind + "_RECV_TIMEOUT_MS";
}

} // namespace

struct Config::Pimpl : pelmo::config<std::string> {
    int GetInt(const std::string& key) const;
    bool GetBool(const std::string& key) const;
    // Every value converts to its key's type and lies within its bounds.
    void CheckValues() const;
    TimeoutTable BuildTimeoutTable() const;
    MonitoredEntry::EntryProperty BuildEntryDefaults() const;

    ConfigLimits::Range regularCheckInterval;
    ConfigLimits::Range popupEventEraseInterval;
    TimeoutTable timeouts;
    MonitoredEntry::EntryProperty entryDefaults;

private:
    struct Bounds {
        int min;
        int max;
    };

    void define_all() override;
    void DefineInt(const std::string& key, int value, int min = kNoFloor, int max = kNoLimit);
    void DefineBool(const std::string& key, bool value);
    void DefineKeys();

    std::map<std::string, Bounds> intKeys_;
    std::vector<std::string> boolKeys_;
};

void Config::Pimpl::define_all()
{
    intKeys_.clear();
    boolKeys_.clear();
    set_path(GetConfigFilePath());
    define_version(1.0);
    DefineKeys();
}

void Config::Pimpl::DefineKeys()
{
    DefineInt("PORT", 61000, 1, 65535);
    DefineInt("ENTRY_MAX", 3, kPositive);
    DefineInt("EVENT_LOG_MAX_LIMIT", 50, kPositive);
    DefineInt("REGULAR_CHECK_INTERVAL_MS_MIN", 60000, kPositive);
    DefineInt("REGULAR_CHECK_INTERVAL_MS_MAX", 3600000);
    DefineInt("DETECTED_EVENT_QUEUE_SIZE", 50, kPositive);
    DefineInt("REGULAR_SERIALIZE_INTERVAL_MS", 300000, kPositive);
    DefineInt("SUBSCRIBE_INTERVAL_MS", 1800000, kPositive);
    DefineInt("RETRY_SUBSCRIBE_INTERVAL_MS", 300000, kPositive);
    DefineInt("MACHINE_MONITOR_INTERVAL_MS", 600000, kPositive);
    DefineInt("POPUP_EVENT_ERASE_INTERVAL_MS", 10000);
    DefineInt("HTTP_CONNECT_TIMEOUT_MS", 30000, kPositive);
    DefineInt("HTTP_RETRY", 1, kPositive);
    for (const char* kind : kRequestKinds) {
        DefineInt(SendTimeoutKey(kind), 30000, kPositive);
        DefineInt(ReceiveTimeoutKey(kind), 30000, kPositive);
    }
    DefineBool("ENTRY_DEFAULT_ENABLE_MONITORING", true);
    DefineInt("ENTRY_DEFAULT_HTTP", 80);
    DefineInt("ENTRY_DEFAULT_HTTPS", 443);
    DefineBool("ENTRY_DEFAULT_SSL", true);
    DefineInt("ENTRY_DEFAULT_LOG_MAX", 25);
    DefineInt("ENTRY_DEFAULT_REGULAR_CHECK_INTERVAL_MS", 1800000);
    DefineBool("ENTRY_DEFAULT_ENABLE_NOTICE", true);
    DefineBool("ENTRY_DEFAULT_ENABLE_EVENT_READ", false);
    DefineBool("ENTRY_DEFAULT_ENABLE_DELETE_MSG", true);
    DefineInt("POPUP_EVENT_ERASE_INTERVAL_MS_MIN", 0);
    DefineInt("POPUP_EVENT_ERASE_INTERVAL_MS_MAX", 100000000);
}

void Config::Pimpl::DefineInt(const std::string& key, int value, int min, int max)
{
    define(key, boost::lexical_cast<std::string>(value));
    intKeys_.emplace(key, Bounds{min, max});
}

void Config::Pimpl::DefineBool(const std::string& key, bool value)
{
    define(key, boost::lexical_cast<std::string>(value));
    boolKeys_.push_back(key);
}

int Config::Pimpl::GetInt(const std::string& key) const
{
    try {
        return boost::lexical_cast<int>(get(key));
    } catch (const boost::bad_lexical_cast&) {
        PELMO_THROW(InvalidSetting(key));
    }
}

bool Config::Pimpl::GetBool(const std::string& key) const
{
    try {
        return boost::lexical_cast<bool>(get(key));
    } catch (const boost::bad_lexical_cast&) {
        PELMO_THROW(InvalidSetting(key));
    }
}

void Config::Pimpl::CheckValues() const
{
    for (const auto& [key, bounds] : intKeys_) {
        const int value = GetInt(key);
        if (value < bounds.min || value > bounds.max)
            PELMO_THROW(InvalidSetting(key));
    }
    for (const std::string& key : boolKeys_)
        GetBool(key);
}

Config::TimeoutTable Config::Pimpl::BuildTimeoutTable() const
{
    const int connect = GetInt("HTTP_CONNECT_TIMEOUT_MS");
    const int retry = GetInt("HTTP_RETRY");
    TimeoutTable table;
    for (std::size_t kind = 0; kind < table.size(); ++kind)
        table[kind] = HTTP::Timeout{connect, retry, GetInt(SendTimeoutKey(kRequestKinds[kind])),
                                    GetInt(ReceiveTimeoutKey(kRequestKinds[kind]))};
    return table;
}

MonitoredEntry::EntryProperty Config::Pimpl::BuildEntryDefaults() const
{
    const MonitoredEntry::MFP mfp(boost::none, std::wstring(), GetInt("ENTRY_DEFAULT_HTTP"),
                                  GetInt("ENTRY_DEFAULT_HTTPS"), GetBool("ENTRY_DEFAULT_SSL"));
    const MonitoredEntry::Config config(
        GetInt("ENTRY_DEFAULT_LOG_MAX"), GetInt("ENTRY_DEFAULT_REGULAR_CHECK_INTERVAL_MS"),
        GetBool("ENTRY_DEFAULT_ENABLE_NOTICE"), GetInt("POPUP_EVENT_ERASE_INTERVAL_MS"),
        GetBool("ENTRY_DEFAULT_ENABLE_EVENT_READ"), GetBool("ENTRY_DEFAULT_ENABLE_DELETE_MSG"));
    return MonitoredEntry::EntryProperty(GetBool("ENTRY_DEFAULT_ENABLE_MONITORING"), mfp, MonitoredEntry::User(),
                                         config);
}

Config::Config()
    : pimpl_(new Pimpl)
{
}

Config& Config::GetInstance()
{
    // Initialised exactly once, also when threads race to the first call.
    static Config instance;
    return instance;
}

void Config::Load()
{
    try {
        pimpl_->load();
    } catch (const pelmo::defective_config&) {
        // The defaults now stand in for the missing keys; write them out so
        // the user sees every key, and keep the old file beside it.
        pimpl_->save(true);
    }
    pimpl_->CheckValues();
    const ConfigLimits::Range regularCheckInterval(pimpl_->GetInt("REGULAR_CHECK_INTERVAL_MS_MIN"),
                                                   pimpl_->GetInt("REGULAR_CHECK_INTERVAL_MS_MAX"));
    const ConfigLimits::Range popupEventEraseInterval(pimpl_->GetInt("POPUP_EVENT_ERASE_INTERVAL_MS_MIN"),
                                                      pimpl_->GetInt("POPUP_EVENT_ERASE_INTERVAL_MS_MAX"));
    pimpl_->regularCheckInterval = regularCheckInterval;
    pimpl_->popupEventEraseInterval = popupEventEraseInterval;
    pimpl_->timeouts = pimpl_->BuildTimeoutTable();
    pimpl_->entryDefaults = pimpl_->BuildEntryDefaults();
}

int Config::GetPort() const
{
    return pimpl_->GetInt("PORT");
}

int Config::GetEntryMax() const
{
    return pimpl_->GetInt("ENTRY_MAX");
}

int Config::GetEventLogMaxLimit() const
{
    return pimpl_->GetInt("EVENT_LOG_MAX_LIMIT");
}

int Config::GetDetectedEventQueueSize() const
{
    return pimpl_->GetInt("DETECTED_EVENT_QUEUE_SIZE");
}

int Config::GetRegularSerializeInterval() const
{
    return pimpl_->GetInt("REGULAR_SERIALIZE_INTERVAL_MS");
}

int Config::GetSubscribeInterval() const
{
    return pimpl_->GetInt("SUBSCRIBE_INTERVAL_MS");
}

int Config::GetRetrySubscribeInterval() const
{
    return pimpl_->GetInt("RETRY_SUBSCRIBE_INTERVAL_MS");
}

int Config::GetMachineMonitorInterval() const
{
    return pimpl_->GetInt("MACHINE_MONITOR_INTERVAL_MS");
}

int Config::GetPopupEventEraseInterval() const
{
    return pimpl_->GetInt("POPUP_EVENT_ERASE_INTERVAL_MS");
}

bool Config::GetEntryDefaultEnableEventRead() const
{
    return pimpl_->GetBool("ENTRY_DEFAULT_ENABLE_EVENT_READ");
}

bool Config::GetEntryDefaultEnableDeleteMsg() const
{
    return pimpl_->GetBool("ENTRY_DEFAULT_ENABLE_DELETE_MSG");
}

// The retry count and the time-outs have no upper bound: the product
// saturates instead of overflowing.
std::int64_t Config::GetSubscribeResponseLimit() const
{
    const HTTP::Timeout& subscribe = pimpl_->timeouts[kSubscribeRecord];
    const std::int64_t perTry = std::int64_t{subscribe.ConnectTimeout} + subscribe.SendTimeout + subscribe.ReceiveTimeout;
    const std::int64_t tries = std::int64_t{subscribe.RetryCount} * 2;
    if (perTry <= 0 || tries <= 0)
        return 0;
    const std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    return perTry > largest / tries ? largest : perTry * tries;
}

const ConfigLimits::Range& Config::GetRegularCheckIntervalRange() const
{
    return pimpl_->regularCheckInterval;
}

const ConfigLimits::Range& Config::GetPopupEventEraseIntervalRange() const
{
    return pimpl_->popupEventEraseInterval;
}

const Config::TimeoutTable& Config::GetTimeoutTable() const
{
    return pimpl_->timeouts;
}

const MonitoredEntry::EntryProperty& Config::GetEntryDefaults() const
{
    return pimpl_->entryDefaults;
}

std::string GetConfigFilePath()
{
    return Utility::ToNarrow(System::GetDataFolder() + L"config.dat");
}
