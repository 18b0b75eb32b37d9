#include <support/ScopedSearchOptions.h>

#include <support/FakeResponder.h>

#include <Noctavi/Utility/SearchOptions.h>

#include <boost/asio/ip/address_v4.hpp>

namespace support {

namespace {

discovery::round_options OptionsFor(const discovery::endpoint& target)
{
    discovery::round_options options;
    options.target = target;
    return options;
}

} // namespace

ScopedSearchOptions::ScopedSearchOptions(const FakeResponder& responder)
    : ScopedSearchOptions(discovery::endpoint{responder.Address(), responder.Port()})
{
}

ScopedSearchOptions::ScopedSearchOptions(const discovery::endpoint& target)
    : previous_(Utility::SetSearchOptions(OptionsFor(target)))
{
}

ScopedSearchOptions::~ScopedSearchOptions()
{
    Utility::SetSearchOptions(previous_);
}

discovery::endpoint NowhereTarget()
{
    // The discard port: no test's fake listens on it.
    return {"127.0.0.1", 9};
}

bool IsLoopback(const std::string& address)
{
    boost::system::error_code invalid;
    const boost::asio::ip::address_v4 parsed = boost::asio::ip::make_address_v4(address, invalid);
    return !invalid && parsed.is_loopback();
}

} // namespace support
