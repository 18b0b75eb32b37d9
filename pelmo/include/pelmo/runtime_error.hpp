#ifndef PELMO_RUNTIME_ERROR_HPP
#define PELMO_RUNTIME_ERROR_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// Failures that only show at run time.
class runtime_error : public exception {
};

} // namespace pelmo

#endif
