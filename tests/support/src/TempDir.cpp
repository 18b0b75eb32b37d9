#include <support/TempDir.h>

#include <boost/filesystem/operations.hpp>

#include <stdexcept>
#include <stdlib.h>

namespace support {

TempDir::TempDir()
{
    std::string pattern = (boost::filesystem::temp_directory_path() / "noctavi-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempDir::~TempDir()
{
    boost::system::error_code ignored;
    boost::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Folder() const
{
    return path_.string() + "/";
}

} // namespace support
