#ifndef NOCTAVI_MONITOREDENTRY_DUPLICATE_H
#define NOCTAVI_MONITOREDENTRY_DUPLICATE_H

#include <Noctavi/MonitoredEntry/BasicID.h>

#include <string>

namespace MonitoredEntry {

class Entry;
class EntryProperty;

namespace Conditions {

// Search predicates for the rule of one monitored user per machine host,
// built from a reference value and called with a stored entry. Hosts compare
// exactly, as typed: case-sensitive and never resolved.
template <class T>
class Duplicate;

// A new entry may not share a host with any stored entry, monitored or not.
template <>
class Duplicate<EntryProperty> {
public:
    explicit Duplicate(const EntryProperty& property);
    bool operator()(const Entry& stored) const;

private:
    std::wstring host_;
};

// A changed entry that is monitored may not share its host with another
// stored entry that is monitored too.
template <>
class Duplicate<Entry> {
public:
    explicit Duplicate(const Entry& entry);
    bool operator()(const Entry& stored) const;

private:
    BasicID<long> id_;
    bool monitoring_;
    std::wstring host_;
};

} // namespace Conditions
} // namespace MonitoredEntry

#endif
