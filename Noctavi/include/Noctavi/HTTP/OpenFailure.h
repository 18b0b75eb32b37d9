#ifndef NOCTAVI_HTTP_OPENFAILURE_H
#define NOCTAVI_HTTP_OPENFAILURE_H

#include <Noctavi/HTTP/Error.h>

namespace HTTP {

// Thrown when the request cannot be opened.
class OpenFailure : public Error {
};

} // namespace HTTP

#endif
