#include <transport/document.hpp>
#include <transport/node.hpp>

#include "ascii.hpp"
#include "xml_owner.hpp"

#include <libxml/tree.h>

#include <charconv>
#include <string_view>

namespace transport {
namespace {

const document* owner_of(node element)
{
    return element && element->doc ? static_cast<const document*>(element->doc->_private) : nullptr;
}

void append_escaped(std::string& out, std::string_view value)
{
    for (char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

std::string qualified_name(const xmlAttr* attribute)
{
    std::string name;
    if (attribute->ns && attribute->ns->prefix) {
        name = reinterpret_cast<const char*>(attribute->ns->prefix);
        name += ':';
    }
    return name + reinterpret_cast<const char*>(attribute->name);
}

} // namespace

node first_child(node element)
{
    return element ? xmlFirstElementChild(element) : nullptr;
}

node next_sibling(node element)
{
    return element ? xmlNextElementSibling(element) : nullptr;
}

node parent_element(node element)
{
    return element && element->parent && element->parent->type == XML_ELEMENT_NODE ? element->parent : nullptr;
}

node next_in_document_order(node element)
{
    if (node child = first_child(element))
        return child;
    for (; element; element = parent_element(element)) {
        if (node sibling = next_sibling(element))
            return sibling;
    }
    return nullptr;
}

int tag_index(node element)
{
    const document* owner = owner_of(element);
    if (!owner)
        return -1;
    if (element->type != XML_ELEMENT_NODE || (element->ns && element->ns->prefix))
        return owner->tag_count();
    return detail::find_entry(reinterpret_cast<const char*>(element->name), owner->tag_names(), owner->tag_count(),
                              true);
}

std::optional<std::string> text(node element)
{
    if (!element)
        return std::nullopt;
    std::optional<std::string> result;
    for (xmlNode* child = element->children; child; child = child->next) {
        if (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE)
            continue;
        if (!result)
            result.emplace();
        if (child->content)
            *result += reinterpret_cast<const char*>(child->content);
    }
    return result;
}

bool number(node element, long& value)
{
    const auto content = text(element);
    if (!content)
        return false;
    const std::string_view digits = detail::trim(*content);
    long parsed = 0;
    const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (digits.empty() || failure != std::errc() || end != digits.data() + digits.size())
        return false;
    value = parsed;
    return true;
}

std::optional<std::string> attribute_text(node element)
{
    if (!element || element->type != XML_ELEMENT_NODE || !element->properties)
        return std::nullopt;
    std::string result;
    for (xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
        const detail::xml_owned<xmlChar> value(xmlNodeGetContent(reinterpret_cast<xmlNode*>(attribute)));
        if (!result.empty())
            result += ' ';
        result += qualified_name(attribute);
        result += "=\"";
        if (value)
            append_escaped(result, reinterpret_cast<const char*>(value.get()));
        result += '"';
    }
    return result;
}

} // namespace transport
