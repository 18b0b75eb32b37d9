#include <Noctavi/IS/AnalyzeItem.h>

#include <Noctavi/HTTP/InvalidContentType.h>

#include "FeedText.h"

#include <boost/algorithm/string/predicate.hpp>

namespace IS {
namespace {

using HTTP::XML::Parser;

// Without "<a" in any case the markup holds no A element, and the HTML
// parser, by far the dearest step of the analysis, can be skipped.
bool MayHoldLink(const std::string& markup)
{
    for (std::size_t open = markup.find('<'); open != std::string::npos; open = markup.find('<', open + 1)) {
        if (open + 1 < markup.size() && (markup[open + 1] == 'a' || markup[open + 1] == 'A'))
            return true;
    }
    return false;
}

// The DESCRIPTION's text; "" when the item has none or it is empty.
std::string DescriptionMarkup(Parser::Iterator item)
{
    const Parser::Iterator description = Parser::Find(item, HTTP::XML::Path{"DESCRIPTION"});
    if (description == Parser::End())
        return std::string();
    try {
        return (*description).GetString();
    } catch (const HTTP::InvalidContentType&) {
        return std::string();
    }
}

} // namespace

struct AnalyzeItem::Pimpl {
    Pimpl() = default;
    // A copy parses its descriptions in a document of its own.
    Pimpl(const Pimpl&) {}

    // Reused from item to item.
    Parser description;

    std::string FirstLink(const std::string& markup);
};

// Attribute names are compared as HTML compares them, without regard to
// case: markup that happens to be well-formed XML keeps its names' case.
std::string AnalyzeItem::Pimpl::FirstLink(const std::string& markup)
{
    if (!MayHoldLink(markup) || !description.Parse(std::vector<unsigned char>(markup.begin(), markup.end())))
        return std::string();
    const Parser::Iterator link = description.Find("A");
    if (link == Parser::End())
        return std::string();
    for (const auto& [name, value] : (*link).GetAttributes()) {
        if (boost::algorithm::iequals(name, "href"))
            return value;
    }
    return std::string();
}

AnalyzeItem::AnalyzeItem()
    : pimpl_(new Pimpl)
{
}

RSS::Item AnalyzeItem::operator()(Parser::Iterator item)
{
    RSS::Item result;
    result.SetTitle(detail::RequiredText(item, "TITLE"));
    result.SetDescription(pimpl_->FirstLink(DescriptionMarkup(item)));
    result.SetCategory(detail::RequiredText(item, "CATEGORY"));
    result.SetGuid(detail::RequiredText(item, "GUID"));
    result.SetPub(detail::RequiredText(item, "PUBDATE"));
    return result;
}

} // namespace IS
