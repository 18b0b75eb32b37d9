#include <support/ReadFile.h>

#include <boost/filesystem/operations.hpp>

#include <fstream>
#include <sstream>

namespace support {

std::string ReadFile(const boost::filesystem::path& file)
{
    std::ifstream in(file.string(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::set<std::string> FileNames(const boost::filesystem::path& folder)
{
    std::set<std::string> names;
    boost::system::error_code error;
    for (boost::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
        names.insert(entry->path().filename().string());
    return names;
}

} // namespace support
