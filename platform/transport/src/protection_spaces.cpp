#include "protection_spaces.hpp"

#include <algorithm>

namespace transport::detail {
namespace {

std::string realm_of(const challenge& answered)
{
    const auto found = answered.params.find("realm");
    return found == answered.params.end() ? std::string() : found->second;
}

std::string without_query(const std::string& path)
{
    return path.substr(0, path.find('?'));
}

bool same_space(const challenge& a, const challenge& b)
{
    return a.scheme == b.scheme && realm_of(a) == realm_of(b);
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
    const unsigned long sent = space->answered.params == answered.params ? space->nc : 0;
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
