#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDNOPERMISSIONOVERRIDE_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDNOPERMISSIONOVERRIDE_H

namespace support {

// While it lives, the calling thread cannot write where file permissions
// forbid it, even as root: a test run by root then meets a read-only folder
// as every other user does. For a thread without that power it does nothing.
class ScopedNoPermissionOverride {
public:
    ScopedNoPermissionOverride();
    ScopedNoPermissionOverride(const ScopedNoPermissionOverride&) = delete;
    ScopedNoPermissionOverride& operator=(const ScopedNoPermissionOverride&) = delete;
    ~ScopedNoPermissionOverride();

private:
    bool dropped_ = false;
};

} // namespace support

#endif
