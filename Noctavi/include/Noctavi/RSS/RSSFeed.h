#ifndef NOCTAVI_RSS_RSSFEED_H
#define NOCTAVI_RSS_RSSFEED_H

#include <Noctavi/RSS/Item.h>

#include <pelmo/cloner.hpp>

#include <string>
#include <vector>

namespace RSS {

using ItemList = std::vector<Item>;

// A user's feed as fetched from a machine: its title, link and last-build
// date (as text) and its items in feed order.
class RSSFeed {
public:
    // A feed with empty texts and no items.
    RSSFeed();
    RSSFeed(const std::string& title, const std::string& link, const std::string& date, const ItemList& items);

    const std::string& GetTitle() const;
    const std::string& GetLink() const;
    const std::string& GetDate() const;
    const ItemList& GetItemList() const;

    void SetTitle(const std::string& title);
    void SetLink(const std::string& link);
    void SetDate(const std::string& date);
    void SetItemList(const ItemList& items);

    // True when the date and every item's publication time are date-times
    // that EventTime can compare (EventTime::IsValidTimeString).
    bool IsValid() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace RSS

#endif
