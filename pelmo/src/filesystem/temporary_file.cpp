#include <pelmo/filesystem/temporary_file.hpp>

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <utility>

namespace pelmo {
namespace filesystem {

temporary_file::temporary_file(boost::filesystem::path path)
    : path_(std::move(path))
{
}

temporary_file::~temporary_file()
{
    boost::system::error_code ignored;
    boost::filesystem::remove(path_, ignored);
}

} // namespace filesystem
} // namespace pelmo
