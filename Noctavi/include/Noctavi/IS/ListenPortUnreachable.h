#ifndef NOCTAVI_IS_LISTENPORTUNREACHABLE_H
#define NOCTAVI_IS_LISTENPORTUNREACHABLE_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_LISTENPORT_UNREACHABLE": the machine cannot reach the port it was to signal.
class ListenPortUnreachable : public ErrorResult {
};

} // namespace IS

#endif
