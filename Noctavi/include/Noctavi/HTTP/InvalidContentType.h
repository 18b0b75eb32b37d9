#ifndef NOCTAVI_HTTP_INVALIDCONTENTTYPE_H
#define NOCTAVI_HTTP_INVALIDCONTENTTYPE_H

#include <Noctavi/HTTP/InvalidResponse.h>

namespace HTTP {

// Thrown when an element lacks text, or its text is not a number.
class InvalidContentType : public InvalidResponse {
};

} // namespace HTTP

#endif
