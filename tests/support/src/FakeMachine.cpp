#include <support/FakeMachine.h>

#include "HttpAuthentication.h"
#include "Loopback.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/ssl.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>

#include <openssl/rand.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <type_traits>

namespace support {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

using Request = http::request<http::string_body>;

std::string RandomHex(std::size_t bytes)
{
    std::vector<unsigned char> random(bytes);
    RAND_bytes(random.data(), static_cast<int>(random.size()));
    static const char hex[] = "0123456789abcdef";
    std::string result;
    for (unsigned char c : random) {
        result += hex[c >> 4];
        result += hex[c & 0x0F];
    }
    return result;
}

std::string PercentDecode(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A stray '%' is kept as it is: a client's fault must not stop the machine.
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::vector<std::pair<std::string, std::string>> DecodeQuery(const std::string& query)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    std::size_t start = 0;
    while (start < query.size()) {
        const std::size_t end = std::min(query.find('&', start), query.size());
        const std::string pair = query.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        pairs.emplace_back(PercentDecode(pair.substr(0, equals)),
                           equals == std::string::npos ? std::string() : PercentDecode(pair.substr(equals + 1)));
        start = end + 1;
    }
    return pairs;
}

std::string HeaderOf(const Request& request, http::field field)
{
    const auto found = request.find(field);
    return found == request.end() ? std::string() : std::string(found->value());
}

RecordedRequest Record(const Request& request, bool secure, const std::string& client)
{
    RecordedRequest record;
    record.method = std::string(request.method_string());
    record.target = std::string(request.target());
    const std::size_t question = record.target.find('?');
    record.path = record.target.substr(0, question);
    record.query = question == std::string::npos ? std::string() : record.target.substr(question + 1);
    record.queryPairs = DecodeQuery(record.query);
    record.contentType = HeaderOf(request, http::field::content_type);
    record.authorization = HeaderOf(request, http::field::authorization);
    const detail::Authorization authorization = detail::ParseAuthorization(record.authorization);
    record.authScheme = authorization.scheme;
    record.user = authorization.user;
    record.password = authorization.password;
    record.body = request.body();
    record.secure = secure;
    record.client = client;
    return record;
}

Reply NotFound()
{
    return Reply(404, "text/html", "<html><body>Not Found</body></html>");
}

std::string Head(const Reply& reply)
{
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + ' ' +
                       std::string(http::obsolete_reason(static_cast<http::status>(reply.status))) + "\r\n";
    if (!reply.contentType.empty())
        head += "Content-Type: " + reply.contentType + "\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    return head;
}

// Chunks of growing sizes, so a reader meets both small and larger ones.
std::string Chunked(const std::string& body)
{
    std::string result;
    std::size_t size = 1;
    for (std::size_t start = 0; start < body.size(); start += size, size *= 2) {
        const std::string chunk = body.substr(start, size);
        char length[32];
        std::snprintf(length, sizeof length, "%zx\r\n", chunk.size());
        result += length + chunk + "\r\n";
    }
    return result + "0\r\n\r\n";
}

std::string Render(const Reply& reply)
{
    const std::string head = Head(reply);
    const std::string half = reply.body.substr(0, reply.body.size() / 2);
    switch (reply.fault) {
    case Fault::Chunked:
        return head + "Transfer-Encoding: chunked\r\n\r\n" + Chunked(reply.body);
    case Fault::TruncatedBody:
        return head + "Content-Length: " + std::to_string(reply.body.size()) + "\r\n\r\n" + half;
    case Fault::MalformedXml:
        return head + "Content-Length: " + std::to_string(half.size()) + "\r\n\r\n" + half;
    default:
        return head + "Content-Length: " + std::to_string(reply.contentLength.value_or(reply.body.size())) +
               "\r\n\r\n" + reply.body;
    }
}

} // namespace

// What the sessions share with the test: the script and the log.
struct detail::MachineCore {
    mutable std::mutex mutex;
    mutable std::condition_variable logged;
    std::map<std::string, Handler> handlers;
    std::map<std::string, Credentials> required;
    std::map<std::string, std::chrono::milliseconds> delays;
    std::vector<RecordedRequest> log;
    std::function<void(const RecordedRequest&)> observer;
    std::string nonce = RandomHex(16);
    std::vector<std::string> expiredNonces;
    std::chrono::milliseconds handshakeDelay{0};
    std::atomic<std::size_t> connections{0};
    std::atomic<std::size_t> handshakes{0};
    std::atomic<std::size_t> challenges{0};

