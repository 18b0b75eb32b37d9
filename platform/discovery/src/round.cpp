#include <discovery/round.hpp>

#include <discovery/collector.hpp>

#include "wire.hpp"

#include <pelmo/unique_fd.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <memory>
#include <new>
#include <random>
#include <system_error>

namespace discovery {

namespace {

using clock = std::chrono::steady_clock;

// The largest datagram multicast DNS allows; a larger one is dropped.
constexpr std::size_t max_datagram = 9000;
constexpr std::uint16_t mdns_port = 5353;
// What has not come is asked again at 0.3, 0.9 and 1.2 s of a 1.5 s round,
// as multicast DNS queriers space their queries; the last leaves time for
// the answers to what it asks.
constexpr int repeats_in_fifths[] = {1, 3, 4};

struct socket_failure {
    int error;
};

[[noreturn]] void fail()
{
    throw socket_failure{errno};
}

sockaddr_in to_address(const endpoint& target)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(target.port);
    if (inet_pton(AF_INET, target.address.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        fail();
    }
    return address;
}

// One socket, never connected: a responder answers from its own port, and
// possibly from another of its addresses than the one asked.
class query_socket {
public:
    // On an ephemeral port: responders answer one-shot queries by unicast,
    // each reply cut at 512 bytes.
    query_socket()
        : socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        if (!socket_)
            fail();
    }

    // On port 5353 in the multicast DNS group, beside any responder of this
    // host: responders answer questions that ask for a unicast response at
    // once and uncut, and leave out what the query lists as known. None when
    // the target is not the group or the port cannot be shared.
    static std::unique_ptr<query_socket> in_group(const sockaddr_in& target)
    {
        const std::uint32_t group = ntohl(target.sin_addr.s_addr);
        if (!IN_MULTICAST(group) || ntohs(target.sin_port) != mdns_port)
            return nullptr;
        auto shared = std::make_unique<query_socket>();
        const int yes = 1;
        const int link_local_ttl = 255;
        sockaddr_in port{};
        port.sin_family = AF_INET;
        port.sin_port = htons(mdns_port);
        const ip_mreq membership{target.sin_addr, {htonl(INADDR_ANY)}};
        const int fd = shared->socket_.get();
        const bool joined = ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes) == 0 &&
                            ::bind(fd, reinterpret_cast<const sockaddr*>(&port), sizeof port) == 0 &&
                            ::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) == 0 &&
                            ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &link_local_ttl, sizeof link_local_ttl) == 0;
        return joined ? std::move(shared) : nullptr;
    }

    int fd() const { return socket_.get(); }

    // False, with errno set, when the system refused the datagram.
    bool send(const std::string& datagram, const sockaddr_in& target) const
    {
        ssize_t sent;
        do {
            sent = ::sendto(socket_.get(), datagram.data(), datagram.size(), 0,
                            reinterpret_cast<const sockaddr*>(&target), sizeof target);
        } while (sent < 0 && errno == EINTR);
        return sent >= 0;
    }

private:
    const pelmo::unique_fd socket_;
};

// A datagram that came, and whether it came to the group's port.
struct arrival {
    std::size_t size = 0; // may exceed the buffer; 0 when none came in time
    bool to_group_port = false;

    explicit operator bool() const { return size != 0; }
};

class asking_round {
public:
    explicit asking_round(const round_options& options)
        : options_(options)
        , target_(to_address(options.target))
        , shared_(query_socket::in_group(target_))
        , id_(static_cast<std::uint16_t>(std::random_device()()))
        , replies_(id_, options.max_machines)
    {
    }

    std::vector<machine> run()
    {
        const clock::time_point start = clock::now();
        ask_everywhere(replies_.take_questions());
        for (const int fifth : repeats_in_fifths) {
            listen_until(start + options_.duration * fifth / 5);
            ask_everywhere(replies_.repeat_questions());
        }
        if (sent_ == 0) {
            errno = refusal_;
            fail();
        }
        listen_until(start + options_.duration);
        return replies_.machines();
    }

private:
    // A query the system refuses is as lost as one the network drops.
    void count(bool sent)
    {
        if (sent)
            ++sent_;
        else
            refusal_ = errno;
    }

    void ask(const std::vector<collector::question>& questions)
    {
        for (const collector::question& question : questions)
            count(unicast_.send(wire::query(id_, question.name, question.type), target_));
    }

    // From the group's port too, where the service types go with the
    // instances known in full: responders then send what their one-shot
    // replies had no room for, the rest of many instances or a TXT record
    // beside a long name. A unicast response is asked for, since a responder
    // repeats no multicast answer within half a second (avahi-daemon).
    void ask_everywhere(const std::vector<collector::question>& questions)
    {
        ask(questions);
        if (!shared_)
            return;
        for (const collector::question& question : questions) {
            count(shared_->send(
                wire::query(0, question.name, question.type, question.known_answers, wire::unicast_response),
                target_));
        }
    }

    void listen_until(clock::time_point until)
    {
        std::uint8_t buffer[max_datagram];
        while (const arrival came = receive(buffer, sizeof buffer, until)) {
            if (came.size <= sizeof buffer && replies_.add(buffer, came.size, came.to_group_port))
                ask(replies_.take_questions());
        }
    }

    arrival receive(std::uint8_t* buffer, std::size_t size, clock::time_point deadline) const
    {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now());
            if (left.count() <= 0)
                return {};
            pollfd waiting[] = {{unicast_.fd(), POLLIN, 0}, {shared_ ? shared_->fd() : -1, POLLIN, 0}};
            const int ready = ::poll(waiting, 2, static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR)
                fail();
            for (const pollfd& each : waiting) {
                if (ready > 0 && (each.revents & POLLIN))
                    if (const std::size_t got = take(each.fd, buffer, size))
                        return {got, each.fd != unicast_.fd()};
            }
        }
    }

    static std::size_t take(int fd, std::uint8_t* buffer, std::size_t size)
    {
        const ssize_t received = ::recv(fd, buffer, size, MSG_TRUNC | MSG_DONTWAIT);
        if (received < 0 && errno != EINTR && errno != EAGAIN)
            fail();
        return received > 0 ? static_cast<std::size_t>(received) : 0;
    }

    const round_options& options_;
    const sockaddr_in target_;
    const query_socket unicast_;
    const std::unique_ptr<query_socket> shared_;
    const std::uint16_t id_;
    collector replies_;
    std::size_t sent_ = 0;
    int refusal_ = 0;
};

} // namespace

int run_round(const round_options& options, std::vector<machine>& found) noexcept
{
    found.clear();
    try {
        found = asking_round(options).run();
        return result::success;
    } catch (const socket_failure& failure) {
        errno = failure.error;
        return result::network_failure;
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
    } catch (const std::system_error& failure) {
        errno = failure.code().value();
    }
    return result::system_failure;
}

} // namespace discovery
