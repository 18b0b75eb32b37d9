#ifndef NOCTAVI_HTTP_NOAUTHORITY_H
#define NOCTAVI_HTTP_NOAUTHORITY_H

#include <Noctavi/HTTP/Error.h>

namespace HTTP {

// Thrown when the machine answered 403 Forbidden.
class NoAuthority : public Error {
};

} // namespace HTTP

#endif
