#include <Noctavi/HTTP/Node.h>

#include <Noctavi/HTTP/InvalidContentType.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

namespace HTTP::XML {
namespace {

// The predefined entities: the transport escapes attribute values with them.
// Text between references is copied in runs, so plain values cost one search.
std::string DecodeEntities(const std::string& value)
{
    static const std::pair<std::string_view, char> entities[] = {
        {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'},
    };
    std::string result;
    std::size_t copied = 0;
    for (std::size_t at = value.find('&'); at != std::string::npos; at = value.find('&', at + 1)) {
        const std::string_view rest = std::string_view(value).substr(at);
        const auto entity = std::find_if(std::begin(entities), std::end(entities), [rest](const auto& known) {
            return rest.substr(0, known.first.size()) == known.first;
        });
        if (entity == std::end(entities))
            continue;
        result.append(value, copied, at - copied);
        result += entity->second;
        copied = at + entity->first.size();
        at = copied - 1;
    }
    return copied == 0 ? value : result.append(value, copied, std::string::npos);
}

std::string CollapseWhiteSpace(const std::string& value)
{
    const auto isWhiteSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (!isWhiteSpace(value[i])) {
            result += value[i];
        } else if (i == 0 || !isWhiteSpace(value[i - 1])) {
            result += ' ';
        }
    }
    return result;
}

// Explicit character ranges: nothing here depends on a locale.
bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::size_t SkipSpaces(const std::string& text, std::size_t at)
{
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
        ++at;
    return at;
}

// The value of the pair whose name ends at `nameEnd`: the span between its
// quotes, or none when no '=' and quoted value follow the name.
std::optional<std::pair<std::size_t, std::size_t>> QuotedValue(const std::string& text, std::size_t nameEnd)
{
    const std::size_t equals = SkipSpaces(text, nameEnd);
    if (equals == text.size() || text[equals] != '=')
        return std::nullopt;
    const std::size_t open = SkipSpaces(text, equals + 1);
    if (open == text.size() || text[open] != '"')
        return std::nullopt;
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string::npos)
        return std::nullopt;
    return std::make_pair(open + 1, close);
}

} // namespace

std::string Node::GetString() const
{
    const auto text = transport::text(element_);
    if (!text)
        PELMO_THROW(InvalidContentType());
    return *text;
}

std::string Node::GetText() const
{
    return transport::text(element_).value_or(std::string());
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

// Finds each name="value" pair in turn, as a search would: a name is a run
// of letters and digits, so "data-x" offers "x". Scanned by hand, since a
// regular expression made this the dearest step of reading a feed.
Node::Attributes Node::ParseAttributes(const std::string& text)
{
    Attributes attributes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!IsNameCharacter(text[at])) {
            ++at;
            continue;
        }
        std::size_t nameEnd = at;
        while (nameEnd < text.size() && IsNameCharacter(text[nameEnd]))
            ++nameEnd;
        const auto value = QuotedValue(text, nameEnd);
        if (!value) {
            at = nameEnd; // a name starting later in the run ends where it does, and fails alike
            continue;
        }
        attributes[text.substr(at, nameEnd - at)] =
            CollapseWhiteSpace(DecodeEntities(text.substr(value->first, value->second - value->first)));
        at = value->second + 1;
    }
    return attributes;
}

} // namespace HTTP::XML
