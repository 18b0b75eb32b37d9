// A host's WWW-Authenticate values, as the transport answers them: taken
// apart without reading past their end, and never answered with a header
// value that would break its line or with Basic where Digest was offered.
#include "Check.h"

#include "challenge.hpp"
#include "request_auth.hpp"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string values(reinterpret_cast<const char*>(data), size);
    const auto challenges = transport::detail::parse_challenges(values);
    transport::detail::request_auth auth;
    auth.set("ann", "pw");
    auth.first({false, "127.0.0.1", 80}, "GET", "/feed");
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto answer = auth.next(values);
        if (!answer)
            break;
        fuzz::Check(answer->find_first_of("\r\n", 0) == std::string::npos);
        fuzz::Check(!(transport::detail::offers(challenges, "digest") && answer->rfind("Basic ", 0) == 0));
    }
    return 0;
}
