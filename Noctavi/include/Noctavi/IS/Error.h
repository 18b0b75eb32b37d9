#ifndef NOCTAVI_IS_ERROR_H
#define NOCTAVI_IS_ERROR_H

#include <Noctavi/HTTP/Error.h>

namespace IS {

// Root of the failures of the machine's information server.
class Error : public HTTP::Error {
};

} // namespace IS

#endif
