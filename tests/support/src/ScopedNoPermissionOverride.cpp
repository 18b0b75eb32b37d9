#include <support/ScopedNoPermissionOverride.h>

#include <linux/capability.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace support {

namespace {

// Root's powers to write and to read past file permissions.
const __u32 kDacOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// The calling thread's capability sets; capabilities belong to threads.
struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};

    bool Read() { return syscall(SYS_capget, &header, data) == 0; }
    bool Apply() { return syscall(SYS_capset, &header, data) == 0; }
};

} // namespace

ScopedNoPermissionOverride::ScopedNoPermissionOverride()
{
    Capabilities capabilities;
    if (!capabilities.Read())
        throw std::runtime_error("cannot read the thread's capabilities");
    dropped_ = capabilities.data[0].effective & kDacOverride;
    if (dropped_ == 0)
        return;
    capabilities.data[0].effective &= ~kDacOverride;
    if (!capabilities.Apply())
        throw std::runtime_error("cannot change the thread's capabilities");
}

ScopedNoPermissionOverride::~ScopedNoPermissionOverride()
{
    if (dropped_ == 0)
        return;
    // The power is still in the permitted set, so taking it back succeeds.
    Capabilities capabilities;
    if (capabilities.Read()) {
        capabilities.data[0].effective |= dropped_;
        capabilities.Apply();
    }
}

} // namespace support
