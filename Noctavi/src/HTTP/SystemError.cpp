#include <Noctavi/HTTP/SystemError.h>

namespace HTTP {

SystemError::SystemError(const boost::system::error_code& code)
    : pelmo::system_error(code)
{
}

} // namespace HTTP
