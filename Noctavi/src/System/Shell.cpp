#include <Noctavi/System/Shell.h>

#include <Noctavi/System/Folders.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/unique_fd.hpp>

#include <boost/algorithm/string/split.hpp>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace System {

namespace {

const char kOpener[] = "xdg-open";

// What the two forked processes report to the caller through the pipe. Each
// message is written in one piece, smaller than PIPE_BUF, so they never mix.
struct Report {
    enum Kind { Started, ExecFailed } kind;
    int value;
};

boost::optional<std::string> FindOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::vector<std::string> folders;
    boost::algorithm::split(folders, path ? path : "/usr/local/bin:/usr/bin:/bin",
                            [](char c) { return c == ':'; });
    for (const std::string& folder : folders) {
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        struct stat status {};
        if (stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return boost::none;
}

boost::optional<std::string> HomeFolder()
{
    try {
        return Utility::ToNarrow(GetPersonalDir());
    } catch (const SystemError&) {
        return boost::none;
    }
}

void WriteReport(int fd, Report::Kind kind, int value)
{
    const Report report{kind, value};
    if (write(fd, &report, sizeof report) != static_cast<ssize_t>(sizeof report)) {
        // The caller then sees no start and reports failure.
    }
}

// Runs in the forked grandchild, so it calls only async-signal-safe functions.
[[noreturn]] void ExecOpener(int reportFd, const char* program, char* const argv[], const char* home)
{
    setsid();
    if (home && chdir(home) != 0) {
        // The opener then starts from our own working folder.
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // Descriptors of ours that lack close-on-exec must not leak into the opener
    // and the programs it starts.
    close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    execv(program, argv);
    WriteReport(reportFd, Report::ExecFailed, errno);
    _exit(127);
}

// The intermediate child starts the opener and ends at once, so the opener is
// adopted by init and never becomes our zombie.
[[noreturn]] void ForkOpener(int reportFd, const char* program, char* const argv[], const char* home)
{
    const pid_t opener = fork();
    if (opener == 0)
        ExecOpener(reportFd, program, argv, home);
    WriteReport(reportFd, Report::Started, opener);
    _exit(0);
}

void WaitForChild(pid_t child)
{
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Reads the reports until every writer has gone, that is until the opener has
// been executed or has failed.
boost::optional<pid_t> ReadOutcome(int reportFd)
{
    boost::optional<pid_t> opener;
    bool failed = false;
    Report report{};
    for (;;) {
        const ssize_t got = read(reportFd, &report, sizeof report);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != static_cast<ssize_t>(sizeof report))
            break;
        if (report.kind == Report::Started && report.value > 0)
            opener = report.value;
        failed = failed || report.kind == Report::ExecFailed;
    }
    return failed ? boost::none : opener;
}

} // namespace

boost::optional<pid_t> ShellOpen(const std::wstring& target)
{
    const boost::optional<std::string> program = FindOnPath(kOpener);
    if (!program)
        return boost::none;
    std::string name = kOpener;
    std::string argument = Utility::ToNarrow(target);
    char* const argv[] = {name.data(), argument.data(), nullptr};
    const boost::optional<std::string> home = HomeFolder();

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return boost::none;
    pelmo::unique_fd reader(fds[0]);
    pelmo::unique_fd writer(fds[1]);

    const pid_t child = fork();
    if (child < 0)
        return boost::none;
    if (child == 0)
        ForkOpener(writer.get(), program->c_str(), argv, home ? home->c_str() : nullptr);
    writer = pelmo::unique_fd();
    WaitForChild(child);
    return ReadOutcome(reader.get());
}

void OpenPath(const std::wstring& target)
{
    ShellOpen(target);
}

void OpenURLWithQuery(const std::string& query, const std::wstring& address)
{
    if (query.empty())
        OpenPath(address);
    else
        ShellOpen(address + L"?" + Utility::ToWide(query));
}

} // namespace System
