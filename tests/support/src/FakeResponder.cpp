#include <support/FakeResponder.h>

#include "Loopback.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/post.hpp>

#include <ldns/ldns.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

namespace support {

namespace {

namespace asio = boost::asio;
using udp = asio::ip::udp;

// What a responder puts into one reply to a one-shot query at most, and the
// time to live it gives such a reply's records.
constexpr std::size_t kReplyLimit = 512;
constexpr std::uint32_t kOneShotTtl = 10;
constexpr std::size_t kMaxLabel = 63;
constexpr std::size_t kMaxCharacterString = 255;
// The top bit of a record's class: the record replaces what a cache holds
// for its name and type.
constexpr unsigned kCacheFlush = 0x8000;
// Where the hostile datagrams point the host's name instead.
constexpr unsigned char kBogusAddress[] = {127, 0, 0, 250};

using Record = std::unique_ptr<ldns_rr, decltype(&ldns_rr_free)>;
using Packet = std::unique_ptr<ldns_pkt, decltype(&ldns_pkt_free)>;

// A name in wire form, as the library reads it from text.
std::string Wire(const std::string& dotted)
{
    ldns_rdf* name = ldns_dname_new_frm_str(dotted.c_str());
    std::string wire(reinterpret_cast<const char*>(ldns_rdf_data(name)), ldns_rdf_size(name));
    ldns_rdf_deep_free(name);
    return wire;
}

std::string TypeWire(PublishedService::Type type)
{
    switch (type) {
    case PublishedService::Type::Ipp:
        return Wire("_ipp._tcp.local");
    case PublishedService::Type::Http:
        return Wire("_http._tcp.local");
    case PublishedService::Type::Https:
        break;
    }
    return Wire("_https._tcp.local");
}

std::string InstanceWire(const PublishedService& service)
{
    return static_cast<char>(service.instance.size()) + service.instance + TypeWire(service.type);
}

ldns_rdf* Name(const std::string& wire)
{
    return ldns_dname_new_frm_data(static_cast<std::uint16_t>(wire.size()), wire.data());
}

bool IsNamed(const ldns_rdf* name, const std::string& wire)
{
    ldns_rdf* other = Name(wire);
    const bool same = ldns_dname_compare(name, other) == 0;
    ldns_rdf_deep_free(other);
    return same;
}

Record MakeRecord(ldns_rr_type type, const std::string& owner, std::initializer_list<ldns_rdf*> fields)
{
    Record record(ldns_rr_new(), &ldns_rr_free);
    ldns_rr_set_type(record.get(), type);
    ldns_rr_set_class(record.get(), LDNS_RR_CLASS_IN);
    ldns_rr_set_ttl(record.get(), kOneShotTtl);
    ldns_rr_set_owner(record.get(), Name(owner));
    for (ldns_rdf* field : fields)
        ldns_rr_push_rdf(record.get(), field);
    return record;
}

Record Pointer(const PublishedService& service)
{
    return MakeRecord(LDNS_RR_TYPE_PTR, TypeWire(service.type), {Name(InstanceWire(service))});
}

Record Location(const PublishedHost& host, const PublishedService& service)
{
    return MakeRecord(LDNS_RR_TYPE_SRV, InstanceWire(service),
                      {ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, 0), ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, 0),
                       ldns_native2rdf_int16(LDNS_RDF_TYPE_INT16, service.port), Name(Wire(host.hostName))});
}

Record Text(const PublishedService& service)
{
    Record record = MakeRecord(LDNS_RR_TYPE_TXT, InstanceWire(service), {});
    for (const std::string& pair : service.txt) {
        const std::string string = static_cast<char>(pair.size()) + pair;
        ldns_rr_push_rdf(record.get(), ldns_rdf_new_frm_data(LDNS_RDF_TYPE_STR, string.size(), string.data()));
    }
    return record;
}

Record Address(const PublishedHost& host)
{
    const asio::ip::address_v4::bytes_type bytes = LoopbackAddress(host.address).to_bytes();
    return MakeRecord(LDNS_RR_TYPE_A, Wire(host.hostName), {ldns_rdf_new_frm_data(LDNS_RDF_TYPE_A, 4, bytes.data())});
}

