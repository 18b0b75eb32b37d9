#ifndef DISCOVERY_SRC_WIRE_HPP
#define DISCOVERY_SRC_WIRE_HPP

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace discovery::wire {

// A DNS message's fixed header, by the offsets of its fields.
constexpr std::size_t header_size = 12;
constexpr std::size_t id_offset = 0;
constexpr std::size_t flags_offset = 2;
constexpr std::size_t question_count_offset = 4;
constexpr std::size_t answer_count_offset = 6;
constexpr std::size_t authority_count_offset = 8;
constexpr std::size_t additional_count_offset = 10;

constexpr std::uint16_t type_a = 1;
constexpr std::uint16_t type_ptr = 12;
constexpr std::uint16_t type_txt = 16;
constexpr std::uint16_t type_srv = 33;
constexpr std::uint16_t type_tsig = 250;
constexpr std::uint16_t class_in = 1;
// A question's class with multicast DNS's bit that asks for a unicast response.
constexpr std::uint16_t unicast_response = 0x8000 | class_in;

inline std::uint16_t read16(const std::uint8_t* data)
{
    return static_cast<std::uint16_t>(data[0] << 8 | data[1]);
}

inline void append16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value & 0xFF);
}

// "_ipp._tcp.local" in wire form: each label after its length, then the root.
// For our own names, which hold no escapes.
std::string name(std::string_view dotted);

// The name as DNS compares names: ASCII letters in lower case. Length bytes
// (at most 63) never fall in the range of capitals, so the whole name can be
// folded byte by byte.
std::string canonical(std::string name);

// The answer, authority and additional records the header counts.
inline std::size_t record_count(const std::uint8_t* data)
{
    return std::size_t(read16(data + answer_count_offset)) + read16(data + authority_count_offset) +
           read16(data + additional_count_offset);
}

// Whether every record the header counts lies within the message, and none is
// of the type. Each name's own bytes are walked; a compression pointer ends a
// name without being followed.
bool records_without(const std::uint8_t* data, std::size_t size, std::uint16_t type);

// The datagram that asks one question: flags clear, so that a responder
// answers a query from a port other than 5353 by unicast to that port; from
// port 5353, only a question of class unicast_response gets that. The
// known answers, instance names, go in as PTR records of the question's name,
// as many as fit in one datagram of an Ethernet link; one-shot queries must
// carry none, since a responder may then drop the query.
std::string query(std::uint16_t id, const std::string& name, std::uint16_t type,
                  const std::vector<std::string>& known_answers = {}, std::uint16_t question_class = class_in);

} // namespace discovery::wire

#endif
