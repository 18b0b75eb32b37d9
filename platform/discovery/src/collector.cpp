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

const std::string& type_of(service kind)
{
    return service_types()[static_cast<std::size_t>(kind)].second;
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
    struct label {
        std::string wire; // its length byte and bytes as they came, for asking
        std::string text;
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
        bool http_settled = true;
        bool https_settled = true;
    };
    using key = std::pair<std::string, std::uint16_t>;

    impl(std::uint16_t query_id, std::size_t max_machines)
        : query_id(query_id)
        , max_machines(max_machines)
    {
    }

    bool acceptable(const std::uint8_t* data, std::size_t size, bool to_group_port) const
    {
        if (size < wire::header_size)
            return false;
        const std::uint16_t flags = wire::read16(data + wire::flags_offset);
        const std::uint16_t id = wire::read16(data + wire::id_offset);
        return (id == query_id || (to_group_port && id == 0)) && (flags & flag_response) &&
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
        const std::string owner = name_of(ldns_rr_owner(record));
        switch (ldns_rr_get_type(record)) {
        case LDNS_RR_TYPE_PTR:
            take_pointer(owner, record);
            break;
        case LDNS_RR_TYPE_SRV:
            take_service(owner, record);
            break;
        case LDNS_RR_TYPE_TXT:
            note_instance(owner);
            keep_first(type_names, wire::canonical(owner), type_name_of(record).value_or(std::string()));
            break;
        case LDNS_RR_TYPE_A:
            take_address(wire::canonical(owner), record);
            break;
        default:
            break;
        }
    }

    // "<instance label>.<service type>"; the label may hold any byte.
    static std::optional<std::pair<service, std::string>> instance_of(const std::string& name)
    {
        const std::size_t label_size = name.empty() ? 0 : static_cast<std::uint8_t>(name[0]);
        if (label_size == 0 || name.size() <= 1 + label_size)
            return std::nullopt;
        const std::optional<service> kind = service_of(wire::canonical(name.substr(1 + label_size)));
        if (!kind)
            return std::nullopt;
        return std::make_pair(*kind, name.substr(0, 1 + label_size));
    }

    // The label's index, none when the name is no instance or no room is left.
    std::optional<std::size_t> note_instance(const std::string& name)
    {
        const auto instance = instance_of(name);
        if (!instance)
            return std::nullopt;
        const std::string key = wire::canonical(instance->second);
        const auto known = label_index.find(key);
        if (known != label_index.end())
            return known->second;
        if (labels.size() >= max_names)
            return std::nullopt;
        const std::string& bytes = instance->second;
        labels.push_back({bytes, text(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 1, bytes.size() - 1)});
        return label_index.emplace(key, labels.size() - 1).first->second;
    }

    void take_pointer(const std::string& owner, const ldns_rr* record)
    {
        const std::optional<service> kind = service_of(wire::canonical(owner));
        const ldns_rdf* target = field(record, 0, LDNS_RDF_TYPE_DNAME);
        if (!kind || !target)
            return;
        const std::string name = name_of(target);
        const auto instance = instance_of(name);
        if (!instance || instance->first != *kind)
            return;
        if (const std::optional<std::size_t> index = note_instance(name))
            pointers.emplace(*kind, *index);
    }

    void take_service(const std::string& owner, const ldns_rr* record)
    {
        const ldns_rdf* port = field(record, 2, LDNS_RDF_TYPE_INT16);
        const ldns_rdf* target = field(record, 3, LDNS_RDF_TYPE_DNAME);
        note_instance(owner);
        if (port && target)
            keep_first(locations, wire::canonical(owner), location{ldns_rdf2native_int16(port), name_of(target)});
    }

    void take_address(const std::string& owner, const ldns_rr* record)
    {
        const ldns_rdf* address = field(record, 0, LDNS_RDF_TYPE_A);
        char dotted[INET_ADDRSTRLEN];
        if (address && ldns_rdf_size(address) == 4 && inet_ntop(AF_INET, ldns_rdf_data(address), dotted, sizeof dotted))
            keep_first(addresses, owner, std::string(dotted));
    }

    // Only instances with nothing left to ask: a responder sends the records
    // of the others along with their pointers, and may answer no question
    // that names them (avahi-daemon, for some names of many UTF-8 bytes).
    std::vector<std::string> known_pointers(service kind) const
    {
        std::vector<std::string> known;
        for (const auto& [pointer_kind, index] : pointers) {
            std::vector<question> lacking;
            add_follow_ups(labels[index].wire + type_of(kind), kind, lacking);
            if (pointer_kind == kind && lacking.empty())
                known.push_back(labels[index].wire + type_of(kind));
        }
        return known;
    }

    std::vector<question> wanted() const
    {
        std::vector<question> questions;
        for (const auto& [kind, type] : service_types())
            questions.push_back({type, wire::type_ptr, known_pointers(kind)});
        for (const label& each : labels) {
            for (const auto& [kind, type] : service_types())
                add_follow_ups(each.wire + type, kind, questions);
        }
        return questions;
    }

    void add_follow_ups(const std::string& name, service kind, std::vector<question>& questions) const
    {
        const std::string key = wire::canonical(name);
        const auto location = locations.find(key);
        if (location == locations.end())
            questions.push_back({name, wire::type_srv, {}});
        else if (!addresses.count(wire::canonical(location->second.target)))
            questions.push_back({location->second.target, wire::type_a, {}});
        if (kind == service::ipp && !type_names.count(key))
            questions.push_back({name, wire::type_txt, {}});
    }

    // Each question once; with `again`, also those given before.
    std::vector<question> batch(bool again)
    {
        std::vector<question> questions;
        std::set<key> batched;
        for (question& each : wanted()) {
            const key asking(wire::canonical(each.name), each.type);
            if (!batched.insert(asking).second)
                continue;
            unsigned& count = asked[asking];
            if (count > 0 && !again)
                continue;
            ++count;
            questions.push_back(std::move(each));
        }
        return questions;
    }

    // Whether the SRV record of the name came (it may place the service on
    // another machine), or was asked for more than once in vain.
    bool settled(const std::string& name) const
    {
        const std::string canonical_name = wire::canonical(name);
        const auto count = asked.find(key(canonical_name, wire::type_srv));
        return locations.count(canonical_name) || (count != asked.end() && count->second > 1);
    }

    void join(joined& machine, const label& name, service kind, std::uint16_t port) const
    {
        if (kind == service::http && !machine.http_port)
            machine.http_port = port;
        if (kind == service::https && !machine.https_port)
            machine.https_port = port;
        if (machine.named_by && *machine.named_by <= kind)
            return;
        machine.named_by = kind;
        machine.found.name = name.text;
        const auto type_name = type_names.find(wire::canonical(name.wire + type_of(service::ipp)));
        machine.found.type_name =
            kind == service::ipp && type_name != type_names.end() ? type_name->second : std::string();
    }

    void settle(joined& machine, const label& name) const
    {
        machine.http_settled &= settled(name.wire + type_of(service::http));
        machine.https_settled &= settled(name.wire + type_of(service::https));
    }

    // Into the machine at the address of its SRV target, when both came.
    void join_instance(std::vector<joined>& machines, std::map<std::string, std::size_t>& by_address,
                       const label& name, service kind) const
    {
        const auto location = locations.find(wire::canonical(name.wire + type_of(kind)));
        if (location == locations.end())
            return;
        const auto address = addresses.find(wire::canonical(location->second.target));
        if (address == addresses.end())
            return;
        auto known = by_address.find(address->second);
        if (known == by_address.end()) {
            if (machines.size() >= max_machines)
                return;
            known = by_address.emplace(address->second, machines.size()).first;
            machines.emplace_back();
            machines.back().found.address = address->second;
        }
        join(machines[known->second], name, kind, location->second.port);
        settle(machines[known->second], name);
    }

    const std::uint16_t query_id;
    const std::size_t max_machines;
    std::vector<label> labels;
    std::map<std::string, std::size_t> label_index;
    std::set<std::pair<service, std::size_t>> pointers;
    std::map<std::string, location> locations;
    std::map<std::string, std::string> type_names;
    std::map<std::string, std::string> addresses;
    std::map<key, unsigned> asked;
};

