#include "Identity.h"

#include <Noctavi/Monitor/EventSignal.h>

#include <support/UnresolvableHost.h>
#include <support/WaitUntil.h>

#include <boost/asio/ip/address.hpp>

#include <gtest/gtest.h>

namespace {

using support::UnresolvableHost;
using testvalues::Identity;

bool Matches(const char* sender, const MonitoredEntry::Distinction& identity)
{
    return Monitor::EventSignal(boost::asio::ip::make_address(sender)).Matches(identity);
}

// Names come only from the hosts file ("localhost"), never from a name
// server; a name matches once its lookup, which runs aside, has ended.
TEST(EventSignal, MatchesAMachineWhoseHostResolvesToTheSender)
{
    EXPECT_TRUE(support::WaitUntil([] { return Matches("127.0.0.1", Identity(L"localhost")); }));
    EXPECT_TRUE(Matches("127.0.0.2", Identity(L"127.0.0.2")));
    EXPECT_TRUE(Matches("127.0.0.2", Identity(L"127.0.0.2", true, 443)));
    EXPECT_TRUE(Matches("127.0.0.2", Identity(L"127.0.0.2", true)));
    EXPECT_FALSE(Matches("127.0.0.3", Identity(L"127.0.0.2")));
    EXPECT_FALSE(Matches("127.0.0.2", Identity(L"localhost")));
    EXPECT_FALSE(Matches("127.0.0.2", Identity(L"")));
    EXPECT_FALSE(Matches("127.0.0.2", Identity(UnresolvableHost())));
    EXPECT_FALSE(Matches("127.0.0.2", Identity(UnresolvableHost(), true, 443)));
}

} // namespace
