#include <Noctavi/IS/Config.h>

#include <memory>

namespace IS {
namespace {

// Atomic replacement, so that a reader on another thread always sees a whole table.
std::shared_ptr<const Config> g_configuration = std::make_shared<const Config>();

} // namespace

Config::Config()
{
    records_.fill(HTTP::Timeout{30000, 1, 30000, 30000});
}

Config::Config(const Records& records)
    : records_(records)
{
}

const HTTP::Timeout& Config::Get(RequestKind kind) const
{
    return records_.at(static_cast<std::size_t>(kind));
}

void SetConfiguration(const Config& config)
{
    std::atomic_store(&g_configuration, std::make_shared<const Config>(config));
}

HTTP::Timeout GetTimeout(RequestKind kind)
{
    return std::atomic_load(&g_configuration)->Get(kind);
}

} // namespace IS
