#include <pelmo/filesystem/temporary_file.hpp>

#include <pelmo/filesystem/operations.hpp>

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
    if (!committed_)
        boost::filesystem::remove(path_, ignored);
}

void temporary_file::commit_to(const boost::filesystem::path& target)
{
    boost::filesystem::rename(path_, target);
    committed_ = true;
    sync_directory(target.parent_path());
}

} // namespace filesystem
} // namespace pelmo
