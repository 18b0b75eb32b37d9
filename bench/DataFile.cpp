// Times saving and loading the data file for the default model size and for a
// large one, sets the save against writing the same bytes plainly and synced
// (with the rename a save ends in), and shows how much memory a save takes
// beyond the model itself. The hash of the file tells builds that must write
// the same bytes apart from ones that do not.
//
//   bench_DataFile [rounds]    (default 5; the median of the rounds is shown)

#include <Noctavi/MonitoredEntry/Entry.h>
#include <Noctavi/MonitoredEntry/EntryDB.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/Serializer.h>

#include <pelmo/filesystem/operations.hpp>

#include <boost/filesystem/operations.hpp>
#include <boost/make_shared.hpp>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The bytes the program holds through operator new, and their high mark.
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void* Counted(void* block)
{
    if (!block)
        throw std::bad_alloc();
    const long long live = g_live += static_cast<long long>(malloc_usable_size(block));
    long long peak = g_peak;
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    return block;
}

void Uncounted(void* block) noexcept
{
    g_live -= static_cast<long long>(malloc_usable_size(block));
    std::free(block);
}

} // namespace

void* operator new(std::size_t size)
{
    return Counted(std::malloc(size == 0 ? 1 : size));
}

void* operator new[](std::size_t size)
{
    return Counted(std::malloc(size == 0 ? 1 : size));
}

void operator delete(void* block) noexcept
{
    Uncounted(block);
}

void operator delete[](void* block) noexcept
{
    Uncounted(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    Uncounted(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    Uncounted(block);
}

namespace {

namespace fs = boost::filesystem;
using namespace MonitoredEntry;

struct Shape {
    int entries;
    int events;
};

std::wstring Numbered(const wchar_t* text, int n)
{
    return text + std::to_wstring(n);
}

EventLog::EventList Events(int count)
{
    EventLog::EventList events;
    events.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        const RSS::EventTime time("Tue, 09 Dec 2008 10:" + std::to_string(10 + n % 50) + ":30 +0900");
        const EventProperty property(L"Box", Numbered(L"Scanned document ", n), Numbered(L"/thumbnail?id=", n),
                                     Numbered(L"DOC-", n), time);
        events.emplace_back(BasicID<long>(n), property);
        events.back().SetRead(n % 2 == 0);
    }
    return events;
}

RSS::RSSFeed Feed(int items)
{
    RSS::ItemList list;
    for (int n = 0; n < items; ++n) {
        const std::string id = std::to_string(n);
        list.emplace_back("Scanned document " + id, "http://10.0.0.1/noctavi.htm?DC=" + id, "Box", "guid-" + id,
                          "Tue, 09 Dec 2008 10:15:30 +0900");
    }
    return RSS::RSSFeed("Documents", "http://10.0.0.1/rss", "Tue, 09 Dec 2008 10:15:30 +0900", list);
}

void Fill(EntryManager& manager, const Shape& shape)
{
    EntryDB::EntryList entries;
    for (int n = 0; n < shape.entries; ++n) {
        const EntryProperty property(true, MFP(Numbered(L"Machine ", n), Numbered(L"printer-", n), 80, 443, true),
                                     User(Numbered(L"User ", n), Numbered(L"user", n), Password(L"secret")),
                                     Config(shape.events, 1800000, true, 10000, false, true));
        auto entry = boost::make_shared<Entry>(BasicID<long>(n), property);
        const BasicID<long> nextEventID(shape.events);
        entry->SetEventLog(boost::make_shared<EventLog>(Events(shape.events), nextEventID, shape.events));
        entry->SetLatestRSSFeed(Feed(20));
        entries.push_back(entry);
    }
    manager.GetEntryDB().Restore(BasicID<long>(shape.entries), entries);
}

double Milliseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i)
        times.push_back(Milliseconds(work));
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[static_cast<std::size_t>(rounds / 2)];
}

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file.string(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

double Megabytes(long long bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

std::uint64_t Fnv1a(const std::string& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// The most memory one save holds beyond what was held before it.
long long SavePeak(Serializer& serializer)
{
    const long long before = g_live;
    g_peak = before;
    serializer.Save();
    return g_peak - before;
}

void Run(const Shape& shape, const fs::path& folder, int rounds)
{
    Serializer serializer;
    const long long empty = g_live;
    Fill(serializer.GetEntryManager(), shape);
    const long long model = g_live - empty;
    const long long peak = SavePeak(serializer);
    const double save = Median(rounds, [&] { serializer.Save(); });
    const double load = Median(rounds, [&] { serializer.Load(); });

    const std::string bytes = ReadAll(folder / "data.dat");
    const fs::path plainFile = folder / "plain.dat";
    const double plain = Median(rounds, [&] { std::ofstream(plainFile.string(), std::ios::binary) << bytes; });
    const double synced = Median(rounds, [&] {
        pelmo::filesystem::write_file_synced(plainFile, bytes);
        fs::rename(plainFile, folder / "synced.dat");
    });

    std::printf("%3d x %4d  %9zu  %016llx  %9.2f  %9.2f  %7.2f  %7.2f  %6.1f  %6.1f  %8.1f  %7.1f (%4.1f%%)\n",
                shape.entries, shape.events, bytes.size(), static_cast<unsigned long long>(Fnv1a(bytes)), save,
                load, plain, synced, save / plain, save / synced, Megabytes(model), Megabytes(peak),
                100.0 * static_cast<double>(peak) / static_cast<double>(model));
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path home = fs::temp_directory_path() / fs::unique_path("noctavi-bench-%%%%%%%%");
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path folder = home / "Hollvik" / "Noctavi";
    std::printf("%-10s  %9s  %-16s  %9s  %9s  %7s  %7s  %6s  %6s  %8s  %s\n", "model", "bytes", "hash", "save ms",
                "load ms", "plain", "synced", "/plain", "/sync", "model MB", "save peak MB (of model)");
    for (const Shape& shape : {Shape{3, 50}, Shape{100, 1000}})
        Run(shape, folder, rounds);
    fs::remove_all(home);
    return 0;
}