    Reply Answer(const Request& request, bool secure, const std::string& client)
    {
        const RecordedRequest record = Record(request, secure, client);
        Handler handler;
        std::optional<Credentials> credentials;
        std::function<void(const RecordedRequest&)> notify;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            log.push_back(record);
            if (const auto found = handlers.find(record.path); found != handlers.end())
                handler = found->second;
            if (const auto found = required.find(record.path); found != required.end())
                credentials = found->second;
            notify = observer;
        }
        logged.notify_all();
        if (notify)
            notify(record);
        if (credentials && !Authenticates(record, *credentials))
            return Challenge(credentials->scheme, AnswersExpiredNonce(record, *credentials));
        return handler ? handler(record) : NotFound();
    }

    std::string Nonce() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return nonce;
    }

    bool Authenticates(const RecordedRequest& record, const Credentials& credentials) const
    {
        return detail::Proves(detail::ParseAuthorization(record.authorization), credentials, record.method, Nonce());
    }

    bool AnswersExpiredNonce(const RecordedRequest& record, const Credentials& credentials) const
    {
        const detail::Authorization authorization = detail::ParseAuthorization(record.authorization);
        std::vector<std::string> expired;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            expired = expiredNonces;
        }
        return std::any_of(expired.begin(), expired.end(), [&](const std::string& old) {
            return detail::Proves(authorization, credentials, record.method, old);
        });
    }

    void ExpireNonce()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        expiredNonces.push_back(nonce);
        nonce = RandomHex(16);
    }

    std::chrono::milliseconds HandshakeDelay() const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return handshakeDelay;
    }

    std::chrono::milliseconds DelayFor(const std::string& target) const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto found = delays.find(target.substr(0, target.find('?')));
        return found == delays.end() ? std::chrono::milliseconds(0) : found->second;
    }

    template <class Select>
    std::size_t CountRequests(Select select) const
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), select));
    }

    Reply Challenge(Credentials::Scheme scheme, bool stale = false) const
    {
        Reply reply(401, "text/html", "<html><body>Unauthorized</body></html>");
        for (std::string& challenge : detail::Challenges(scheme, Nonce(), stale))
            reply.headers.emplace_back("WWW-Authenticate", std::move(challenge));
        return reply;
    }
};

namespace {

using PlainStream = beast::tcp_stream;
using TlsStream = beast::ssl_stream<beast::tcp_stream>;

// One connection: reads requests one after the other and answers each.
template <class Stream>
class Session : public std::enable_shared_from_this<Session<Stream>> {
public:
    static constexpr bool secure = std::is_same_v<Stream, TlsStream>;

    template <class... StreamArgs>
    Session(std::shared_ptr<detail::MachineCore> core, StreamArgs&&... args)
        : core_(std::move(core))
        , stream_(std::forward<StreamArgs>(args)...)
        , timer_(stream_.get_executor())
    {
    }

    void Start()
    {
        const std::chrono::milliseconds delay = core_->HandshakeDelay();
        if (delay.count() <= 0) {
            Begin();
            return;
        }
        timer_.expires_after(delay);
        timer_.async_wait([self = this->shared_from_this()](beast::error_code failure) {
            failure ? self->Close() : self->Begin();
        });
    }

private:
    void Begin()
    {
        if constexpr (secure) {
            stream_.async_handshake(asio::ssl::stream_base::server,
                                    [self = this->shared_from_this()](beast::error_code failure) {
                                        if (failure) {
                                            self->Close();
                                            return;
                                        }
                                        ++self->core_->handshakes;
                                        self->Read();
                                    });
        } else {
            Read();
        }
    }

    void Read()
    {
        parser_.emplace();
        parser_->body_limit(64 * 1024 * 1024);
        http::async_read(stream_, buffer_, *parser_,
                         [self = this->shared_from_this()](beast::error_code failure, std::size_t) {
                             failure ? self->Close() : self->Answer();
                         });
    }

    void Answer()
    {
        const Request request = parser_->release();
        const bool keepAlive = request.keep_alive();
        Reply reply = core_->Answer(request, secure, Client());
        if (reply.status == 401)
            ++core_->challenges;
        reply.delay = std::max(reply.delay, core_->DelayFor(std::string(request.target())));
        if (reply.delay.count() <= 0) {
            Respond(std::move(reply), keepAlive);
            return;
        }
        timer_.expires_after(reply.delay);
        timer_.async_wait([self = this->shared_from_this(), reply, keepAlive](beast::error_code failure) {
            failure ? self->Close() : self->Respond(reply, keepAlive);
        });
    }

    std::string Client() const
    {
        beast::error_code failure;
        const tcp::endpoint peer = beast::get_lowest_layer(stream_).socket().remote_endpoint(failure);
        return failure ? std::string() : peer.address().to_string();
    }

