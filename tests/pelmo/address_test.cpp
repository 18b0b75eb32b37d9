#include <pelmo/network/address.hpp>

#include <gtest/gtest.h>

#include <string>

namespace {

using pelmo::network::is_host_name;
using pelmo::network::is_ipv4_address;

TEST(Address, Ipv4AcceptsEveryOctetValueWithoutLeadingZeros)
{
    for (int octet = 0; octet <= 255; ++octet) {
        const std::string text = "10.0." + std::to_string(octet) + ".1";
        EXPECT_TRUE(is_ipv4_address(text)) << text;
    }
    EXPECT_TRUE(is_ipv4_address("192.168.0.1"));
    EXPECT_TRUE(is_ipv4_address("255.255.255.255"));
    EXPECT_TRUE(is_ipv4_address("0.0.0.0"));
}

TEST(Address, Ipv4RefusesWrongShapesAndValues)
{
    for (const char* text : {"192.168.0", "192.168.0.1.5", "192.168.000.1", "1.2.3.256", "01.2.3.4",
                             "1.2.3.04", "256.1.1.1", "260.1.1.1", "300.1.1.1", "1000.1.1.1", "1..2.3",
                             ".1.2.3", "1.2.3.", "", " 1.2.3.4", "1.2.3.4 ", "1.2. 3.4", "1.2.3.a",
                             "\xd9\xa1.2.3.4"})
        EXPECT_FALSE(is_ipv4_address(text)) << text;
}

TEST(Address, HostNameLabels)
{
    for (const char* text : {"my_host-1.example", "a", "a.b", "printer", "A-1_b.Example.COM", "x--y", "192.168.000.1"})
        EXPECT_TRUE(is_host_name(text)) << text;
    for (const char* text : {"", "-host", "host-", "_host", "host_", "a..b", ".host", "host.", "a.-b.c",
                             "my host", " host", "host ", "h\xc3\xa9te", "host:80", "a.b_"})
        EXPECT_FALSE(is_host_name(text)) << text;
}

TEST(Address, HostNameLengthLimitComesFirst)
{
    const std::string label(63, 'a');
    const std::string longest = label + "." + label + "." + label + "." + label;
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_TRUE(is_host_name(longest));
    EXPECT_FALSE(is_host_name(longest + "c"));

    // No per-label limit applies; only the whole text's.
    EXPECT_TRUE(is_host_name(std::string(255, 'a')));
    EXPECT_FALSE(is_host_name(std::string(256, 'a')));
    EXPECT_FALSE(is_host_name(std::string(100000, 'a')));
}

} // namespace
