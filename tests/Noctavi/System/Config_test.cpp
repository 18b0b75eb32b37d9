#include <Noctavi/IS/Config.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/InvalidSetting.h>

#include <pelmo/nonsupport_version.hpp>

#include <support/ScopedEnv.h>
#include <support/ReadFile.h>
#include <support/TempDir.h>

#include <boost/algorithm/string/split.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <limits>

#include <algorithm>
#include <fstream>
#include <locale>
#include <set>

namespace {

namespace fs = boost::filesystem;

const std::set<std::string> kKeys = {
    "PORT", "ENTRY_MAX", "EVENT_LOG_MAX_LIMIT", "REGULAR_CHECK_INTERVAL_MS_MIN", "REGULAR_CHECK_INTERVAL_MS_MAX",
    "DETECTED_EVENT_QUEUE_SIZE", "REGULAR_SERIALIZE_INTERVAL_MS", "SUBSCRIBE_INTERVAL_MS",
    "RETRY_SUBSCRIBE_INTERVAL_MS", "MACHINE_MONITOR_INTERVAL_MS", "POPUP_EVENT_ERASE_INTERVAL_MS",
    "HTTP_CONNECT_TIMEOUT_MS", "HTTP_RETRY", "HTTP_SEND_TIMEOUT_MS", "HTTP_RECV_TIMEOUT_MS",
    "IS_GET_MACHINE_SETTINGS_SEND_TIMEOUT_MS", "IS_GET_MACHINE_SETTINGS_RECV_TIMEOUT_MS",
    "IS_GET_USER_INFO_SEND_TIMEOUT_MS", "IS_GET_USER_INFO_RECV_TIMEOUT_MS", "IS_GET_USER_LIST_SEND_TIMEOUT_MS",
    "IS_GET_USER_LIST_RECV_TIMEOUT_MS", "IS_DOWNLOAD_IMAGE_SEND_TIMEOUT_MS", "IS_DOWNLOAD_IMAGE_RECV_TIMEOUT_MS",
    "IS_GET_IMAGE_SEND_TIMEOUT_MS", "IS_GET_IMAGE_RECV_TIMEOUT_MS", "IS_PRINT_SEND_TIMEOUT_MS",
    "IS_PRINT_RECV_TIMEOUT_MS", "IS_GET_THUMBNAIL_SEND_TIMEOUT_MS", "IS_GET_THUMBNAIL_RECV_TIMEOUT_MS",
    "IS_SUBSCRIBE_SEND_TIMEOUT_MS", "IS_SUBSCRIBE_RECV_TIMEOUT_MS", "IS_UNSUBSCRIBE_SEND_TIMEOUT_MS",
    "IS_UNSUBSCRIBE_RECV_TIMEOUT_MS", "ENTRY_DEFAULT_ENABLE_MONITORING", "ENTRY_DEFAULT_HTTP", "ENTRY_DEFAULT_HTTPS",
    "ENTRY_DEFAULT_SSL", "ENTRY_DEFAULT_LOG_MAX", "ENTRY_DEFAULT_REGULAR_CHECK_INTERVAL_MS",
    "ENTRY_DEFAULT_ENABLE_NOTICE", "ENTRY_DEFAULT_ENABLE_EVENT_READ", "ENTRY_DEFAULT_ENABLE_DELETE_MSG",
    "POPUP_EVENT_ERASE_INTERVAL_MS_MIN", "POPUP_EVENT_ERASE_INTERVAL_MS_MAX", "IS_DELETE_SEND_TIMEOUT_MS",
    "IS_DELETE_RECV_TIMEOUT_MS"};

const std::size_t kPrintRecord = 6;

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    boost::algorithm::split(lines, text, [](char c) { return c == '\n'; });
    lines.pop_back();
    return lines;
}

class ConfigTest : public ::testing::Test {
protected:
    ~ConfigTest() override { SetConfigLimits(ConfigLimits()); }

    fs::path File() const { return dir_.Path() / "Hollvik" / "Noctavi" / "config.dat"; }

    // Starts from the file of defaults and overrides keys: the later line wins.
    void WriteOverrides(const std::string& lines)
    {
        fs::remove(File());
        config_.Load();
        std::ofstream(File().string(), std::ios::app) << lines;
    }

    support::TempDir dir_;
    support::ScopedEnv dataHome_{"XDG_DATA_HOME", dir_.Path().string()};
    Config& config_ = Config::GetInstance();
};

