#include <support/ScopedNoPermissionOverride.h>

#include <linux/capability.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>

namespace support {

namespace {

const __u32 kDacOverride = 1u << CAP_DAC_OVERRIDE;

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
    if ((capabilities.data[0].effective & kDacOverride) == 0)
        return;
    capabilities.data[0].effective &= ~kDacOverride;
    if (!capabilities.Apply())
        throw std::runtime_error("cannot change the thread's capabilities");
    dropped_ = true;
}

ScopedNoPermissionOverride::~ScopedNoPermissionOverride()
{
    if (!dropped_)
        return;
    // The power is still in the permitted set, so taking it back succeeds.
    Capabilities capabilities;
    if (capabilities.Read()) {
        capabilities.data[0].effective |= kDacOverride;
        capabilities.Apply();
    }
}

} // namespace support
