#include <discovery/round.hpp>

#include <support/FakeResponder.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ostream>
#include <tuple>

namespace discovery {

bool operator==(const machine& a, const machine& b)
{
    return std::tie(a.address, a.name, a.type_name, a.http_port, a.https_port) ==
           std::tie(b.address, b.name, b.type_name, b.http_port, b.https_port);
}

void PrintTo(const machine& m, std::ostream* out)
{
    *out << '{' << m.address << ", \"" << m.name << "\", \"" << m.type_name << "\", " << m.http_port << ", "
         << m.https_port << '}';
}

} // namespace discovery

namespace {

using support::FakeResponder;
using support::PublishedHost;
using Type = support::PublishedService::Type;

// A printer, its name in all three services and an IPP TXT record as long as
// a real printer's, which leaves no room for it in the first reply; a copier
// whose name holds dots and spaces, without web services; a web-only device
// whose services sit on port 0; and a printer whose name starts with a NUL.
std::vector<PublishedHost> Link()
{
    const std::string longText = "note=" + std::string(200, 'x');
    return {
        {"127.0.0.21", "office-mfp.local",
         {{Type::Ipp, "Office MFP", 631, {"txtvers=1", "ty=Maker X 5000", longText, longText}},
          {Type::Http, "Office MFP web", 8080, {}},
          {Type::Https, "Office MFP secure", 8443, {}}}},
        {"127.0.0.22", "floor2.local", {{Type::Ipp, "Floor 2. Copier (east)", 631, {"TY=Maker Y"}}}},
        {"127.0.0.23", "router.local", {{Type::Http, "Router", 0, {}}, {Type::Https, "Router", 0, {}}}},
        {"127.0.0.24", "nul.local", {{Type::Ipp, std::string("\0hidden", 7), 631, {"ty=Maker Z"}}}},
    };
}

const std::vector<discovery::machine> kFound = {
    {"127.0.0.21", "Office MFP", "Maker X 5000", 8080, 8443},
    {"127.0.0.22", "Floor 2. Copier (east)", "Maker Y", 80, 443},
    {"127.0.0.23", "Router", "", 0, 0},
    {"127.0.0.24", "", "Maker Z", 80, 443},
};

void PublishLink(FakeResponder& responder)
{
    for (const PublishedHost& host : Link())
        responder.Publish(host);
}

discovery::round_options Options(const FakeResponder& responder)
{
    discovery::round_options options;
    options.target = {responder.Address(), responder.Port()};
    return options;
}

std::vector<discovery::machine> RunSorted(const discovery::round_options& options)
{
    std::vector<discovery::machine> found;
    EXPECT_EQ(discovery::run_round(options, found), discovery::result::success);
    std::sort(found.begin(), found.end(),
              [](const discovery::machine& a, const discovery::machine& b) { return a.address < b.address; });
    return found;
}

// With full replies the long TXT record must be asked for on its own; with
// bare answers every SRV, TXT and A record.
class Round : public testing::TestWithParam<bool> {
};

TEST_P(Round, JoinsEachHostsServicesByAddressAskingForWhatTheRepliesLacked)
{
    FakeResponder responder("127.0.0.20");
    PublishLink(responder);
    responder.SetAnswersOnly(GetParam());
    EXPECT_EQ(RunSorted(Options(responder)), kFound);
}

INSTANTIATE_TEST_SUITE_P(FullAndBareReplies, Round, testing::Bool());

// As responders send their SRV, TXT and A records: class IN with the top bit set.
TEST(Round, ReadsRecordsThatCarryTheCacheFlushBit)
{
    FakeResponder responder("127.0.0.30");
    PublishLink(responder);
    responder.SetCacheFlush(true);
    EXPECT_EQ(RunSorted(Options(responder)), kFound);
}

// Multicast DNS allows datagrams of up to 9000 bytes; a larger one, cut by
// the receive buffer, must not be read as if whole.
TEST(Round, TakesRepliesUpToTheLargestDatagramAndDropsLargerOnes)
{
    const std::pair<std::size_t, std::size_t> cases[] = {{9000, 1}, {9001, 0}};
    for (const auto& [size, found] : cases) {
        FakeResponder responder("127.0.0.31");
        responder.Publish(Link()[1]);
        responder.SetReplySize(size);
        EXPECT_EQ(RunSorted(Options(responder)).size(), found) << size << " bytes";
    }
}

TEST(Round, AsksAgainForWhatWasLost)
{
    FakeResponder responder("127.0.0.27");
    PublishLink(responder);
    responder.SetLoss([](const std::string&, std::size_t asked) { return asked == 1; });
    EXPECT_EQ(RunSorted(Options(responder)), kFound);
}

// The printing service's instance named only where the replies about the web
// services bring its name.
TEST(Round, AsksAfterEveryNameUnderEveryService)
{
    FakeResponder responder("127.0.0.28");
    PublishLink(responder);
    responder.Publish({"127.0.0.29", "queue.local",
                       {{Type::Ipp, "Queue 1", 631, {"ty=Maker Q"}}, {Type::Http, "Queue 1", 8000, {}}}});
    responder.SetLoss([](const std::string& question, std::size_t) { return question == "_ipp._tcp.local. PTR"; });
    const std::vector<discovery::machine> found = RunSorted(Options(responder));
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.back(), (discovery::machine{"127.0.0.29", "Queue 1", "Maker Q", 8000, 443}));
}

TEST(Round, KeepsNoMoreMachinesThanAllowed)
{
    FakeResponder responder("127.0.0.25");
    PublishLink(responder);
    discovery::round_options options = Options(responder);
    options.max_machines = 2;
    EXPECT_EQ(RunSorted(options).size(), 2u);
}

TEST(Round, IgnoresHostileRepliesAndEndsInTime)
{
    FakeResponder responder("127.0.0.26");
    PublishLink(responder);
    responder.SetMalformed(true);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunSorted(Options(responder)), kFound);
    EXPECT_LT(std::chrono::steady_clock::now() - start, Options(responder).duration + std::chrono::seconds(2));
}

TEST(Round, ReportsATargetItCannotSendToAsANetworkFailure)
{
    for (const discovery::endpoint& target : {discovery::endpoint{"127.0.0.1", 0}, discovery::endpoint{"", 0},
                                              discovery::endpoint{"printer.local", 5353}}) {
        discovery::round_options options;
        options.target = target;
        std::vector<discovery::machine> found(1);
        errno = 0;
        EXPECT_EQ(discovery::run_round(options, found), discovery::result::network_failure) << target.address;
        EXPECT_NE(errno, 0) << target.address;
        EXPECT_TRUE(found.empty()) << target.address;
    }
}

} // namespace
