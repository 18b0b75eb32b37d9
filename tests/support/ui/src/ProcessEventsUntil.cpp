#include <support/ui/ProcessEventsUntil.h>

#include <support/WaitUntil.h>

#include <QCoreApplication>

namespace support {

bool ProcessEventsUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    return WaitUntil(
        [&] {
            QCoreApplication::processEvents();
            return condition();
        },
        deadline);
}

} // namespace support
