#ifndef TRANSPORT_SRC_CONNECTION_POOL_HPP
#define TRANSPORT_SRC_CONNECTION_POOL_HPP

#include "origin.hpp"
#include "tls_check.hpp"

#include <curl/curl.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace transport::detail {

struct multi_free {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using multi_ptr = std::unique_ptr<CURLM, multi_free>;

// A multi handle whose cache holds at most one open connection to its
// origin, and the verdict on that connection's certificate from the
// handshake that opened it: a reused connection has no handshake of its own.
struct pooled_connection {
    multi_ptr multi;
    tls_check::outcome verdict = tls_check::outcome::none;
    std::string key; // the certificate's key the verdict judged
    unsigned long taken_at = 0; // the pool's generation when it was handed out
    std::chrono::steady_clock::time_point idle_since;
};

// The process-wide idle connections, a few per origin, each used by one
// request at a time; one idle for a minute is closed at the next visit to the
// pool (no thread of its own watches the clock). A connection goes back
// only after a request that ended cleanly; over TLS one is handed out again
// only while its key is still the one recorded for its host and port.
class connection_pool {
public:
    static constexpr std::size_t idle_per_origin = 4;
    static constexpr std::chrono::seconds idle_limit{60};

    static connection_pool& instance();

    // An idle connection to the origin, else a new multi handle (null when
    // none can be made).
    pooled_connection take(const origin& to);
    void give_back(const origin& to, pooled_connection connection);
    // Closes the idle secure connections to host and port, and refuses those
    // in use when they come back.
    void drop(const std::string& host, int port);
    void drop_secure();

private:
    connection_pool() = default;
    void expire_locked(std::vector<pooled_connection>& closing);
    bool dropped_since_locked(const origin& to, unsigned long generation) const;
    static bool still_trusted(const origin& to, const pooled_connection& connection);

    std::mutex mutex_;
    std::map<origin, std::vector<pooled_connection>> idle_;
    // Generations at which connections were dropped: one given out before
    // is not taken back.
    unsigned long generation_ = 0;
    std::map<origin, unsigned long> dropped_;
    unsigned long secure_dropped_ = 0;
};

} // namespace transport::detail

#endif
