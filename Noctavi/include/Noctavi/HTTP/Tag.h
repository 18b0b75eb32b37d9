#ifndef NOCTAVI_HTTP_TAG_H
#define NOCTAVI_HTTP_TAG_H

#include <string>
#include <utility>

namespace HTTP::Command {

// Opens an element of a command document (see Cmd).
class Tag {
public:
    explicit Tag(std::string name)
        : name_(std::move(name))
    {
    }

    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

} // namespace HTTP::Command

#endif
