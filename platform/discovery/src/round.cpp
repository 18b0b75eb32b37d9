#include <discovery/round.hpp>

#include <discovery/collector.hpp>

#include "wire.hpp"

#include <pelmo/unique_fd.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <new>
#include <random>
#include <system_error>

namespace discovery {

namespace {

using clock = std::chrono::steady_clock;

// The largest datagram multicast DNS allows; a larger one is dropped.
constexpr std::size_t max_datagram = 9000;

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

// One socket on an ephemeral port, never connected: a responder answers from
// its own port, and possibly from another of its addresses than the one asked.
class query_socket {
public:
    explicit query_socket(const endpoint& target)
        : target_(to_address(target))
        , socket_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        if (!socket_)
            fail();
    }

    void ask(std::uint16_t id, const std::vector<collector::question>& questions) const
    {
        for (const collector::question& question : questions) {
            const std::string datagram = wire::query(id, question.name, question.type);
            while (::sendto(socket_.get(), datagram.data(), datagram.size(), 0,
                            reinterpret_cast<const sockaddr*>(&target_), sizeof target_) < 0) {
                if (errno != EINTR)
                    fail();
            }
        }
    }

    // The size of the next datagram (which may exceed the buffer), or 0 when
    // none came before the deadline.
    std::size_t receive(std::uint8_t* buffer, std::size_t size, clock::time_point deadline) const
    {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now());
            if (left.count() <= 0)
                return 0;
            pollfd waiting{socket_.get(), POLLIN, 0};
            const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR)
                fail();
            if (ready <= 0)
                continue;
            const ssize_t received = ::recv(socket_.get(), buffer, size, MSG_TRUNC | MSG_DONTWAIT);
            if (received > 0)
                return static_cast<std::size_t>(received);
            if (received < 0 && errno != EINTR && errno != EAGAIN)
                fail();
        }
    }

private:
    const sockaddr_in target_;
    const pelmo::unique_fd socket_;
};

std::vector<machine> ask_round(const round_options& options)
{
    const query_socket socket(options.target);
    const auto id = static_cast<std::uint16_t>(std::random_device()());
    collector replies(id, options.max_machines);
    const clock::time_point deadline = clock::now() + options.duration;
    socket.ask(id, replies.take_questions());
    std::uint8_t buffer[max_datagram];
    while (const std::size_t size = socket.receive(buffer, sizeof buffer, deadline)) {
        if (size <= sizeof buffer && replies.add(buffer, size))
            socket.ask(id, replies.take_questions());
    }
    return replies.machines();
}

} // namespace

int run_round(const round_options& options, std::vector<machine>& found) noexcept
{
    found.clear();
    try {
        found = ask_round(options);
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
