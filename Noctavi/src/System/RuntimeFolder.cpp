#include <Noctavi/System/RuntimeFolder.h>

#include <Noctavi/System/Folders.h>
#include <Noctavi/Utility/TextConversion.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace System {

namespace {

// A folder that another user can write to could hold their lock and their
// channel, which the program would then obey.
bool IsPrivateFolder(const char* folder)
{
    struct stat status {};
    return lstat(folder, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == getuid()
        && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::wstring GetRuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/' || !IsPrivateFolder(runtime))
        return GetTempFolder();
    std::string folder = runtime;
    if (folder.back() != '/')
        folder += '/';
    return Utility::ToWide(folder);
}

} // namespace System
