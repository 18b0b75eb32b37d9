#ifndef NOCTAVI_SYSTEM_FOLDERS_H
#define NOCTAVI_SYSTEM_FOLDERS_H

#include <string>

// The per-user folders. Every folder path ends with "/". Only the temporary
// folder is created here; the others are composed, and their users create
// them when they first write.
namespace System {

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::wstring GetLocalAppDataDir();
// $HOME, else the home folder of the user's account. Throws SystemError when
// there is none.
std::wstring GetPersonalDir();
// $TMPDIR when it is an absolute path, else /tmp.
std::wstring GetTempDir();

// Where "config.dat" and "data.dat" live: <local application data>/Hollvik/Noctavi/.
std::wstring GetDataFolder();
// <temporary folder>/Hollvik-<uid>/Noctavi/, created private to the user
// (mode 0700). A "Hollvik-<uid>" folder that another user owns or that is a
// symbolic link is refused with SystemError, since others could read or
// replace what is put there.
std::wstring GetTempFolder();

} // namespace System

#endif
