#ifndef NOCTAVI_TESTS_SUPPORT_UI_PROCESSEVENTSUNTIL_H
#define NOCTAVI_TESTS_SUPPORT_UI_PROCESSEVENTSUNTIL_H

#include <chrono>
#include <functional>

namespace support {

// Runs the GUI thread's event loop until the condition holds or the deadline
// passes; true when it held.
bool ProcessEventsUntil(const std::function<bool()>& condition,
                        std::chrono::milliseconds deadline = std::chrono::seconds(10));

} // namespace support

#endif
