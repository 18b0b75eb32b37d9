#ifndef NOCTAVI_HTTP_SYSTEMERROR_H
#define NOCTAVI_HTTP_SYSTEMERROR_H

#include <pelmo/system_error.hpp>

namespace HTTP {

// A document operation of the transport failed; carries the transport's own
// error code. Like every system error it stands outside HTTP::Error.
class SystemError : public pelmo::system_error {
public:
    explicit SystemError(const boost::system::error_code& code);
};

} // namespace HTTP

#endif
