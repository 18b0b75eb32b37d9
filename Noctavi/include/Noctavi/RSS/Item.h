#ifndef NOCTAVI_RSS_ITEM_H
#define NOCTAVI_RSS_ITEM_H

#include <string>

namespace RSS {

// One item of a feed, its texts as the machine sent them. The description is
// the address of the first link in the item's description markup (empty when
// it has none); pub is the publication time as text.
class Item {
public:
    Item() = default;
    Item(const std::string& title, const std::string& description, const std::string& category,
         const std::string& guid, const std::string& pub);

    const std::string& GetTitle() const { return title_; }
    const std::string& GetDescription() const { return description_; }
    const std::string& GetCategory() const { return category_; }
    const std::string& GetGuid() const { return guid_; }
    const std::string& GetPub() const { return pub_; }

    void SetTitle(const std::string& title) { title_ = title; }
    void SetDescription(const std::string& description) { description_ = description; }
    void SetCategory(const std::string& category) { category_ = category; }
    void SetGuid(const std::string& guid) { guid_ = guid; }
    void SetPub(const std::string& pub) { pub_ = pub; }

private:
    std::string title_;
    std::string description_;
    std::string category_;
    std::string guid_;
    std::string pub_;
};

} // namespace RSS

#endif
