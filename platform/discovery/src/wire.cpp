#include "wire.hpp"

#include <algorithm>

namespace discovery::wire {

std::string name(std::string_view dotted)
{
    std::string result;
    while (!dotted.empty()) {
        const std::size_t dot = std::min(dotted.find('.'), dotted.size());
        result += static_cast<char>(dot);
        result += dotted.substr(0, dot);
        dotted.remove_prefix(std::min(dot + 1, dotted.size()));
    }
    return result + '\0';
}

std::string canonical(std::string name)
{
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

namespace {

// The offset just past the name at the offset, or none past the end.
std::size_t skip_name(const std::uint8_t* data, std::size_t size, std::size_t at)
{
    constexpr std::uint8_t pointer = 0xC0;
    constexpr std::uint8_t max_label = 63;
    while (at < size) {
        const std::uint8_t length = data[at];
        if (length == 0)
            return at + 1;
        if ((length & pointer) == pointer)
            return at + 2;
        if (length > max_label)
            return size + 1;
        at += 1 + length;
    }
    return size + 1;
}

} // namespace

bool records_without(const std::uint8_t* data, std::size_t size, std::uint16_t type)
{
    constexpr std::size_t question_fields = 4; // type, class
    constexpr std::size_t record_fields = 10;  // type, class, time to live, data length
    std::size_t at = header_size;
    const std::size_t questions = read16(data + question_count_offset);
    const std::size_t entries = questions + record_count(data);
    for (std::size_t i = 0; i < entries; ++i) {
        at = skip_name(data, size, at);
        const std::size_t fields = i < questions ? question_fields : record_fields;
        if (at > size || size - at < fields || read16(data + at) == type)
            return false;
        at += fields;
        if (i >= questions)
            at += read16(data + at - 2);
    }
    return at <= size;
}

namespace {

// Within the 1500 bytes of an Ethernet frame, less the IP and UDP headers.
constexpr std::size_t max_query = 1472;
// The time to live responders give service pointers (75 minutes): a known
// answer with less than half of it left does not hold back their answer.
constexpr std::uint32_t pointer_ttl = 4500;
// A compression pointer to the question's name, right after the header.
constexpr char question_name[] = {'\xC0', static_cast<char>(header_size)};

void append32(std::string& out, std::uint32_t value)
{
    append16(out, static_cast<std::uint16_t>(value >> 16));
    append16(out, static_cast<std::uint16_t>(value & 0xFFFF));
}

std::string pointer_record(const std::string& instance)
{
    std::string record(question_name, sizeof question_name);
    append16(record, type_ptr);
    append16(record, class_in);
    append32(record, pointer_ttl);
    append16(record, static_cast<std::uint16_t>(instance.size()));
    return record + instance;
}

} // namespace

std::string query(std::uint16_t id, const std::string& name, std::uint16_t type,
                  const std::vector<std::string>& known_answers, std::uint16_t question_class)
{
    std::string answers;
    std::uint16_t answer_count = 0;
    for (const std::string& instance : known_answers) {
        const std::string record = pointer_record(instance);
        if (header_size + name.size() + 4 + answers.size() + record.size() > max_query)
            break;
        answers += record;
        ++answer_count;
    }
    std::string datagram;
    append16(datagram, id);
    append16(datagram, 0); // flags
    append16(datagram, 1); // one question
    append16(datagram, answer_count);
    datagram.append(4, '\0');
    datagram += name;
    append16(datagram, type);
    append16(datagram, question_class);
    return datagram + answers;
}

} // namespace discovery::wire
