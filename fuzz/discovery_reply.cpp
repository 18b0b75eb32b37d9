// Feeds arbitrary bytes, as the datagrams of one round, to the machine
// search's reply reader, which must take or drop each without reading out of
// bounds or looping, and then join what it took. The first two bytes are the
// round's query ID, so that most inputs get past the ID check; every second
// datagram counts as come to port 5353, where ID 0 passes too. However the
// datagrams join, no more machines come out than allowed, each with an address.
#include "Check.h"

#include <discovery/collector.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Inputs may hold several datagrams, split where this occurs.
constexpr std::string_view kSeparator("\xFF\xFE\xFD\xFC", 4);
constexpr std::size_t kMaxMachines = 8;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    discovery::collector replies(static_cast<std::uint16_t>(data[0] << 8 | data[1]), kMaxMachines);
    replies.take_questions();
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    for (bool to_group_port = false; !rest.empty(); to_group_port = !to_group_port) {
        const std::size_t end = rest.find(kSeparator);
        const std::string_view datagram = rest.substr(0, end);
        if (replies.add(reinterpret_cast<const std::uint8_t*>(datagram.data()), datagram.size(), to_group_port))
            replies.repeat_questions();
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + kSeparator.size());
    }
    const std::vector<discovery::machine> machines = replies.machines();
    fuzz::Check(machines.size() <= kMaxMachines);
    for (const discovery::machine& machine : machines)
        fuzz::Check(!machine.address.empty());
    return 0;
}
