#include <Noctavi/RSS/Item.h>

namespace RSS {

Item::Item(const std::string& title, const std::string& description, const std::string& category,
           const std::string& guid, const std::string& pub)
    : title_(title)
    , description_(description)
    , category_(category)
    , guid_(guid)
    , pub_(pub)
{
}

} // namespace RSS
