#include "atomic_file.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace transport::detail {

atomic_file::~atomic_file()
{
    discard();
}

bool atomic_file::open(const std::string& target)
{
    discard();
    target_ = target;
    temporary_ = target + ".tmp";
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        temporary_.clear(); // not ours to remove
        return false;
    }
    return true;
}

bool atomic_file::write(const void* data, std::size_t size)
{
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, next, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool atomic_file::commit()
{
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    const bool stored = ::fsync(fd_) == 0;
    const int fd = fd_;
    fd_ = -1;
    const bool closed = ::close(fd) == 0;
    if (stored && closed && std::rename(temporary_.c_str(), target_.c_str()) == 0) {
        temporary_.clear();
        return true;
    }
    const int failure = errno;
    ::unlink(temporary_.c_str());
    temporary_.clear();
    errno = failure;
    return false;
}

void atomic_file::discard() noexcept
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        const int saved = errno;
        ::unlink(temporary_.c_str());
        errno = saved;
        temporary_.clear();
    }
}

} // namespace transport::detail