// What the host answers to one question: the direct answers, then what a
// client needs next unless only the answers are wanted.
std::vector<Record> Answers(const PublishedHost& host, const ldns_rr& question, bool answersOnly, bool cacheFlush)
{
    const ldns_rdf* name = ldns_rr_owner(&question);
    const ldns_rr_type type = ldns_rr_get_type(&question);
    std::vector<Record> direct;
    std::vector<Record> next;
    for (const PublishedService& service : host.services) {
        if (type == LDNS_RR_TYPE_PTR && IsNamed(name, TypeWire(service.type))) {
            direct.push_back(Pointer(service));
            next.push_back(Location(host, service));
            if (!service.txt.empty())
                next.push_back(Text(service));
            next.push_back(Address(host));
        } else if (type == LDNS_RR_TYPE_SRV && IsNamed(name, InstanceWire(service))) {
            direct.push_back(Location(host, service));
            next.push_back(Address(host));
        } else if (type == LDNS_RR_TYPE_TXT && IsNamed(name, InstanceWire(service)) && !service.txt.empty()) {
            direct.push_back(Text(service));
        }
    }
    if (type == LDNS_RR_TYPE_A && IsNamed(name, Wire(host.hostName)))
        direct.push_back(Address(host));
    if (!answersOnly)
        std::move(next.begin(), next.end(), std::back_inserter(direct));
    for (Record& record : direct) {
        if (cacheFlush && ldns_rr_get_type(record.get()) != LDNS_RR_TYPE_PTR)
            ldns_rr_set_class(record.get(), static_cast<ldns_rr_class>(LDNS_RR_CLASS_IN | kCacheFlush));
    }
    return direct;
}

std::optional<std::string> ToWire(const ldns_pkt& packet)
{
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (ldns_pkt2wire(&data, &packet, &size) != LDNS_STATUS_OK)
        return std::nullopt;
    std::string wire(reinterpret_cast<const char*>(data), size);
    std::free(data);
    return wire;
}

bool Contains(const ldns_rr_list& records, const ldns_rr& record)
{
    for (std::size_t i = 0; i < ldns_rr_list_rr_count(&records); ++i) {
        if (ldns_rr_compare(ldns_rr_list_rr(&records, i), &record) == 0)
            return true;
    }
    return false;
}

// Appends the record unless the reply holds it already or would then exceed
// the limit.
void AppendIfFits(ldns_pkt& reply, Record record)
{
    if (Contains(*ldns_pkt_answer(&reply), *record))
        return;
    ldns_pkt_push_rr(&reply, LDNS_SECTION_ANSWER, record.release());
    const std::optional<std::string> wire = ToWire(reply);
    if (wire && wire->size() <= kReplyLimit)
        return;
    ldns_rr_free(ldns_rr_list_pop_rr(ldns_pkt_answer(&reply)));
    ldns_pkt_set_ancount(&reply, static_cast<std::uint16_t>(ldns_pkt_ancount(&reply) - 1));
}

std::optional<std::string> Reply(const PublishedHost& host, const ldns_pkt& query, bool answersOnly, bool cacheFlush)
{
    Packet reply(ldns_pkt_new(), &ldns_pkt_free);
    ldns_pkt_set_id(reply.get(), ldns_pkt_id(&query));
    ldns_pkt_set_qr(reply.get(), true);
    ldns_pkt_set_aa(reply.get(), true);
    const ldns_rr_list* questions = ldns_pkt_question(&query);
    for (std::size_t i = 0; i < ldns_rr_list_rr_count(questions); ++i)
        ldns_pkt_push_rr(reply.get(), LDNS_SECTION_QUESTION, ldns_rr_clone(ldns_rr_list_rr(questions, i)));
    for (std::size_t i = 0; i < ldns_rr_list_rr_count(questions); ++i) {
        for (Record& record : Answers(host, *ldns_rr_list_rr(questions, i), answersOnly, cacheFlush))
            AppendIfFits(*reply, std::move(record));
    }
    if (ldns_pkt_ancount(reply.get()) == 0)
        return std::nullopt;
    return ToWire(*reply);
}

