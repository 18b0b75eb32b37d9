#ifndef PELMO_SYSTEM_ERROR_HPP
#define PELMO_SYSTEM_ERROR_HPP

#include <boost/system/system_error.hpp>

#include <string>

namespace pelmo {

// Root of the operating-system and transport errors. It deliberately stands
// apart from pelmo::exception: a handler of pelmo::exception does not catch it.
class system_error : public boost::system::system_error {
public:
    explicit system_error(const boost::system::error_code& code);
    system_error(const boost::system::error_code& code, const std::string& what);
};

} // namespace pelmo

#endif
