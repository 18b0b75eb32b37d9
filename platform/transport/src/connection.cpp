#include <transport/connection.hpp>
#include <transport/document.hpp>
#include <transport/error.hpp>

#include "ascii.hpp"
#include "atomic_file.hpp"
#include "connection_pool.hpp"
#include "request_auth.hpp"
#include "tls_check.hpp"

#include <pelmo/network/address.hpp>

#include <boost/thread/thread.hpp>

#include <curl/curl.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>

namespace transport {
namespace {

using clock = std::chrono::steady_clock;

// The longest wait on the sockets in one go, and so how late an interruption
// of the calling thread can be seen. A cancel wakes the wait at once.
constexpr std::chrono::milliseconds poll_period(50);

// Between connection attempts: a host that refuses at once would otherwise be
// asked again in a tight loop for as many attempts as allowed.
constexpr std::chrono::milliseconds retry_pause(200);

// The most of an unread body, and the longest wait for it, that is read and
// dropped to keep the connection for the next request; beyond either it closes.
constexpr curl_off_t drain_limit = 4096;
constexpr std::chrono::milliseconds drain_time(250);

// Idle connections older than this are not used again, whatever the pool holds.
constexpr long connection_max_age = 60; // seconds

// Every byte resets the inactivity limits, so a host sending a byte now and
// then would hold a request for ever: below this rate for a whole receive
// time-out, the transfer is abandoned.
constexpr long low_speed_floor = 1024; // bytes a second

struct easy_free {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
// Header lines may carry credentials.
struct list_free {
    void operator()(curl_slist* list) const
    {
        for (curl_slist* line = list; line; line = line->next)
            OPENSSL_cleanse(line->data, std::strlen(line->data));
        curl_slist_free_all(list);
    }
};
using easy_ptr = std::unique_ptr<CURL, easy_free>;
using list_ptr = std::unique_ptr<curl_slist, list_free>;

bool initialise_curl()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return initialised;
}

boost::system::error_code system_error(int value)
{
    return boost::system::error_code(value, boost::system::system_category());
}

// Checks the path and percent-encodes its bytes outside ASCII.
std::optional<std::string> request_target(const std::string& path)
{
    const auto is_control_or_space = [](char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; };
    if (path.empty() || path.front() != '/' || std::any_of(path.begin(), path.end(), is_control_or_space))
        return std::nullopt;
    return detail::percent_encoded(path, [](char) { return true; });
}

content_type classify(std::string_view header)
{
    const std::string media = detail::lower_ascii(detail::trim(header.substr(0, header.find(';'))));
    if (media == "image/jpeg" || media == "image/jpg")
        return content_type::jpeg;
    if (media == "application/pdf")
        return content_type::pdf;
    if (media == "image/tiff")
        return content_type::tiff;
    if (media == "text/xml" || media == "application/xml" ||
        (media.size() > 4 && media.compare(media.size() - 4, 4, "+xml") == 0))
        return content_type::xml;
    return content_type::other;
}

// The value of a header line when it is the named header (lower case).
std::optional<std::string_view> header_value(std::string_view line, std::string_view name)
{
    const auto colon = line.find(':');
    if (colon == std::string_view::npos || detail::lower_ascii(detail::trim(line.substr(0, colon))) != name)
        return std::nullopt;
    return detail::trim(line.substr(colon + 1));
}

// The status code of a status line ("HTTP/1.1 200 OK"), or 0.
int status_of(std::string_view line)
{
    if (line.substr(0, 5) != "HTTP/")
        return 0;
    const auto space = line.find(' ');
    if (space == std::string_view::npos || line.size() < space + 4)
        return 0;
    int code = 0;
    for (char c : line.substr(space + 1, 3)) {
        if (c < '0' || c > '9')
            return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

} // namespace

namespace detail {

// What one attempt at the transfer has got to; reset for every attempt.
struct transfer_progress {
    bool attached = false;  // the easy handle is in the multi handle
    bool connected = false; // a connection to the host stands
    bool sent = false;      // the whole request has gone out
    bool headers_done = false;
    bool done = false;
    CURLcode result = CURLE_OK;
    curl_off_t uploaded = 0;
    curl_off_t downloaded = 0;
    clock::time_point last_activity;

    // Of the header block being read.
    int block_status = 0;
    content_type block_type = content_type::other;
    std::string challenge; // WWW-Authenticate values, one a line

    tls_check tls;
    bool new_socket = false; // the transfer opened a connection of its own
};

} // namespace detail

struct connection::state {
    std::string host;
    bool secure = false;
    timeouts limits;
    std::atomic<bool> cancelled{false};

    // The open request, on a connection from the pool.
    bool open = false;
    detail::origin to;
    detail::pooled_connection link;
    std::mutex link_mutex;                 // for cancel() from another thread
    bool spoiled = false;                  // a transfer on the link did not end cleanly
    easy_ptr easy;
    list_ptr headers;
    std::vector<std::string> fixed_headers;
    std::string authorization;
    detail::request_auth auth;
    bool verb_is_post = false;
    std::string target; // as sent, which Digest signs
    std::string body;
    bool responded = false;
    bool body_read = false;
    int status = 0;
    content_type type = content_type::other;

    detail::transfer_progress progress;
    std::function<bool(const char*, std::size_t)> sink;
    boost::system::error_code sink_error;

    ~state() { close_request(); }

    void close_request();
    void release_link();
    bool start_request(int new_port, boost::system::error_code& ec);
    bool configure(boost::system::error_code& ec);
    bool prepare(method verb, const std::string& path, const document* document, boost::system::error_code& ec);
    bool set_headers(boost::system::error_code& ec);
    bool exchange(boost::system::error_code& ec);
    bool next_attempt();
    bool drain();
    bool finish(boost::system::error_code& ec);
    bool may_receive(std::uint64_t limit, boost::system::error_code& ec);
    bool receive(std::uint64_t limit, const std::function<bool(const char*, std::size_t)>& consumer,
                 boost::system::error_code& ec);

    bool start_transfer(boost::system::error_code& ec);
    void stop_transfer();
    bool drive(const std::function<bool()>& until, boost::system::error_code& ec);
    bool collect_result();
    bool connect_failed() const;
    bool retry(int& attempts, boost::system::error_code& ec);
    bool pause(std::chrono::milliseconds span, boost::system::error_code& ec);
    std::optional<std::chrono::milliseconds> inactivity_limit() const;
    bool stopped(boost::system::error_code& ec);
    void wait_on_sockets(std::chrono::milliseconds wait);
    boost::system::error_code failure_of(CURLcode result) const;

    void touch() { progress.last_activity = clock::now(); }
    void on_header_line(std::string_view line);

    static size_t on_body(char* data, size_t size, size_t count, void* self);
    static size_t on_header(char* data, size_t size, size_t count, void* self);
    static int on_progress(void* self, curl_off_t, curl_off_t now_down, curl_off_t total_up, curl_off_t now_up);
    static int on_connected(void* self, char*, char*, int, int);
    static int on_socket(void* self, curl_socket_t, curlsocktype purpose);
    bool trusts_connection();
};

// Keeps a body consumer in place for one read, whatever way the read ends.
class sink_scope {
public:
    sink_scope(std::function<bool(const char*, std::size_t)>& slot,
               std::function<bool(const char*, std::size_t)> consumer)
        : slot_(slot)
    {
        slot_ = std::move(consumer);
    }
    sink_scope(const sink_scope&) = delete;
    sink_scope& operator=(const sink_scope&) = delete;
    ~sink_scope() { slot_ = nullptr; }

private:
    std::function<bool(const char*, std::size_t)>& slot_;
};

size_t connection::state::on_body(char* data, size_t size, size_t count, void* self)
{
    state& s = *static_cast<state*>(self);
    s.touch();
    // Nobody has asked for the body yet: curl keeps it until we do.
    if (!s.sink)
        return CURL_WRITEFUNC_PAUSE;
    // A short count makes curl end the transfer with a write error.
    return s.sink(data, size * count) ? size * count : 0;
}

size_t connection::state::on_header(char* data, size_t size, size_t count, void* self)
{
    state& s = *static_cast<state*>(self);
    s.touch();
    s.on_header_line(std::string_view(data, size * count));
    return size * count;
}

void connection::state::on_header_line(std::string_view line)
{
    detail::transfer_progress& p = progress;
    if (const int code = status_of(line)) {
        p.block_status = code;
        p.block_type = content_type::other;
        p.challenge.clear();
        p.sent = true;
    } else if (const auto type = header_value(line, "content-type")) {
        p.block_type = classify(*type);
    } else if (const auto challenge = header_value(line, "www-authenticate")) {
        p.challenge += *challenge;
        p.challenge += '\n';
    } else if (detail::trim(line).empty() && p.block_status >= 200) {
        p.headers_done = true;
    }
}

int connection::state::on_progress(void* self, curl_off_t, curl_off_t now_down, curl_off_t total_up,
                                   curl_off_t now_up)
{
    state& s = *static_cast<state*>(self);
    detail::transfer_progress& p = s.progress;
    if (now_down != p.downloaded || now_up != p.uploaded) {
        p.downloaded = now_down;
        p.uploaded = now_up;
        s.touch();
    }
    if (p.connected && now_up >= total_up)
        p.sent = true;
    return 0;
}

int connection::state::on_socket(void* self, curl_socket_t, curlsocktype)
{
    static_cast<state*>(self)->progress.new_socket = true;
    return CURL_SOCKOPT_OK;
}

// The certificate check settled trust in the handshake: a new connection is
// judged by its own, a reused one by the one its handshake passed.
bool connection::state::trusts_connection()
{
    using outcome = detail::tls_check::outcome;
    if (!to.secure)
        return true;
    if (!progress.new_socket)
        return progress.tls.result == outcome::none &&
               (link.verdict == outcome::trusted || link.verdict == outcome::pinned);
    link.verdict = progress.tls.result;
    link.key = progress.tls.key;
    return progress.tls.accepted();
}

int connection::state::on_connected(void* self, char*, char*, int, int)
{
    state& s = *static_cast<state*>(self);
    // A secure connection that skipped the check gets no request.
    if (!s.trusts_connection()) {
        if (s.progress.tls.result == detail::tls_check::outcome::none)
            s.progress.tls.result = detail::tls_check::outcome::untrusted;
        return CURL_PREREQFUNC_ABORT;
    }
    s.progress.connected = true;
    s.progress.sent = !s.verb_is_post;
    s.touch();
    return CURL_PREREQFUNC_OK;
}

void connection::state::close_request()
{
    // An unread body that is small and quick does not cost the connection.
    if (progress.attached && responded && !body_read)
        drain();
    stop_transfer();
    easy.reset();
    release_link();
    headers.reset();
    if (!body.empty())
        OPENSSL_cleanse(body.data(), body.size());
    if (!authorization.empty())
        OPENSSL_cleanse(authorization.data(), authorization.size());
    body.clear();
    authorization.clear();
    auth.clear();
    verb_is_post = responded = body_read = open = false;
    status = 0;
    type = content_type::other;
}

// The connection goes back to the pool only after transfers that all ended
// cleanly: one cancelled, interrupted, timed out or cut short is closed.
void connection::state::release_link()
{
    detail::pooled_connection released;
    {
        const std::lock_guard<std::mutex> lock(link_mutex);
        released = std::move(link);
        link = detail::pooled_connection();
    }
    if (released.multi && !spoiled && !cancelled)
        detail::connection_pool::instance().give_back(to, std::move(released));
}

bool connection::state::start_request(int new_port, boost::system::error_code& ec)
{
    close_request();
    if (cancelled) {
        ec = error::cancelled;
        return false;
    }
    if (new_port < 1 || new_port > 65535) {
        ec = error::invalid_port;
        return false;
    }
    to = detail::origin{secure, host, new_port};
    easy.reset(curl_easy_init());
    detail::pooled_connection taken = detail::connection_pool::instance().take(to);
    if (!easy || !taken.multi) {
        easy.reset();
        ec = system_error(ENOMEM);
        return false;
    }
    const std::lock_guard<std::mutex> lock(link_mutex);
    link = std::move(taken);
    spoiled = false;
    open = true;
    return true;
}

bool connection::state::configure(boost::system::error_code& ec)
{
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    // A name lookup still running when the transfer ends is left behind
    // instead of waited for, so cancel() and interruption take effect at once.
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(e, CURLOPT_PATH_AS_IS, 1L); // the target goes as Digest signed it
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_PROXY, ""); // machines are reached directly, whatever the environment says
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &state::on_body);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &state::on_header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &state::on_progress);
    curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, &state::on_connected);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, this);
    if (limits.connect.count() > 0)
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    if (limits.receive.count() > 0) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(limits.receive).count();
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, low_speed_floor);
        curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, static_cast<long>(seconds));
    }
    curl_easy_setopt(e, CURLOPT_SOCKOPTFUNCTION, &state::on_socket);
    curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, this);
    curl_easy_setopt(e, CURLOPT_MAXAGE_CONN, connection_max_age);
    if (curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") != CURLE_OK) {
        ec = error::transfer_failed;
        return false;
    }
    if (!to.secure)
        return true;
    // Our own check decides on the certificate (tls_check.hpp), so curl's own
    // checks stand aside; refusing is the only way out if ours cannot be set.
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 0L);
    // A resumed session would skip the check; a reused connection carries the
    // verdict of its own handshake (trusts_connection).
    curl_easy_setopt(e, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_CTX_DATA, &progress.tls);
    if (curl_easy_setopt(e, CURLOPT_SSL_CTX_FUNCTION, &detail::install_tls_check) != CURLE_OK) {
        ec = error::tls_failure;
        return false;
    }
    return true;
}

