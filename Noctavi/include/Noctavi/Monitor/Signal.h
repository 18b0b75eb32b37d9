#ifndef NOCTAVI_MONITOR_SIGNAL_H
#define NOCTAVI_MONITOR_SIGNAL_H

namespace MonitoredEntry {
class Distinction;
}

namespace Monitor {

// News that may concern a monitor's machine: the signal tells, given the
// monitor's copies of its entry's machine and user, whether it does. Signals
// live on their sender's stack and are never deleted through this type.
class Signal {
public:
    virtual bool Matches(const MonitoredEntry::Distinction& identity) const = 0;

protected:
    Signal() = default;
    Signal(const Signal&) = default;
    Signal& operator=(const Signal&) = default;
    ~Signal() = default;
};

} // namespace Monitor

#endif
