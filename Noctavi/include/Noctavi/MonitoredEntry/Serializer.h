#ifndef NOCTAVI_MONITOREDENTRY_SERIALIZER_H
#define NOCTAVI_MONITOREDENTRY_SERIALIZER_H

#include <boost/shared_ptr.hpp>

namespace MonitoredEntry {
class EntryManager;
}

// Keeps the whole model in "data.dat" in the data folder, and owns the one
// entry manager of the process.
//
// Saves never touch "data.dat" until the new file is complete on the disk:
// they write a temporary file of a new name beside it (mode 0600,
// pelmo::filesystem::synced_file), flush it to the disk and rename it over
// "data.dat". "data.dat.bak" is a copy of the last file that loaded, replaced
// the same way. A file that fails to load is moved into a new
// time-stamped folder beside it, together with a copy of "data.dat.bak",
// before anything could overwrite either.
class Serializer {
public:
    // What Load does with a "data.dat" that exists but fails to load.
    enum class Unreadable {
        KeepAside,
        // For a caller that then saves nothing: the program's next start finds
        // the file where it was and reports it.
        LeaveInPlace,
    };

    // An empty model, whose notification thread starts at once.
    Serializer();
    Serializer(const Serializer&) = delete;
    Serializer& operator=(const Serializer&) = delete;

    // Removes the temporary files that saves cut short by a kill left, then
    // reads "data.dat" into a new entry manager and makes it the current one,
    // destroying the previous one; an absent file gives an empty model. A file
    // that fails inside an entry's newer settings is read once more, each
    // entry then taking those settings from the application's defaults.
    // Throws what reading throws (SystemError for a file that exists but is
    // no regular file or cannot be opened, the archive's exceptions,
    // InvalidDataFile), leaving the previous manager current. To be called
    // before anyone observes the model or holds references into it.
    void Load(Unreadable unreadable = Unreadable::KeepAside);

    // Writes the current model to "data.dat", holding the model lock only
    // while it copies the list of entries. Throws what the file system
    // throws; "data.dat" is then as it was.
    void Save();

    MonitoredEntry::EntryManager& GetEntryManager();

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

#endif
