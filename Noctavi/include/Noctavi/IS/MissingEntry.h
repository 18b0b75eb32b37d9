#ifndef NOCTAVI_IS_MISSINGENTRY_H
#define NOCTAVI_IS_MISSINGENTRY_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_NO_SUCH_ENTRY": the machine has no such entry.
class MissingEntry : public ErrorResult {
};

} // namespace IS

#endif
