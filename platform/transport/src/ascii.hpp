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

inline char upper_ascii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether `name` spells the null-terminated table entry, in upper case when
// `fold`. No copy and no strlen: tag names are looked up for every element.
inline bool spells(std::string_view name, const char* entry, bool fold)
{
    std::size_t i = 0;
    for (; i < name.size(); ++i) {
        if (entry[i] == '\0' || entry[i] != (fold ? upper_ascii(name[i]) : name[i]))
            return false;
    }
    return entry[i] == '\0';
}

// The index of the table entry that `name` spells, or `count`.
inline int find_entry(std::string_view name, const char* const* entries, int count, bool fold)
{
    for (int i = 0; i < count; ++i) {
        if (spells(name, entries[i], fold))
            return i;
    }
    return count;
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
