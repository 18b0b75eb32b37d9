#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDFILESIZELIMIT_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDFILESIZELIMIT_H

#include <csignal>
#include <sys/resource.h>

namespace support {

// While it lives, a write that would make any file of the process larger
// than the limit fails with EFBIG, as a write to a full disk fails: saves
// then meet a failing disk without a file system of their own. Process-wide,
// so for tests that write no other files meanwhile.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    ~ScopedFileSizeLimit();

private:
    rlimit saved_{};
    struct sigaction savedAction_ {};
};

} // namespace support

#endif
