#include <Noctavi/Utility/SearchOptions.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <utility>

namespace Utility {

namespace {

std::optional<discovery::round_options>& Chosen()
{
    static std::optional<discovery::round_options> options;
    return options;
}

bool IsPort(const std::string& text)
{
    return !text.empty() && text.size() <= 5 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }) &&
           std::stoul(text) <= 65535;
}

// Port 0 with no address is what a round refuses.
discovery::endpoint ParseTarget(const std::string& text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || !IsPort(text.substr(colon + 1)))
        return {};
    return {text.substr(0, colon), static_cast<std::uint16_t>(std::stoul(text.substr(colon + 1)))};
}

} // namespace

discovery::round_options GetSearchOptions()
{
    if (Chosen())
        return *Chosen();
    discovery::round_options options;
    if (const char* target = std::getenv("NOCTAVI_SEARCH_TARGET"))
        options.target = ParseTarget(target);
    return options;
}

std::optional<discovery::round_options> SetSearchOptions(const std::optional<discovery::round_options>& options)
{
    return std::exchange(Chosen(), options);
}

} // namespace Utility
