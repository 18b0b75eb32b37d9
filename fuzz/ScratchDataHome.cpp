#include "ScratchDataHome.h"

#include <Noctavi/System/Folders.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/filesystem/operations.hpp>

#include <boost/filesystem/operations.hpp>

#include <cstdlib>

namespace fuzz {
namespace {

namespace fs = boost::filesystem;

class ScratchHome {
public:
    ScratchHome()
        : home_((fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path())
                / fs::unique_path("noctavi-fuzz-%%%%%%%%"))
    {
        pelmo::filesystem::create_private_directories(home_);
        setenv("XDG_DATA_HOME", home_.c_str(), 1);
    }

    ScratchHome(const ScratchHome&) = delete;
    ScratchHome& operator=(const ScratchHome&) = delete;

    ~ScratchHome()
    {
        boost::system::error_code ignored;
        fs::remove_all(home_, ignored);
    }

private:
    fs::path home_;
};

} // namespace

fs::path EmptyDataFolder()
{
    static const ScratchHome home;
    const fs::path folder = Utility::ToNarrow(System::GetDataFolder());
    fs::remove_all(folder);
    pelmo::filesystem::create_private_directories(folder);
    return folder;
}

} // namespace fuzz
