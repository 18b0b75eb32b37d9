#include <Noctavi/HTTP/Error.h>
#include <Noctavi/HTTP/ServerError.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>

#include <gmock/gmock.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines;

void Record(const char* category, const std::string& message)
{
    lines.push_back(std::string(category) + " | " + message);
}

void Swallow(void (*fail)(), const std::string& failed)
{
    try {
        fail();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, failed);
    }
}

// A swallowed failure leaves one line in its category with why, when the
// exception tells; with no sink set, or the sink reset, nothing is written.
TEST(Trace, ASwallowedFailureLeavesWhatFailedAndWhyInTheSink)
{
    lines.clear();
    Swallow([] { throw std::runtime_error("refused"); }, "before the sink");
    Utility::SetTraceSink(&Record);
    Swallow([] { throw std::runtime_error("refused"); }, "unsubscribing failed");
    Swallow([] { throw 7; }, "the look-up failed");
    Swallow([] { PELMO_THROW(HTTP::ServerError() << HTTP::HttpStatus(503)); }, "the fetch failed");
    Utility::SetTraceSink(nullptr);
    Swallow([] { throw 7; }, "after the sink");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "noctavi.monitor | unsubscribing failed: std::runtime_error: refused");
    EXPECT_EQ(lines[1], "noctavi.monitor | the look-up failed: an exception of unknown type");
    EXPECT_THAT(lines[2], testing::StartsWith("noctavi.monitor | the fetch failed: "));
    EXPECT_THAT(lines[2], testing::HasSubstr("HTTP::ServerError"));
    EXPECT_THAT(lines[2], testing::HasSubstr("503"));
    EXPECT_THAT(lines[2], testing::Not(testing::HasSubstr("\n")));
}

} // namespace