    void Respond(Reply reply, bool keepAlive)
    {
        if (reply.fault == Fault::DropConnection) {
            Close();
            return;
        }
        if (reply.fault == Fault::Stall) {
            Linger();
            return;
        }
        auto raw = std::make_shared<std::string>(Render(reply));
        if (reply.fault == Fault::TrickleHead || reply.fault == Fault::TrickleBody) {
            Trickle(raw, 0, reply.fault == Fault::TrickleBody ? raw->size() - reply.body.size() : 0);
            return;
        }
        const bool closeAfter = !keepAlive || reply.fault == Fault::TruncatedBody;
        asio::async_write(stream_, asio::buffer(*raw),
                          [self = this->shared_from_this(), raw, closeAfter](beast::error_code failure, std::size_t) {
                              failure || closeAfter ? self->Close() : self->Read();
                          });
    }

    // Sends the reply up to `end`, then one byte more at every tick; closes when all is sent.
    void Trickle(std::shared_ptr<std::string> raw, std::size_t begin, std::size_t end)
    {
        asio::async_write(stream_, asio::buffer(raw->data() + begin, end - begin),
                          [self = this->shared_from_this(), raw, end](beast::error_code failure, std::size_t) {
                              if (failure || end >= raw->size()) {
                                  self->Close();
                                  return;
                              }
                              self->timer_.expires_after(std::chrono::milliseconds(100));
                              self->timer_.async_wait([self, raw, end](beast::error_code expired) {
                                  expired ? self->Close() : self->Trickle(raw, end, end + 1);
                              });
                          });
    }

    // Holds the connection open, sending nothing, until the client leaves.
    void Linger()
    {
        stream_.async_read_some(asio::buffer(scratch_),
                                [self = this->shared_from_this()](beast::error_code failure, std::size_t) {
                                    failure ? self->Close() : self->Linger();
                                });
    }

    void Close()
    {
        beast::error_code ignored;
        tcp::socket& socket = beast::get_lowest_layer(stream_).socket();
        socket.shutdown(tcp::socket::shutdown_both, ignored);
        socket.close(ignored);
    }

    std::shared_ptr<detail::MachineCore> core_;
    Stream stream_;
    asio::steady_timer timer_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    char scratch_[512];
};

} // namespace

// The listening socket and the thread that serves every connection.
struct detail::MachineServer {
    std::optional<asio::ssl::context> tls;
    asio::io_context io;
    tcp::acceptor acceptor{io};
    std::string address;
    std::uint16_t port = 0;
    std::thread thread;

    MachineServer(const FakeMachine::Options& options, std::shared_ptr<MachineCore> core)
        : address(options.address)
    {
        if (options.certificate)
            tls.emplace(MakeTlsContext(*options.certificate));
        const tcp::endpoint endpoint(LoopbackAddress(options.address), options.port);
        acceptor.open(endpoint.protocol());
        acceptor.set_option(asio::socket_base::reuse_address(true));
        acceptor.bind(endpoint);
        acceptor.listen();
        port = acceptor.local_endpoint().port();
        Accept(std::move(core));
        thread = std::thread([this] { io.run(); });
    }

    ~MachineServer()
    {
        asio::post(io, [this] {
            beast::error_code ignored;
            acceptor.close(ignored);
            io.stop();
        });
        thread.join();
    }

    static asio::ssl::context MakeTlsContext(const TestCertificate& certificate)
    {
        asio::ssl::context context(asio::ssl::context::tls_server);
        context.use_certificate_chain(asio::buffer(certificate.certificatePem));
        context.use_private_key(asio::buffer(certificate.keyPem), asio::ssl::context::pem);
        return context;
    }

    void Accept(std::shared_ptr<MachineCore> core)
    {
        acceptor.async_accept([this, core](beast::error_code failure, tcp::socket socket) {
            if (failure == asio::error::operation_aborted)
                return;
            // A failed accept costs that one connection, never the later ones.
            if (!failure) {
                ++core->connections;
                Serve(core, std::move(socket));
            }
            Accept(core);
        });
    }

    void Serve(std::shared_ptr<MachineCore> core, tcp::socket socket)
    {
        if (tls)
            std::make_shared<Session<TlsStream>>(std::move(core), std::move(socket), *tls)->Start();
        else
            std::make_shared<Session<PlainStream>>(std::move(core), std::move(socket))->Start();
    }
};

FakeMachine::FakeMachine()
    : FakeMachine(Options())
{
}

FakeMachine::FakeMachine(const Options& options)
    : core_(std::make_shared<detail::MachineCore>())
    , server_(std::make_unique<detail::MachineServer>(options, core_))
{
}

