#ifndef NOCTAVI_TESTS_SUPPORT_LOOPBACK_H
#define NOCTAVI_TESTS_SUPPORT_LOOPBACK_H

#include <boost/asio/ip/address_v4.hpp>

#include <string>

namespace support {

// The address, when it lies in 127.0.0.0/8; else throws std::invalid_argument.
// Every fake binds loopback only: a test must not reach out of the machine.
boost::asio::ip::address_v4 LoopbackAddress(const std::string& text);

} // namespace support

#endif
