#include <Noctavi/IS/AddressPath.h>

namespace IS {

std::string GetAddressPath(const std::string& address)
{
    if (address.size() >= 1 && address[0] == '/' && address.compare(0, 2, "//") != 0)
        return address;
    std::size_t slash = std::string::npos;
    for (int seen = 0; seen < 3; ++seen) {
        slash = address.find('/', slash + 1);
        if (slash == std::string::npos)
            return std::string();
    }
    return address.substr(slash);
}

} // namespace IS
