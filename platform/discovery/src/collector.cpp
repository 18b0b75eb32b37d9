#include <discovery/collector.hpp>

#include "wire.hpp"

#include <ldns/ldns.h>

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace discovery {

namespace {

// A reply to one question needs a handful of records; a real responder caps
// it at 512 bytes anyway.
constexpr std::size_t max_records_per_datagram = 100;
constexpr std::size_t max_questions_per_datagram = 16;
// Instances, and records of each type, kept per round.
constexpr std::size_t max_names = 256;

// The ports of a machine that publishes no web service of that kind.
constexpr std::uint16_t default_http_port = 80;
constexpr std::uint16_t default_https_port = 443;

constexpr std::uint16_t flag_response = 0x8000;
constexpr std::uint16_t opcode_mask = 0x7800;
// The top bit of a record's class is multicast DNS's cache-flush bit.
constexpr std::uint16_t class_mask = 0x7FFF;

// In the order in which a machine's services name it.
enum class service { ipp, http, https };

const std::array<std::pair<service, std::string>, 3>& service_types()
{
    static const std::array<std::pair<service, std::string>, 3> types{{
        {service::ipp, wire::name("_ipp._tcp.local")},
        {service::http, wire::name("_http._tcp.local")},
        {service::https, wire::name("_https._tcp.local")},
    }};
    return types;
}

std::optional<service> service_of(const std::string& canonical_name)
{
    for (const auto& [kind, type] : service_types()) {
        if (type == canonical_name)
            return kind;
    }
    return std::nullopt;
}

std::string text(const std::uint8_t* data, std::size_t size)
{
    const auto* begin = reinterpret_cast<const char*>(data);
    return std::string(begin, std::find(begin, begin + size, '\0'));
}

std::string name_of(const ldns_rdf* dname)
{
    return std::string(reinterpret_cast<const char*>(ldns_rdf_data(dname)), ldns_rdf_size(dname));
}

const ldns_rdf* field(const ldns_rr* record, std::size_t index, ldns_rdf_type type)
{
    if (ldns_rr_rd_count(record) <= index)
        return nullptr;
    const ldns_rdf* rdf = ldns_rr_rdf(record, index);
    return rdf && ldns_rdf_get_type(rdf) == type ? rdf : nullptr;
}

bool equals_ignoring_case(const std::string& a, const char* b)
{
    return wire::canonical(a) == b;
}

// The value of the TXT key "ty": keys ignore case, and only a key's first
// occurrence counts.
std::optional<std::string> type_name_of(const ldns_rr* record)
{
    for (std::size_t i = 0; i < ldns_rr_rd_count(record); ++i) {
        const ldns_rdf* string = field(record, i, LDNS_RDF_TYPE_STR);
        if (!string || ldns_rdf_size(string) < 1)
            continue;
        const std::string pair(reinterpret_cast<const char*>(ldns_rdf_data(string)) + 1, ldns_rdf_size(string) - 1);
        const std::size_t equals = pair.find('=');
        if (equals_ignoring_case(pair.substr(0, equals), "ty")) {
            const std::string value = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
            return text(reinterpret_cast<const std::uint8_t*>(value.data()), value.size());
        }
    }
    return std::nullopt;
}

struct owned_packet {
    ldns_pkt* packet = nullptr;
    ~owned_packet() { ldns_pkt_free(packet); }
};

template <class Map, class Value>
void keep_first(Map& map, const std::string& key, Value&& value)
{
    if (map.size() < max_names)
        map.emplace(key, std::forward<Value>(value));
}

} // namespace

struct collector::impl {
    struct instance {
        std::string name; // as it came, for asking
        service kind;
        std::string label;
    };
    struct location {
        std::uint16_t port;
        std::string target;
    };
    struct joined {
        machine found;
        std::optional<service> named_by;
        std::optional<std::uint16_t> http_port;
        std::optional<std::uint16_t> https_port;
    };

    impl(std::uint16_t query_id, std::size_t max_machines)
        : query_id(query_id)
        , max_machines(max_machines)
    {
    }

    bool acceptable(const std::uint8_t* data, std::size_t size) const
    {
        if (size < wire::header_size)
            return false;
        const std::uint16_t flags = wire::read16(data + wire::flags_offset);
        return wire::read16(data + wire::id_offset) == query_id && (flags & flag_response) &&
               (flags & opcode_mask) == 0 &&
               wire::read16(data + wire::question_count_offset) <= max_questions_per_datagram &&
               wire::record_count(data) <= max_records_per_datagram &&
               // No responder signs its replies, and the DNS library loses
               // memory on a reply that carries more than one signature.
               wire::records_without(data, size, wire::type_tsig);
    }

    void take(const ldns_rr_list* records)
    {
        for (std::size_t i = 0; i < ldns_rr_list_rr_count(records); ++i)
            take(ldns_rr_list_rr(records, i));
    }

    void take(const ldns_rr* record)
    {
        if ((ldns_rr_get_class(record) & class_mask) != wire::class_in)
            return;
        const std::string owner = wire::canonical(name_of(ldns_rr_owner(record)));
        switch (ldns_rr_get_type(record)) {
        case LDNS_RR_TYPE_PTR:
            take_pointer(owner, record);
            break;
        case LDNS_RR_TYPE_SRV:
            take_service(owner, record);
            break;
        case LDNS_RR_TYPE_TXT:
            keep_first(type_names, owner, type_name_of(record).value_or(std::string()));
            break;
        case LDNS_RR_TYPE_A:
            take_address(owner, record);
            break;
        default:
            break;
        }
    }

    // "<instance label>.<service type>"; the label may hold any byte.
    void take_pointer(const std::string& owner, const ldns_rr* record)
    {
        const std::optional<service> kind = service_of(owner);
        const ldns_rdf* target = field(record, 0, LDNS_RDF_TYPE_DNAME);
        if (!kind || !target)
            return;
        const std::string name = name_of(target);
        const std::size_t label_size = name.empty() ? 0 : static_cast<std::uint8_t>(name[0]);
        const bool is_instance = label_size > 0 && name.size() == 1 + label_size + owner.size() &&
                                 wire::canonical(name.substr(1 + label_size)) == owner;
        if (!is_instance)
            return;
        const std::string key = wire::canonical(name);
        if (instance_index.count(key) || instances.size() >= max_names)
            return;
        instance_index.emplace(key, instances.size());
        instances.push_back({name, *kind, text(ldns_rdf_data(target) + 1, label_size)});
    }

    void take_service(const std::string& owner, const ldns_rr* record)
    {
        const ldns_rdf* port = field(record, 2, LDNS_RDF_TYPE_INT16);
        const ldns_rdf* target = field(record, 3, LDNS_RDF_TYPE_DNAME);
        if (port && target)
            keep_first(locations, owner, location{ldns_rdf2native_int16(port), name_of(target)});
    }

    void take_address(const std::string& owner, const ldns_rr* record)
    {
        const ldns_rdf* address = field(record, 0, LDNS_RDF_TYPE_A);
        char dotted[INET_ADDRSTRLEN];
        if (address && ldns_rdf_size(address) == 4 && inet_ntop(AF_INET, ldns_rdf_data(address), dotted, sizeof dotted))
            keep_first(addresses, owner, std::string(dotted));
    }

    std::vector<question> wanted() const
    {
        std::vector<question> questions;
        for (const auto& type : service_types())
            questions.push_back({type.second, wire::type_ptr});
        for (const instance& each : instances) {
            const std::string key = wire::canonical(each.name);
            const auto location = locations.find(key);
            if (location == locations.end())
                questions.push_back({each.name, wire::type_srv});
            else if (!addresses.count(wire::canonical(location->second.target)))
                questions.push_back({location->second.target, wire::type_a});
            if (each.kind == service::ipp && !type_names.count(key))
                questions.push_back({each.name, wire::type_txt});
        }
        return questions;
    }

    void join(joined& machine, const instance& each, std::uint16_t port) const
    {
        if (each.kind == service::http && !machine.http_port)
            machine.http_port = port;
        if (each.kind == service::https && !machine.https_port)
            machine.https_port = port;
        if (machine.named_by && *machine.named_by <= each.kind)
            return;
        machine.named_by = each.kind;
        machine.found.name = each.label;
        const auto type_name = type_names.find(wire::canonical(each.name));
        machine.found.type_name =
            each.kind == service::ipp && type_name != type_names.end() ? type_name->second : std::string();
    }

    const std::uint16_t query_id;
    const std::size_t max_machines;
    std::vector<instance> instances;
    std::map<std::string, std::size_t> instance_index;
    std::map<std::string, location> locations;
    std::map<std::string, std::string> type_names;
    std::map<std::string, std::string> addresses;
    std::set<std::pair<std::string, std::uint16_t>> asked;
};

collector::collector(std::uint16_t query_id, std::size_t max_machines)
    : impl_(std::make_unique<impl>(query_id, max_machines))
{
}

collector::~collector() = default;

bool collector::add(const std::uint8_t* data, std::size_t size)
{
    owned_packet reply;
    if (!impl_->acceptable(data, size) || ldns_wire2pkt(&reply.packet, data, size) != LDNS_STATUS_OK)
        return false;
    impl_->take(ldns_pkt_answer(reply.packet));
    impl_->take(ldns_pkt_authority(reply.packet));
    impl_->take(ldns_pkt_additional(reply.packet));
    return true;
}

std::vector<collector::question> collector::take_questions()
{
    std::vector<question> questions;
    for (question& each : impl_->wanted()) {
        if (impl_->asked.emplace(wire::canonical(each.name), each.type).second)
            questions.push_back(std::move(each));
    }
    return questions;
}

std::vector<machine> collector::machines() const
{
    std::vector<impl::joined> joined;
    std::map<std::string, std::size_t> by_address;
    for (const impl::instance& each : impl_->instances) {
        const auto location = impl_->locations.find(wire::canonical(each.name));
        if (location == impl_->locations.end())
            continue;
        const auto address = impl_->addresses.find(wire::canonical(location->second.target));
        if (address == impl_->addresses.end())
            continue;
        auto known = by_address.find(address->second);
        if (known == by_address.end()) {
            if (joined.size() >= impl_->max_machines)
                continue;
            known = by_address.emplace(address->second, joined.size()).first;
            joined.emplace_back();
            joined.back().found.address = address->second;
        }
        impl_->join(joined[known->second], each, location->second.port);
    }
    std::vector<machine> machines;
    for (impl::joined& each : joined) {
        each.found.http_port = each.http_port.value_or(default_http_port);
        each.found.https_port = each.https_port.value_or(default_https_port);
        machines.push_back(std::move(each.found));
    }
    return machines;
}

} // namespace discovery
