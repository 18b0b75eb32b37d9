#ifndef NOCTAVI_MONITOREDENTRY_DISTINCTION_H
#define NOCTAVI_MONITOREDENTRY_DISTINCTION_H

#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>

#include <pelmo/cloner.hpp>

namespace MonitoredEntry {

class Entry;

// Copies of an entry's machine and user, by which monitors tell whether the
// entry they watch has changed its identity.
class Distinction {
public:
    Distinction();
    explicit Distinction(const Entry& entry);

    const MFP& GetMFP() const;
    const User& GetUser() const;

private:
    struct Pimpl;
    pelmo::cloner<Pimpl> pimpl_;
};

} // namespace MonitoredEntry

#endif
