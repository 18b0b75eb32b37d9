// Times saving and loading the data file for the default model size and for a
// large one, and sets the save against writing the same bytes plainly.
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

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

void Run(const Shape& shape, const fs::path& folder, int rounds)
{
    Serializer serializer;
    Fill(serializer.GetEntryManager(), shape);
    const double save = Median(rounds, [&] { serializer.Save(); });
    const double load = Median(rounds, [&] { serializer.Load(); });

    const std::string bytes = ReadAll(folder / "data.dat");
    const fs::path plainFile = folder / "plain.dat";
    const double plain = Median(rounds, [&] { std::ofstream(plainFile.string(), std::ios::binary) << bytes; });
    const double synced = Median(rounds, [&] { pelmo::filesystem::write_file_synced(plainFile, bytes); });

    std::printf("%4d entries x %4d events  %10zu bytes  save %9.2f ms  load %9.2f ms  "
                "plain write %7.2f ms  synced write %7.2f ms  save/plain %6.1f\n",
                shape.entries, shape.events, bytes.size(), save, load, plain, synced, save / plain);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path home = fs::temp_directory_path() / fs::unique_path("noctavi-bench-%%%%%%%%");
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    const fs::path folder = home / "Hollvik" / "Noctavi";
    for (const Shape& shape : {Shape{3, 50}, Shape{100, 1000}})
        Run(shape, folder, rounds);
    fs::remove_all(home);
    return 0;
}
