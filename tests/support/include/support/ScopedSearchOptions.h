#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDSEARCHOPTIONS_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDSEARCHOPTIONS_H

#include <discovery/round.hpp>

#include <optional>
#include <string>

namespace support {

class FakeResponder;

// Points every machine search at a fake responder, or at another target, for
// the object's life, then puts back what was set before.
class ScopedSearchOptions {
public:
    explicit ScopedSearchOptions(const FakeResponder& responder);
    explicit ScopedSearchOptions(const discovery::endpoint& target);
    ScopedSearchOptions(const ScopedSearchOptions&) = delete;
    ScopedSearchOptions& operator=(const ScopedSearchOptions&) = delete;
    ~ScopedSearchOptions();

private:
    std::optional<discovery::round_options> previous_;
};

// The target of searches that no test points anywhere: a loopback port where
// nothing answers, so that a search a test did not mean to run finds nothing
// and sends nothing off the machine.
discovery::endpoint NowhereTarget();

bool IsLoopback(const std::string& address);

} // namespace support

#endif
