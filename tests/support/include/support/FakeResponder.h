#ifndef NOCTAVI_TESTS_SUPPORT_FAKERESPONDER_H
#define NOCTAVI_TESTS_SUPPORT_FAKERESPONDER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace support {

// One DNS-SD service that a fake host publishes.
struct PublishedService {
    enum class Type { Ipp, Http, Https };

    Type type;
    std::string instance;         // any bytes: dots, spaces, NULs
    std::uint16_t port = 0;
    std::vector<std::string> txt; // "ty=Maker Model", ...
};

// A host on the fake link: the loopback address it answers from and that its
// A record gives, its host name ("mfp-1.local") and its services.
struct PublishedHost {
    std::string address;
    std::string hostName;
    std::vector<PublishedService> services;
};

// The multicast DNS responders of a link as they answer a one-shot query
// (one sent from a port other than 5353), on a loopback address instead of
// the multicast group: each host that has records for a question answers by
// unicast from a socket of its own on its own address, one datagram per
// query, echoing the query's ID and questions, every record in the answer
// section: the direct answers first, then the instances' SRV, TXT and the
// host's A record. A reply is capped at 512 bytes; records that do not fit
// are left out silently, as a real responder drops them.
//
// Runs on a thread of its own until destroyed; every member may be called
// from the test's thread meanwhile.
class FakeResponder {
public:
    // Listens on the loopback address and port (0: a free one).
    explicit FakeResponder(const std::string& address = "127.0.0.1", std::uint16_t port = 0);
    FakeResponder(const FakeResponder&) = delete;
    FakeResponder& operator=(const FakeResponder&) = delete;
    ~FakeResponder();

    const std::string& Address() const;
    std::uint16_t Port() const;

    // The host answers from now on; a host published again replaces the one
    // with its address.
    void Publish(const PublishedHost& host);
    void Withdraw(const std::string& address);

    // Each host then answers each query first with datagrams that no reader
    // may take (compression loops, lengths beyond the end, more records than
    // any reply needs, a name that is no instance), then as usual.
    void SetMalformed(bool malformed);

    // Each host then answers with the records asked for only, as a responder
    // does whose replies have no room for more, so that every record is
    // asked for on its own.
    void SetAnswersOnly(bool answersOnly);

    // Each host then sets multicast DNS's cache-flush bit on the class of its
    // unique records (SRV, TXT, A), never on the shared PTR records, as
    // responders do in replies to port 5353 and some in one-shot replies too.
    void SetCacheFlush(bool cacheFlush);

    // Each host then fills each reply to this many bytes (0: none) with an
    // additional record of a private type that no client asks for, as a host
    // of many records fills a reply to a port-5353 query up to 9000 bytes,
    // or beyond when it breaks that limit.
    void SetReplySize(std::size_t bytes);

    // Whether the replies to a query are lost on the way, given its question
    // as Questions() gives it and how often it has come, this time included.
    using Loss = std::function<bool(const std::string& question, std::size_t asked)>;
    // The replies to the queries it picks are then lost, as on a link that
    // drops datagrams; no loss by default.
    void SetLoss(Loss loss);

    // Questions received, each as "name type" ("_ipp._tcp.local. PTR").
    std::vector<std::string> Questions() const;

private:
    struct Pimpl;
    std::unique_ptr<Pimpl> pimpl_;
};

} // namespace support

#endif
