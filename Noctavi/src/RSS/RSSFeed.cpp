#include <Noctavi/RSS/RSSFeed.h>

#include <Noctavi/RSS/EventTime.h>

#include <algorithm>

namespace RSS {

struct RSSFeed::Pimpl {
    std::string title;
    std::string link;
    std::string date;
    ItemList items;
};

RSSFeed::RSSFeed()
    : pimpl_(new Pimpl())
{
}

RSSFeed::RSSFeed(const std::string& title, const std::string& link, const std::string& date,
                 const ItemList& items)
    : pimpl_(new Pimpl{title, link, date, items})
{
}

const std::string& RSSFeed::GetTitle() const
{
    return pimpl_->title;
}

const std::string& RSSFeed::GetLink() const
{
    return pimpl_->link;
}

const std::string& RSSFeed::GetDate() const
{
    return pimpl_->date;
}

const ItemList& RSSFeed::GetItemList() const
{
    return pimpl_->items;
}

void RSSFeed::SetTitle(const std::string& title)
{
    pimpl_->title = title;
}

void RSSFeed::SetLink(const std::string& link)
{
    pimpl_->link = link;
}

void RSSFeed::SetDate(const std::string& date)
{
    pimpl_->date = date;
}

void RSSFeed::SetItemList(const ItemList& items)
{
    pimpl_->items = items;
}

bool RSSFeed::IsValid() const
{
    return EventTime::IsValidTimeString(pimpl_->date)
        && std::all_of(pimpl_->items.begin(), pimpl_->items.end(),
                       [](const Item& item) { return EventTime::IsValidTimeString(item.GetPub()); });
}

} // namespace RSS
