#ifndef NOCTAVI_IS_MACHINEBUSY_H
#define NOCTAVI_IS_MACHINEBUSY_H

#include <Noctavi/IS/ErrorResult.h>

namespace IS {

// "FAIL_MACHINE_BUSY": the machine cannot serve the command now.
class MachineBusy : public ErrorResult {
};

} // namespace IS

#endif
