#ifndef NOCTAVI_IS_ADDRESSPATH_H
#define NOCTAVI_IS_ADDRESSPATH_H

#include <string>

namespace IS {

// The path and query of an address that a machine's reply names: from the
// third '/' to the end ("http://host:80/a?b" gives "/a?b", an address of
// fewer than three '/' gives ""), or the whole address when it is a path
// already (one leading '/'). The scheme, host and port are dropped: requests
// go to the entry's own host, whatever host a reply names.
std::string GetAddressPath(const std::string& address);

} // namespace IS

#endif
