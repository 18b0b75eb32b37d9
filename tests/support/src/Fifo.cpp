#include <support/Fifo.h>

#include <pelmo/unique_fd.hpp>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <stdexcept>
#include <sys/stat.h>

namespace support {

void MakeFifo(const boost::filesystem::path& fifo)
{
    if (::mkfifo(fifo.c_str(), 0600) != 0)
        throw std::runtime_error("cannot create the FIFO " + fifo.string());
}

void RunUnblocked(const boost::filesystem::path& fifo, const std::function<void()>& work)
{
    std::future<void> done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
        return done.get();
    // A writer's open completes a reader's blocked open; its close then gives end of file.
    pelmo::unique_fd writer(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    writer = pelmo::unique_fd();
    done.wait();
    throw std::runtime_error("blocked on the FIFO " + fifo.string());
}

} // namespace support
