#ifndef PELMO_DEFECTIVE_CONFIG_HPP
#define PELMO_DEFECTIVE_CONFIG_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// A configuration file that lacked defined keys; their defaults are in force.
class defective_config : public exception {
};

} // namespace pelmo

#endif
