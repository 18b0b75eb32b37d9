#include <Noctavi/MonitoredEntry/EventLog.h>

namespace MonitoredEntry {

struct EventLog::Pimpl {
    int max = 0;
};

EventLog::EventLog(int max)
    : pimpl_(new Pimpl{max})
{
}

int EventLog::GetMax() const
{
    return pimpl_->max;
}

std::size_t EventLog::Size() const
{
    return 0;
}

} // namespace MonitoredEntry
