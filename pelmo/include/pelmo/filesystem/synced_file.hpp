#ifndef PELMO_FILESYSTEM_SYNCED_FILE_HPP
#define PELMO_FILESYSTEM_SYNCED_FILE_HPP

#include <pelmo/unique_fd.hpp>

#include <boost/filesystem/path.hpp>

#include <cstddef>

namespace pelmo {
namespace filesystem {

// A file written piece by piece and then flushed to the disk, so that a save
// needs no copy of the whole file in memory. Created with mode 0600 and
// truncated if present. Every write, the fsync and the close are checked;
// the first failure throws pelmo::system_error with its errno.
class synced_file {
public:
    explicit synced_file(const boost::filesystem::path& file);

    void write(const char* data, std::size_t size);

    // Flushes what was written to the disk and closes the file.
    void commit();

private:
    unique_fd fd_;
};

} // namespace filesystem
} // namespace pelmo

#endif