bool connection::state::prepare(method verb, const std::string& path, const document* document,
                                boost::system::error_code& ec)
{
    // A send that failed may be tried again on the same request: start afresh.
    fixed_headers.clear();
    verb_is_post = verb == method::post;
    target = path;
    if (verb_is_post) {
        if (document && !document->render_xml(body, ec))
            return false;
        // A machine need not know 100-continue; the body goes at once.
        fixed_headers = {"Content-Type: text/xml; charset=UTF-8", "Expect:"};
        curl_easy_setopt(easy.get(), CURLOPT_POST, 1L);
        curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(easy.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    } else {
        const std::string query = document ? document->render_query() : std::string();
        if (!query.empty())
            target += (path.find('?') == std::string::npos ? '?' : '&') + query;
        curl_easy_setopt(easy.get(), CURLOPT_HTTPGET, 1L);
    }
    const std::string url = (to.secure ? "https://" : "http://") + host + ':' + std::to_string(to.port) + target;
    curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    return configure(ec);
}

// The request's own header lines and the attempt's Authorization.
bool connection::state::set_headers(boost::system::error_code& ec)
{
    curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    headers.reset();
    std::vector<std::string> lines = fixed_headers;
    if (!authorization.empty())
        lines.push_back("Authorization: " + authorization);
    for (std::string& line : lines) {
        curl_slist* list = curl_slist_append(headers.get(), line.c_str());
        OPENSSL_cleanse(line.data(), line.size());
        if (!list) {
            ec = system_error(ENOMEM);
            return false;
        }
        headers.release();
        headers.reset(list);
    }
    curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headers.get());
    return true;
}

