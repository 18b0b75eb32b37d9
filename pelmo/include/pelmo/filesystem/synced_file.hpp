#ifndef PELMO_FILESYSTEM_SYNCED_FILE_HPP
#define PELMO_FILESYSTEM_SYNCED_FILE_HPP

#include <pelmo/unique_fd.hpp>

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <string>

namespace pelmo {
namespace filesystem {

// The new content of a file, written piece by piece under a name of its own
// beside the file, flushed to the disk and then renamed over it in one step:
// a kill at any moment leaves the file whole, old or new, and a save needs no
// copy of the whole file in memory.
//
// The temporary file is the target's name followed by ".tmp-" and six random
// letters or digits, created with O_EXCL|O_NOFOLLOW and mode 0600, so that
// nothing another user planted in the folder, link or file, is ever opened.
// Unless the rename happened, the destructor removes it. Every write, the
// fsync and the close are checked: the first failure throws
// pelmo::system_error with its errno, and the target stays as it was.
class synced_file {
public:
    explicit synced_file(boost::filesystem::path target);
    synced_file(const synced_file&) = delete;
    synced_file& operator=(const synced_file&) = delete;
    ~synced_file();

    const boost::filesystem::path& path() const { return path_; }

    void write(const char* data, std::size_t size);

    // Flushes what was written to the disk and closes the file; the target
    // is not touched yet.
    void flush();

    // Flushes unless that is done, renames the file over the target, then
    // syncs the target's folder so that the rename survives a power cut. A
    // failed rename throws boost::filesystem::filesystem_error, leaving the
    // target as it was; a failed sync throws pelmo::system_error, with the
    // new file in place.
    void commit();

    // Removes from the target's folder what saves of the target that a kill
    // interrupted left there: files named as this class names its temporary
    // files, and the fixed name that earlier saves wrote through. Nothing is
    // reported: a leftover that stays harms no later save.
    static void remove_leftovers(const boost::filesystem::path& target, const std::string& fixed_name);

private:
    boost::filesystem::path target_;
    boost::filesystem::path path_;
    unique_fd fd_;
    bool committed_ = false;
};

} // namespace filesystem
} // namespace pelmo

#endif
