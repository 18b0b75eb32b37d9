#ifndef TRANSPORT_SRC_ASCII_HPP
#define TRANSPORT_SRC_ASCII_HPP

#include <cstddef>
#include <string>
#include <string_view>

// Locale-free text helpers for protocol text.
namespace transport::detail {

inline std::string lower_ascii(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

inline std::string upper_ascii(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

inline std::string_view trim(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Whether the text holds a byte that would end or cut a header line.
inline bool breaks_header(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

inline std::string hex(const unsigned char* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string result;
    for (std::size_t i = 0; i < size; ++i) {
        result += digits[data[i] >> 4];
        result += digits[data[i] & 0x0F];
    }
    return result;
}

// Bytes outside `keep` (and every byte of 0x80 or above) as %XX.
template <class Keep>
std::string percent_encoded(std::string_view text, Keep keep)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : text) {
        if (c < 0x80 && keep(static_cast<char>(c))) {
            result += static_cast<char>(c);
        } else {
            result += '%';
            result += digits[c >> 4];
            result += digits[c & 0x0F];
        }
    }
    return result;
}

} // namespace transport::detail

#endif
