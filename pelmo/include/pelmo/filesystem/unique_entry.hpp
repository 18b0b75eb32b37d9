#ifndef PELMO_FILESYSTEM_UNIQUE_ENTRY_HPP
#define PELMO_FILESYSTEM_UNIQUE_ENTRY_HPP

#include <boost/date_time/posix_time/ptime.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/shared_ptr.hpp>

#include <chrono>
#include <string>

namespace pelmo {
namespace filesystem {

// Creates a new, empty folder in base (made, with its parents, when missing)
// named prefix + time stamp + counter, and returns its path. The stamp is the
// local time: the date as YYYYMMDD followed by the hour, minute, second and
// microsecond, each without leading zeros; the counter is eight upper-case
// hexadecimal digits, the lowest one whose name is free. The folders are
// private to the user (mode 0700). A name that exists as anything, folder or
// not, counts as taken. Throws boost::filesystem::filesystem_error, and
// pelmo::runtime_error when every counter is taken.
boost::shared_ptr<boost::filesystem::path> create_unique_directory(const std::string& base,
                                                                   const std::string& prefix);

// The same, stamped with the given local time instead of the clock's.
boost::shared_ptr<boost::filesystem::path> create_unique_directory(const std::string& base,
                                                                   const std::string& prefix,
                                                                   const boost::posix_time::ptime& local_time);

// Removes, with all they hold, the folders in base that
// create_unique_directory made with this prefix and in which nothing has
// changed for longer than age. Links, and names of any other form, are left
// alone; a folder that cannot be removed is left as well, without a report.
void remove_unique_directories_older_than(const std::string& base, const std::string& prefix,
                                          std::chrono::seconds age);

} // namespace filesystem
} // namespace pelmo

#endif
