#ifndef NOCTAVI_IS_ERRORRESULT_H
#define NOCTAVI_IS_ERRORRESULT_H

#include <Noctavi/IS/Error.h>

namespace IS {

// Root of the refusals that a reply names in its "RESULT".
class ErrorResult : public Error {
};

} // namespace IS

#endif
