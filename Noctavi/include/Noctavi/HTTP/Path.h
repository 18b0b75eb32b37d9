#ifndef NOCTAVI_HTTP_PATH_H
#define NOCTAVI_HTTP_PATH_H

#include <initializer_list>
#include <string>
#include <vector>

namespace HTTP::XML {

// Element names to walk downwards from an element, outermost first.
class Path {
public:
    using const_iterator = std::vector<std::string>::const_iterator;

    Path() = default;
    Path(std::initializer_list<std::string> names)
        : names_(names)
    {
    }

    const_iterator begin() const { return names_.begin(); }
    const_iterator end() const { return names_.end(); }
    bool empty() const { return names_.empty(); }

private:
    std::vector<std::string> names_;
};

} // namespace HTTP::XML

#endif
