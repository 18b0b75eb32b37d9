#ifndef NOCTAVI_IS_DESCRIPTIONLINK_H
#define NOCTAVI_IS_DESCRIPTIONLINK_H

#include <Noctavi/HTTP/Parser.h>

#include <optional>
#include <string>
#include <string_view>

namespace IS {

// The link of a feed item's description markup: the "href" of its first "A"
// element, "" when it has no such element or that element no "href".

// Found by a strict, bounded scan of simple markup (known elements with
// double-quoted known attributes, text, the five predefined entities and
// numeric references), which agrees with ParseDescriptionLink wherever it
// answers. Anything else gives none, and the full parse must decide.
std::optional<std::string> ScanDescriptionLink(std::string_view markup);

// Found by parsing the markup in full (as XML when it is well-formed, else
// as HTML) into `document`, which can be reused from call to call.
std::string ParseDescriptionLink(HTTP::XML::Parser& document, const std::string& markup);

} // namespace IS

#endif
