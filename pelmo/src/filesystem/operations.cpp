#include <pelmo/filesystem/operations.hpp>

#include <pelmo/filesystem/synced_file.hpp>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/temporary_file.hpp>
#include <pelmo/system_error.hpp>
#include <pelmo/unique_fd.hpp>

#include <boost/filesystem/exception.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelmo {
namespace filesystem {

namespace {

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

void sync(const boost::filesystem::path& path, int flags)
{
    unique_fd fd(::open(path.c_str(), flags | O_RDONLY | O_CLOEXEC));
    if (!fd || ::fsync(fd.get()) != 0)
        PELMO_THROW(system_error(last_error()));
}

} // namespace

void create_private_directories(const boost::filesystem::path& folder)
{
    if (folder.empty() || boost::filesystem::is_directory(folder))
        return;
    create_private_directories(folder.parent_path());
    create_private_directory(folder);
}

synced_file::synced_file(const boost::filesystem::path& file)
    : fd_(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600))
{
    if (!fd_)
        PELMO_THROW(system_error(last_error()));
}

void synced_file::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_.get(), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            PELMO_THROW(system_error(last_error()));
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void synced_file::commit()
{
    if (::fsync(fd_.get()) != 0)
        PELMO_THROW(system_error(last_error()));
    fd_.close();
}

void write_file_synced(const boost::filesystem::path& file, const std::string& bytes)
{
    synced_file synced(file);
    synced.write(bytes.data(), bytes.size());
    synced.commit();
}

void sync_directory(const boost::filesystem::path& folder)
{
    sync(folder.empty() ? boost::filesystem::path(".") : folder, O_DIRECTORY);
}

void replace_with_copy(const boost::filesystem::path& source, const boost::filesystem::path& target)
{
    temporary_file copy(target.string() + ".tmp");
    boost::filesystem::copy_file(source, copy.path(), boost::filesystem::copy_options::overwrite_existing);
    sync(copy.path(), 0);
    copy.commit_to(target);
}

} // namespace filesystem
} // namespace pelmo
