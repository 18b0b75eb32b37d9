#ifndef NOCTAVI_RSS_INVALIDTIMESTRING_H
#define NOCTAVI_RSS_INVALIDTIMESTRING_H

#include <pelmo/runtime_error.hpp>

namespace RSS {

// A text given as a feed time is not an RFC 822 date-time.
class InvalidTimeString : public pelmo::runtime_error {
};

} // namespace RSS

#endif
