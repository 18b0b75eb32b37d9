// Measures what an event costs a machine that is slow to take a connection
// (each new connection held 150 ms: the TCP accept over HTTP, the TLS
// handshake over HTTPS) and asks for Digest credentials for feeds and
// thumbnails: connections, TLS handshakes, challenges and requests per event,
// and the time from the machine's signal until a pop-up could show (the event
// filed and its thumbnail fetched). Start-up (the subscription, the first
// fetch and its event's thumbnail) is counted apart from the events that
// follow, one at a time and well within a minute of each other.
//
//   bench_MachineCost     (build with -DCMAKE_BUILD_TYPE=Release; takes about a minute)

#include <Noctavi/HTTP/Net.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/MachineEvent/DetectedEventManager.h>
#include <Noctavi/MachineEvent/NotifiableEventManager.h>
#include <Noctavi/Monitor/EventMonitorManager.h>
#include <Noctavi/Monitor/EventSignalReceiver.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EventLog.h>
#include <Noctavi/MonitoredEntry/ModelLock.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/PngPicture.h>

#include <boost/filesystem/operations.hpp>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using ID = BasicID<long>;
using Milliseconds = std::chrono::duration<double, std::milli>;

const int kBatchWindowMs = 300;
const int kEvents = 40;
const std::chrono::milliseconds kHandshakeDelay(150);
const char kAccount[] = "user";
const char kPassword[] = "s3cret";

void UseSignalPort(int port)
{
    ConfigLimits limits;
    limits.Port = port;
    limits.EntryMax = 1;
    limits.EventLogMaxLimit = 100;
    limits.RegularCheckInterval = ConfigLimits::Range(1000, 3600000);
    SetConfigLimits(limits);
    IS::Config::Records records;
    records.fill(HTTP::Timeout{5000, 1, 5000, 5000});
    IS::SetConfiguration(IS::Config(records));
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<std::size_t>(p / 100 * (values.size() - 1) + 0.5)];
}

// What the machine counted, and the requests it logged.
struct Cost {
    double connections = 0, handshakes = 0, challenges = 0, requests = 0;

    static Cost Of(const support::FakeMachine& machine)
    {
        const support::MachineCounters counted = machine.Counters();
        return {double(counted.connections), double(counted.handshakes), double(counted.challenges),
                double(machine.Requests().size())};
    }

    Cost PerEvent(const Cost& before, int events) const
    {
        return {(connections - before.connections) / events, (handshakes - before.handshakes) / events,
                (challenges - before.challenges) / events, (requests - before.requests) / events};
    }
};

// Monitoring of one entry on one slow machine, as the main window composes
// it; each filed event has its thumbnail fetched, as the pop-up does first.
class Road : public MachineEvent::NotifiableEventManager {
public:
    explicit Road(bool secure)
        : server_(support::FakeMachine::Options(secure ? "127.0.0.61" : "127.0.0.60",
                                                secure ? std::optional(support::SelfSignedCertificate("127.0.0.61"))
                                                       : std::nullopt))
    {
        server_.SetAuthentication(support::Credentials::Scheme::Digest);
        server_.AddAccount({kAccount, "User", kPassword});
        server_.Machine().SetHandshakeDelay(kHandshakeDelay);
        Publish("start");
        UseSignalPort(0);
        Add(secure);
        receiver_ = std::make_unique<Monitor::EventSignalReceiver>();
        UseSignalPort(receiver_->GetPort());
        receiver_->Attach(&events_);
        receiver_->Start();
        detected_.SetNotifiable(this);
        detected_.Start();
        events_.Start(model_);
    }

    ~Road() override
    {
        receiver_->Stop();
        receiver_->Detach(&events_);
        events_.Interrupt();
        events_.Stop();
        detected_.Join();
        detected_.ResetNotifiable();
    }

    void Notify(ID entry, ID event) override
    {
        MonitoredEntry::MFP machine;
        MonitoredEntry::User user;
        std::wstring thumbnail, title;
        {
            MonitoredEntry::ModelLock lock(model_);
            const MonitoredEntry::Entry& found = model_.GetEntryDB().GetEntry(entry);
            machine = found.GetProperty().GetMFP();
            user = found.GetProperty().GetUser();
            const MonitoredEntry::Event logged = found.GetSharedEventLog()->GetEvent(event);
            const MonitoredEntry::EventProperty& property = logged.GetProperty();
            thumbnail = property.GetThumbNailURL().value_or(L"");
            title = property.GetInfo();
        }
        IS::GetThumbnail(IS::InformationServer(machine), thumbnail, user);
        const std::lock_guard<std::mutex> lock(mutex_);
        readyAt_[title] = Clock::now();
        ready_.notify_all();
    }

