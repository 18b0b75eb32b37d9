#include <support/ScopedFileSizeLimit.h>

#include <stdexcept>

namespace support {

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes)
{
    // Without this the kernel ends the process at the limit instead of
    // failing the write.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    if (getrlimit(RLIMIT_FSIZE, &saved_) != 0 || sigaction(SIGXFSZ, &ignore, &savedAction_) != 0)
        throw std::runtime_error("cannot read the file size limit");
    const rlimit limit{bytes, saved_.rlim_max};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("cannot limit the file size");
}

ScopedFileSizeLimit::~ScopedFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &saved_);
    sigaction(SIGXFSZ, &savedAction_, nullptr);
}

} // namespace support
