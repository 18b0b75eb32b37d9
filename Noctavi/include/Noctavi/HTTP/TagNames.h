#ifndef NOCTAVI_HTTP_TAGNAMES_H
#define NOCTAVI_HTTP_TAGNAMES_H

#include <string_view>

namespace HTTP::XML {

// The fixed table of the 38 element names that every document is made with.
// An element's tag index is its name's position in the table; elements are
// never named by free text.
class TagNames {
public:
    static constexpr int Count = 38;

    // The names, upper-case ASCII, followed by a null pointer.
    static const char* const* Get();

    // Compares byte for byte (case-sensitive) in table order; Count when the
    // name is not in the table.
    static int Lookup(std::string_view name);
};

} // namespace HTTP::XML

#endif
