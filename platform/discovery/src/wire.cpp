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

std::string query(std::uint16_t id, const std::string& name, std::uint16_t type)
{
    std::string datagram;
    append16(datagram, id);
    append16(datagram, 0); // flags
    append16(datagram, 1); // one question
    datagram.append(6, '\0');
    datagram += name;
    append16(datagram, type);
    append16(datagram, class_in);
    return datagram;
}

} // namespace discovery::wire