bool connection::state::start_transfer(boost::system::error_code& ec)
{
    stop_transfer();
    progress = detail::transfer_progress();
    progress.tls.host = to.host;
    progress.tls.port = to.port;
    if (curl_multi_add_handle(link.multi.get(), easy.get()) != CURLM_OK) {
        ec = error::transfer_failed;
        return false;
    }
    progress.attached = true;
    return true;
}

void connection::state::stop_transfer()
{
    if (progress.attached) {
        spoiled = spoiled || !progress.done || progress.result != CURLE_OK;
        curl_multi_remove_handle(link.multi.get(), easy.get());
        progress.attached = false;
    }
}

// Runs the request until its response's headers are in: with credentials at
// once where the host took them before, else in answer to its challenge.
bool connection::state::exchange(boost::system::error_code& ec)
{
    authorization = auth.first(to, verb_is_post ? "POST" : "GET", target);
    do {
        if (!set_headers(ec) || !start_transfer(ec) || !drive([this] { return progress.headers_done; }, ec)) {
            stop_transfer();
            return false;
        }
        status = progress.block_status;
        type = progress.block_type;
    } while (next_attempt());
    auth.settle(status);
    responded = true;
    return true;
}

// Whether the request goes again, with the answer to the host's challenge.
bool connection::state::next_attempt()
{
    if (status != 401)
        return false;
    auto answer = auth.next(progress.challenge);
    if (!answer)
        return false;
    // The challenge's body is read so that the answer can use the connection.
    drain();
    stop_transfer();
    OPENSSL_cleanse(authorization.data(), authorization.size());
    authorization = std::move(*answer);
    return true;
}

