#include <Noctavi/System/SystemError.h>

#include <boost/system/error_code.hpp>

SystemError::SystemError(int error)
    : pelmo::system_error(boost::system::error_code(error, boost::system::system_category()))
{
}
