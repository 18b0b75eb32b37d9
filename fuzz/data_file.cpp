// Loads arbitrary bytes as the data file. A file that loads saves, and the
// saved file loads and saves again to the same bytes: nothing that a load
// accepts is lost or changed on the way round.
#include "Check.h"
#include "ScratchDataHome.h"

#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/System/Config.h>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>

#include <support/ReadFile.h>

#include <boost/archive/archive_exception.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool Loads(Serializer& serializer)
{
    try {
        serializer.Load();
        return true;
    } catch (const boost::archive::archive_exception&) {
    } catch (const pelmo::exception&) {
    }
    return false;
}

} // namespace

// A file without an entry's newer settings takes them from the application's
// settings, which the program has loaded by the time it reads its data.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EmptyDataFolder();
    ::Config::GetInstance().Load();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const boost::filesystem::path file = fuzz::EmptyDataFolder() / "data.dat";
    pelmo::filesystem::write_file_synced(file, std::string(data, data + size));
    Serializer loaded;
    if (!Loads(loaded))
        return 0;
    loaded.Save();
    const std::string saved = support::ReadFile(file);

    Serializer reloaded;
    fuzz::Check(Loads(reloaded));
    reloaded.Save();
    fuzz::Check(support::ReadFile(file) == saved);
    return 0;
}
