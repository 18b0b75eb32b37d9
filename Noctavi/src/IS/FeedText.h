#ifndef NOCTAVI_SRC_IS_FEEDTEXT_H
#define NOCTAVI_SRC_IS_FEEDTEXT_H

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/IS/InvalidRSSFeed.h>

#include <pelmo/exception.hpp>

#include <string>

namespace IS::detail {

// The text of a required child of a feed element (CHANNEL or ITEM).
inline std::string RequiredText(HTTP::XML::Parser::Iterator parent, const std::string& name)
{
    const HTTP::XML::Parser::Iterator found = HTTP::XML::Parser::Find(parent, HTTP::XML::Path{name});
    if (found == HTTP::XML::Parser::End())
        PELMO_THROW(InvalidRSSFeed());
    return (*found).GetString();
}

} // namespace IS::detail

#endif
