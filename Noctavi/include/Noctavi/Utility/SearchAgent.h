#ifndef NOCTAVI_UTILITY_SEARCHAGENT_H
#define NOCTAVI_UTILITY_SEARCHAGENT_H

#include <Noctavi/MonitoredEntry/MFP.h>

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <functional>
#include <vector>

// Finds machines on the local network, each round as Utility::GetSearchOptions
// says, and turns each into a machine value: a new entry's defaults with the
// found name, host and ports. Used on the GUI thread only; each caller makes
// its own agent.
class SearchAgent {
public:
    // Runs one round and gives its machines, or none when the round failed
    // (the agent keeps the failure for Probe to report). The window may run
    // it on a thread of its own, one call at a time.
    using Round = std::function<boost::optional<std::vector<MonitoredEntry::MFP>>()>;
    // The window of a search with an owner: lists what the round finds, runs
    // it again whenever the user asks, and gives the index, in the last
    // round's list, of the machine the user picked; none when the user
    // cancelled or a round failed. The user interface makes it (a pick list
    // owned by one of its windows), so that this class stays free of it.
    using Window = std::function<boost::optional<std::size_t>(const Round& round)>;

    // Without an owner window: for searches that show nothing.
    SearchAgent();
    explicit SearchAgent(Window window);

    // The machine picked in this agent's window, else the first that a round
    // finds, else one with an empty host and ports 0; it becomes the current
    // machine. Throws pelmo::communication_failure when the round cannot use
    // the network, SystemError when the system fails it otherwise.
    MonitoredEntry::MFP Search();

    // Shows the window: true when the user picked a machine, which Search
    // then gives; false when the user cancelled. Throws as Search does when a
    // round failed, and pelmo::logic_error for an agent without a window.
    bool Probe();

    // Runs a round; its machines, in the order found, replace the list of
    // found machines, which is returned. Throws as Search does.
    const std::vector<MonitoredEntry::MFP>& GetResults();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

#endif
