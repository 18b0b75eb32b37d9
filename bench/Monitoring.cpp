// Measures monitoring end to end on loopback, every entry on a fake machine
// of its own (127.0.0.x): how long a machine's signal takes to become an
// event in the entry's log, next to the detected-event manager's 300 ms
// batch window; the same through polling alone; a burst of signals; what an
// idle monitored set costs; and how long stopping takes.
//
//   bench_Monitoring     (build with -DCMAKE_BUILD_TYPE=Release; takes about seven minutes)

#include <Noctavi/IS/Config.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/NotifiableEventManager.h>
#include <Noctavi/Monitor/EventMonitorManager.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/Monitor/MachineMonitorManager.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;
using Milliseconds = std::chrono::duration<double, std::milli>;

const int kBatchWindowMs = 300;
const int kTimeoutMs = 2000;
const int kLongInterval = 60000;
const int kShortInterval = 500;
const char kAccount[] = "user";
const char kFeedPath[] = "/rss/user.xml";

void ApplySettings(int port)
{
    ConfigLimits limits;
    limits.Port = port;
    limits.EntryMax = 100;
    limits.EventLogMaxLimit = 100000;
    limits.RegularCheckInterval = ConfigLimits::Range(kShortInterval, 3600000);
    SetConfigLimits(limits);
    IS::Config::Records records;
    records.fill(HTTP::Timeout{kTimeoutMs, 1, kTimeoutMs, kTimeoutMs});
    IS::SetConfiguration(IS::Config(records));
}

