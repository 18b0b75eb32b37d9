#include <Noctavi/System/Folders.h>

#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/exception.hpp>

#include <boost/optional.hpp>

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace System {

namespace {

const char kMaker[] = "Hollvik";
const char kProduct[] = "Noctavi";

std::string WithSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// Relative values are ignored, as the base-directory convention asks.
boost::optional<std::string> AbsolutePathFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return boost::none;
    return std::string(value);
}

std::string HomeFromAccount()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (!found || !entry.pw_dir || entry.pw_dir[0] != '/')
        PELMO_THROW(SystemError(error ? error : ENOENT));
    return entry.pw_dir;
}

std::string HomeFolder()
{
    return WithSlash(AbsolutePathFromEnvironment("HOME").value_or_eval(HomeFromAccount));
}

void MakePrivateFolder(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        PELMO_THROW(SystemError());
}

// The folder must be ours and no link, because it sits in a folder that
// every user can write to.
void CheckOwnFolder(const std::string& folder)
{
    struct stat status {};
    if (lstat(folder.c_str(), &status) != 0)
        PELMO_THROW(SystemError());
    if (!S_ISDIR(status.st_mode) || status.st_uid != getuid())
        PELMO_THROW(SystemError(EACCES));
    if ((status.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0)
        PELMO_THROW(SystemError());
}

} // namespace

std::wstring GetLocalAppDataDir()
{
    const boost::optional<std::string> dataHome = AbsolutePathFromEnvironment("XDG_DATA_HOME");
    return Utility::ToWide(dataHome ? WithSlash(*dataHome) : HomeFolder() + ".local/share/");
}

std::wstring GetPersonalDir()
{
    return Utility::ToWide(HomeFolder());
}

std::wstring GetTempDir()
{
    return Utility::ToWide(WithSlash(AbsolutePathFromEnvironment("TMPDIR").value_or("/tmp")));
}

std::wstring GetDataFolder()
{
    return GetLocalAppDataDir() + Utility::ToWide(std::string(kMaker) + "/" + kProduct + "/");
}

std::wstring GetTempFolder()
{
    const std::string ownFolder = Utility::ToNarrow(GetTempDir()) + kMaker + "-" + std::to_string(getuid());
    MakePrivateFolder(ownFolder);
    CheckOwnFolder(ownFolder);
    // Checked too: the parent may have been open to others before we tightened it.
    const std::string folder = ownFolder + "/" + kProduct;
    MakePrivateFolder(folder);
    CheckOwnFolder(folder);
    return Utility::ToWide(folder + "/");
}

} // namespace System
