#include <support/ChildProcess.h>

#include <support/WaitUntil.h>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <system_error>
#include <sys/wait.h>

extern char** environ;

namespace support {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int error = posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "cannot start " + program);
}

ChildProcess::~ChildProcess()
{
    if (status_)
        return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds deadline)
{
    WaitUntil(
        [this] {
            int status = 0;
            if (!status_ && waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
            return status_.has_value();
        },
        deadline);
    if (!status_ || !WIFEXITED(*status_))
        return std::nullopt;
    return WEXITSTATUS(*status_);
}

void ChildProcess::Signal(int signal) const
{
    kill(pid_, signal);
}

} // namespace support
