#ifndef NOCTAVI_HTTP_ETAG_H
#define NOCTAVI_HTTP_ETAG_H

namespace HTTP::Command {

// Closes the element of a command document that was opened last (see Cmd).
class ETag {
};

} // namespace HTTP::Command

#endif
