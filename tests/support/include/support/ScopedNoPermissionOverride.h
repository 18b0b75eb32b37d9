#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDNOPERMISSIONOVERRIDE_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDNOPERMISSIONOVERRIDE_H

namespace support {

// While it lives, the calling thread cannot read or write where file
// permissions forbid it, even as root: a test run by root then meets a
// read-only folder or an unreadable file as every other user does. For a
// thread without those powers it does nothing.
class ScopedNoPermissionOverride {
public:
    ScopedNoPermissionOverride();
    ScopedNoPermissionOverride(const ScopedNoPermissionOverride&) = delete;
    ScopedNoPermissionOverride& operator=(const ScopedNoPermissionOverride&) = delete;
    ~ScopedNoPermissionOverride();

private:
    unsigned dropped_ = 0; // the capability bits to give back
};

} // namespace support

#endif
