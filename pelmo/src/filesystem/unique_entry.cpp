#include <pelmo/filesystem/unique_entry.hpp>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/runtime_error.hpp>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/filesystem/exception.hpp>
#include <boost/format.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <locale>
#include <sys/stat.h>

namespace pelmo {
namespace filesystem {

namespace {

const std::uint32_t last_counter = 0xFFFFFFFE;

std::string time_stamp(const boost::posix_time::ptime& local_time)
{
    const boost::gregorian::date date = local_time.date();
    const boost::posix_time::time_duration time = local_time.time_of_day();
    const std::locale classic = std::locale::classic();
    return (boost::format("%04d%02d%02d", classic) % static_cast<int>(date.year())
            % static_cast<int>(date.month()) % static_cast<int>(date.day())).str()
        + (boost::format("%d%d%d%d", classic) % time.hours() % time.minutes() % time.seconds()
           % (time.total_microseconds() % 1000000)).str();
}

std::string counter_text(std::uint32_t counter)
{
    return (boost::format("%08X", std::locale::classic()) % counter).str();
}

// True when this call created the folder; false when the name is taken.
bool create_if_free(const boost::filesystem::path& candidate)
{
    if (::mkdir(candidate.c_str(), 0700) == 0)
        return true;
    const int error = errno;
    if (error == EEXIST)
        return false;
    PELMO_THROW(boost::filesystem::filesystem_error(
        "cannot create folder", candidate, boost::system::error_code(error, boost::system::system_category())));
}

// The stamp's digits (12 to 20 of them) and the counter's 8 after the prefix.
bool is_unique_directory_name(const std::string& name, const std::string& prefix)
{
    const std::size_t counter_size = 8;
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() < prefix.size() + 12 + counter_size
        || name.size() > prefix.size() + 20 + counter_size)
        return false;
    const auto counter = name.end() - counter_size;
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), counter, is_digit)
        && std::all_of(counter, name.end(), [&](char c) { return is_digit(c) || (c >= 'A' && c <= 'F'); });
}

bool is_directory_older_than(const boost::filesystem::path& folder, std::chrono::seconds age)
{
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)
        && std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(status.st_mtime) > age;
}

} // namespace

boost::shared_ptr<boost::filesystem::path> create_unique_directory(const std::string& base,
                                                                   const std::string& prefix)
{
    return create_unique_directory(base, prefix, boost::posix_time::microsec_clock::local_time());
}

boost::shared_ptr<boost::filesystem::path> create_unique_directory(const std::string& base,
                                                                   const std::string& prefix,
                                                                   const boost::posix_time::ptime& local_time)
{
    create_private_directories(base);
    const std::string stem = prefix + time_stamp(local_time);
    for (std::uint32_t counter = 0;; ++counter) {
        auto candidate = boost::make_shared<boost::filesystem::path>(
            boost::filesystem::path(base) / (stem + counter_text(counter)));
        if (create_if_free(*candidate))
            return candidate;
        if (counter == last_counter)
            break;
    }
    PELMO_THROW(runtime_error());
}

void remove_unique_directories_older_than(const std::string& base, const std::string& prefix,
                                          std::chrono::seconds age)
{
    boost::system::error_code error;
    for (boost::filesystem::directory_iterator entry(base, error), end; !error && entry != end;
         entry.increment(error)) {
        const boost::filesystem::path& folder = entry->path();
        boost::system::error_code ignored;
        if (is_unique_directory_name(folder.filename().string(), prefix) && is_directory_older_than(folder, age))
            boost::filesystem::remove_all(folder, ignored);
    }
}

} // namespace filesystem
} // namespace pelmo
