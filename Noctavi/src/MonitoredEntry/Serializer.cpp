#include <Noctavi/MonitoredEntry/Serializer.h>

#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/ModelArchive.h>
#include <Noctavi/System/Folders.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/synced_file.hpp>
#include <pelmo/filesystem/unique_entry.hpp>

#include <boost/archive/detail/utf8_codecvt_facet.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/make_shared.hpp>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <exception>
#include <fstream>
#include <istream>
#include <locale>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace fs = boost::filesystem;

using MonitoredEntry::EntryManager;

namespace {

// "data.dat" in the data folder and the files beside it.
struct DataFiles {
    DataFiles()
        : folder(fs::path(Utility::ToNarrow(System::GetDataFolder())).remove_trailing_separator())
        , data(folder / "data.dat")
        , backup(data.string() + ".bak")
    {
    }

    fs::path folder;
    fs::path data;
    fs::path backup;
};

// What saves that a kill interrupted left: the temporary files of the file
// and of its backup, under their present names and those of earlier saves.
void RemoveLeftovers(const DataFiles& files)
{
    for (const fs::path& file : {files.data, files.backup})
        pelmo::filesystem::synced_file::remove_leftovers(file, file.filename().string() + ".tmp");
}

// A wide stream buffer that writes what is written to it to a file as UTF-8,
// a buffer at a time, so that a save holds no copy of the file in memory.
// A failure of the file is kept for WriteModelTo to report: thrown here, the
// stream would pass it on out of the archive's destructor.
class Utf8FileSink : public std::wstreambuf {
public:
    explicit Utf8FileSink(pelmo::filesystem::synced_file& file)
        : file_(file)
        , buffer_(kBufferSize)
    {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }

    void ThrowFailure() const
    {
        if (failure_)
            std::rethrow_exception(failure_);
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!Drain())
            return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return sputc(traits_type::to_char_type(c));
    }

    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain()
    {
        if (failure_)
            return false;
        try {
            const std::string bytes =
                Utility::ToNarrow(std::wstring_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
            file_.write(bytes.data(), bytes.size());
        } catch (...) {
            failure_ = std::current_exception();
            return false;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    static const std::size_t kBufferSize = 16384;
    pelmo::filesystem::synced_file& file_;
    std::vector<wchar_t> buffer_;
    std::exception_ptr failure_;
};

// Writes the model into the file; when the file fails, that failure is what
// is thrown, rather than the archive's report of a stream gone bad.
void WriteModelTo(pelmo::filesystem::synced_file& file, EntryManager& manager)
{
    Utf8FileSink sink(file);
    std::wostream out(&sink);
    out.imbue(std::locale::classic());
    try {
        MonitoredEntry::WriteModel(out, manager);
        out.flush();
    } catch (...) {
        sink.ThrowFailure();
        throw;
    }
    sink.ThrowFailure();
}

// A wide stream buffer over a file's UTF-8 bytes. ASCII, nearly all of a data
// file, is widened directly; every other sequence goes through one instance of
// the conversion facet that the archive would install, so the text read and
// the bytes refused are the same as through a converting file stream.
class Utf8Source : public std::wstreambuf {
public:
    explicit Utf8Source(std::streambuf& bytes)
        : bytes_(bytes)
        , in_(kBufferSize)
        , out_(kBufferSize)
    {
    }

protected:
    int_type underflow() override
    {
        while (gptr() == egptr()) {
            if (!Refill())
                return traits_type::eof();
        }
        return traits_type::to_int_type(*gptr());
    }

private:
    // Widens the next bytes, after those of a sequence that the last read
    // cut; false at the end of the file or after a malformed sequence. A
    // sequence cut by the end of the file is dropped: the text ends there.
    bool Refill()
    {
        if (done_)
            return false;
        const std::streamsize read =
            bytes_.sgetn(in_.data() + carried_, static_cast<std::streamsize>(in_.size() - carried_));
        if (read <= 0) {
            done_ = true;
            return false;
        }
        const std::size_t size = carried_ + static_cast<std::size_t>(read);
        std::size_t used = 0;
        wchar_t* const end = Widen(size, used);
        carried_ = size - used;
        std::memmove(in_.data(), in_.data() + used, carried_);
        setg(out_.data(), out_.data(), end);
        return true;
    }

    // Widens in_[0, size), stopping at a malformed sequence (which ends the
    // text) or at one cut by the end of the bytes read.
    wchar_t* Widen(std::size_t size, std::size_t& used)
    {
        const char* from = in_.data();
        const char* const last = from + size;
        wchar_t* to = out_.data();
        while (from != last) {
            if (static_cast<unsigned char>(*from) < 0x80) {
                *to++ = static_cast<wchar_t>(*from++);
                continue;
            }
            const char* const runEnd = std::find_if(
                from, last, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
            const char* next = from;
            wchar_t* nextOut = to;
            const auto result = facet_.in(state_, from, runEnd, next, to, out_.data() + out_.size(), nextOut);
            to = nextOut;
            from = next;
            if (result != std::codecvt_base::ok) {
                done_ = result == std::codecvt_base::error || runEnd != last;
                break;
            }
        }
        used = static_cast<std::size_t>(from - in_.data());
        return to;
    }

    static const std::size_t kBufferSize = 65536;
    std::streambuf& bytes_;
    boost::archive::detail::utf8_codecvt_facet facet_;
    std::mbstate_t state_{};
    std::vector<char> in_;
    std::vector<wchar_t> out_;
    std::size_t carried_ = 0;
    bool done_ = false;
};

std::unique_ptr<EntryManager> ReadOnce(const fs::path& file, bool& configCompatibility)
{
    // Checked before opening: opening a FIFO would wait for a writer.
    if (!fs::is_regular_file(file))
        PELMO_THROW(SystemError(EINVAL));
    std::filebuf bytes;
    if (!bytes.open(file.string(), std::ios::in | std::ios::binary))
        PELMO_THROW(SystemError());
    Utf8Source text(bytes);
    std::wistream in(&text);
    // The archive reads numbers with the stream's locale, whatever the process's is.
    in.imbue(std::locale::classic());
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
        Utility::TraceFailure(Utility::kTraceModel, "the unreadable data file could not be kept aside");
    }
}

// The model is loaded either way; a backup that cannot be refreshed leaves the
// previous one, which is still a good copy.
void RefreshBackup(const DataFiles& files) noexcept
{
    try {
        pelmo::filesystem::replace_with_copy(files.data, files.backup);
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceModel, "the data file's backup could not be refreshed");
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

void Serializer::Load(Unreadable unreadable)
{
    const DataFiles files;
    RemoveLeftovers(files);
    if (!fs::exists(files.data)) {
        pimpl_->manager = std::make_unique<EntryManager>();
        return;
    }
    std::unique_ptr<EntryManager> loaded;
    try {
        loaded = ReadDataFile(files.data);
    } catch (...) {
        if (unreadable == Unreadable::KeepAside)
            KeepAside(files);
        throw;
    }
    RefreshBackup(files);
    pimpl_->manager = std::move(loaded);
}

void Serializer::Save()
{
    const DataFiles files;
    pelmo::filesystem::create_private_directories(files.folder);
    pelmo::filesystem::synced_file file(files.data);
    WriteModelTo(file, *pimpl_->manager);
    file.commit();
}

EntryManager& Serializer::GetEntryManager()
{
    return *pimpl_->manager;
}
