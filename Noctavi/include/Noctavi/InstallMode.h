#ifndef NOCTAVI_INSTALLMODE_H
#define NOCTAVI_INSTALLMODE_H

#include <Noctavi/MonitoredEntry/Password.h>
#include <Noctavi/RunMode.h>

#include <boost/optional.hpp>
#include <boost/shared_ptr.hpp>

#include <string>

// Registers one monitored entry from the command line, for an installer:
// closes the running instance, adds the entry to the stored ones, completing
// it from a machine search, shows the "Detail Settings" sheet for it and
// saves the data file as it ends. It holds the single-instance lock from
// start to end, so that no instance starts meanwhile.
//
// Exit codes, none with a message but 10 and 30: 0 registered; 10 any other
// failure, also a data file that exists but cannot be loaded (nothing is
// saved then); 13 an option is invalid; 20 the entry limit is reached; 21 the
// running instance cannot be closed, or an entry has the host already; 22
// the entry built is invalid; 30 the data file cannot be saved.
//
// With NOCTAVI_INSTALL_SHEET_OK set in the environment the sheet's OK is
// pressed as soon as it opens, so that tests and the self-ending demo run
// unattended.
class InstallMode : public RunMode {
public:
    // The command line's values for the new entry, each present only when
    // given.
    struct Options {
        boost::optional<std::wstring> machineName;
        boost::optional<std::wstring> host;
        boost::optional<int> http;
        boost::optional<int> https;
        boost::optional<std::wstring> userName;
        boost::optional<std::wstring> accountId;
        // Enciphered as soon as it is read; never shown or logged.
        boost::optional<MonitoredEntry::Password> password;
    };

    explicit InstallMode(const Options& options);

    bool Start(Application& application) override;
    void Stop(Application& application) noexcept override;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

#endif
