#ifndef NOCTAVI_TESTS_SUPPORT_STANDINOPENER_H
#define NOCTAVI_TESTS_SUPPORT_STANDINOPENER_H

#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <boost/filesystem/path.hpp>

#include <cstddef>
#include <string>

namespace support {

// A stand-in "xdg-open", first on PATH and with a home folder of its own for
// the object's life, that logs each run as "working folder|arguments", one
// line a run.
class StandInOpener {
public:
    StandInOpener();

    boost::filesystem::path Home() const { return dir_.Path() / "home"; }
    // A folder in which nothing is found, to put on PATH instead.
    boost::filesystem::path EmptyFolder() const { return dir_.Path() / "empty"; }

    // Replaces the stand-in's script.
    void WriteScript(const std::string& text) const;

    // The opener runs detached, so its line appears some time after the call:
    // the log once it has `count` lines, or as it is after ten seconds.
    std::string WaitForLines(std::size_t count) const;

private:
    boost::filesystem::path Bin() const { return dir_.Path() / "bin"; }
    boost::filesystem::path Log() const { return dir_.Path() / "opened.log"; }

    TempDir dir_;
    ScopedEnv path_;
    ScopedEnv home_;
};

} // namespace support

#endif
