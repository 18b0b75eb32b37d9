#ifndef PELMO_COMMUNICATION_FAILURE_HPP
#define PELMO_COMMUNICATION_FAILURE_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// Base of every failed request to a machine.
class communication_failure : public exception {
};

} // namespace pelmo

#endif
