#ifndef NOCTAVI_CREATERUNMODE_H
#define NOCTAVI_CREATERUNMODE_H

#include <memory>
#include <string>
#include <vector>

class RunMode;

// The run mode that the arguments (without the program's name) ask for:
// install mode when "install,i" is given, else uninstall mode when
// "uninstall,u" is, else normal mode. The table also holds "convert" (a
// switch without effect) and the new entry's values "mname", "host",
// "http", "https", "uname", "uid" and "upass"; options not in it are
// ignored. Throws when a value does not convert (a non-numeric "http", say).
std::unique_ptr<RunMode> CreateRunMode(const std::vector<std::string>& arguments);

// Whether the run mode that the arguments ask for shows windows: every mode
// but uninstall mode, which an installer may run where there is no display.
// Arguments that do not convert count as showing windows, since their failure
// is shown in a box.
bool NeedsWindows(const std::vector<std::string>& arguments) noexcept;

#endif
