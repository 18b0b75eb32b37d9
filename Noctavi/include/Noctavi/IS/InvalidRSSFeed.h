#ifndef NOCTAVI_IS_INVALIDRSSFEED_H
#define NOCTAVI_IS_INVALIDRSSFEED_H

#include <Noctavi/IS/InvalidResponse.h>

namespace IS {

// A feed lacks a required element, or one of its times is not an RFC 822 date-time.
class InvalidRSSFeed : public InvalidResponse {
};

} // namespace IS

#endif
