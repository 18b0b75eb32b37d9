#ifndef NOCTAVI_TESTS_SUPPORT_SCRIPTEDMACHINEACCESS_H
#define NOCTAVI_TESTS_SUPPORT_SCRIPTEDMACHINEACCESS_H

#include <support/Gate.h>

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>

#include <chrono>
#include <cstddef>
#include <exception>
#include <memory>
#include <vector>

namespace Monitor {
class MachineAccess;
}

namespace support {

// The requests that monitoring makes of a machine.
enum class MachineCall { Subscribe, Unsubscribe, Feed, MachineSettings, UserInfo };

// One request as monitoring made it.
struct MachineCallRecord {
    MachineCall call;
    MonitoredEntry::MFP machine;
    MonitoredEntry::User user; // empty for the machine's settings
    std::chrono::steady_clock::time_point at;
};

// Takes the place of monitoring's way to the machines for its life, and puts
// the previous one back when it goes. Every request is logged and passes its
// kind's gate; then it fails as scripted or goes to the machine it names
// (a FakeInformationServer, say). Closing a gate holds the requests of its
// kind there, before they reach the machine, until it opens again.
class ScriptedMachineAccess {
public:
    ScriptedMachineAccess();
    // Opens every gate first, so that nothing stays held.
    ~ScriptedMachineAccess();
    ScriptedMachineAccess(const ScriptedMachineAccess&) = delete;
    ScriptedMachineAccess& operator=(const ScriptedMachineAccess&) = delete;

    Gate& GateOf(MachineCall call);
    // The requests of the kind then throw the failure; none lets them reach
    // the machine again.
    void Fail(MachineCall call, std::exception_ptr failure);

    std::vector<MachineCallRecord> Calls() const;
    std::vector<MachineCallRecord> CallsOf(MachineCall call) const;
    std::size_t CountOf(MachineCall call) const;
    // True once at least `count` requests of the kind have been made.
    bool WaitForCalls(MachineCall call, std::size_t count,
                      std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

private:
    struct State;
    class Access;
    std::shared_ptr<State> state_;
    std::shared_ptr<Monitor::MachineAccess> previous_;
};

} // namespace support

#endif
