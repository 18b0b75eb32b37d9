#include <support/ScopedEnv.h>

#include <stdlib.h>

namespace support {

namespace {

void Assign(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

} // namespace

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name))
{
    if (const char* previous = getenv(name_.c_str()))
        previous_ = previous;
    Assign(name_, value);
}

ScopedEnv::~ScopedEnv()
{
    Assign(name_, previous_);
}

} // namespace support
