#ifndef PELMO_FILESYSTEM_TEMPORARY_FILE_HPP
#define PELMO_FILESYSTEM_TEMPORARY_FILE_HPP

#include <boost/filesystem/path.hpp>

namespace pelmo {
namespace filesystem {

// The temporary file of a safe save: written beside its target, then renamed
// over it in one step. Unless the rename happened, the destructor removes it,
// so a failed save leaves only the previous target behind.
class temporary_file {
public:
    explicit temporary_file(boost::filesystem::path path);
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;
    ~temporary_file();

    const boost::filesystem::path& path() const { return path_; }

    // Renames the file over the target, then syncs the target's folder so
    // that the rename survives a power cut. A failed rename throws
    // boost::filesystem::filesystem_error, leaving the target as it was; a
    // failed sync throws pelmo::system_error, with the new file in place.
    void commit_to(const boost::filesystem::path& target);

private:
    boost::filesystem::path path_;
    bool committed_ = false;
};

} // namespace filesystem
} // namespace pelmo

#endif
