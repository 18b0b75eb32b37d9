#include <Noctavi/MonitoredEntry/Serializer.h>

#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelArchive.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/temporary_file.hpp>
#include <pelmo/filesystem/unique_entry.hpp>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/make_shared.hpp>

#include <cstddef>
#include <fstream>
#include <locale>
#include <memory>
#include <new>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace fs = boost::filesystem;

using MonitoredEntry::EntryManager;

namespace {

// "data.dat" in the data folder and the files beside it.
struct DataFiles {
    DataFiles()
        : folder(fs::path(Utility::ToNarrow(System::GetDataFolder())).remove_trailing_separator())
        , data(folder / "data.dat")
        , backup(data.string() + ".bak")
        , temporary(data.string() + ".tmp")
    {
    }

    fs::path folder;
    fs::path data;
    fs::path backup;
    fs::path temporary;
};

// A wide stream buffer that appends what is written to it to a string, as
// UTF-8, so that a save holds no more than the file's bytes in memory.
class Utf8Sink : public std::wstreambuf {
public:
    explicit Utf8Sink(std::string& bytes)
        : bytes_(bytes)
    {
        setp(buffer_, buffer_ + kBufferSize);
    }

protected:
    int_type overflow(int_type c) override
    {
        Drain();
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return sputc(traits_type::to_char_type(c));
    }

    int sync() override
    {
        Drain();
        return 0;
    }

private:
    void Drain()
    {
        bytes_ += Utility::ToNarrow(std::wstring_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        setp(buffer_, buffer_ + kBufferSize);
    }

    static const std::size_t kBufferSize = 4096;
    std::string& bytes_;
    wchar_t buffer_[kBufferSize];
};

// The model as the data file's bytes.
std::string Render(EntryManager& manager)
{
    std::string bytes;
    Utf8Sink sink(bytes);
    std::wostream out(&sink);
    out.imbue(std::locale::classic());
    MonitoredEntry::WriteModel(out, manager);
    // The sink fails only when memory runs out; the stream then holds the
    // failure instead of passing it on.
    if (!out.flush())
        PELMO_THROW(std::bad_alloc());
    return bytes;
}

std::unique_ptr<EntryManager> ReadOnce(const fs::path& file, bool& configCompatibility)
{
    // The archive reads numbers with the stream's locale, whatever the process's is.
    std::wifstream in;
    in.imbue(std::locale::classic());
    in.open(file.string());
    if (!in.is_open())
        PELMO_THROW(SystemError());
    auto manager = std::make_unique<EntryManager>();
    MonitoredEntry::ReadModel(in, *manager, configCompatibility);
    return manager;
}

// A file written before an entry's three newer settings existed fails in the
// first of them with the config compatibility flag left set; it is then read
// once more without them.
std::unique_ptr<EntryManager> ReadDataFile(const fs::path& file)
{
    bool configCompatibility = false;
    try {
        return ReadOnce(file, configCompatibility);
    } catch (...) {
        if (!configCompatibility)
            throw;
    }
    return ReadOnce(file, configCompatibility);
}

// Moves the file that failed to load into a new time-stamped folder beside
// it, with a copy of the backup: the next save would overwrite the one, and
// the next successful load the other. A failure here is not reported: the
// caller hears why the load failed, and a folder that refuses this refuses
// the save as well.
void KeepAside(const DataFiles& files) noexcept
{
    try {
        const boost::shared_ptr<fs::path> folder =
            pelmo::filesystem::create_unique_directory(files.folder.string(), "unreadable-");
        fs::rename(files.data, *folder / files.data.filename());
        if (fs::exists(files.backup))
            fs::copy_file(files.backup, *folder / files.backup.filename());
    } catch (...) {
    }
}

// Replaces the backup in one step with a copy of the file that just loaded.
// The model is loaded either way; a backup that cannot be refreshed leaves the
// previous one, which is still a good copy.
void RefreshBackup(const DataFiles& files) noexcept
{
    try {
        pelmo::filesystem::temporary_file copy(files.backup.string() + ".tmp");
        fs::copy_file(files.data, copy.path(), fs::copy_options::overwrite_existing);
        copy.commit_to(files.backup);
    } catch (...) {
    }
}

} // namespace

struct Serializer::Pimpl {
    std::unique_ptr<EntryManager> manager = std::make_unique<EntryManager>();
};

Serializer::Serializer()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

void Serializer::Load()
{
    const DataFiles files;
    if (!fs::exists(files.data)) {
        pimpl_->manager = std::make_unique<EntryManager>();
        return;
    }
    std::unique_ptr<EntryManager> loaded;
    try {
        loaded = ReadDataFile(files.data);
    } catch (...) {
        KeepAside(files);
        throw;
    }
    RefreshBackup(files);
    pimpl_->manager = std::move(loaded);
}

void Serializer::Save()
{
    const std::string bytes = Render(*pimpl_->manager);
    const DataFiles files;
    pelmo::filesystem::create_private_directories(files.folder);
    pelmo::filesystem::temporary_file temporary(files.temporary);
    pelmo::filesystem::write_file_synced(temporary.path(), bytes);
    temporary.commit_to(files.data);
}

EntryManager& Serializer::GetEntryManager()
{
    return *pimpl_->manager;
}
