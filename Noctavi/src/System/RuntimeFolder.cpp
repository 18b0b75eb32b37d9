#include <Noctavi/System/RuntimeFolder.h>

#include <Noctavi/System/Folders.h>
#include <Noctavi/Utility/TextConversion.h>

#include <cstdlib>

namespace System {

std::wstring GetRuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return GetTempFolder();
    std::string folder = runtime;
    if (folder.back() != '/')
        folder += '/';
    return Utility::ToWide(folder);
}

} // namespace System
