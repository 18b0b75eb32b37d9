#ifndef NOCTAVI_SYSTEM_RUNTIMEFOLDER_H
#define NOCTAVI_SYSTEM_RUNTIMEFOLDER_H

#include <string>

namespace System {

// Where the single-instance lock and the running instance's channel live:
// $XDG_RUNTIME_DIR when it is an absolute path to a folder of the user's own
// that no one else may write to (no link), else the temporary folder, which
// is private to the user (GetTempFolder). Ends with "/".
std::wstring GetRuntimeFolder();

} // namespace System

#endif
