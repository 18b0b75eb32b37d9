#include <Noctavi/Utility/CLrcReader.h>

#include <mutex>

namespace {

// The process-wide catalogue. Readers copy the shared handle under the lock
// and look up without it, so a catalogue freed meanwhile lives on until the
// last lookup that began with it has finished.
struct ProcessCatalogue {
    std::mutex mutex;
    boost::optional<LrcCatalogue> catalogue;
};

ProcessCatalogue& TheCatalogue()
{
    static ProcessCatalogue instance;
    return instance;
}

boost::optional<LrcCatalogue> Current()
{
    ProcessCatalogue& process = TheCatalogue();
    const std::lock_guard<std::mutex> lock(process.mutex);
    return process.catalogue;
}

} // namespace

void CLrcReader::Install(boost::optional<LrcCatalogue> catalogue)
{
    ProcessCatalogue& process = TheCatalogue();
    // The previous catalogue leaves with the parameter, after the lock is released.
    const std::lock_guard<std::mutex> lock(process.mutex);
    process.catalogue.swap(catalogue);
}

boost::optional<std::wstring> CLrcReader::Find(unsigned int id) const
{
    const boost::optional<LrcCatalogue> catalogue = Current();
    return catalogue ? catalogue->Find(id) : boost::none;
}

boost::optional<std::wstring> CLrcReader::GetVersionText() const
{
    const boost::optional<LrcCatalogue> catalogue = Current();
    return catalogue ? catalogue->Version() : boost::optional<std::wstring>();
}
