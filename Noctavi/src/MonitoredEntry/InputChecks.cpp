#include <Noctavi/MonitoredEntry/InputChecks.h>

#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/network/address.hpp>

#include <algorithm>
#include <cstdint>

namespace MonitoredEntry {

bool IsNonEmptyString(const std::wstring& text)
{
    return !text.empty();
}

bool IsValidHost(const std::wstring& host)
{
    const std::string narrow = Utility::ToNarrow(host);
    return pelmo::network::is_ipv4_address(narrow) || pelmo::network::is_host_name(narrow);
}

bool IsPortNumber(long long number)
{
    return number >= 0 && number <= 65535;
}

bool IsAsciiString(const std::wstring& text)
{
    // Unsigned, so that a negative wchar_t is no ASCII character either.
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return static_cast<std::uint32_t>(c) <= 127; });
}

bool HasNoControlCharacters(const std::wstring& text)
{
    return std::none_of(text.begin(), text.end(), [](wchar_t c) { return c == 0x7F || (c >= 0 && c < 0x20); });
}

} // namespace MonitoredEntry
