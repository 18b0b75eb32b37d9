#ifndef NOCTAVI_HTTP_INVALIDRESPONSE_H
#define NOCTAVI_HTTP_INVALIDRESPONSE_H

#include <Noctavi/HTTP/Error.h>

namespace HTTP {

// Thrown when a reply is not of the content type asked for.
class InvalidResponse : public Error {
};

} // namespace HTTP

#endif
