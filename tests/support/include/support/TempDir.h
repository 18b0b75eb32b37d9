#ifndef NOCTAVI_TESTS_SUPPORT_TEMPDIR_H
#define NOCTAVI_TESTS_SUPPORT_TEMPDIR_H

#include <boost/filesystem/path.hpp>

namespace support {

// A fresh private folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const boost::filesystem::path& Path() const { return path_; }
    // The folder as text ending with "/", the way the program's folders are given.
    std::string Folder() const;

private:
    boost::filesystem::path path_;
};

} // namespace support

#endif
