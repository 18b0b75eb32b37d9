#include <Noctavi/Utility/Trace.h>

#include <gtest/gtest.h>

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
    Utility::SetTraceSink(nullptr);
    Swallow([] { throw 7; }, "after the sink");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "noctavi.monitor | unsubscribing failed: std::runtime_error: refused",
                         "noctavi.monitor | the look-up failed: an exception of unknown type",
                     }));
}

} // namespace
