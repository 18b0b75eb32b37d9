#ifndef NOCTAVI_NORMALMODE_H
#define NOCTAVI_NORMALMODE_H

#include <Noctavi/RunMode.h>

// The program in the notification area: the main frame is the main window.
// Exit code 11, quietly, when another instance runs; 10 with its message
// when the frame cannot be built. Previews a day old are removed once the
// frame runs and again at the end.
class NormalMode : public RunMode {
public:
    bool Start(Application& application) override;
    void Stop(Application& application) noexcept override;
};

#endif
