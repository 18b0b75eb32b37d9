#ifndef TRANSPORT_SRC_PIN_STORE_HPP
#define TRANSPORT_SRC_PIN_STORE_HPP

#include <mutex>
#include <optional>
#include <string>

namespace transport::detail {

// The process-wide record of certificate keys by host and port, kept in
// "<folder>known_machines", one "host port key" line each. The file is
// read afresh on every look-up and rewritten whole on every change; the folder
// is made, private, when the first key is recorded. A key replaced closes
// the pooled connections to that host and port.
class pin_store {
public:
    static pin_store& instance();

    void set_folder(const std::string& folder);

    enum class verdict { matches, differs, unavailable };
    // Records the key unless one is recorded already, and then checks it
    // against the recorded one; unavailable when no folder is set or the
    // record cannot be read or written.
    verdict record(const std::string& host, int port, const std::string& key);
    // The key recorded for host and port; none when there is none or the
    // record cannot be read.
    std::optional<std::string> lookup(const std::string& host, int port) const;
    // Records the key in place of any other for host and port; false when it
    // cannot be recorded.
    bool replace(const std::string& host, int port, const std::string& key);

private:
    pin_store() = default;
    std::string file_locked() const;
    std::optional<std::string> read_locked() const;
    bool write_locked(const std::string& content) const;

    mutable std::mutex mutex_;
    std::string folder_;
};

} // namespace transport::detail

#endif
