#ifndef NOCTAVI_SYSTEM_SHELL_H
#define NOCTAVI_SYSTEM_SHELL_H

#include <boost/optional.hpp>

#include <string>
#include <sys/types.h>

// Opening files and web pages in the user's preferred programs.
namespace System {

// Starts "xdg-open target" from the home folder, detached from this process
// (the program is not waited for and outlives us). Gives the process ID of
// the opener, or none when it could not be started; it never throws for a
// target that cannot be opened.
boost::optional<pid_t> ShellOpen(const std::wstring& target);

// ShellOpen without a result, for callers that report nothing.
void OpenPath(const std::wstring& target);

// Opens "address?query", or the address alone when the query text is empty.
void OpenURLWithQuery(const std::string& query, const std::wstring& address);

} // namespace System

#endif
