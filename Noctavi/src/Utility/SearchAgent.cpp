#include <Noctavi/Utility/SearchAgent.h>

#include <Noctavi/System/Config.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/SearchOptions.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/communication_failure.hpp>
#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>

#include <discovery/round.hpp>

#include <cerrno>

struct SearchAgent::Pimpl {
    explicit Pimpl(Window window)
        : window(std::move(window))
    {
    }

    // Leaves errno as the round set it, for CheckError.
    static int RunRound(std::vector<discovery::machine>& found)
    {
        return discovery::run_round(Utility::GetSearchOptions(), found);
    }

    static void CheckError(int code)
    {
        if (code == discovery::result::network_failure)
            PELMO_THROW(pelmo::communication_failure());
        if (code == discovery::result::system_failure)
            PELMO_THROW(SystemError());
    }

    static boost::optional<std::wstring> NameOf(const discovery::machine& record)
    {
        if (!record.name.empty())
            return Utility::ToWide(record.name);
        if (!record.type_name.empty())
            return Utility::ToWide(record.type_name);
        return boost::none;
    }

    static MonitoredEntry::MFP MakeMachine(const discovery::machine& record)
    {
        MonitoredEntry::MFP machine = Config::GetInstance().GetEntryDefaults().GetMFP();
        machine.SetName(NameOf(record));
        machine.SetHost(Utility::ToWide(record.address));
        machine.SetHTTP(int(record.http_port));
        machine.SetHTTPS(int(record.https_port));
        return machine;
    }

    static std::vector<MonitoredEntry::MFP> MakeMachines(const std::vector<discovery::machine>& records)
    {
        std::vector<MonitoredEntry::MFP> machines;
        for (const discovery::machine& record : records)
            machines.push_back(MakeMachine(record));
        return machines;
    }

    const Window window;
    MonitoredEntry::MFP current;
    std::vector<MonitoredEntry::MFP> found;
    boost::optional<discovery::machine> picked;
};

SearchAgent::SearchAgent()
    : SearchAgent(Window())
{
}

SearchAgent::SearchAgent(Window window)
    : pimpl_(new Pimpl(std::move(window)))
{
}

MonitoredEntry::MFP SearchAgent::Search()
{
    // What a search that finds nothing converts: every field zero.
    discovery::machine record{};
    if (pimpl_->picked) {
        record = *pimpl_->picked;
    } else {
        std::vector<discovery::machine> found;
        Pimpl::CheckError(Pimpl::RunRound(found));
        if (!found.empty())
            record = found.front();
    }
    pimpl_->current = Pimpl::MakeMachine(record);
    return pimpl_->current;
}

bool SearchAgent::Probe()
{
    if (!pimpl_->window)
        PELMO_THROW(pelmo::logic_error());
    std::vector<discovery::machine> listed;
    int code = discovery::result::success;
    int error = 0;
    const Round round = [&]() -> boost::optional<std::vector<MonitoredEntry::MFP>> {
        code = Pimpl::RunRound(listed);
        error = errno;
        if (code != discovery::result::success)
            return boost::none;
        return Pimpl::MakeMachines(listed);
    };
    const boost::optional<std::size_t> picked = pimpl_->window(round);
    if (!picked || *picked >= listed.size()) {
        // The window's own work may have changed errno since the round.
        errno = error;
        Pimpl::CheckError(code);
        return false;
    }
    pimpl_->picked = listed[*picked];
    return true;
}

const std::vector<MonitoredEntry::MFP>& SearchAgent::GetResults()
{
    std::vector<discovery::machine> found;
    Pimpl::CheckError(Pimpl::RunRound(found));
    pimpl_->found = Pimpl::MakeMachines(found);
    return pimpl_->found;
}
