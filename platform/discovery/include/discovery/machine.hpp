#ifndef DISCOVERY_MACHINE_HPP
#define DISCOVERY_MACHINE_HPP

#include <cstdint>
#include <string>

namespace discovery {

// A machine as a round finds it: the services that one IPv4 address
// publishes, joined. Texts are UTF-8 as the machine sent them and end at the
// first NUL, as the texts of a C record would. A value-initialised record,
// every field zero or empty, stands for no machine.
struct machine {
    std::string address;   // dotted IPv4
    std::string name;      // the instance name of its printing service, else of its web service
    std::string type_name; // "ty" of its printing service's TXT record
    std::uint16_t http_port = 0;  // of its _http service; 80 when it publishes none
    std::uint16_t https_port = 0; // of its _https service; 443 when it publishes none
};

} // namespace discovery

#endif
