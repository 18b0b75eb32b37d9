#include <support/ReadFile.h>

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

} // namespace support
