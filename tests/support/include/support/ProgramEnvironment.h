#ifndef NOCTAVI_TESTS_SUPPORT_PROGRAMENVIRONMENT_H
#define NOCTAVI_TESTS_SUPPORT_PROGRAMENVIRONMENT_H

#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <boost/filesystem/path.hpp>

#include <cstdint>

namespace support {

// A throw-away home for the running program, in this process and in the
// programs it starts: its own data, runtime and temporary folders, and a
// "config.dat" whose "PORT" is one that was free, so that nothing reaches the
// user's files, the running instance or the default port.
class ProgramEnvironment {
public:
    ProgramEnvironment();
    ProgramEnvironment(const ProgramEnvironment&) = delete;
    ProgramEnvironment& operator=(const ProgramEnvironment&) = delete;

    // The data folder, which holds "config.dat" and "data.dat".
    boost::filesystem::path DataFolder() const;
    boost::filesystem::path DataFile() const { return DataFolder() / "data.dat"; }
    // Where the single-instance lock and the instance channel live.
    boost::filesystem::path RuntimeFolder() const { return dir_.Path() / "run"; }
    std::uint16_t Port() const { return port_; }

private:
    TempDir dir_;
    ScopedEnv data_;
    ScopedEnv runtime_;
    ScopedEnv temporary_;
    std::uint16_t port_;
};

} // namespace support

#endif
