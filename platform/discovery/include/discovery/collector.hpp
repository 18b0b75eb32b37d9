#ifndef DISCOVERY_COLLECTOR_HPP
#define DISCOVERY_COLLECTOR_HPP

#include <discovery/machine.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discovery {

// What one round has learnt from its replies, and what it still has to ask.
//
// Everything in a reply comes from whoever sent it: a datagram that does not
// parse (bad lengths, compression loops), that answers another query or that
// holds more records than any reply needs is dropped whole, and the records
// kept per round are bounded, so neither memory nor work grows with what a
// sender makes up.
class collector {
public:
    // One question of a query: a name in DNS wire form and a record type.
    struct question {
        std::string name;
        std::uint16_t type;
    };

    // For the replies to queries with this ID.
    explicit collector(std::uint16_t query_id, std::size_t max_machines = 64);
    collector(const collector&) = delete;
    collector& operator=(const collector&) = delete;
    ~collector();

    // Takes the PTR, SRV, TXT and A records of every section of one datagram;
    // false, taking nothing, when the datagram is dropped.
    bool add(const std::uint8_t* data, std::size_t size);

    // The questions not given before whose answers the machines still lack:
    // at first the three service types; then SRV of every instance without
    // one, TXT of every printing service without one, and A of every SRV
    // target without an address.
    std::vector<question> take_questions();

    // The instances whose SRV target has an address, joined by that address,
    // at most max_machines of them, in the order their instances came.
    std::vector<machine> machines() const;

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

} // namespace discovery

#endif