// Reads and drops the rest of a small body that comes quickly; false when it
// is too large or slow, or the transfer fails.
bool connection::state::drain()
{
    curl_off_t announced = -1;
    if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK ||
        announced > drain_limit)
        return false;
    curl_off_t received = 0;
    const sink_scope scope(sink, [&received](const char*, std::size_t size) {
        received += static_cast<curl_off_t>(size);
        return received <= drain_limit;
    });
    curl_easy_pause(easy.get(), CURLPAUSE_CONT);
    const clock::time_point end = clock::now() + drain_time;
    for (;;) {
        int running = 0;
        curl_multi_perform(link.multi.get(), &running);
        if (collect_result())
            return progress.result == CURLE_OK;
        const clock::time_point now = clock::now();
        if (cancelled || now >= end)
            return false;
        wait_on_sockets(std::min(poll_period, std::chrono::ceil<std::chrono::milliseconds>(end - now)));
    }
}

// Whether the body can be read now and is not announced as larger than the
// limit; a body that is, is dropped unread.
bool connection::state::may_receive(std::uint64_t limit, boost::system::error_code& ec)
{
    if (!responded || body_read) {
        ec = error::out_of_sequence;
        return false;
    }
    curl_off_t announced = -1;
    if (curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) != CURLE_OK ||
        announced <= 0 || static_cast<std::uint64_t>(announced) <= limit)
        return true;
    body_read = true;
    stop_transfer();
    ec = error::body_too_large;
    return false;
}

