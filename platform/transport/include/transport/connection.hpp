#ifndef TRANSPORT_CONNECTION_HPP
#define TRANSPORT_CONNECTION_HPP

#include <boost/system/error_code.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace transport {

class document;

// Limits of the requests that follow. Send and receive are inactivity limits:
// they run out only when nothing has moved for that long while sending or
// receiving; a response that comes slower than 1 KiB a second for a whole
// receive limit is abandoned too. Zero or less means no limit (the connect
// limit then falls back to the transport's own default).
struct timeouts {
    std::chrono::milliseconds connect{30000};
    int attempts = 1; // connection attempts before giving up; at least one is made
    std::chrono::milliseconds send{30000};
    std::chrono::milliseconds receive{30000};
};

enum class method {
    get,  // the path, plus the document's query when one is given
    post, // the document as the XML body
};

// What a response holds, by its Content-Type.
enum class content_type { other = 0, xml = 2, tiff = 5, pdf = 6, jpeg = 7 };

// The most a body read into memory, or stored to a file, may hold: a host
// can fill neither the memory nor the disk.
constexpr std::size_t max_body_in_memory = 16 * 1024 * 1024;
constexpr std::uint64_t max_body_in_file = std::uint64_t(4) * 1024 * 1024 * 1024;

// HTTP or HTTPS requests to one host, one at a time: open a request on a port,
// optionally set credentials, send, read the status and content type, read the
// body (into memory, a document or a file) or not, end the request.
//
// Requests never follow redirects and never use a proxy. Credentials go in
// answer to the host's challenge (a 401), and the request is then made once
// more: as Digest when the host offers Digest, as Basic only when it offers
// Basic and no Digest. Once the host has taken them for a path, later requests
// for that path by the same user send them at once (Digest with the host's
// nonce and a rising count); a refusal then falls back to the challenge once,
// and a stale nonce is answered once more.
//
// Connections are kept, process-wide, per scheme, host and port, a few each,
// and used again within an idle minute: an object made for every request
// costs no new connection. One goes back for reuse only after its requests ended cleanly,
// never after a cancel, an interruption, a time-out or a body left unread
// (a small unread body that comes quickly is read and dropped).
//
// Over TLS the host's certificate must verify against the system trust store
// for the host name, or be a self-signed certificate whose key matches the one recorded for
// this host and port (see known_machines.hpp); the first connection to a host
// with no key recorded records it. Trust is settled in the handshake: nothing
// of a request reaches a host whose key is not trusted or cannot be recorded.
// A kept connection carries the verdict of its own handshake and serves only
// while the key that handshake judged is still the one recorded; TLS sessions
// are never resumed.
//
// A blocking call returns within a fraction of a second of cancel() from
// another thread (failing with error::cancelled) or of an interruption of the
// calling Boost thread (ending the transfer, then throwing
// boost::thread_interrupted).
class connection {
public:
    using error_code = boost::system::error_code;

    // Null when the host name is not acceptable (error::invalid_host) or the
    // transport cannot be set up (a system error).
    static std::unique_ptr<connection> create(const std::string& host, error_code& ec);

    connection(const connection&) = delete;
    connection& operator=(const connection&) = delete;
    ~connection();

    void use_tls(bool secure);
    void set_timeouts(const timeouts& limits);

    // Ends any request still open and opens a new one to the port.
    bool open_request(int port, error_code& ec);
    // For the open request only.
    void set_credentials(std::string user, std::string password);
    // Sends the request and waits for the response's status and headers. The
    // path must start with '/' and hold no control characters or spaces.
    bool send(method verb, const std::string& path, const document* body, error_code& ec);

    // Of the response to the last send; 0 and content_type::other before one.
    int status() const;
    content_type type() const;

    // The whole body, however it is framed, up to max_body_in_memory. Each
    // response body can be read once.
    bool read_body(std::vector<unsigned char>& out, error_code& ec);
    // The whole body, which must be a well-formed XML document.
    bool read_body(document& into, error_code& ec);
    // The whole body into the file, which appears only once complete, up to
    // max_body_in_file.
    bool store_body(const std::string& file, error_code& ec);

    void end_request();

    // Thread-safe. Makes the running call and every later request fail.
    void cancel() noexcept;

private:
    struct state;
    explicit connection(std::unique_ptr<state> s);

    std::unique_ptr<state> state_;
};

} // namespace transport

#endif
