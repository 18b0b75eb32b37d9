#ifndef PELMO_CONVERTIBLE_VERSION_HPP
#define PELMO_CONVERTIBLE_VERSION_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// A configuration file of an older version that was converted; the converted values are in force.
class convertible_version : public exception {
};

} // namespace pelmo

#endif
