#ifndef NOCTAVI_MONITOREDENTRY_BASICID_H
#define NOCTAVI_MONITOREDENTRY_BASICID_H

#include <cstdint>

// Typed identifier of an entry or an event, compared by value. It holds one
// signed 32-bit value on every platform whatever T is (the program uses
// BasicID<long> only), so stored identifiers read back the same everywhere.
template <class T>
class BasicID {
public:
    typedef std::int32_t value_type;

    BasicID() noexcept = default;
    explicit BasicID(value_type value) noexcept : value_(value) {}

    value_type GetValue() const noexcept { return value_; }

    friend bool operator==(BasicID a, BasicID b) noexcept { return a.value_ == b.value_; }
    friend bool operator!=(BasicID a, BasicID b) noexcept { return a.value_ != b.value_; }
    friend bool operator<(BasicID a, BasicID b) noexcept { return a.value_ < b.value_; }

private:
    value_type value_ = 0;
};

#endif
