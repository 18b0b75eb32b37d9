#ifndef PELMO_FILESYSTEM_TEMPORARY_FILE_HPP
#define PELMO_FILESYSTEM_TEMPORARY_FILE_HPP

#include <boost/filesystem/path.hpp>

namespace pelmo {
namespace filesystem {

// Owns a temporary file that the caller has created: the destructor removes
// it.
class temporary_file {
public:
    explicit temporary_file(boost::filesystem::path path);
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;
    ~temporary_file();

    const boost::filesystem::path& path() const { return path_; }

private:
    boost::filesystem::path path_;
};

} // namespace filesystem
} // namespace pelmo

#endif
