#ifndef NOCTAVI_IS_ANALYZEITEM_H
#define NOCTAVI_IS_ANALYZEITEM_H

#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/RSS/Item.h>

#include <pelmo/cloner.hpp>

namespace IS {

// Turns one ITEM element of a feed into an RSS::Item. The item's description
// is the "href" of the first "A" element of the DESCRIPTION markup, or ""
// when there is no description, it is not markup or it holds no such link.
// One analyser can be used for every item of a feed; copies are independent.
class AnalyzeItem {
public:
    AnalyzeItem();

    // IS::InvalidRSSFeed when TITLE, CATEGORY, GUID or PUBDATE is missing;
    // HTTP::InvalidContentType when one of them has no text.
    RSS::Item operator()(HTTP::XML::Parser::Iterator item);

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace IS

#endif
