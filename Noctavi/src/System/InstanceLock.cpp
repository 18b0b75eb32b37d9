#include <Noctavi/System/InstanceLock.h>

#include <Noctavi/System/RuntimeFolder.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/exception.hpp>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace System {

// Close-on-exec: a program that we start (the browser, a viewer) must not
// inherit the lock and hold it after we have ended.
InstanceLock::InstanceLock()
    : file_(::open(GetPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
{
    if (!file_)
        PELMO_THROW(SystemError());
}

bool InstanceLock::TryLock()
{
    if (held_)
        return true;
    int result;
    do {
        result = ::flock(file_.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno != EWOULDBLOCK)
        PELMO_THROW(SystemError());
    held_ = result == 0;
    return held_;
}

void InstanceLock::Unlock() noexcept
{
    if (held_)
        ::flock(file_.get(), LOCK_UN);
    held_ = false;
}

std::string InstanceLock::GetPath()
{
    return Utility::ToNarrow(GetRuntimeFolder()) + "HollvikNoctavi.lock";
}

} // namespace System
