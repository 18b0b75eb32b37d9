#ifndef NOCTAVI_HTTP_NODE_H
#define NOCTAVI_HTTP_NODE_H

#include <transport/node.hpp>

#include <map>
#include <string>

namespace HTTP::XML {

// The element at a position of a parsed document, or none. It stays valid as
// long as the document is neither parsed again nor destroyed.
class Node {
public:
    using Attributes = std::map<std::string, std::string>;

    explicit Node(transport::node element = nullptr)
        : element_(element)
    {
    }

    explicit operator bool() const { return element_ != nullptr; }

    // The element's text; HTTP::InvalidContentType when it has none (or there
    // is no element).
    std::string GetString() const;
    // The element's text; empty when it has none, as an empty element.
    std::string GetText() const;
    // The element's text as a decimal number; HTTP::InvalidContentType when it
    // is not one.
    long GetDecimal() const;
    // The element's attributes by name; empty when it has none.
    Attributes GetAttributes() const;

    // Reads name="value" pairs out of attribute markup: names are letters and
    // digits, a later pair replaces an earlier one of the same name, the five
    // predefined entities are decoded and each run of white space in a value
    // becomes one space.
    static Attributes ParseAttributes(const std::string& text);

    transport::node Handle() const { return element_; }

private:
    transport::node element_;
};

} // namespace HTTP::XML

#endif
