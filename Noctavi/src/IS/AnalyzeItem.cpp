#include <Noctavi/IS/AnalyzeItem.h>

#include <Noctavi/HTTP/InvalidContentType.h>
#include <Noctavi/IS/DescriptionLink.h>

#include "FeedText.h"

#include <optional>
#include <utility>

namespace IS {
namespace {

using HTTP::XML::Parser;

// The children an item is read from, in the order they are read.
enum Child { Title, Description, Category, Guid, PubDate, ChildCount };

// The DESCRIPTION's text; "" when the item has none or it is empty.
std::string DescriptionMarkup(const Parser::Iterator& description)
{
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

    // Made for the first description that the scan leaves to the full
    // parse, and reused from item to item.
    std::optional<Parser> description;

    std::string FirstLink(const std::string& markup)
    {
        std::optional<std::string> link = ScanDescriptionLink(markup);
        if (link)
            return std::move(*link);
        if (!description)
            description.emplace();
        return ParseDescriptionLink(*description, markup);
    }
};

AnalyzeItem::AnalyzeItem()
    : pimpl_(new Pimpl)
{
}

RSS::Item AnalyzeItem::operator()(Parser::Iterator item)
{
    const auto children =
        detail::FirstChildren<ChildCount>(item, {"TITLE", "DESCRIPTION", "CATEGORY", "GUID", "PUBDATE"});
    RSS::Item result;
    result.SetTitle(detail::RequiredText(children[Title]));
    result.SetDescription(pimpl_->FirstLink(DescriptionMarkup(children[Description])));
    result.SetCategory(detail::RequiredText(children[Category]));
    result.SetGuid(detail::RequiredText(children[Guid]));
    result.SetPub(detail::RequiredText(children[PubDate]));
    return result;
}

} // namespace IS
