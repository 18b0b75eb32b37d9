#ifndef NOCTAVI_IS_INVALIDMODE_H
#define NOCTAVI_IS_INVALIDMODE_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_IS_NETWORK_MODE": the information server is not in a mode that serves commands.
class InvalidMode : public ErrorResult {
};

} // namespace IS

#endif
