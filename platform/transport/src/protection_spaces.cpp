#include "protection_spaces.hpp"

#include <algorithm>

namespace transport::detail {
namespace {

std::string param_of(const challenge& answered, const std::string& name)
{
    const auto found = answered.params.find(name);
    return found == answered.params.end() ? std::string() : found->second;
}

std::string without_query(const std::string& path)
{
    return path.substr(0, path.find('?'));
}

bool same_space(const challenge& a, const challenge& b)
{
    return a.scheme == b.scheme && param_of(a, "realm") == param_of(b, "realm");
}

bool same_nonce(const challenge& a, const challenge& b)
{
    return same_space(a, b) && param_of(a, "nonce") == param_of(b, "nonce");
}

} // namespace

protection_spaces& protection_spaces::instance()
{
    static protection_spaces spaces;
    return spaces;
}

std::optional<protection_space> protection_spaces::claim(const origin& at, const std::string& user,
                                                         const std::string& path)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = spaces_.find({at, user});
    if (found == spaces_.end())
        return std::nullopt;
    for (protection_space& space : found->second) {
        if (space.paths.count(without_query(path))) {
            ++space.nc;
            return space;
        }
    }
    return std::nullopt;
}

unsigned long protection_spaces::next_count(const origin& at, const std::string& user, const challenge& offered)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = spaces_.find({at, user});
    if (found == spaces_.end())
        return 1;
    for (protection_space& space : found->second) {
        if (same_nonce(space.answered, offered))
            return ++space.nc;
    }
    return 1;
}

void protection_spaces::accepted(const origin& at, const std::string& user, const std::string& path,
                                 const challenge& answered, unsigned long nc)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<protection_space>& known = spaces_[{at, user}];
    auto space = std::find_if(known.begin(), known.end(),
                              [&answered](const protection_space& s) { return same_space(s.answered, answered); });
    if (space == known.end()) {
        if (known.size() >= spaces_per_user)
            known.erase(known.begin());
        space = known.insert(known.end(), protection_space{answered, {}, nc});
    }
    // A count sent meanwhile on another thread with the same nonce must not
    // be sent again.
    const unsigned long sent = same_nonce(space->answered, answered) ? space->nc : 0;
    space->answered = answered;
    space->nc = std::max(sent, nc);
    if (space->paths.size() < paths_per_space)
        space->paths.insert(without_query(path));
}

void protection_spaces::forget(const origin& at, const std::string& user, const protection_space& space)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = spaces_.find({at, user});
    if (found == spaces_.end())
        return;
    std::vector<protection_space>& known = found->second;
    known.erase(std::remove_if(known.begin(), known.end(),
                               [&space](const protection_space& s) { return same_space(s.answered, space.answered); }),
                known.end());
}

} // namespace transport::detail
