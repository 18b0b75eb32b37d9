#ifndef NOCTAVI_HTTP_CMD_H
#define NOCTAVI_HTTP_CMD_H

#include <Noctavi/HTTP/BasicNode.h>
#include <Noctavi/HTTP/ETag.h>
#include <Noctavi/HTTP/Tag.h>

#include <boost/shared_ptr.hpp>

#include <string>

namespace HTTP {
class Mcmd;
}

namespace HTTP::Command {

// A command document built as one chain of insertions:
//   cmd << Tag("REQUEST") << BasicNode<std::string>("COMMAND", "GETUSERLIST") << ETag();
// Copies share the document. An insertion that fails (a name outside the tag
// table, text XML cannot carry) throws HTTP::Error, as a request that cannot
// be made, and leaves what was written before it.
class Cmd {
public:
    // Throws ::SystemError when the document cannot be made.
    Cmd();

    Cmd& operator<<(const Tag& tag);
    Cmd& operator<<(const ETag& etag);
    Cmd& operator<<(const BasicNode<long>& leaf);
    Cmd& operator<<(const BasicNode<std::string>& leaf);

    // The next leaf written, of either kind, is given node option 1 (secret);
    // openings and closings leave the option pending.
    void SetPendingOption();
    bool IsOptionPending() const;

    // The document to send as the request body.
    const Mcmd& GetDocument() const;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

} // namespace HTTP::Command

#endif
