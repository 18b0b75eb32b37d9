#ifndef TRANSPORT_SRC_ORIGIN_HPP
#define TRANSPORT_SRC_ORIGIN_HPP

#include <string>
#include <tuple>

namespace transport::detail {

// Where requests go: scheme, host and port.
struct origin {
    bool secure = false;
    std::string host;
    int port = 0;

    bool operator<(const origin& other) const
    {
        return std::tie(secure, host, port) < std::tie(other.secure, other.host, other.port);
    }
};

} // namespace transport::detail

#endif
