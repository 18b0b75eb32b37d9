#ifndef PELMO_FATAL_ERROR_HPP
#define PELMO_FATAL_ERROR_HPP

#include <pelmo/runtime_error.hpp>

namespace pelmo {

// A failure after which the program cannot go on.
class fatal_error : public runtime_error {
};

} // namespace pelmo

#endif
