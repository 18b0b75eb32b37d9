#include <pelmo/unique_fd.hpp>

#include <pelmo/exception.hpp>
#include <pelmo/system_error.hpp>

#include <boost/system/error_code.hpp>

#include <cerrno>
#include <unistd.h>

namespace pelmo {

unique_fd& unique_fd::operator=(unique_fd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

unique_fd::~unique_fd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int unique_fd::release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void unique_fd::close()
{
    // The descriptor is gone whatever close reports (even on EINTR, on Linux),
    // so it is never closed twice.
    if (::close(release()) != 0)
        PELMO_THROW(system_error(boost::system::error_code(errno, boost::system::system_category())));
}

} // namespace pelmo
