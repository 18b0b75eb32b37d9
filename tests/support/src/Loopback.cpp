#include "Loopback.h"

#include <stdexcept>

namespace support {

boost::asio::ip::address_v4 LoopbackAddress(const std::string& text)
{
    const boost::asio::ip::address_v4 address = boost::asio::ip::make_address_v4(text);
    if ((address.to_uint() >> 24) != 127)
        throw std::invalid_argument("the fakes bind loopback addresses only: " + text);
    return address;
}

} // namespace support
