#ifndef NOCTAVI_TESTS_SUPPORT_SCOPEDENV_H
#define NOCTAVI_TESTS_SUPPORT_SCOPEDENV_H

#include <optional>
#include <string>

namespace support {

// Sets (or, given no value, unsets) an environment variable for the life of
// the object and then restores what was there before.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv();

private:
    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace support

#endif
