#ifndef NOCTAVI_HTTP_MCMD_H
#define NOCTAVI_HTTP_MCMD_H

#include <transport/document.hpp>

#include <boost/core/noncopyable.hpp>

#include <memory>

namespace HTTP {

// Owns one transport document made over the tag-name table: a command being
// built, a parsed reply or a URL query. Shared through boost::shared_ptr.
class Mcmd : private boost::noncopyable {
public:
    // Throws ::SystemError when the document cannot be made.
    Mcmd();

    transport::document& Document() { return *document_; }
    const transport::document& Document() const { return *document_; }

private:
    std::unique_ptr<transport::document> document_;
};

} // namespace HTTP

#endif