    void Publish(const std::string& document)
    {
        support::StoredDocument stored;
        stored.id = stored.title = document;
        stored.owner = kAccount;
        stored.thumbnail = thumbnail_;
        server_.AddDocument(stored);
    }

    // When the document's pop-up could show; the deadline when it could not.
    Clock::time_point WaitReady(const std::string& document)
    {
        const std::wstring title = Utility::ToWide(document);
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait_for(lock, std::chrono::seconds(20), [&] { return readyAt_.count(title) > 0; });
        return readyAt_.count(title) ? readyAt_[title] : Clock::now();
    }

    void Signal() { server_.SendSignal(kAccount); }
    Cost Counted() { return Cost::Of(server_.Machine()); }

private:
    void Add(bool secure)
    {
        const std::uint16_t port = server_.Machine().Port();
        const MonitoredEntry::EntryProperty property(
            true,
            MonitoredEntry::MFP(boost::none, Utility::ToWide(server_.Machine().Address()),
                                secure ? boost::none : boost::optional<int>(port),
                                secure ? boost::optional<int>(port) : boost::none, secure),
            MonitoredEntry::User(boost::none, Utility::ToWide(kAccount),
                                 MonitoredEntry::Password(Utility::ToWide(kPassword))),
            MonitoredEntry::Config(100, 3600000, true, 0, false, false));
        MonitoredEntry::EntryManager::Transaction transaction(model_);
        transaction.Append(property);
        transaction.Commit();
    }

    const std::string thumbnail_ = support::PngPicture(64, 48);
    support::FakeInformationServer server_;
    MonitoredEntry::EntryManager model_;
    MachineEvent::DetectedEventQueue queue_{50};
    MachineEvent::DetectedEventManager detected_{model_, queue_};
    Monitor::EventMonitorManager events_{queue_};
    std::unique_ptr<Monitor::EventSignalReceiver> receiver_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<std::wstring, Clock::time_point> readyAt_;
};

void PrintRow(const char* road, const char* phase, const Cost& cost, const std::string& latency)
{
    std::printf("| %-5s | %-31s | %11.2f | %10.2f | %10.2f | %8.2f | %-26s |\n", road, phase, cost.connections,
                cost.handshakes, cost.challenges, cost.requests, latency.c_str());
}

void Measure(bool secure)
{
    const char* name = secure ? "HTTPS" : "HTTP";
    Road road(secure);
    const Clock::time_point started = Clock::now();
    const double startMs = Milliseconds(road.WaitReady("start") - started).count();
    const Cost atStart = road.Counted();
    PrintRow(name, "start-up to first pop-up ready", atStart, std::to_string(int(startMs)) + " ms");
    std::vector<double> latencies;
    for (int n = 0; n < kEvents; ++n) {
        const std::string document = "event-" + std::to_string(n);
        road.Publish(document);
        const Clock::time_point sent = Clock::now();
        road.Signal();
        latencies.push_back(Milliseconds(road.WaitReady(document) - sent).count() - kBatchWindowMs);
    }
    char latency[64];
    std::snprintf(latency, sizeof latency, "%.0f / %.0f ms", Percentile(latencies, 50), Percentile(latencies, 95));
    PrintRow(name, "each later event (per event)", road.Counted().PerEvent(atStart, kEvents), latency);
}

} // namespace

int main()
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const boost::filesystem::path pins = boost::filesystem::temp_directory_path() /
                                         boost::filesystem::unique_path("bench-machine-cost-%%%%%%%%");
    HTTP::Net::SetKnownMachinesFolder(pins.string());
    std::printf("A slow machine (new connections held %d ms), Digest credentials, %d events one at a time.\n"
                "Latency: signal to pop-up ready (event filed, thumbnail fetched) beyond the %d ms batch window, "
                "p50 / p95.\n\n",
                int(kHandshakeDelay.count()), kEvents, kBatchWindowMs);
    std::printf("| road  | %-31s | connections | handshakes | challenges | requests | %-26s |\n", "phase",
                "latency beyond the window");
    std::printf("|-------|%s|-------------|------------|------------|----------|%s|\n", std::string(33, '-').c_str(),
                std::string(28, '-').c_str());
    Measure(false);
    Measure(true);
    boost::system::error_code ignored;
    boost::filesystem::remove_all(pins, ignored);
    return 0;
}