collector::collector(std::uint16_t query_id, std::size_t max_machines)
    : impl_(std::make_unique<impl>(query_id, max_machines))
{
}

collector::~collector() = default;

bool collector::add(const std::uint8_t* data, std::size_t size, bool to_group_port)
{
    owned_packet reply;
    if (!impl_->acceptable(data, size, to_group_port) || ldns_wire2pkt(&reply.packet, data, size) != LDNS_STATUS_OK)
        return false;
    impl_->take(ldns_pkt_answer(reply.packet));
    impl_->take(ldns_pkt_authority(reply.packet));
    impl_->take(ldns_pkt_additional(reply.packet));
    return true;
}

std::vector<collector::question> collector::take_questions()
{
    return impl_->batch(false);
}

std::vector<collector::question> collector::repeat_questions()
{
    return impl_->batch(true);
}

std::vector<machine> collector::machines() const
{
    std::vector<impl::joined> joined;
    std::map<std::string, std::size_t> by_address;
    for (const impl::label& each : impl_->labels) {
        for (const auto& [kind, type] : service_types())
            impl_->join_instance(joined, by_address, each, kind);
    }
    std::vector<machine> machines;
    for (impl::joined& each : joined) {
        if ((!each.http_port && !each.http_settled) || (!each.https_port && !each.https_settled))
            continue;
        each.found.http_port = each.http_port.value_or(default_http_port);
        each.found.https_port = each.https_port.value_or(default_https_port);
        machines.push_back(std::move(each.found));
    }
    return machines;
}

} // namespace discovery
