#ifndef NOCTAVI_UNINSTALLMODE_H
#define NOCTAVI_UNINSTALLMODE_H

#include <Noctavi/RunMode.h>

// Closes the running instance, for an uninstaller, and holds the
// single-instance lock until it ends, so that none starts meanwhile. Exit
// code 0 once no instance runs, 21 when the running one cannot be closed,
// 10 on any other failure; it shows nothing.
class UninstallMode : public RunMode {
public:
    bool Start(Application& application) override;
    void Stop(Application& application) noexcept override;
};

#endif
