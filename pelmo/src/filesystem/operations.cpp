#include <pelmo/filesystem/operations.hpp>

#include <pelmo/filesystem/synced_file.hpp>

#include <pelmo/exception.hpp>
#include <pelmo/system_error.hpp>
#include <pelmo/unique_fd.hpp>

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelmo {
namespace filesystem {

namespace {

const std::size_t copy_buffer_size = 65536;

boost::system::error_code last_error()
{
    return boost::system::error_code(errno, boost::system::system_category());
}

void create_private_directory(const boost::filesystem::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) == 0)
        return;
    const boost::system::error_code error = last_error();
    // Another process may create the folder at the same moment; that is fine.
    if (error.value() == EEXIST && boost::filesystem::is_directory(folder))
        return;
    PELMO_THROW(boost::filesystem::filesystem_error("cannot create folder", folder, error));
}

} // namespace

void create_private_directories(const boost::filesystem::path& folder)
{
    if (folder.empty() || boost::filesystem::is_directory(folder))
        return;
    create_private_directories(folder.parent_path());
    create_private_directory(folder);
}

void write_file_synced(const boost::filesystem::path& file, const std::string& bytes)
{
    synced_file synced(file);
    synced.write(bytes.data(), bytes.size());
    synced.commit();
}

void sync_directory(const boost::filesystem::path& folder)
{
    const boost::filesystem::path path = folder.empty() ? boost::filesystem::path(".") : folder;
    unique_fd fd(::open(path.c_str(), O_DIRECTORY | O_RDONLY | O_CLOEXEC));
    if (!fd || ::fsync(fd.get()) != 0)
        PELMO_THROW(system_error(last_error()));
}

void replace_with_copy(const boost::filesystem::path& source, const boost::filesystem::path& target)
{
    unique_fd from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!from)
        PELMO_THROW(system_error(last_error()));
    synced_file copy(target);
    std::vector<char> buffer(copy_buffer_size);
    for (;;) {
        const ssize_t read = ::read(from.get(), buffer.data(), buffer.size());
        if (read == 0)
            break;
        if (read < 0 && errno != EINTR)
            PELMO_THROW(system_error(last_error()));
        if (read > 0)
            copy.write(buffer.data(), static_cast<std::size_t>(read));
    }
    copy.commit();
}

} // namespace filesystem
} // namespace pelmo
