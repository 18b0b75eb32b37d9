#ifndef NOCTAVI_TESTS_SUPPORT_UNRESOLVABLEHOST_H
#define NOCTAVI_TESTS_SUPPORT_UNRESOLVABLEHOST_H

#include <string>

namespace support {

// A host name longer than any DNS name may be, so that the resolver refuses
// it without sending a query: a test that resolves it never reaches a name
// server.
inline std::wstring UnresolvableHost()
{
    std::wstring host;
    for (int label = 0; label < 600; ++label)
        host += L"a.";
    return host + L"invalid";
}

} // namespace support

#endif
