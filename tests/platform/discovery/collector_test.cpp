#include <discovery/collector.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const std::uint16_t kId = 0x1234;

// A reply's header: our ID, the response flag, no questions, and the counts.
std::string Reply(std::uint8_t answers, std::uint8_t additional)
{
    return std::string("\x12\x34\x84\x00\x00\x00\x00", 7) + char(answers) + std::string("\x00\x00\x00", 3) +
           char(additional);
}

// A record of the type owned by the root name, with no data.
std::string Record(std::uint8_t type)
{
    return std::string("\x00\x00", 2) + char(type) + std::string("\x00\x01\x00\x00\x00\x00\x00\x00", 8);
}

const std::string kAddress = std::string("\x04host\x05local\x00\x00\x01\x00\x01\x00\x00\x00\x78\x00\x04\x7f\x00\x00\x05", 26);
const std::string kPointerAddress = std::string("\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x78\x00\x04\x7f\x00\x00\x06", 16);

TEST(Collector, TakesWellFormedRepliesAndDropsThoseTheWalkRefuses)
{
    const struct {
        const char* what;
        std::string datagram;
        bool taken;
    } cases[] = {
        {"an address, then one named by a pointer", Reply(2, 0) + kAddress + kPointerAddress, true},
        {"one signature", Reply(1, 2) + kAddress + Record(250) + Record(1), false},
        {"two signatures before another record", Reply(0, 3) + Record(250) + Record(250) + Record(1), false},
        {"a count beyond the datagram", Reply(3, 0) + kAddress, false},
        {"data running past the end", Reply(1, 0) + kAddress.substr(0, kAddress.size() - 1), false},
        {"a label longer than 63", Reply(1, 0) + char(64) + kAddress.substr(1), false},
    };
    for (const auto& c : cases) {
        discovery::collector replies(kId);
        EXPECT_EQ(replies.add(reinterpret_cast<const std::uint8_t*>(c.datagram.data()), c.datagram.size()), c.taken)
            << c.what;
    }
}

} // namespace
