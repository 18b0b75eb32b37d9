#ifndef TRANSPORT_ERROR_HPP
#define TRANSPORT_ERROR_HPP

#include <boost/system/error_code.hpp>

namespace transport {

// Failures of the transport itself. Their values lie in 12000-12174, the range
// that callers take for transport failures; anything else they receive is an
// operating-system error in the system category.
enum class error {
    invalid_host = 12001,
    invalid_port,
    invalid_path,
    out_of_sequence,        // an operation that needs an open request (or a response) had none
    cannot_resolve,
    cannot_connect,
    timed_out,
    cancelled,
    tls_failure,
    certificate_untrusted,
    certificate_key_changed,
    connection_lost,
    invalid_response,
    body_too_large,
    not_xml,
    file_failure,
    unknown_tag,
    no_open_element,
    invalid_text,
    unsupported_option,
    transfer_failed,
    invalid_credentials, // a user name or password no request can carry
};

const boost::system::error_category& category() noexcept;

inline boost::system::error_code make_error_code(error e) noexcept
{
    return boost::system::error_code(static_cast<int>(e), category());
}

} // namespace transport

namespace boost::system {
template <>
struct is_error_code_enum<transport::error> : std::true_type {
};
} // namespace boost::system

#endif
