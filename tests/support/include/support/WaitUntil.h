#ifndef NOCTAVI_TESTS_SUPPORT_WAITUNTIL_H
#define NOCTAVI_TESTS_SUPPORT_WAITUNTIL_H

#include <chrono>
#include <functional>

namespace support {

// Polls the condition until it holds or the deadline passes; true when it held.
// Tests assert on the result, so a missed deadline fails with a message rather
// than hanging until the CTest time-out.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

} // namespace support

#endif
