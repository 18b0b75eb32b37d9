#include <Noctavi/System/Config.h>
#include <Noctavi/Utility/SearchAgent.h>
#include <Noctavi/Utility/SearchOptions.h>

#include <support/FakeResponder.h>
#include <support/ScopedEnv.h>
#include <support/ScopedSearchOptions.h>

#include <pelmo/communication_failure.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <tuple>

namespace MonitoredEntry {

void PrintTo(const MFP& machine, std::ostream* out)
{
    const auto port = [](const boost::optional<int>& p) { return p ? std::to_string(*p) : std::string("none"); };
    *out << '{' << (machine.GetName() ? std::string(machine.GetName()->begin(), machine.GetName()->end()) : "none")
         << ", " << std::string(machine.GetHost().begin(), machine.GetHost().end()) << ", " << port(machine.GetHTTP())
         << ", " << port(machine.GetHTTPS()) << ", " << machine.GetSSL() << '}';
}

} // namespace MonitoredEntry

namespace {

using MonitoredEntry::MFP;
using support::FakeResponder;
using support::PublishedHost;
using Type = support::PublishedService::Type;

const std::string kNul("\0", 1);

// A search's machine: what the round found over a new entry's defaults.
MFP Found(const wchar_t* name, const std::wstring& host, int http, int https)
{
    return MFP(name ? boost::make_optional(std::wstring(name)) : boost::none, host, http, https,
               Config::GetInstance().GetEntryDefaults().GetMFP().GetSSL());
}

std::vector<MFP> SortedByHost(std::vector<MFP> machines)
{
    std::sort(machines.begin(), machines.end(),
              [](const MFP& a, const MFP& b) { return a.GetHost() < b.GetHost(); });
    return machines;
}

// No search of these tests leaves the machine: those that a test does not
// point at its own responder go where nothing answers.
class NowhereSearches : public testing::Environment {
public:
    void SetUp() override { nowhere_.emplace(support::NowhereTarget()); }
    void TearDown() override { nowhere_.reset(); }

private:
    std::optional<support::ScopedSearchOptions> nowhere_;
};

testing::Environment* const kNowhereSearches = testing::AddGlobalTestEnvironment(new NowhereSearches);

class SearchAgentTest : public testing::Test {
protected:
    FakeResponder responder_{"127.0.0.30"};
    const support::ScopedSearchOptions searches_{responder_};
};

TEST(SearchOptions, NoTestSearchesTheMulticastGroup)
{
    EXPECT_TRUE(support::IsLoopback(Utility::GetSearchOptions().target.address));
}

// The name is the instance name, else the printer's "ty", else none; ports
// come from the web services, present even when 0.
TEST_F(SearchAgentTest, GetResultsListsOnlyTheLastRoundsMachines)
{
    responder_.Publish({"127.0.0.31", "office.local",
                        {{Type::Ipp, "Office MFP", 631, {"ty=Maker X"}},
                         {Type::Http, "Office MFP", 8080, {}},
                         {Type::Https, "Office MFP", 8443, {}}}});
    responder_.Publish({"127.0.0.32", "unnamed.local", {{Type::Ipp, kNul, 631, {"ty=Maker Y"}}}});
    responder_.Publish({"127.0.0.33", "blank.local", {{Type::Http, kNul, 0, {}}, {Type::Https, kNul, 0, {}}}});
    SearchAgent agent;
    EXPECT_EQ(SortedByHost(agent.GetResults()), (std::vector<MFP>{Found(L"Office MFP", L"127.0.0.31", 8080, 8443),
                                                                   Found(L"Maker Y", L"127.0.0.32", 80, 443),
                                                                   Found(nullptr, L"127.0.0.33", 0, 0)}));

    responder_.Withdraw("127.0.0.31");
    responder_.Withdraw("127.0.0.32");
    EXPECT_EQ(agent.GetResults(), std::vector<MFP>{Found(nullptr, L"127.0.0.33", 0, 0)});
}

TEST_F(SearchAgentTest, SearchGivesThePickedMachineElseTheFirstFoundElseAnEmptyOne)
{
    SearchAgent lonely;
    EXPECT_EQ(lonely.Search(), Found(nullptr, L"", 0, 0));

    responder_.Publish({"127.0.0.34", "first.local", {{Type::Ipp, "First", 631, {}}}});
    EXPECT_EQ(SearchAgent().Search(), Found(L"First", L"127.0.0.34", 80, 443));

    responder_.Publish({"127.0.0.35", "second.local", {{Type::Ipp, "Second", 631, {}}}});
    SearchAgent picking([](const SearchAgent::Round& round) -> boost::optional<std::size_t> {
        const auto listed = round();
        const auto second = std::find_if(listed->begin(), listed->end(),
                                         [](const MFP& machine) { return machine.GetHost() == L"127.0.0.35"; });
        return second - listed->begin();
    });
    ASSERT_TRUE(picking.Probe());
    responder_.Withdraw("127.0.0.35");
    EXPECT_EQ(picking.Search(), Found(L"Second", L"127.0.0.35", 80, 443));

    SearchAgent cancelling([](const SearchAgent::Round& round) -> boost::optional<std::size_t> {
        round();
        return boost::none;
    });
    EXPECT_FALSE(cancelling.Probe());
}

TEST(SearchAgent, ARoundThatCannotUseTheNetworkIsACommunicationFailure)
{
    const support::ScopedSearchOptions unusable(discovery::endpoint{"127.0.0.1", 0});
    SearchAgent agent([](const SearchAgent::Round& round) -> boost::optional<std::size_t> {
        EXPECT_FALSE(round());
        return boost::none;
    });
    EXPECT_THROW(agent.Search(), pelmo::communication_failure);
    EXPECT_THROW(agent.GetResults(), pelmo::communication_failure);
    EXPECT_THROW(agent.Probe(), pelmo::communication_failure);
}

// A target that does not parse is one that every round refuses.
TEST(SearchOptions, TakeTheTargetFromTheEnvironmentButNeverFallBackToTheMulticastGroup)
{
    const std::optional<discovery::round_options> unset = Utility::SetSearchOptions(std::nullopt);
    for (const auto& [value, address, port] :
         {std::tuple<const char*, const char*, int>{"127.0.0.9:5354", "127.0.0.9", 5354},
          {"127.0.0.9", "", 0}, {"127.0.0.9:99999", "", 0}, {"127.0.0.9:-1", "", 0}, {":", "", 0}}) {
        const support::ScopedEnv target("NOCTAVI_SEARCH_TARGET", value);
        EXPECT_EQ(Utility::GetSearchOptions().target.address, address) << value;
        EXPECT_EQ(Utility::GetSearchOptions().target.port, port) << value;
    }
    Utility::SetSearchOptions(unset);
}

} // namespace
