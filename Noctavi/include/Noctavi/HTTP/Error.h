#ifndef NOCTAVI_HTTP_ERROR_H
#define NOCTAVI_HTTP_ERROR_H

#include <pelmo/communication_failure.hpp>

#include <boost/exception/info.hpp>
#include <boost/system/error_code.hpp>

namespace HTTP {

// Parent of every failed request to a machine.
class Error : public pelmo::communication_failure {
};

// Why the transport failed, attached to the failures it caused.
using TransportError = boost::error_info<struct TransportErrorTag, boost::system::error_code>;
// The HTTP status of a refused request.
using HttpStatus = boost::error_info<struct HttpStatusTag, int>;

} // namespace HTTP

#endif
