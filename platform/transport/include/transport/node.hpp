#ifndef TRANSPORT_NODE_HPP
#define TRANSPORT_NODE_HPP

#include <optional>
#include <string>

struct _xmlNode;

namespace transport {

// An element of a document (see document.hpp); null stands for no element.
// A node lives as long as its document is neither cleared nor destroyed.
using node = ::_xmlNode*;

// The first child element, or null.
node first_child(node element);

// The next element among the element's siblings, or null: a run of elements
// started at a first child visits every child of its parent in document order.
node next_sibling(node element);

// The element that holds the element, or null at the root.
node parent_element(node element);

// The element after this one in document order (its first child, else the
// next sibling of it or of the nearest ancestor that has one), or null.
node next_in_document_order(node element);

// The element's index in its document's tag table, found by its local name in
// upper case; a prefixed name ("atom:link") or a name outside the table gives
// the table's size.
int tag_index(node element);

// The element's own text (its text and CDATA children, joined); none when it
// has no text child.
std::optional<std::string> text(node element);

// The element's text as a decimal number; surrounding white space is allowed.
bool number(node element, long& value);

// The element's attributes as markup (name="value" pairs separated by spaces,
// with '&', '<' and '"' escaped); none when it has no attribute.
std::optional<std::string> attribute_text(node element);

} // namespace transport

#endif
