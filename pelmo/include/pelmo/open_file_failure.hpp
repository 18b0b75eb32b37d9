#ifndef PELMO_OPEN_FILE_FAILURE_HPP
#define PELMO_OPEN_FILE_FAILURE_HPP

#include <pelmo/exception.hpp>

namespace pelmo {

// A configuration file that cannot be opened for reading, or whose temporary copy cannot be written.
class open_file_failure : public exception {
};

} // namespace pelmo

#endif