// Hands the rest of the body to the consumer, up to the limit: the body
// need not be announced, nor be as long as announced.
bool connection::state::receive(std::uint64_t limit, const std::function<bool(const char*, std::size_t)>& consumer,
                                boost::system::error_code& ec)
{
    std::uint64_t received = 0;
    const sink_scope scope(sink, [&](const char* data, std::size_t size) {
        if (size > limit - received) {
            sink_error = error::body_too_large;
            return false;
        }
        received += size;
        return consumer(data, size);
    });
    return finish(ec);
}

bool connection::state::finish(boost::system::error_code& ec)
{
    body_read = true;
    if (progress.done)
        return true;
    sink_error.clear();
    curl_easy_pause(easy.get(), CURLPAUSE_CONT);
    if (!drive([] { return false; }, ec)) {
        stop_transfer();
        return false;
    }
    return true;
}

bool connection::state::connect_failed() const
{
    return !progress.connected &&
           (progress.result == CURLE_COULDNT_CONNECT || progress.result == CURLE_OPERATION_TIMEDOUT);
}

std::optional<std::chrono::milliseconds> connection::state::inactivity_limit() const
{
    if (!progress.connected)
        return std::nullopt; // curl's connect limit rules until then
    const std::chrono::milliseconds limit = progress.sent ? limits.receive : limits.send;
    if (limit.count() <= 0)
        return std::nullopt;
    return limit;
}

// Whether the request was cancelled (false with the reason); an interruption
// of the calling thread ends the transfer and throws.
bool connection::state::stopped(boost::system::error_code& ec)
{
    if (cancelled) {
        ec = error::cancelled;
        return true;
    }
    if (boost::this_thread::interruption_enabled() && boost::this_thread::interruption_requested()) {
        stop_transfer();
        boost::this_thread::interruption_point();
    }
    return false;
}

void connection::state::wait_on_sockets(std::chrono::milliseconds wait)
{
    curl_multi_poll(link.multi.get(), nullptr, 0, static_cast<int>(wait.count()) + 1, nullptr);
}

// Waits, as cancel() and interruption allow, before the next attempt.
bool connection::state::pause(std::chrono::milliseconds span, boost::system::error_code& ec)
{
    const clock::time_point end = clock::now() + span;
    for (clock::time_point now = clock::now(); now < end; now = clock::now()) {
        if (stopped(ec))
            return false;
        wait_on_sockets(std::min(poll_period, std::chrono::ceil<std::chrono::milliseconds>(end - now)));
    }
    return !stopped(ec);
}

// Starts another attempt when the connection failed and attempts remain;
// false with the reason otherwise.
bool connection::state::retry(int& attempts, boost::system::error_code& ec)
{
    if (!connect_failed() || attempts >= limits.attempts) {
        ec = failure_of(progress.result);
        return false;
    }
    ++attempts;
    stop_transfer();
    if (!pause(retry_pause, ec) || !start_transfer(ec))
        return false;
    touch();
    return true;
}

bool connection::state::collect_result()
{
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(link.multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy.get()) {
            progress.done = true;
            progress.result = message->data.result;
        }
    }
    return progress.done;
}

boost::system::error_code connection::state::failure_of(CURLcode result) const
{
    using outcome = detail::tls_check::outcome;
    if (progress.tls.result == outcome::key_changed)
        return error::certificate_key_changed;
    if (progress.tls.result == outcome::untrusted)
        return error::certificate_untrusted;
    switch (result) {
    case CURLE_WRITE_ERROR:
        return sink_error ? sink_error : boost::system::error_code(error::transfer_failed);
    case CURLE_COULDNT_RESOLVE_HOST: return error::cannot_resolve;
    case CURLE_COULDNT_CONNECT: return error::cannot_connect;
    case CURLE_OPERATION_TIMEDOUT: return error::timed_out;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER: return error::tls_failure;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return error::connection_lost;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return error::invalid_response;
    case CURLE_OUT_OF_MEMORY: return system_error(ENOMEM);
    default: break;
    }
    return error::transfer_failed;
}

