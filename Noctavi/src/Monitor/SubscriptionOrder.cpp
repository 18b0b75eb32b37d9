#include <Noctavi/Monitor/SubscriptionOrder.h>

#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>

#include <algorithm>
#include <map>
#include <utility>

namespace Monitor {

struct SubscriptionOrder::Pimpl {
    typedef std::pair<std::wstring, std::wstring> Key;

    boost::mutex mutex;
    boost::condition_variable left;
    // Places are handed out in rising order, so the map keeps the line's order.
    std::map<Place, Key> places;
    Place next = 0;

    bool HasOneAhead(Place place) const;
};

// Called with the mutex held.
bool SubscriptionOrder::Pimpl::HasOneAhead(Place place) const
{
    const auto mine = places.find(place);
    if (mine == places.end())
        return false;
    return std::any_of(places.begin(), mine,
                       [&mine](const std::pair<const Place, Key>& other) { return other.second == mine->second; });
}

SubscriptionOrder::SubscriptionOrder()
    : pimpl_(std::make_shared<Pimpl>())
{
}

SubscriptionOrder& SubscriptionOrder::Get()
{
    static SubscriptionOrder instance;
    return instance;
}

SubscriptionOrder::Place SubscriptionOrder::Enter(const std::wstring& host, const std::wstring& account)
{
    const boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
    const Place place = pimpl_->next++;
    pimpl_->places.emplace(place, Pimpl::Key(host, account));
    return place;
}

void SubscriptionOrder::WaitForTurn(Place place)
{
    boost::unique_lock<boost::mutex> lock(pimpl_->mutex);
    pimpl_->left.wait(lock, [&] { return !pimpl_->HasOneAhead(place); });
}

void SubscriptionOrder::Leave(Place place) noexcept
{
    {
        const boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
        pimpl_->places.erase(place);
    }
    pimpl_->left.notify_all();
}

} // namespace Monitor
