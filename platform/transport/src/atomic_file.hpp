#ifndef TRANSPORT_SRC_ATOMIC_FILE_HPP
#define TRANSPORT_SRC_ATOMIC_FILE_HPP

#include <cstddef>
#include <string>

namespace transport::detail {

// A file written beside its target as "<target>.tmp" (mode 0600) and renamed
// over the target only when complete, so the target is never seen half
// written. Without commit the temporary file is removed. Failures set errno.
class atomic_file {
public:
    atomic_file() = default;
    atomic_file(const atomic_file&) = delete;
    atomic_file& operator=(const atomic_file&) = delete;
    ~atomic_file();

    bool open(const std::string& target);
    bool write(const void* data, std::size_t size);
    // Flushes to disk, closes and renames over the target.
    bool commit();

private:
    void discard() noexcept;

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

} // namespace transport::detail

#endif
