#ifndef PELMO_NONSUPPORT_VERSION_HPP
#define PELMO_NONSUPPORT_VERSION_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// A configuration file without a version, or with one that can be neither read nor converted.
class nonsupport_version : public exception {
};

} // namespace pelmo

#endif
