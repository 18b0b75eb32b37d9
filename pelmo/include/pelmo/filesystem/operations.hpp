#ifndef PELMO_FILESYSTEM_OPERATIONS_HPP
#define PELMO_FILESYSTEM_OPERATIONS_HPP

#include <boost/filesystem/path.hpp>

#include <string>

namespace pelmo {
namespace filesystem {

// Creates the folder and its missing parents, each new one readable by the
// user alone (mode 0700). Existing folders are left as they are. Throws
// boost::filesystem::filesystem_error.
void create_private_directories(const boost::filesystem::path& folder);

// Writes the bytes to the file (created with mode 0600, truncated if present)
// and flushes them to the disk. Every write, the fsync and the close are
// checked; the first failure throws pelmo::system_error with its errno.
void write_file_synced(const boost::filesystem::path& file, const std::string& bytes);

// Flushes the folder's names to the disk, so that a file renamed into it stays
// renamed after a power cut. Throws pelmo::system_error.
void sync_directory(const boost::filesystem::path& folder);

// Replaces the target in one step with a copy of the source: the copy is
// written as "<target>.tmp", flushed to the disk and renamed over the target,
// so that a kill at any moment leaves the target whole, old or new. Throws
// boost::filesystem::filesystem_error or pelmo::system_error; the target is
// then as it was, unless only the final sync of the folder failed.
void replace_with_copy(const boost::filesystem::path& source, const boost::filesystem::path& target);

} // namespace filesystem
} // namespace pelmo

#endif
