#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/System/ConfigLimits.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using MonitoredEntry::Config;

class EntryConfig : public ::testing::Test {
protected:
    EntryConfig() { SetConfigLimits(ConfigLimits()); }
    ~EntryConfig() override { SetConfigLimits(ConfigLimits()); }

    // Valid with the default limits; each check changes one field.
    Config valid_{25, 1800000, true, 10000, false, true};
};

TEST_F(EntryConfig, BoundsAreInclusiveAtBothEnds)
{
    struct Case {
        void (Config::*set)(int);
        int value;
        bool valid;
    };
    const Case cases[] = {
        {&Config::SetLogMax, 0, false},           {&Config::SetLogMax, 1, true},
        {&Config::SetLogMax, 50, true},           {&Config::SetLogMax, 51, false},
        {&Config::SetInterval, 59999, false},     {&Config::SetInterval, 60000, true},
        {&Config::SetInterval, 3600000, true},    {&Config::SetInterval, 3600001, false},
        {&Config::SetEraseTime, -1, false},       {&Config::SetEraseTime, 0, true},
        {&Config::SetEraseTime, 100000000, true}, {&Config::SetEraseTime, 100000001, false},
    };
    EXPECT_FALSE(Config().IsValid());
    EXPECT_TRUE(valid_.IsValid());
    for (const Case& c : cases) {
        Config config = valid_;
        (config.*c.set)(c.value);
        EXPECT_EQ(config.IsValid(), c.valid) << c.value;
    }
    Config flags = valid_;
    flags.SetNotice(false);
    flags.SetEventRead(true);
    flags.SetDeleteMsg(false);
    EXPECT_TRUE(flags.IsValid());
}

TEST_F(EntryConfig, BoundsComeFromTheProcessWideLimits)
{
    ConfigLimits limits;
    limits.EventLogMaxLimit = 10;
    limits.RegularCheckInterval = ConfigLimits::Range(1000, 2000);
    SetConfigLimits(limits);
    EXPECT_FALSE(valid_.IsValid());
    Config config = valid_;
    config.SetLogMax(10);
    config.SetInterval(2000);
    EXPECT_TRUE(config.IsValid());

    limits.EventLogMaxLimit = 0;
    SetConfigLimits(limits);
    try {
        config.IsValid();
        ADD_FAILURE() << "an event-log limit of 0 was accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "boost::interval: empty interval created");
    }
}

} // namespace
