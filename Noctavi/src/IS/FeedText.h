#ifndef NOCTAVI_SRC_IS_FEEDTEXT_H
#define NOCTAVI_SRC_IS_FEEDTEXT_H

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/HTTP/TagNames.h>
#include <Noctavi/IS/InvalidRSSFeed.h>

#include <pelmo/exception.hpp>

#include <array>
#include <cstddef>
#include <string>

namespace IS::detail {

// The first child of each name under `parent`, found in one walk over its
// children; the end for a name that no child has.
template <std::size_t N>
std::array<HTTP::XML::Parser::Iterator, N> FirstChildren(HTTP::XML::Parser::Iterator parent,
                                                         const std::array<const char*, N>& names)
{
    using HTTP::XML::Parser;
    std::array<int, N> tags{};
    for (std::size_t i = 0; i < N; ++i)
        tags[i] = HTTP::XML::TagNames::Lookup(names[i]);
    std::array<Parser::Iterator, N> found{};
    std::size_t missing = N;
    for (Parser::Iterator child = parent.Children(); child != Parser::End() && missing > 0; ++child) {
        const int tag = transport::tag_index((*child).Handle());
        for (std::size_t i = 0; i < N; ++i) {
            if (tag == tags[i] && tag != HTTP::XML::TagNames::Count && found[i] == Parser::End()) {
                found[i] = child;
                --missing;
            }
        }
    }
    return found;
}

// The text of a required child of a feed element (CHANNEL or ITEM).
inline std::string RequiredText(const HTTP::XML::Parser::Iterator& child)
{
    if (child == HTTP::XML::Parser::End())
        PELMO_THROW(InvalidRSSFeed());
    return (*child).GetString();
}

} // namespace IS::detail

#endif
