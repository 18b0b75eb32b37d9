#include "Identity.h"
#include "SignalRecorder.h"

#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/Monitor/HostAddresses.h>

#include <support/FakeMachine.h>
#include <support/ScopedSettings.h>
#include <support/UnresolvableHost.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/system/system_error.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace {

using testvalues::Clock;
using testvalues::SignalRecorder;
using Senders = std::vector<std::string>;

const char kReceiver[] = "127.0.0.1";

class EventSignalReceiverTest : public ::testing::Test {
protected:
    EventSignalReceiverTest() { receiver.Attach(&observer); }

    void Send(const std::string& from, std::size_t size = 1)
    {
        support::SendDatagram(from, kReceiver, static_cast<std::uint16_t>(receiver.GetPort()), size);
    }

    // Declared before the receiver, whose threads call them until it stops.
    support::ScopedSettings settings;
    SignalRecorder observer;
    SignalRecorder second;
    Monitor::EventSignalReceiver receiver;
};

// The bound on the delay leaves room for sanitizers under load; a receiver
// that polled instead of waiting on the socket would still miss it.
TEST_F(EventSignalReceiverTest, PassesOnEveryDatagramOfOneByteOrMoreWithItsSender)
{
    receiver.Start();
    const Clock::time_point sent = Clock::now();
    Send("127.0.0.2");
    ASSERT_TRUE(observer.WaitForSignals(1));
    EXPECT_LT(observer.lastAt - sent, std::chrono::milliseconds(500));

    // Datagrams from one socket arrive in order: had the empty one been
    // passed on, it would come before the last.
    Send("127.0.0.3", 0);
    Send("127.0.0.4", 200);
    ASSERT_TRUE(observer.WaitForSignals(2));
    EXPECT_EQ(observer.Received(), (Senders{"127.0.0.2", "127.0.0.4"}));
}

TEST_F(EventSignalReceiverTest, NeitherAnUnresolvableHostNorAFailingObserverStopsReceiving)
{
    second.probed = testvalues::Identity(support::UnresolvableHost());
    observer.failing = true;
    receiver.Attach(&second);
    EXPECT_FALSE(receiver.Attach(&second));
    receiver.Start();
    Send("127.0.0.2");
    Send("127.0.0.3");
    ASSERT_TRUE(second.WaitForSignals(2));
    EXPECT_EQ(observer.Received(), (Senders{"127.0.0.2", "127.0.0.3"}));
    EXPECT_EQ(second.matches, (std::vector<bool>{false, false}));
    EXPECT_TRUE(receiver.Detach(&second));
    EXPECT_FALSE(receiver.Detach(&second));
}

// Half the cycles get two datagrams while the receiver is stopped: each is
// delivered once after the next start, with its own sender, which a second
// receive into the same buffer would mix up.
TEST_F(EventSignalReceiverTest, RestartsDeliverEveryDatagramExactlyOnce)
{
    Senders sent;
    const auto send = [&](const char* from) {
        Send(from);
        sent.push_back(from);
    };
    for (int cycle = 0; cycle < 100; ++cycle) {
        const bool whileStopped = cycle % 2 == 0;
        if (whileStopped) {
            send("127.0.0.2");
            send("127.0.0.3");
        }
        receiver.Start();
        if (!whileStopped)
            send("127.0.0.4");
        ASSERT_TRUE(observer.WaitForSignals(sent.size())) << "cycle " << cycle;
        receiver.Stop();
    }
    receiver.Start();
    send("127.0.0.5");
    ASSERT_TRUE(observer.WaitForSignals(sent.size()));
    EXPECT_EQ(observer.Received(), sent);
}

// Stop interrupts the threads, which lets an observer that waits
// interruptibly go; receiving then resumes with the next start.
TEST_F(EventSignalReceiverTest, StopReturnsWhileAnObserverIsHeld)
{
    observer.gate.Close();
    receiver.Start();
    Send("127.0.0.2");
    ASSERT_TRUE(observer.gate.WaitForHeld(1));
    std::future<void> stopped = std::async(std::launch::async, [&] { receiver.Stop(); });
    const bool returned = stopped.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    observer.gate.Open();
    stopped.get();
    ASSERT_TRUE(returned);

    receiver.Start();
    Send("127.0.0.3");
    ASSERT_TRUE(observer.WaitForSignals(2));
    EXPECT_EQ(observer.Received().back(), "127.0.0.3");
}

// Puts a resolver in the system's place for the test's length.
class ScopedResolver {
public:
    explicit ScopedResolver(Monitor::HostAddresses::Resolver resolver)
        : previous_(Monitor::HostAddresses::Get().SetResolver(std::move(resolver)))
    {
    }
    ~ScopedResolver() { Monitor::HostAddresses::Get().SetResolver(previous_); }
    ScopedResolver(const ScopedResolver&) = delete;
    ScopedResolver& operator=(const ScopedResolver&) = delete;

private:
    Monitor::HostAddresses::Resolver previous_;
};

// The name server never answers for one machine's name: a datagram from
// another, already resolved, still matches, and stopping does not wait for
// the lookup that hangs.
TEST_F(EventSignalReceiverTest, AHangingLookupHoldsUpNeitherSignalsNorStop)
{
    const auto lookup = std::make_shared<support::Gate>();
    lookup->Close();
    const ScopedResolver resolver([lookup](const std::string& host) {
        if (host == "hanging.test")
            lookup->Pass();
        return Monitor::HostAddresses::AddressList{boost::asio::ip::make_address("127.0.0.2")};
    });
    Monitor::HostAddresses::Get().Refresh(L"printer.test");
    ASSERT_TRUE(support::WaitUntil([] { return !Monitor::HostAddresses::Get().Find(L"printer.test").empty(); }));
    observer.probed = testvalues::Identity(L"hanging.test");
    second.probed = testvalues::Identity(L"printer.test");
    receiver.Attach(&second);
    receiver.Start();
    Send("127.0.0.2");
    ASSERT_TRUE(second.WaitForSignals(1));
    EXPECT_EQ(observer.matches, std::vector<bool>{false});
    EXPECT_EQ(second.matches, std::vector<bool>{true});
    ASSERT_TRUE(lookup->WaitForHeld(1));
    std::future<void> stopped = std::async(std::launch::async, [&] { receiver.Stop(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    lookup->Open();
}

TEST(EventSignalReceiver, APortThatCannotBeBoundFailsTheConstruction)
{
    boost::asio::io_context io;
    boost::asio::ip::udp::socket holder(io, boost::asio::ip::udp::endpoint(boost::asio::ip::address_v4::any(), 0));
    for (const int port : {int(holder.local_endpoint().port()), 65536, -1}) {
        SCOPED_TRACE(port);
        ConfigLimits limits = support::ScopedSettings::TestLimits();
        limits.Port = port;
        support::ScopedSettings settings(limits);
        EXPECT_THROW(Monitor::EventSignalReceiver(), boost::system::system_error);
    }
}

} // namespace