FakeMachine::~FakeMachine() = default;

const std::string& FakeMachine::Address() const
{
    return server_->address;
}

std::uint16_t FakeMachine::Port() const
{
    return server_->port;
}

void FakeMachine::Script(const std::string& path, Reply reply)
{
    Script(path, [reply](const RecordedRequest&) { return reply; });
}

void FakeMachine::Script(const std::string& path, Handler handler)
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    core_->handlers[path] = std::move(handler);
}

void FakeMachine::RequireCredentials(const std::string& path, Credentials credentials)
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    core_->required[path] = std::move(credentials);
}

bool FakeMachine::Authenticates(const RecordedRequest& request, const Credentials& credentials) const
{
    return core_->Authenticates(request, credentials);
}

Reply FakeMachine::Challenge(Credentials::Scheme scheme) const
{
    return core_->Challenge(scheme);
}

void FakeMachine::ExpireNonce()
{
    core_->ExpireNonce();
}

void FakeMachine::SetHandshakeDelay(std::chrono::milliseconds delay)
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    core_->handshakeDelay = delay;
}

MachineCounters FakeMachine::Counters() const
{
    return MachineCounters{core_->connections, core_->handshakes, core_->challenges};
}

void FakeMachine::OnRequest(std::function<void(const RecordedRequest&)> observer)
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    core_->observer = std::move(observer);
}

std::vector<RecordedRequest> FakeMachine::Requests() const
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    return core_->log;
}

bool FakeMachine::WaitForRequests(std::size_t count, std::chrono::milliseconds deadline) const
{
    std::unique_lock<std::mutex> lock(core_->mutex);
    return core_->logged.wait_for(lock, deadline, [this, count] { return core_->log.size() >= count; });
}

void FakeMachine::Delay(const std::string& path, std::chrono::milliseconds delay)
{
    const std::lock_guard<std::mutex> lock(core_->mutex);
    core_->delays[path] = delay;
}

std::size_t FakeMachine::RequestCount(const std::string& path) const
{
    return core_->CountRequests([&](const RecordedRequest& request) { return request.path == path; });
}

std::size_t FakeMachine::RequestCountFrom(const std::string& client) const
{
    return core_->CountRequests([&](const RecordedRequest& request) { return request.client == client; });
}

void FakeMachine::SendDatagram(const std::string& to, std::uint16_t port, std::size_t size) const
{
    support::SendDatagram(Address(), to, port, size);
}

void SendDatagram(const std::string& from, const std::string& to, std::uint16_t port, std::size_t size)
{
    asio::io_context io;
    asio::ip::udp::socket socket(io, asio::ip::udp::endpoint(LoopbackAddress(from), 0));
    const std::string content(size, 'N');
    socket.send_to(asio::buffer(content), asio::ip::udp::endpoint(LoopbackAddress(to), port));
}

struct ClosedPort::Pimpl {
    asio::io_context io;
    tcp::socket socket{io};
};

ClosedPort::ClosedPort(const std::string& address)
    : pimpl_(std::make_unique<Pimpl>())
{
    const tcp::endpoint endpoint(LoopbackAddress(address), 0);
    pimpl_->socket.open(endpoint.protocol());
    pimpl_->socket.bind(endpoint);
}

ClosedPort::~ClosedPort() = default;

std::uint16_t ClosedPort::Port() const
{
    return pimpl_->socket.local_endpoint().port();
}

struct SilentPort::Pimpl {
    asio::io_context io;
    tcp::acceptor acceptor{io};
    std::vector<tcp::socket> taken; // held open, so that none is answered even by a close
};

SilentPort::SilentPort(const std::string& address)
    : pimpl_(std::make_unique<Pimpl>())
{
    const tcp::endpoint endpoint(LoopbackAddress(address), 0);
    pimpl_->acceptor.open(endpoint.protocol());
    pimpl_->acceptor.bind(endpoint);
    pimpl_->acceptor.listen(tcp::socket::max_listen_connections);
    pimpl_->acceptor.non_blocking(true);
}

SilentPort::~SilentPort() = default;

std::uint16_t SilentPort::Port() const
{
    return pimpl_->acceptor.local_endpoint().port();
}

// The system completes each connection on its own; those waiting are taken.
std::size_t SilentPort::Connections()
{
    boost::system::error_code ended;
    for (tcp::socket socket = pimpl_->acceptor.accept(ended); !ended; socket = pimpl_->acceptor.accept(ended))
        pimpl_->taken.push_back(std::move(socket));
    return pimpl_->taken.size();
}

} // namespace support
