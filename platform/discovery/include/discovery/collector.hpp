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
    // One question of a query: a name in DNS wire form and a record type;
    // for a service type's PTR, the instances known in full, in wire form,
    // for a query that may list them as known answers.
    struct question {
        std::string name;
        std::uint16_t type;
        std::vector<std::string> known_answers;
    };

    // For the replies to queries with this ID.
    explicit collector(std::uint16_t query_id, std::size_t max_machines = 64);
    collector(const collector&) = delete;
    collector& operator=(const collector&) = delete;
    ~collector();

    // Takes the PTR, SRV, TXT and A records of every section of one datagram;
    // false, taking nothing, when the datagram is dropped. Replies that come
    // to port 5353 carry ID 0 instead of the query's.
    bool add(const std::uint8_t* data, std::size_t size, bool to_group_port = false);

    // The questions not given before whose answers the machines still lack:
    // at first the three service types; then, for every instance name seen
    // under any of them, its SRV under each type and its TXT under "_ipp"
    // while they lack, and A of every SRV target without an address.
    std::vector<question> take_questions();

    // Every question whose answer still lacks, given or not, and the three
    // service types again, for asking anew what may have been lost.
    std::vector<question> repeat_questions();

    // The instances whose SRV target has an address, joined by that address,
    // at most max_machines of them, in the order their names came. A machine
    // gets the default port of a web service it lacks only once, under each
    // of its names, that service's SRV record was asked for more than once in
    // vain or came for another machine; until then it is left out.
    std::vector<machine> machines() const;

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

} // namespace discovery

#endif
