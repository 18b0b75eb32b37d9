#ifndef NOCTAVI_HTTP_BASICNODE_H
#define NOCTAVI_HTTP_BASICNODE_H

#include <string>
#include <utility>

namespace HTTP::Command {

// A leaf element of a command document (see Cmd): its name and its value,
// a long or a std::string.
template <class T>
class BasicNode {
public:
    BasicNode(std::string name, T value)
        : name_(std::move(name))
        , value_(std::move(value))
    {
    }

    const std::string& Name() const { return name_; }
    const T& Value() const { return value_; }

private:
    std::string name_;
    T value_;
};

} // namespace HTTP::Command

#endif
