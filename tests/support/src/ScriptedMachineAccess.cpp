#include <support/ScriptedMachineAccess.h>

#include <support/WaitUntil.h>

#include <Noctavi/Monitor/MachineAccess.h>

#include <array>
#include <map>
#include <mutex>

namespace support {

namespace {

constexpr std::size_t kCallKinds = 5;

} // namespace

struct ScriptedMachineAccess::State {
    std::array<Gate, kCallKinds> gates;
    mutable std::mutex mutex;
    std::map<MachineCall, std::exception_ptr> failures;
    std::vector<MachineCallRecord> log;

    // Logs the request, lets it through its gate and fails it if scripted so.
    void Enter(MachineCall call, const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user)
    {
        std::exception_ptr failure;
        {
            const std::lock_guard<std::mutex> lock(mutex);
            log.push_back(MachineCallRecord{call, machine, user, std::chrono::steady_clock::now()});
            if (const auto found = failures.find(call); found != failures.end())
                failure = found->second;
        }
        gates[static_cast<std::size_t>(call)].Pass();
        if (failure)
            std::rethrow_exception(failure);
    }
};

class ScriptedMachineAccess::Access : public Monitor::MachineAccess {
public:
    explicit Access(std::shared_ptr<State> state)
        : state_(std::move(state))
    {
    }

    std::wstring SubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user) override
    {
        state_->Enter(MachineCall::Subscribe, machine, user);
        return MachineAccess::SubscribeToRSSFeed(machine, user);
    }

    void UnsubscribeToRSSFeed(const MonitoredEntry::MFP& machine, const MonitoredEntry::User& user) override
    {
        state_->Enter(MachineCall::Unsubscribe, machine, user);
        MachineAccess::UnsubscribeToRSSFeed(machine, user);
    }

    std::unique_ptr<RSS::RSSFeed> GetRSSFeed(const MonitoredEntry::MFP& machine, const std::wstring& feedAddress,
                                             const MonitoredEntry::User& user) override
    {
        state_->Enter(MachineCall::Feed, machine, user);
        return MachineAccess::GetRSSFeed(machine, feedAddress, user);
    }

    std::unique_ptr<IS::MachineSettings> GetMachineSettings(const MonitoredEntry::MFP& machine) override
    {
        state_->Enter(MachineCall::MachineSettings, machine, MonitoredEntry::User());
        return MachineAccess::GetMachineSettings(machine);
    }

    std::unique_ptr<IS::UserInfo> GetUserInfo(const MonitoredEntry::MFP& machine,
                                              const MonitoredEntry::User& user) override
    {
        state_->Enter(MachineCall::UserInfo, machine, user);
        return MachineAccess::GetUserInfo(machine, user);
    }

private:
    std::shared_ptr<State> state_;
};

ScriptedMachineAccess::ScriptedMachineAccess()
    : state_(std::make_shared<State>())
    , previous_(Monitor::GetMachineAccess())
{
    Monitor::SetMachineAccess(std::make_shared<Access>(state_));
}

ScriptedMachineAccess::~ScriptedMachineAccess()
{
    for (Gate& gate : state_->gates)
        gate.Open();
    Monitor::SetMachineAccess(previous_);
}

Gate& ScriptedMachineAccess::GateOf(MachineCall call)
{
    return state_->gates[static_cast<std::size_t>(call)];
}

void ScriptedMachineAccess::Fail(MachineCall call, std::exception_ptr failure)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->failures[call] = std::move(failure);
}

std::vector<MachineCallRecord> ScriptedMachineAccess::Calls() const
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->log;
}

std::vector<MachineCallRecord> ScriptedMachineAccess::CallsOf(MachineCall call) const
{
    std::vector<MachineCallRecord> calls;
    for (const MachineCallRecord& record : Calls()) {
        if (record.call == call)
            calls.push_back(record);
    }
    return calls;
}

std::size_t ScriptedMachineAccess::CountOf(MachineCall call) const
{
    return CallsOf(call).size();
}

bool ScriptedMachineAccess::WaitForCalls(MachineCall call, std::size_t count, std::chrono::milliseconds deadline) const
{
    return WaitUntil([&] { return CountOf(call) >= count; }, deadline);
}

} // namespace support
