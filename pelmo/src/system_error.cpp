#include <pelmo/system_error.hpp>

namespace pelmo {

system_error::system_error(const boost::system::error_code& code)
    : boost::system::system_error(code)
{
}

system_error::system_error(const boost::system::error_code& code, const std::string& what)
    : boost::system::system_error(code, what)
{
}

} // namespace pelmo
