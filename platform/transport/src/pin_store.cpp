#include "pin_store.hpp"

#include "atomic_file.hpp"

#include <transport/known_machines.hpp>

#include <fstream>
#include <sstream>

namespace transport {

void set_known_machines_folder(const std::string& folder)
{
    detail::pin_store::instance().set_folder(folder);
}

namespace detail {
namespace {

std::string read_all(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string line_for(const std::string& host, int port, const std::string& key)
{
    return host + ' ' + std::to_string(port) + ' ' + key + '\n';
}

} // namespace

pin_store& pin_store::instance()
{
    static pin_store store;
    return store;
}

void pin_store::set_folder(const std::string& folder)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    folder_ = folder;
    if (!folder_.empty() && folder_.back() != '/')
        folder_ += '/';
}

std::string pin_store::file_locked() const
{
    return folder_ + "known_machines";
}

std::optional<std::string> pin_store::find_locked(const std::string& host, int port) const
{
    std::istringstream lines(read_all(file_locked()));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string recorded_host, key;
        int recorded_port = 0;
        if (fields >> recorded_host >> recorded_port >> key && recorded_host == host && recorded_port == port)
            return key;
    }
    return std::nullopt;
}

pin_store::verdict pin_store::check(const std::string& host, int port, const std::string& key) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (folder_.empty())
        return verdict::unavailable;
    const auto recorded = find_locked(host, port);
    if (!recorded)
        return verdict::unknown;
    return *recorded == key ? verdict::matches : verdict::differs;
}

pin_store::verdict pin_store::record(const std::string& host, int port, const std::string& key)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    if (folder_.empty())
        return verdict::unavailable;
    if (const auto recorded = find_locked(host, port))
        return *recorded == key ? verdict::matches : verdict::differs;

    std::string content = read_all(file_locked());
    if (!content.empty() && content.back() != '\n')
        content += '\n';
    content += line_for(host, port, key);
    atomic_file file;
    if (!file.open(file_locked()) || !file.write(content.data(), content.size()) || !file.commit())
        return verdict::unavailable;
    return verdict::matches;
}

} // namespace detail
} // namespace transport
