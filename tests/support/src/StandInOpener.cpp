#include <support/StandInOpener.h>

#include <support/ReadFile.h>
#include <support/WaitUntil.h>

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <fstream>

namespace support {

namespace fs = boost::filesystem;

StandInOpener::StandInOpener()
    : path_("PATH", Bin().string() + ":/usr/bin:/bin")
    , home_("HOME", Home().string())
{
    fs::create_directory(Bin());
    fs::create_directory(Home());
    WriteScript("#!/bin/sh\nprintf '%s|%s\\n' \"$PWD\" \"$*\" >> \"" + Log().string() + "\"\n");
}

void StandInOpener::WriteScript(const std::string& text) const
{
    const fs::path script = Bin() / "xdg-open";
    std::ofstream(script.string()) << text;
    fs::permissions(script, fs::perms::owner_all);
}

std::string StandInOpener::WaitForLines(std::size_t count) const
{
    const auto lines = [this] { return ReadFile(Log()); };
    WaitUntil([&] {
        const std::string log = lines();
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= count;
    });
    return lines();
}

} // namespace support