TEST_F(ConfigTest, MissingFileIsWrittenWithEveryKeyAtItsDefault)
{
    EXPECT_EQ(GetConfigFilePath(), File().string());
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    config_.Load();
    std::locale::global(previous);

    const std::vector<std::string> lines = Lines(support::ReadFile(File()));
    ASSERT_EQ(lines.size(), 47u);
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_EQ(lines.back(), "VERSION = 1.00");
    std::set<std::string> keys;
    for (const std::string& line : lines)
        keys.insert(line.substr(0, line.find(" = ")));
    keys.erase("VERSION");
    EXPECT_EQ(keys, kKeys);
    for (const char* line : {"PORT = 61000", "ENTRY_DEFAULT_SSL = 1", "ENTRY_DEFAULT_ENABLE_EVENT_READ = 0",
                             "POPUP_EVENT_ERASE_INTERVAL_MS_MAX = 100000000"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
}

TEST_F(ConfigTest, DefaultsAreTheProcessWideStartValues)
{
    config_.Load();
    EXPECT_EQ(config_.GetRegularSerializeInterval(), 300000);
    EXPECT_EQ(config_.GetPopupEventEraseInterval(), 10000);
    EXPECT_FALSE(config_.GetEntryDefaultEnableEventRead());
    EXPECT_TRUE(config_.GetEntryDefaultEnableDeleteMsg());
    for (const HTTP::Timeout& record : config_.GetTimeoutTable())
        EXPECT_EQ(record, (HTTP::Timeout{30000, 1, 30000, 30000}));

    // The copies hold the defaults before any load, so that they agree with a fresh file.
    const ConfigLimits start;
    SetConfigLimits(ConfigLimits{0, 0, {0, 0}, {0, 0}, 0, 0, 0, 0, 0, 0});
    ApplyConfigLimits();
    const ConfigLimits& applied = GetConfigLimits();
    const auto fields = [](const ConfigLimits& l) {
        return std::vector<std::int64_t>{l.EntryMax, l.EventLogMaxLimit, l.RegularCheckInterval.lower(),
                                         l.RegularCheckInterval.upper(), l.PopupEventEraseInterval.lower(),
                                         l.PopupEventEraseInterval.upper(), l.SubscribeResponseLimit, l.Port,
                                         l.SubscribeInterval, l.RetrySubscribeInterval, l.MachineMonitorInterval,
                                         l.DetectedEventQueueSize};
    };
    EXPECT_EQ(fields(applied), fields(start));
    EXPECT_EQ(applied.SubscribeResponseLimit, 180000);
}

TEST_F(ConfigTest, RangePairsMustNotBeInverted)
{
    for (const char* key : {"REGULAR_CHECK_INTERVAL_MS", "POPUP_EVENT_ERASE_INTERVAL_MS"}) {
        WriteOverrides(std::string(key) + "_MIN = 600000\n" + key + "_MAX = 600000\n");
        EXPECT_NO_THROW(config_.Load()) << key;

        WriteOverrides(std::string(key) + "_MIN = 600000\n" + key + "_MAX = 60000\n");
        try {
            config_.Load();
            ADD_FAILURE() << key << ": an inverted range was accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "boost::interval: empty interval created");
        }
    }
    WriteOverrides("REGULAR_CHECK_INTERVAL_MS_MIN = 1000\nREGULAR_CHECK_INTERVAL_MS_MAX = 2000\n");
    config_.Load();
    EXPECT_EQ(config_.GetRegularCheckIntervalRange().lower(), 1000);
    EXPECT_EQ(config_.GetRegularCheckIntervalRange().upper(), 2000);
}

TEST_F(ConfigTest, TimeoutRecordsFollowTheirKeys)
{
    WriteOverrides("HTTP_RETRY = 2\n");
    config_.Load();
    EXPECT_EQ(config_.GetSubscribeResponseLimit(), 360000);

    WriteOverrides("IS_PRINT_SEND_TIMEOUT_MS = 1234\nHTTP_CONNECT_TIMEOUT_MS = 5\n");
    config_.Load();
    const Config::TimeoutTable& table = config_.GetTimeoutTable();
    for (std::size_t kind = 0; kind < table.size(); ++kind) {
        EXPECT_EQ(table[kind].ConnectTimeout, 5) << kind;
        EXPECT_EQ(table[kind].SendTimeout, kind == kPrintRecord ? 1234 : 30000) << kind;
        EXPECT_EQ(table[kind].ReceiveTimeout, 30000) << kind;
    }
    // The requests to machines take the table from here.
    ApplyConfigLimits();
    EXPECT_EQ(IS::GetTimeout(IS::RequestKind::Print).SendTimeout, 1234);
    EXPECT_EQ(IS::GetTimeout(IS::RequestKind::Delete).ConnectTimeout, 5);
    IS::SetConfiguration(IS::Config());

    WriteOverrides("HTTP_CONNECT_TIMEOUT_MS = 2000000000\nIS_SUBSCRIBE_SEND_TIMEOUT_MS = 2000000000\n"
                   "IS_SUBSCRIBE_RECV_TIMEOUT_MS = 2000000000\nHTTP_RETRY = 1000\n");
    config_.Load();
    EXPECT_EQ(config_.GetSubscribeResponseLimit(), INT64_C(12000000000000));

    WriteOverrides("HTTP_CONNECT_TIMEOUT_MS = 2000000000\nIS_SUBSCRIBE_SEND_TIMEOUT_MS = 2000000000\n"
                   "IS_SUBSCRIBE_RECV_TIMEOUT_MS = 2000000000\nHTTP_RETRY = 2000000000\n");
    config_.Load();
    EXPECT_EQ(config_.GetSubscribeResponseLimit(), std::numeric_limits<std::int64_t>::max());
}

TEST_F(ConfigTest, ValuesTheProgramCannotRunWithAreRefused)
{
    for (const char* line : {"ENTRY_MAX = 0", "EVENT_LOG_MAX_LIMIT = 0", "DETECTED_EVENT_QUEUE_SIZE = -1",
                             "SUBSCRIBE_INTERVAL_MS = 0", "REGULAR_CHECK_INTERVAL_MS_MIN = 0", "PORT = 70000",
                             "HTTP_RETRY = 0", "PORT = abc", "ENTRY_MAX = 99999999999", "ENTRY_DEFAULT_SSL = yes"}) {
        WriteOverrides(std::string(line) + "\n");
        try {
            config_.Load();
            ADD_FAILURE() << line << " was accepted";
        } catch (const InvalidSetting& e) {
            EXPECT_EQ(std::string(line).rfind(e.GetKey() + " = ", 0), 0u) << e.what();
        }
    }
}

TEST_F(ConfigTest, DefectiveFileIsRewrittenBesideABackup)
{
    fs::create_directories(File().parent_path());
    std::ofstream(File().string()) << "ENTRY_MAX = 5\nVERSION = 1.00\n";
    config_.Load();
    EXPECT_EQ(config_.GetEntryMax(), 5);
    EXPECT_EQ(config_.GetPort(), 61000);
    EXPECT_EQ(support::ReadFile(File().parent_path() / "config.bak"), "ENTRY_MAX = 5\nVERSION = 1.00\n");
    const std::string rewritten = support::ReadFile(File());
    EXPECT_EQ(Lines(rewritten).size(), 47u);
    EXPECT_NE(rewritten.find("ENTRY_MAX = 5\n"), std::string::npos);
}

TEST_F(ConfigTest, EntryDefaultsComeFromTheirKeys)
{
    config_.Load();
    const MonitoredEntry::EntryProperty& defaults = config_.GetEntryDefaults();
    EXPECT_TRUE(defaults.GetMonitoring());
    EXPECT_EQ(defaults.GetMFP(), MonitoredEntry::MFP(boost::none, L"", 80, 443, true));
    EXPECT_EQ(defaults.GetUser(), MonitoredEntry::User());
    const MonitoredEntry::Config& entry = defaults.GetConfig();
    EXPECT_EQ(entry.GetLogMax(), 25);
    EXPECT_EQ(entry.GetInterval(), 1800000);
    EXPECT_TRUE(entry.GetNotice());
    EXPECT_EQ(entry.GetEraseTime(), 10000);
    EXPECT_FALSE(entry.GetEventRead());
    EXPECT_TRUE(entry.GetDeleteMsg());

    WriteOverrides("ENTRY_DEFAULT_SSL = 0\nENTRY_DEFAULT_HTTP = 8080\nPOPUP_EVENT_ERASE_INTERVAL_MS = 0\n"
                   "ENTRY_DEFAULT_ENABLE_EVENT_READ = 1\n");
    config_.Load();
    EXPECT_EQ(config_.GetEntryDefaults().GetMFP(), MonitoredEntry::MFP(boost::none, L"", 8080, 443, false));
    EXPECT_EQ(config_.GetEntryDefaults().GetConfig().GetEraseTime(), 0);
    EXPECT_TRUE(config_.GetEntryDefaults().GetConfig().GetEventRead());
}

TEST_F(ConfigTest, NewerVersionFailsTheLoad)
{
    WriteOverrides("VERSION = 2.00\n");
    EXPECT_THROW(config_.Load(), pelmo::nonsupport_version);
}

} // namespace
