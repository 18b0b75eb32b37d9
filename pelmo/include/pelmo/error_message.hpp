#ifndef PELMO_ERROR_MESSAGE_HPP
#define PELMO_ERROR_MESSAGE_HPP

#include <boost/exception/info.hpp>

#include <string>

namespace pelmo {

// A readable message attached to an exception where one is thrown:
//     PELMO_THROW(pelmo::fatal_error() << pelmo::error_message("..."));
// and read back with boost::get_error_info<pelmo::error_message>(e).
using error_message = boost::error_info<struct error_message_tag, std::string>;

} // namespace pelmo

#endif
