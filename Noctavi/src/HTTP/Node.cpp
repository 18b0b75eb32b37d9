#include <Noctavi/HTTP/Node.h>

#include <Noctavi/HTTP/InvalidContentType.h>

#include <regex>

namespace HTTP::XML {
namespace {

// The predefined entities: the transport escapes attribute values with them.
std::string DecodeEntities(const std::string& value)
{
    static const std::pair<const char*, char> entities[] = {
        {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'},
    };
    std::string result;
    for (std::size_t i = 0; i < value.size();) {
        bool decoded = false;
        for (const auto& [entity, character] : entities) {
            if (value.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
                result += character;
                i += std::char_traits<char>::length(entity);
                decoded = true;
                break;
            }
        }
        if (!decoded)
            result += value[i++];
    }
    return result;
}

std::string CollapseWhiteSpace(const std::string& value)
{
    static const std::regex whiteSpace("[ \\t\\r\\n\\f\\v]+");
    return std::regex_replace(value, whiteSpace, " ");
}

} // namespace

std::string Node::GetString() const
{
    const auto text = transport::text(element_);
    if (!text)
        PELMO_THROW(InvalidContentType());
    return *text;
}

long Node::GetDecimal() const
{
    long value = 0;
    if (!transport::number(element_, value))
        PELMO_THROW(InvalidContentType());
    return value;
}

Node::Attributes Node::GetAttributes() const
{
    const auto text = transport::attribute_text(element_);
    return text ? ParseAttributes(*text) : Attributes();
}

Node::Attributes Node::ParseAttributes(const std::string& text)
{
    // Explicit character ranges: the match does not depend on any locale.
    static const std::regex pair("([A-Za-z0-9]+)[ \\t\\r\\n]*=[ \\t\\r\\n]*\"([^\"]*)\"");
    Attributes attributes;
    for (std::sregex_iterator match(text.begin(), text.end(), pair), end; match != end; ++match)
        attributes[(*match)[1].str()] = CollapseWhiteSpace(DecodeEntities((*match)[2].str()));
    return attributes;
}

} // namespace HTTP::XML
