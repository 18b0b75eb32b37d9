#include <Noctavi/System/InvalidSetting.h>

InvalidSetting::InvalidSetting(const std::string& key)
    : key_(key)
    , message_("invalid value of the configuration key " + key)
{
}
