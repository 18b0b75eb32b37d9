#ifndef NOCTAVI_HTTP_SERVERERROR_H
#define NOCTAVI_HTTP_SERVERERROR_H

#include <Noctavi/HTTP/Error.h>

namespace HTTP {

// Thrown when the machine answered with a status other than 200 and 403.
class ServerError : public Error {
};

} // namespace HTTP

#endif
