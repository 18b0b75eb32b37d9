#ifndef NOCTAVI_SYSTEM_INVALIDSETTING_H
#define NOCTAVI_SYSTEM_INVALIDSETTING_H

#include <pelmo/runtime_error.hpp>

#include <string>

// A value in the configuration file that is not of its key's type, or that
// the program cannot run with (a queue of no places, a period of no time).
class InvalidSetting : public pelmo::runtime_error {
public:
    explicit InvalidSetting(const std::string& key);

    const std::string& GetKey() const noexcept { return key_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string key_;
    std::string message_;
};

#endif
