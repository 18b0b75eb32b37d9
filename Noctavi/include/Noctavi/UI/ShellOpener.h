#ifndef NOCTAVI_UI_SHELLOPENER_H
#define NOCTAVI_UI_SHELLOPENER_H

#include <Noctavi/UI/Seam.h>

#include <string>

namespace UI {

using ShellOpenerSeam = Seam<void(const std::wstring& target)>;

// Opens a file or an address in the user's preferred program (System::OpenPath:
// a detached opener whose outcome nobody examines).
ShellOpenerSeam& OpenInShell();

} // namespace UI

#endif