long StatusField(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string field; status >> field;) {
        if (field == name) {
            long value = 0;
            status >> value;
            return value;
        }
    }
    return 0;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t rank = static_cast<std::size_t>(p / 100 * (values.size() - 1) + 0.5);
    return values[rank];
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::seconds deadline)
{
    const Clock::time_point end = Clock::now() + deadline;
    while (!condition()) {
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Told of every filed event, it records when each document's event was
// filed and how often.
class Filing : public MachineEvent::NotifiableEventManager {
public:
    explicit Filing(MonitoredEntry::EntryManager& model)
        : model_(model)
    {
    }

    void Notify(ID entry, ID event) override
    {
        std::wstring title;
        {
            MonitoredEntry::ModelLock lock(model_);
            title = model_.GetEntryDB().GetEntry(entry).GetSharedEventLog()->GetEvent(event).GetProperty().GetInfo();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++counts_[title];
        filedAt_[title] = Clock::now();
        filed_.notify_all();
    }

    // When the document's event was filed; none within the deadline gives the deadline.
    Clock::time_point WaitFor(const std::string& document, std::chrono::seconds deadline)
    {
        const std::wstring title = Utility::ToWide(document);
        std::unique_lock<std::mutex> lock(mutex_);
        filed_.wait_for(lock, deadline, [&] { return filedAt_.count(title) > 0; });
        return filedAt_.count(title) ? filedAt_[title] : Clock::now();
    }

    std::map<std::wstring, int> Counts()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return counts_;
    }

private:
    MonitoredEntry::EntryManager& model_;
    std::mutex mutex_;
    std::condition_variable filed_;
    std::map<std::wstring, int> counts_;
    std::map<std::wstring, Clock::time_point> filedAt_;
};

// The whole of monitoring as the main window composes it, over N machines.
class Rig {
public:
    // A machine that answers may still take its time over each feed.
    struct Shape {
        int machines;
        int interval;
        bool answering = true;
        std::chrono::milliseconds feedDelay{0};
    };

    explicit Rig(const Shape& shape)
    {
        const int machines = shape.machines;
        ApplySettings(0);
        for (int n = 0; n < machines; ++n) {
            const std::string address = "127.0.0." + std::to_string(100 + n);
            servers_.push_back(std::make_unique<support::FakeInformationServer>(support::FakeMachine::Options(address)));
            support::FakeInformationServer& server = *servers_.back();
            server.AddAccount({kAccount, "User", "s3cret"});
            server.Machine().Delay(kFeedPath, shape.feedDelay);
            if (!shape.answering) {
                for (const char* path : {"/cgi-bin/SubscribeToFeed.cgi", "/cgi-bin/UnSubscribeToFeed.cgi",
                                         "/cgi-bin/GetMachineSettings.cgi", "/cgi-bin/GetUserInfo.cgi"})
                    server.Machine().Delay(path, std::chrono::minutes(1));
            }
            if (shape.answering)
                Publish(n, WarmUp(n));
            Add(server, shape.interval);
        }
        threadsBefore_ = StatusField("Threads:");
        rssBefore_ = StatusField("VmRSS:");
        receiver_ = std::make_unique<Monitor::EventSignalReceiver>();
        ApplySettings(receiver_->GetPort());
        receiver_->Attach(&events_);
        receiver_->Start();
        detected_.SetNotifiable(&filing_);
        detected_.Start();
        machines_.Start(model_);
        events_.Start(model_);
        // Every monitor has made its first fetch once the warm-up documents are
        // filed; a machine that never answers holds its first requests.
        for (int n = 0; n < machines; ++n) {
            if (shape.answering)
                filing_.WaitFor(WarmUp(n), std::chrono::seconds(60));
            else
                servers_[static_cast<std::size_t>(n)]->Machine().WaitForRequests(2, std::chrono::seconds(60));
        }
    }

    ~Rig()
    {
        if (!stopped_)
            Stop();
    }

    // The main window's order: the receiver, then every monitor together, then the filing.
    double Stop()
    {
        const Clock::time_point begin = Clock::now();
        receiver_->Stop();
        receiver_->Detach(&events_);
        machines_.Interrupt();
        events_.Interrupt();
        machines_.Stop();
        events_.Stop();
        const double took = Milliseconds(Clock::now() - begin).count();
        detected_.Join();
        detected_.ResetNotifiable();
        stopped_ = true;
        return took;
    }

    void Publish(int machine, const std::string& document)
    {
        support::StoredDocument stored;
        stored.id = document;
        stored.owner = kAccount;
        stored.title = document;
        servers_[static_cast<std::size_t>(machine)]->AddDocument(stored);
    }

    void Forget(int machine, const std::string& document)
    {
        servers_[static_cast<std::size_t>(machine)]->RemoveDocument(document);
    }

    void Signal(int machine) { servers_[static_cast<std::size_t>(machine)]->SendSignal(kAccount); }

    // A fetch is two requests: the first draws the machine's challenge.
    std::size_t Fetches() const
    {
        std::size_t fetches = 0;
        for (const auto& server : servers_) {
            for (const support::RecordedRequest& request : server->Machine().Requests())
                fetches += request.path == kFeedPath && !request.authorization.empty();
        }
        return fetches;
    }

    int Machines() const { return static_cast<int>(servers_.size()); }
    long Threads() const { return StatusField("Threads:") - threadsBefore_; }
    long ResidentKiB() const { return StatusField("VmRSS:") - rssBefore_; }
    Filing& Filed() { return filing_; }

private:
    static std::string WarmUp(int machine) { return "warm-up-" + std::to_string(machine); }

    ID Add(support::FakeInformationServer& server, int interval)
    {
        const MonitoredEntry::EntryProperty property(
            true,
            MonitoredEntry::MFP(boost::none, Utility::ToWide(server.Machine().Address()), server.Machine().Port(),
                                boost::none, false),
            MonitoredEntry::User(boost::none, Utility::ToWide(kAccount), MonitoredEntry::Password(L"s3cret")),
            MonitoredEntry::Config(100000, interval, true, 0, false, false));
        MonitoredEntry::EntryManager::Transaction transaction(model_);
        const ID id = transaction.Append(property);
        transaction.Commit();
        return id;
    }

    std::vector<std::unique_ptr<support::FakeInformationServer>> servers_;
    MonitoredEntry::EntryManager model_;
    long threadsBefore_ = 0;
    long rssBefore_ = 0;
    Filing filing_{model_};
    MachineEvent::DetectedEventQueue queue_{50};
    MachineEvent::DetectedEventManager detected_{model_, queue_};
    Monitor::EventMonitorManager events_{queue_};
    Monitor::MachineMonitorManager machines_;
    std::unique_ptr<Monitor::EventSignalReceiver> receiver_;
    bool stopped_ = false;
};

void PrintRow(const char* measure, const std::string& n, const std::string& value, const std::string& goal)
{
    std::printf("| %-44s | %-3s | %-40s | %-34s |\n", measure, n.c_str(), value.c_str(), goal.c_str());
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0)
{
    char text[128];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

std::string Distribution(const std::vector<double>& latencies)
{
    return Format("%.0f / %.0f / %.0f ms", Percentile(latencies, 50), Percentile(latencies, 95),
                  Percentile(latencies, 99));
}

// One signal at a time, each to the next machine, each for a new document;
// the latency runs from the signal to the filing of the document's event.
std::vector<double> SignalLatencies(Rig& rig, int signals)
{
    std::vector<double> latencies;
    for (int n = 0; n < signals; ++n) {
        const int machine = n % rig.Machines();
        const std::string document = "signal-" + std::to_string(n);
        rig.Publish(machine, document);
        const Clock::time_point sent = Clock::now();
        rig.Signal(machine);
        latencies.push_back(Milliseconds(rig.Filed().WaitFor(document, std::chrono::seconds(10)) - sent).count());
    }
    return latencies;
}

std::vector<double> PollingLatencies(Rig& rig, int documents)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> phase(0, kShortInterval - 1);
    std::vector<double> latencies;
    for (int n = 0; n < documents; ++n) {
        const std::string document = "poll-" + std::to_string(n);
        // A document comes at any point of the interval, not just after a filing.
        std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        const Clock::time_point published = Clock::now();
        rig.Publish(0, document);
        latencies.push_back(
            Milliseconds(rig.Filed().WaitFor(document, std::chrono::seconds(10)) - published).count());
    }
    return latencies;
}

struct Burst {
    int signals = 0;
    int changes = 0;
    int filed = 0;
    int lost = 0;
    int duplicated = 0;
    std::size_t fetches = 0;
};

// 1000 signals a second for ten seconds over the machines in turn, one new
// document with every tenth; each machine's feed keeps its last 20 documents.
Burst SignalBurst(Rig& rig)
{
    Burst burst;
    const std::size_t fetchesBefore = rig.Fetches();
    std::vector<std::vector<std::string>> published(static_cast<std::size_t>(rig.Machines()));
    const Clock::time_point begin = Clock::now();
    for (; burst.signals < 10000; ++burst.signals) {
        std::this_thread::sleep_until(begin + std::chrono::milliseconds(burst.signals));
        const int machine = burst.signals % rig.Machines();
        std::vector<std::string>& documents = published[static_cast<std::size_t>(machine)];
        if (burst.signals % 10 == 0) {
            documents.push_back("burst-" + std::to_string(burst.changes++));
            rig.Publish(machine, documents.back());
            if (documents.size() > 20)
                rig.Forget(machine, documents[documents.size() - 21]);
        }
        rig.Signal(machine);
    }
    WaitUntil([&] { return static_cast<int>(rig.Filed().Counts().size()) >= burst.changes; }, std::chrono::seconds(30));
    burst.fetches = rig.Fetches() - fetchesBefore;
    const std::map<std::wstring, int> counts = rig.Filed().Counts();
    for (int change = 0; change < burst.changes; ++change) {
        const auto found = counts.find(Utility::ToWide("burst-" + std::to_string(change)));
        const int times = found == counts.end() ? 0 : found->second;
        burst.filed += times;
        burst.lost += times == 0;
        burst.duplicated += times > 1 ? times - 1 : 0;
    }
    return burst;
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("Monitoring on loopback, one fake machine per entry; request time-outs %d ms.\n\n", kTimeoutMs);
    std::printf("| %-44s | %-3s | %-40s | %-34s |\n", "measure", "N", "value", "goal");
    std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(5, '-').c_str(),
                std::string(42, '-').c_str(), std::string(36, '-').c_str());

    for (const int machines : {1, 3, 50}) {
        Rig rig({machines, kLongInterval});
        const std::string n = std::to_string(machines);
        if (machines == 50) {
            const double cpuBefore = CpuSeconds();
            std::this_thread::sleep_for(std::chrono::seconds(30));
            const double cpu = (CpuSeconds() - cpuBefore) / 30 * 100;
            PrintRow("idle: monitoring threads, resident memory", n,
                     Format("%.0f threads, %.1f MiB", rig.Threads(), rig.ResidentKiB() / 1024.0), "");
            PrintRow("idle: CPU over 30 s", n, Format("%.3f %% of one core", cpu), "under 0.1 %");
        }
        std::vector<double> latencies = SignalLatencies(rig, 200);
        PrintRow("signal to filed, 200 signals", n, Distribution(latencies), "");
        for (double& latency : latencies)
            latency -= kBatchWindowMs;
        PrintRow("  of which above the 300 ms batch window", n, Distribution(latencies),
                 machines == 50 ? "p95 at most 20 ms" : "");
        if (machines == 50)
            PrintRow("stop, machines answering", n, Format("%.0f ms", rig.Stop()), "");
    }
    {
        Rig rig({1, kShortInterval});
        PrintRow("polling path, interval 500 ms, 40 documents", "1", Distribution(PollingLatencies(rig, 40)),
                 "interval / 2 + window on average");
    }
    for (const int feedMs : {0, 20}) {
        Rig rig({3, kLongInterval, true, std::chrono::milliseconds(feedMs)});
        const Burst burst = SignalBurst(rig);
        PrintRow(feedMs ? "burst 1000/s for 10 s, feed replies in 20 ms" : "burst 1000/s for 10 s, feed replies at once",
                 "3", Format("%.0f signals, %.0f changes", burst.signals, burst.changes), "");
        PrintRow("  events filed, lost, duplicated", "3",
                 Format("%.0f filed, %.0f lost, %.0f duplicated", burst.filed, burst.lost, burst.duplicated),
                 "no loss, no duplicate");
        PrintRow("  fetches", "3", Format("%.0f fetches", static_cast<double>(burst.fetches)),
                 "with changes, not signals");
    }
    {
        Rig rig({50, kLongInterval, false});
        PrintRow("stop, machines never answering", "50", Format("%.0f ms", rig.Stop()),
                 Format("about one time-out (%.0f ms)", kTimeoutMs));
    }
    return 0;
}
