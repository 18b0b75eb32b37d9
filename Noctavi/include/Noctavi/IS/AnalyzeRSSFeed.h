#ifndef NOCTAVI_IS_ANALYZERSSFEED_H
#define NOCTAVI_IS_ANALYZERSSFEED_H

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/RSS/RSSFeed.h>

#include <memory>

namespace IS {

// Turns a parsed feed into an RSS::RSSFeed: the CHANNEL's TITLE, LINK and
// LASTBUILDDATE and its ITEM elements in document order (other elements
// among them are passed over).
class AnalyzeRSSFeed {
public:
    // IS::InvalidRSSFeed when CHANNEL or one of its required elements is
    // missing, or, once every item has been read, when the date or an item's
    // publication time is not an RFC 822 date-time; HTTP::InvalidContentType
    // when a required element has no text.
    std::unique_ptr<RSS::RSSFeed> operator()(const HTTP::XML::Parser& parser) const;
};

} // namespace IS

#endif
