#include <Noctavi/UI/ShellOpener.h>

#include <Noctavi/System/Shell.h>

namespace UI {

ShellOpenerSeam& OpenInShell()
{
    static ShellOpenerSeam seam(&System::OpenPath);
    return seam;
}

} // namespace UI
