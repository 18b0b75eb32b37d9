#include "pin_store.hpp"

#include "atomic_file.hpp"
#include "connection_pool.hpp"

#include <transport/known_machines.hpp>

#include <pelmo/filesystem/operations.hpp>
#include <pelmo/unique_fd.hpp>

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace transport {

void set_known_machines_folder(const std::string& folder)
{
    detail::pin_store::instance().set_folder(folder);
}

namespace detail {
namespace {

// The file's content; empty when it does not exist, none when it cannot be read.
std::optional<std::string> read_all(const std::string& file)
{
    const pelmo::unique_fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            return content;
        if (got > 0)
            content.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            return std::nullopt;
    }
}

std::optional<std::string> find(const std::string& content, const std::string& host, int port)
{
    std::istringstream lines(content);
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

// The content without the lines of host and port.
std::string without(const std::string& content, const std::string& host, int port)
{
    std::istringstream lines(content);
    std::string kept, line;
    while (std::getline(lines, line)) {
        if (!find(line, host, port))
            kept += line + '\n';
    }
    return kept;
}

bool create_folder(const std::string& folder)
{
    try {
        pelmo::filesystem::create_private_directories(folder);
        return true;
    } catch (const std::exception&) {
        return false;
    }
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
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        folder_ = folder;
        if (!folder_.empty() && folder_.back() != '/')
            folder_ += '/';
    }
    // Their keys were judged against another record.
    connection_pool::instance().drop_secure();
}

std::optional<std::string> pin_store::lookup(const std::string& host, int port) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto content = read_locked();
    return content ? find(*content, host, port) : std::nullopt;
}

std::string pin_store::file_locked() const
{
    return folder_ + "known_machines";
}

std::optional<std::string> pin_store::read_locked() const
{
    if (folder_.empty())
        return std::nullopt;
    // A record that cannot be read might hold a key: treating it as empty
    // would take any impostor's key on trust, and rewriting it would drop
    // every other key.
    return read_all(file_locked());
}

bool pin_store::write_locked(const std::string& content) const
{
    atomic_file file;
    return create_folder(folder_) && file.open(file_locked()) && file.write(content.data(), content.size()) &&
           file.commit();
}

pin_store::verdict pin_store::record(const std::string& host, int port, const std::string& key)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    auto content = read_locked();
    if (!content)
        return verdict::unavailable;
    if (const auto recorded = find(*content, host, port))
        return *recorded == key ? verdict::matches : verdict::differs;
    if (!content->empty() && content->back() != '\n')
        *content += '\n';
    return write_locked(*content + line_for(host, port, key)) ? verdict::matches : verdict::unavailable;
}

bool pin_store::replace(const std::string& host, int port, const std::string& key)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto content = read_locked();
    if (!content)
        return false;
    if (find(*content, host, port) == key)
        return true;
    connection_pool::instance().drop(host, port);
    return write_locked(without(*content, host, port) + line_for(host, port, key));
}

} // namespace detail
} // namespace transport
