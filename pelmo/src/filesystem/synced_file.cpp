#include <pelmo/filesystem/synced_file.hpp>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/system_error.hpp>

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>

namespace pelmo {
namespace filesystem {

namespace {

const char temporary_infix[] = ".tmp-";
const char suffix_characters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const std::size_t suffix_size = 6;
// Names are guessed only by someone who plants them; ending the tries keeps a
// folder filled with every name from holding a save for ever.
const int creation_tries = 100;

[[noreturn]] void throw_last_error()
{
    PELMO_THROW(system_error(boost::system::error_code(errno, boost::system::system_category())));
}

std::string random_suffix()
{
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof suffix_characters - 2);
    std::string suffix(suffix_size, ' ');
    for (char& character : suffix)
        character = suffix_characters[pick(device)];
    return suffix;
}

bool is_suffix_character(char character)
{
    return std::find(suffix_characters, suffix_characters + sizeof suffix_characters - 1, character)
        != suffix_characters + sizeof suffix_characters - 1;
}

bool is_temporary_of(const std::string& name, const std::string& target_name)
{
    const std::string stem = target_name + temporary_infix;
    return name.size() == stem.size() + suffix_size && name.compare(0, stem.size(), stem) == 0
        && std::all_of(name.begin() + static_cast<std::ptrdiff_t>(stem.size()), name.end(), is_suffix_character);
}

// A new file of a free name beside the target; path is set to its name.
unique_fd create_beside(const boost::filesystem::path& target, boost::filesystem::path& path)
{
    for (int attempt = 0; attempt < creation_tries; ++attempt) {
        path = target.string() + temporary_infix + random_suffix();
        unique_fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd)
            return fd;
        if (errno != EEXIST)
            throw_last_error();
    }
    throw_last_error();
}

} // namespace

synced_file::synced_file(boost::filesystem::path target)
    : target_(std::move(target))
    , fd_(create_beside(target_, path_))
{
}

synced_file::~synced_file()
{
    if (!committed_)
        ::unlink(path_.c_str());
}

void synced_file::write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd_.get(), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw_last_error();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void synced_file::flush()
{
    if (!fd_)
        return;
    if (::fsync(fd_.get()) != 0)
        throw_last_error();
    fd_.close();
}

void synced_file::commit()
{
    flush();
    boost::filesystem::rename(path_, target_);
    committed_ = true;
    sync_directory(target_.parent_path());
}

void synced_file::remove_leftovers(const boost::filesystem::path& target, const std::string& fixed_name)
{
    boost::system::error_code error;
    const std::string target_name = target.filename().string();
    for (boost::filesystem::directory_iterator entry(target.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name == fixed_name || is_temporary_of(name, target_name))
            ::unlink(entry->path().c_str());
    }
}

} // namespace filesystem
} // namespace pelmo
