#ifndef NOCTAVI_RSS_INCOMPATIBLETIMESTRING_H
#define NOCTAVI_RSS_INCOMPATIBLETIMESTRING_H

#include <pelmo/runtime_error.hpp>

namespace RSS {

// Two feed times cannot be compared: one has seconds and the other has none.
class IncompatibleTimeString : public pelmo::runtime_error {
};

} // namespace RSS

#endif
