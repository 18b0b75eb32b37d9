#ifndef NOCTAVI_TESTS_SUPPORT_FAKEMACHINE_H
#define NOCTAVI_TESTS_SUPPORT_FAKEMACHINE_H

#include <support/TestCertificates.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace support {

namespace detail {
struct MachineCore;
struct MachineServer;
} // namespace detail

// One request as the fake machine received it.
struct RecordedRequest {
    std::string method;
    std::string target; // as sent: path and query
    std::string path;
    std::string query;                                           // as sent, without the '?'
    std::vector<std::pair<std::string, std::string>> queryPairs; // decoded, in order
    std::string contentType;
    std::string authorization; // the Authorization header as sent
    std::string authScheme;    // "Basic", "Digest" or empty
    std::string user;
    std::string password; // Basic only: Digest never shows it
    std::string body;
    bool secure = false;
    std::string client; // the address the request came from
};

// How a reply departs from a plain, complete answer.
enum class Fault {
    None,
    Chunked,        // the body in several chunks of chunked transfer encoding
    DropConnection, // the connection closes without a reply
    Stall,          // nothing is ever sent; the connection stays open
    TruncatedBody,  // the connection closes after half of the declared body
    MalformedXml,   // only the first half of the body is sent, framed as whole
    TrickleHead,    // the whole reply goes out a byte at a time, ten a second
    TrickleBody,    // the head at once, then the body a byte at a time, ten a second
};

struct Reply {
    Reply() = default;
    Reply(int status, std::string contentType, std::string body, Fault fault = Fault::None)
        : status(status)
        , contentType(std::move(contentType))
        , body(std::move(body))
        , fault(fault)
    {
    }

    int status = 200;
    std::string contentType = "text/xml; charset=UTF-8";
    std::string body;
    Fault fault = Fault::None;
    std::vector<std::pair<std::string, std::string>> headers;
    std::chrono::milliseconds delay{0}; // before anything is sent
    std::optional<std::uint64_t> contentLength; // announced instead of the body's own length
};

using Handler = std::function<Reply(const RecordedRequest&)>;

// What the machine has seen since it started.
struct MachineCounters {
    std::size_t connections = 0; // accepted
    std::size_t handshakes = 0;  // TLS handshakes completed
    std::size_t challenges = 0;  // 401 replies sent
};

struct Credentials {
    // What the machine challenges for and takes: DigestOrBasic offers both,
    // Digest first, as servers that still take Basic do.
    enum class Scheme { Basic, Digest, DigestOrBasic };
    Scheme scheme = Scheme::Basic;
    std::string user;
    std::string password;
};

// An HTTP or HTTPS server standing in for a machine, on a loopback address of
// the test's choosing. It answers each path as scripted (an unscripted path
// gets 404), keeps a log of every request, can demand credentials per path and
// can inject faults. It runs on a thread of its own until destroyed; further
// services of a machine are added as handlers of their paths.
class FakeMachine {
public:
    struct Options {
        Options() = default;
        explicit Options(std::string address, std::optional<TestCertificate> certificate = std::nullopt,
                         std::uint16_t port = 0)
            : address(std::move(address))
            , port(port)
            , certificate(std::move(certificate))
        {
        }

        std::string address = "127.0.0.1"; // must lie in 127.0.0.0/8
        std::uint16_t port = 0;             // 0 takes a free one
        std::optional<TestCertificate> certificate; // HTTPS when given
    };

    FakeMachine();
    explicit FakeMachine(const Options& options);
    FakeMachine(const FakeMachine&) = delete;
    FakeMachine& operator=(const FakeMachine&) = delete;
    ~FakeMachine();

    const std::string& Address() const;
    std::uint16_t Port() const;

    void Script(const std::string& path, Reply reply);
    void Script(const std::string& path, Handler handler);
    // Requests for the path without these credentials get 401 and a challenge.
    void RequireCredentials(const std::string& path, Credentials credentials);
    // For handlers that judge credentials themselves: whether the request
    // proves them, and the 401 reply that asks for them.
    bool Authenticates(const RecordedRequest& request, const Credentials& credentials) const;
    Reply Challenge(Credentials::Scheme scheme) const;
    // The Digest nonce given out so far runs out: a request that answers it
    // with the right credentials gets a challenge with a new nonce and
    // "stale=true", as servers do whose nonces have a lifetime.
    void ExpireNonce();
    // Called on the machine's thread for each request, after it is logged.
    void OnRequest(std::function<void(const RecordedRequest&)> observer);

    std::vector<RecordedRequest> Requests() const;
    // True once at least `count` requests have come in.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

    // Every reply for the path, scripted or the machine's own, is sent no
    // sooner than this after its request came in.
    void Delay(const std::string& path, std::chrono::milliseconds delay);
    // Every new connection waits this long before the machine reads from it
    // or, over HTTPS, answers its handshake: small embedded servers are slow
    // to set up a connection.
    void SetHandshakeDelay(std::chrono::milliseconds delay);
    MachineCounters Counters() const;

    // How many requests have come in for the path, and from the client address.
    std::size_t RequestCount(const std::string& path) const;
    std::size_t RequestCountFrom(const std::string& client) const;

    // One UDP datagram of `size` bytes from the machine's address to the
    // loopback address and port.
    void SendDatagram(const std::string& to, std::uint16_t port, std::size_t size = 1) const;

private:
    std::shared_ptr<detail::MachineCore> core_;
    std::unique_ptr<detail::MachineServer> server_;
};

// One UDP datagram of `size` bytes between two loopback addresses, sent
// from a free port of `from`.
void SendDatagram(const std::string& from, const std::string& to, std::uint16_t port, std::size_t size = 1);

// A port on the address where connections are refused: a socket holds it,
// bound but not listening, for the object's life, so no other test can take it.
class ClosedPort {
public:
    explicit ClosedPort(const std::string& address);
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    ~ClosedPort();

    std::uint16_t Port() const;

private:
    struct Pimpl;
    std::unique_ptr<Pimpl> pimpl_;
};

// A port on the address that takes connections and never answers: a TLS
// handshake on it runs into the connect time-out, a failed connection
// attempt that, unlike a refusal, leaves a connection to count.
class SilentPort {
public:
    explicit SilentPort(const std::string& address);
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;
    ~SilentPort();

    std::uint16_t Port() const;
    // Takes the connections made so far; how many were taken in all.
    std::size_t Connections();

private:
    struct Pimpl;
    std::unique_ptr<Pimpl> pimpl_;
};

} // namespace support

#endif
