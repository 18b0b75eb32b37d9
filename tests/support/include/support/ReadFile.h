#ifndef NOCTAVI_TESTS_SUPPORT_READFILE_H
#define NOCTAVI_TESTS_SUPPORT_READFILE_H

#include <boost/filesystem/path.hpp>

#include <set>
#include <string>

namespace support {

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const boost::filesystem::path& file);

// The names of what the folder holds; none when it cannot be read.
std::set<std::string> FileNames(const boost::filesystem::path& folder);

} // namespace support

#endif
