#ifndef NOCTAVI_IS_MISSINGUSER_H
#define NOCTAVI_IS_MISSINGUSER_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_NO_SUCH_USER": the machine has no such user.
class MissingUser : public ErrorResult {
};

} // namespace IS

#endif
