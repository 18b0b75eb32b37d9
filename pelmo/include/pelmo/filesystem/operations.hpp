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

// Replaces the file in one step with the bytes, through a synced_file (mode
// 0600). Throws what synced_file throws; the file is then as it was.
void write_file_synced(const boost::filesystem::path& file, const std::string& bytes);

// Flushes the folder's names to the disk, so that a file renamed into it stays
// renamed after a power cut. Throws pelmo::system_error.
void sync_directory(const boost::filesystem::path& folder);

// Replaces the target in one step with a copy of the source, written through
// a synced_file beside the target, so that a kill at any moment leaves the
// target whole, old or new, and nothing planted beside it is written through.
// Throws boost::filesystem::filesystem_error or pelmo::system_error; the
// target is then as it was, unless only the final sync of the folder failed.
void replace_with_copy(const boost::filesystem::path& source, const boost::filesystem::path& target);

} // namespace filesystem
} // namespace pelmo

#endif