// Runs the transfer until `until` holds or it ends; connection attempts that
// fail are repeated up to the limit. False with the reason on failure.
bool connection::state::drive(const std::function<bool()>& until, boost::system::error_code& ec)
{
    int attempts = 1;
    touch();
    for (;;) {
        int running = 0;
        curl_multi_perform(link.multi.get(), &running);
        if (collect_result()) {
            if (progress.result == CURLE_OK)
                return true;
            if (!retry(attempts, ec))
                return false;
            continue;
        }
        if (until())
            return true;
        if (stopped(ec))
            return false;
        std::chrono::milliseconds wait = poll_period;
        if (const auto limit = inactivity_limit()) {
            const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() -
                                                                                    progress.last_activity);
            if (idle >= *limit) {
                ec = error::timed_out;
                return false;
            }
            wait = std::min(wait, *limit - idle);
        }
        wait_on_sockets(wait);
    }
}

std::unique_ptr<connection> connection::create(const std::string& host, error_code& ec)
{
    // Host names and IPv4 addresses only: nothing that could change the meaning of the URL.
    if (!pelmo::network::is_host_name(host)) {
        ec = error::invalid_host;
        return nullptr;
    }
    if (!initialise_curl()) {
        ec = system_error(ENOMEM);
        return nullptr;
    }
    auto s = std::make_unique<state>();
    s->host = host;
    return std::unique_ptr<connection>(new connection(std::move(s)));
}

connection::connection(std::unique_ptr<state> s)
    : state_(std::move(s))
{
}

connection::~connection() = default;

void connection::use_tls(bool secure)
{
    state_->secure = secure;
}

void connection::set_timeouts(const timeouts& limits)
{
    state_->limits = limits;
}

bool connection::open_request(int port, error_code& ec)
{
    return state_->start_request(port, ec);
}

void connection::set_credentials(std::string user, std::string password)
{
    state_->auth.set(std::move(user), std::move(password));
}

bool connection::send(method verb, const std::string& path, const document* body, error_code& ec)
{
    state& s = *state_;
    if (s.cancelled) {
        ec = error::cancelled;
        return false;
    }
    if (!s.open || s.progress.attached || s.responded) {
        ec = error::out_of_sequence;
        return false;
    }
    const auto target = request_target(path);
    if (!target) {
        ec = error::invalid_path;
        return false;
    }
    if (s.auth.unsendable()) {
        ec = error::invalid_credentials;
        return false;
    }
    return s.prepare(verb, *target, body, ec) && s.exchange(ec);
}

int connection::status() const
{
    return state_->status;
}

content_type connection::type() const
{
    return state_->type;
}

bool connection::read_body(std::vector<unsigned char>& out, error_code& ec)
{
    state& s = *state_;
    if (!s.may_receive(max_body_in_memory, ec))
        return false;
    out.clear();
    return s.receive(
        max_body_in_memory,
        [&out](const char* data, std::size_t size) {
            out.insert(out.end(), data, data + size);
            return true;
        },
        ec);
}

bool connection::read_body(document& into, error_code& ec)
{
    std::vector<unsigned char> bytes;
    return read_body(bytes, ec) && into.parse_xml(bytes.data(), bytes.size(), ec);
}

bool connection::store_body(const std::string& file, error_code& ec)
{
    state& s = *state_;
    if (!s.may_receive(max_body_in_file, ec))
        return false;
    detail::atomic_file out;
    if (!out.open(file)) {
        ec = system_error(errno);
        s.body_read = true;
        s.stop_transfer();
        return false;
    }
    const auto write = [&s, &out](const char* data, std::size_t size) {
        if (out.write(data, size))
            return true;
        s.sink_error = system_error(errno);
        return false;
    };
    if (!s.receive(max_body_in_file, write, ec))
        return false;
    if (!out.commit()) {
        ec = system_error(errno);
        return false;
    }
    return true;
}

void connection::end_request()
{
    state_->close_request();
}

void connection::cancel() noexcept
{
    state_->cancelled = true;
    const std::lock_guard<std::mutex> lock(state_->link_mutex);
    if (state_->link.multi)
        curl_multi_wakeup(state_->link.multi.get());
}

} // namespace transport