void Append16(std::string& out, unsigned value)
{
    out += static_cast<char>(value >> 8 & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

// A reply's header: ID, response and authoritative flags, then the counts.
std::string Header(std::uint16_t id, unsigned answers)
{
    std::string header;
    for (unsigned field : {unsigned(id), 0x8400u, 0u, answers, 0u, 0u})
        Append16(header, field);
    return header;
}

// Type, class, time to live and data of an A record, after its owner name.
std::string AddressBody(unsigned dataLength = 4)
{
    std::string body;
    for (unsigned field : {unsigned(LDNS_RR_TYPE_A), unsigned(LDNS_RR_CLASS_IN), 0u, kOneShotTtl, dataLength})
        Append16(body, field);
    return body + std::string(std::begin(kBogusAddress), std::end(kBogusAddress));
}

// Replies that would point the host's name at kBogusAddress, or never end,
// if a reader took them.
std::vector<std::string> HostileReplies(const PublishedHost& host, std::uint16_t id)
{
    const std::string hostName = Wire(host.hostName);
    const std::string addressRecord = hostName + AddressBody();
    std::string flood = Header(id, 101);
    for (int i = 0; i < 101; ++i)
        flood += addressRecord;
    std::string stray = Header(id, 1) + Wire("_ipp._tcp.local");
    for (unsigned field : {unsigned(LDNS_RR_TYPE_PTR), unsigned(LDNS_RR_CLASS_IN), 0u, kOneShotTtl,
                           unsigned(Wire("evil.local").size())})
        Append16(stray, field);
    return {
        Header(id, 1) + "\xC0\x0C" + AddressBody(),       // the owner name points at itself
        Header(id, 1) + hostName + AddressBody(200),      // data beyond the datagram's end
        Header(id, 50) + addressRecord,                   // more records counted than sent
        Header(id, 1).substr(0, 5),                       // a cut header
        Header(id, 1) + "\x45" + hostName + AddressBody(), // a label of a reserved kind
        flood,                                            // more records than any reply needs
        stray + Wire("evil.local"),                       // a pointer to a name of no instance
    };
}

// The reply grown to `size` bytes by one more additional record, owned by the
// root, of the first private type; unchanged when there is no room for one.
std::string Filled(std::string reply, std::size_t size)
{
    constexpr unsigned kPrivateType = 65280;
    constexpr std::size_t kAdditionalCount = 10;
    constexpr std::size_t kFields = 11; // root name, type, class, time to live, data length
    if (size < reply.size() + kFields)
        return reply;
    const unsigned additional = (unsigned(std::uint8_t(reply[kAdditionalCount])) << 8 |
                                 std::uint8_t(reply[kAdditionalCount + 1])) + 1;
    reply.replace(kAdditionalCount, 2, std::string{char(additional >> 8 & 0xFF), char(additional & 0xFF)});
    const std::size_t dataLength = size - reply.size() - kFields;
    reply += '\0';
    for (unsigned field : {kPrivateType, unsigned(LDNS_RR_CLASS_IN), 0u, kOneShotTtl, unsigned(dataLength)})
        Append16(reply, field);
    return reply + std::string(dataLength, 'F');
}

std::string Describe(const ldns_rr& question)
{
    char* name = ldns_rdf2str(ldns_rr_owner(&question));
    char* type = ldns_rr_type2str(ldns_rr_get_type(&question));
    std::string text = std::string(name ? name : "") + ' ' + (type ? type : "");
    std::free(name);
    std::free(type);
    return text;
}

} // namespace

struct FakeResponder::Pimpl {
    struct Host {
        PublishedHost published;
        udp::socket socket;
    };

    asio::io_context io;
    udp::socket socket;
    std::string address;
    std::uint16_t port;
    udp::endpoint sender;
    std::uint8_t buffer[9000];
    mutable std::mutex mutex;
    std::map<std::string, std::unique_ptr<Host>> hosts;
    bool malformed = false;
    bool answersOnly = false;
    bool cacheFlush = false;
    std::size_t replySize = 0;
    Loss loss;
    std::vector<std::string> questions;
    std::thread thread;

    Pimpl(const std::string& address, std::uint16_t port)
        : socket(io, udp::endpoint(LoopbackAddress(address), port))
        , address(address)
        , port(socket.local_endpoint().port())
    {
        Receive();
        thread = std::thread([this] { io.run(); });
    }

    ~Pimpl()
    {
        asio::post(io, [this] { io.stop(); });
        thread.join();
    }

    void Receive()
    {
        socket.async_receive_from(asio::buffer(buffer), sender,
                                  [this](const boost::system::error_code& failure, std::size_t size) {
                                      if (failure == asio::error::operation_aborted)
                                          return;
                                      if (!failure)
                                          Answer(size);
                                      Receive();
                                  });
    }

    void Answer(std::size_t size)
    {
        ldns_pkt* parsed = nullptr;
        if (ldns_wire2pkt(&parsed, buffer, size) != LDNS_STATUS_OK)
            return;
        const Packet query(parsed, &ldns_pkt_free);
        if (ldns_pkt_qr(query.get()))
            return;
        const std::lock_guard<std::mutex> lock(mutex);
        if (IsLost(*ldns_pkt_question(query.get())))
            return;
        for (auto& [hostAddress, host] : hosts) {
            if (malformed) {
                for (const std::string& hostile : HostileReplies(host->published, ldns_pkt_id(query.get())))
                    Send(*host, hostile);
            }
            if (const std::optional<std::string> reply = Reply(host->published, *query, answersOnly, cacheFlush))
                Send(*host, Filled(*reply, replySize));
        }
    }

    // Notes the questions; true when the loss picks any of them.
    bool IsLost(const ldns_rr_list& asked)
    {
        bool lost = false;
        for (std::size_t i = 0; i < ldns_rr_list_rr_count(&asked); ++i) {
            questions.push_back(Describe(*ldns_rr_list_rr(&asked, i)));
            const std::size_t times = std::count(questions.begin(), questions.end(), questions.back());
            lost = lost || (loss && loss(questions.back(), times));
        }
        return lost;
    }

    // A failed send costs that one datagram, as on a real link.
    void Send(Host& host, const std::string& datagram)
    {
        boost::system::error_code ignored;
        host.socket.send_to(asio::buffer(datagram), sender, 0, ignored);
    }
};

FakeResponder::FakeResponder(const std::string& address, std::uint16_t port)
    : pimpl_(std::make_unique<Pimpl>(address, port))
{
}

FakeResponder::~FakeResponder() = default;

const std::string& FakeResponder::Address() const
{
    return pimpl_->address;
}

std::uint16_t FakeResponder::Port() const
{
    return pimpl_->port;
}

void FakeResponder::Publish(const PublishedHost& host)
{
    for (const PublishedService& service : host.services) {
        const bool fits = service.instance.size() <= kMaxLabel &&
                          std::all_of(service.txt.begin(), service.txt.end(),
                                      [](const std::string& pair) { return pair.size() <= kMaxCharacterString; });
        if (!fits)
            throw std::invalid_argument("no DNS record holds " + service.instance);
    }
    auto published = std::make_unique<Pimpl::Host>(
        Pimpl::Host{host, udp::socket(pimpl_->io, udp::endpoint(LoopbackAddress(host.address), 0))});
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->hosts[host.address] = std::move(published);
}

void FakeResponder::Withdraw(const std::string& address)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->hosts.erase(address);
}

void FakeResponder::SetMalformed(bool malformed)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->malformed = malformed;
}

void FakeResponder::SetAnswersOnly(bool answersOnly)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->answersOnly = answersOnly;
}

void FakeResponder::SetCacheFlush(bool cacheFlush)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->cacheFlush = cacheFlush;
}

void FakeResponder::SetReplySize(std::size_t bytes)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->replySize = bytes;
}

void FakeResponder::SetLoss(Loss loss)
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    pimpl_->loss = std::move(loss);
}

std::vector<std::string> FakeResponder::Questions() const
{
    const std::lock_guard<std::mutex> lock(pimpl_->mutex);
    return pimpl_->questions;
}

} // namespace support
