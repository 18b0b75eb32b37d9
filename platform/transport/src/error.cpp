#include <transport/error.hpp>

#include <string>

namespace transport {
namespace {

class transport_category final : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "transport"; }

    std::string message(int value) const override
    {
        switch (static_cast<error>(value)) {
        case error::invalid_host: return "invalid host name";
        case error::invalid_port: return "invalid port";
        case error::invalid_path: return "invalid request path";
        case error::out_of_sequence: return "no request or response for this operation";
        case error::cannot_resolve: return "host name cannot be resolved";
        case error::cannot_connect: return "cannot connect";
        case error::timed_out: return "timed out";
        case error::cancelled: return "cancelled";
        case error::tls_failure: return "TLS handshake failed";
        case error::certificate_untrusted: return "certificate not trusted";
        case error::certificate_key_changed: return "certificate key differs from the recorded one";
        case error::connection_lost: return "connection lost";
        case error::invalid_response: return "invalid response";
        case error::body_too_large: return "response body too large";
        case error::not_xml: return "not a well-formed XML document";
        case error::file_failure: return "cannot store the response body";
        case error::unknown_tag: return "element name not in the tag table";
        case error::no_open_element: return "no open element";
        case error::invalid_text: return "text is not valid UTF-8 XML character data";
        case error::unsupported_option: return "unsupported node option";
        case error::transfer_failed: return "transfer failed";
        case error::invalid_credentials: return "invalid user name or password";
        }
        return "unknown transport error";
    }
};

} // namespace

const boost::system::error_category& category() noexcept
{
    static const transport_category instance;
    return instance;
}

} // namespace transport
