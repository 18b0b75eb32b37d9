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
