#ifndef NOCTAVI_TESTS_SUPPORT_CHILDPROCESS_H
#define NOCTAVI_TESTS_SUPPORT_CHILDPROCESS_H

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace support {

// A program started with this process's environment, killed and reaped when
// the object goes if it has not ended by then.
class ChildProcess {
public:
    // Throws std::system_error when the program cannot be started.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Its exit code once it has ended within the deadline; none when it has
    // not, or when a signal ended it.
    std::optional<int> WaitForExit(std::chrono::milliseconds deadline = std::chrono::seconds(20));
    void Signal(int signal) const;

private:
    pid_t pid_;
    std::optional<int> status_;
};

} // namespace support

#endif
