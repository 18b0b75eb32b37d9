#include "connection_pool.hpp"

#include "pin_store.hpp"

#include <algorithm>

namespace transport::detail {
namespace {

using clock = std::chrono::steady_clock;

multi_ptr new_multi()
{
    multi_ptr multi(curl_multi_init());
    // One connection per handle, so that its verdict is the connection's.
    if (multi)
        curl_multi_setopt(multi.get(), CURLMOPT_MAXCONNECTS, 1L);
    return multi;
}

} // namespace

connection_pool& connection_pool::instance()
{
    static connection_pool pool;
    return pool;
}

// Pin checks read the record afresh, so a key changed by hand counts too.
bool connection_pool::still_trusted(const origin& to, const pooled_connection& connection)
{
    if (!to.secure)
        return true;
    return (connection.verdict == tls_check::outcome::trusted || connection.verdict == tls_check::outcome::pinned) &&
           pin_store::instance().lookup(to.host, to.port) == connection.key;
}

pooled_connection connection_pool::take(const origin& to)
{
    std::vector<pooled_connection> closing;
    pooled_connection taken;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        expire_locked(closing);
        const auto found = idle_.find(to);
        if (found != idle_.end() && !found->second.empty()) {
            taken = std::move(found->second.back());
            found->second.pop_back();
        }
        taken.taken_at = generation_;
    }
    if (taken.multi && !still_trusted(to, taken))
        taken.multi.reset();
    if (!taken.multi) {
        taken.multi = new_multi();
        taken.verdict = tls_check::outcome::none;
        taken.key.clear();
    }
    return taken;
}

void connection_pool::give_back(const origin& to, pooled_connection connection)
{
    std::vector<pooled_connection> closing;
    const std::lock_guard<std::mutex> lock(mutex_);
    expire_locked(closing);
    if (dropped_since_locked(to, connection.taken_at))
        return;
    std::vector<pooled_connection>& idle = idle_[to];
    if (idle.size() >= idle_per_origin) {
        closing.push_back(std::move(idle.front()));
        idle.erase(idle.begin());
    }
    connection.idle_since = clock::now();
    idle.push_back(std::move(connection));
}

bool connection_pool::dropped_since_locked(const origin& to, unsigned long generation) const
{
    const auto found = dropped_.find(to);
    return (found != dropped_.end() && found->second > generation) || (to.secure && secure_dropped_ > generation);
}

void connection_pool::drop(const std::string& host, int port)
{
    const origin to{true, host, port};
    std::vector<pooled_connection> closed;
    const std::lock_guard<std::mutex> lock(mutex_);
    dropped_[to] = ++generation_;
    const auto found = idle_.find(to);
    if (found != idle_.end())
        closed = std::move(found->second), idle_.erase(found);
}

void connection_pool::drop_secure()
{
    std::vector<pooled_connection> closed;
    const std::lock_guard<std::mutex> lock(mutex_);
    secure_dropped_ = ++generation_;
    for (auto it = idle_.begin(); it != idle_.end();) {
        if (!it->first.secure) {
            ++it;
            continue;
        }
        std::move(it->second.begin(), it->second.end(), std::back_inserter(closed));
        it = idle_.erase(it);
    }
}

void connection_pool::expire_locked(std::vector<pooled_connection>& closing)
{
    const clock::time_point now = clock::now();
    for (auto& [to, idle] : idle_) {
        const auto expired = std::partition(idle.begin(), idle.end(), [now](const pooled_connection& c) {
            return now - c.idle_since < idle_limit;
        });
        std::move(expired, idle.end(), std::back_inserter(closing));
        idle.erase(expired, idle.end());
    }
}

} // namespace transport::detail
