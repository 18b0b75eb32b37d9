#ifndef PELMO_UNIQUE_FD_HPP
#define PELMO_UNIQUE_FD_HPP

namespace pelmo {

// Sole owner of a POSIX file descriptor. The destructor closes it quietly;
// callers that must know whether the close succeeded (a written file) call
// close() themselves.
class unique_fd {
public:
    unique_fd() noexcept = default;
    explicit unique_fd(int fd) noexcept : fd_(fd) {}
    unique_fd(unique_fd&& other) noexcept : fd_(other.release()) {}
    unique_fd& operator=(unique_fd&& other) noexcept;
    unique_fd(const unique_fd&) = delete;
    unique_fd& operator=(const unique_fd&) = delete;
    ~unique_fd();

    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }

    // Gives up ownership without closing.
    int release() noexcept;

    // Closes the descriptor; throws pelmo::system_error when the kernel reports
    // a failure (for a written file: data that did not reach the disk).
    void close();

private:
    int fd_ = -1;
};

} // namespace pelmo

#endif
