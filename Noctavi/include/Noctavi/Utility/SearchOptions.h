#ifndef NOCTAVI_UTILITY_SEARCHOPTIONS_H
#define NOCTAVI_UTILITY_SEARCHOPTIONS_H

#include <discovery/round.hpp>

#include <optional>

namespace Utility {

// How the machine searches run their rounds: what was set, else the target
// that NOCTAVI_SEARCH_TARGET names as "ADDRESS:PORT" (so that a demonstration
// or a test can point a search at a fake responder), else the multicast DNS
// group. A variable that names no IPv4 address and port gives a target that
// every round refuses, never the group. GUI thread only.
discovery::round_options GetSearchOptions();

// For tests and the gallery; none goes back to the variable or the group.
// Gives what was set before.
std::optional<discovery::round_options> SetSearchOptions(const std::optional<discovery::round_options>& options);

} // namespace Utility

#endif
