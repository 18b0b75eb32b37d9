#include <Noctavi/Monitor/EventSignalReceiver.h>

#include <Noctavi/Monitor/EventSignal.h>
#include <Noctavi/Monitor/EventSignalObserver.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/Trace.h>

#include <pelmo/exception.hpp>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/make_shared.hpp>
#include <boost/system/system_error.hpp>
#include <boost/thread/condition_variable.hpp>
#include <boost/thread/locks.hpp>
#include <boost/thread/mutex.hpp>
#include <boost/thread/thread.hpp>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace Monitor {

namespace {

using boost::asio::ip::udp;

const int kThreadCount = 3;
// The pause after a failed receive, so that a lasting error cannot spin.
const std::chrono::milliseconds kBackOff(200);

// A setting beyond the port numbers fails like a port that cannot be bound,
// rather than binding another port that it wraps to.
unsigned short ListenPort()
{
    const int port = GetConfigLimits().Port;
    if (port < 0 || port > 65535)
        PELMO_THROW(boost::system::system_error(make_error_code(boost::system::errc::invalid_argument)));
    return static_cast<unsigned short>(port);
}

} // namespace

// One receive at a time is outstanding (or its back-off), so at most one
// handler runs at a time; `armed` tells whether one is, and so keeps a restart
// from starting a second receive into the same buffer.
struct EventSignalReceiver::Pimpl {
    Pimpl()
        : socket(io)
        , backOff(io)
    {
        socket.open(udp::v4());
        socket.bind(udp::endpoint(boost::asio::ip::address_v4::any(), ListenPort()));
    }

    boost::asio::io_context io;
    udp::socket socket;
    boost::asio::steady_timer backOff;
    udp::endpoint sender;
    char buffer[1];

    // Serialises Start and Stop; no handler ever takes it.
    boost::mutex controlMutex;
    boost::mutex mutex;
    boost::condition_variable callEnded;
    std::vector<EventSignalObserver*> observers;
    EventSignalObserver* calling = nullptr;
    bool armed = false;
    bool started = false;
    std::unique_ptr<boost::thread_group> threads;

    void Arm();
    void OnReceive(const boost::system::error_code& failure, std::size_t bytes);
    void BackOff();
    void Deliver(const EventSignal& signal);
    bool BeginCall(EventSignalObserver* observer);
    void EndCall();

    // Ends the call to an observer however the call ends.
    struct CallEnd {
        explicit CallEnd(Pimpl& owner)
            : receiver(owner)
        {
        }
        CallEnd(const CallEnd&) = delete;
        CallEnd& operator=(const CallEnd&) = delete;
        ~CallEnd() { receiver.EndCall(); }

        Pimpl& receiver;
    };
    void RunThreads();
};

void EventSignalReceiver::Pimpl::Arm()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    if (armed)
        return;
    armed = true;
    socket.async_receive_from(boost::asio::buffer(buffer), sender,
                              [this](const boost::system::error_code& failure, std::size_t bytes) {
                                  OnReceive(failure, bytes);
                              });
}

void EventSignalReceiver::Pimpl::OnReceive(const boost::system::error_code& failure, std::size_t bytes)
{
    const boost::asio::ip::address from = sender.address();
    {
        boost::lock_guard<boost::mutex> lock(mutex);
        armed = false;
    }
    // Aborted only when the socket closes: the receiver is going.
    if (failure == boost::asio::error::operation_aborted)
        return;
    if (failure) {
        BackOff();
        return;
    }
    if (bytes > 0)
        Deliver(EventSignal(from));
    Arm();
}

void EventSignalReceiver::Pimpl::BackOff()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    armed = true;
    backOff.expires_after(kBackOff);
    backOff.async_wait([this](const boost::system::error_code& failure) {
        {
            boost::lock_guard<boost::mutex> lock(mutex);
            armed = false;
        }
        if (failure != boost::asio::error::operation_aborted)
            Arm();
    });
}

// Observers are called with no lock held, since one may resolve a host name
// for a long while; the list is copied, and each observer is called only if
// it is still attached.
void EventSignalReceiver::Pimpl::Deliver(const EventSignal& signal)
{
    std::vector<EventSignalObserver*> listed;
    {
        boost::lock_guard<boost::mutex> lock(mutex);
        listed = observers;
    }
    for (EventSignalObserver* observer : listed) {
        if (!BeginCall(observer))
            continue;
        const CallEnd end(*this);
        try {
            observer->OnSignal(signal);
        } catch (const boost::thread_interrupted&) {
            throw;
        } catch (...) {
            Utility::TraceFailure(Utility::kTraceMonitor, "an observer failed on a signal");
        }
    }
}

bool EventSignalReceiver::Pimpl::BeginCall(EventSignalObserver* observer)
{
    boost::lock_guard<boost::mutex> lock(mutex);
    if (std::find(observers.begin(), observers.end(), observer) == observers.end())
        return false;
    calling = observer;
    return true;
}

void EventSignalReceiver::Pimpl::EndCall()
{
    boost::lock_guard<boost::mutex> lock(mutex);
    calling = nullptr;
    callEnded.notify_all();
}

// An interruption ends the thread; nothing else escapes a handler.
void EventSignalReceiver::Pimpl::RunThreads()
{
    std::unique_ptr<boost::thread_group> group(new boost::thread_group);
    try {
        for (int i = 0; i < kThreadCount; ++i) {
            group->create_thread([this] {
                try {
                    io.run();
                } catch (...) {
                    Utility::TraceFailure(Utility::kTraceMonitor, "a signal receiver thread ended in a failure");
                }
            });
        }
    } catch (...) {
        io.stop();
        group->join_all();
        throw;
    }
    boost::lock_guard<boost::mutex> lock(mutex);
    threads = std::move(group);
    started = true;
}

EventSignalReceiver::EventSignalReceiver()
    : pimpl_(boost::make_shared<Pimpl>())
{
}

EventSignalReceiver::~EventSignalReceiver()
{
    try {
        Stop();
    } catch (...) {
        Utility::TraceFailure(Utility::kTraceMonitor, "the event signal receiver could not stop");
    }
}

bool EventSignalReceiver::Attach(EventSignalObserver* observer)
{
    boost::lock_guard<boost::mutex> lock(pimpl_->mutex);
    std::vector<EventSignalObserver*>& observers = pimpl_->observers;
    if (std::find(observers.begin(), observers.end(), observer) != observers.end())
        return false;
    observers.push_back(observer);
    return true;
}

bool EventSignalReceiver::Detach(EventSignalObserver* observer)
{
    Pimpl& self = *pimpl_;
    boost::unique_lock<boost::mutex> lock(self.mutex);
    const auto found = std::find(self.observers.begin(), self.observers.end(), observer);
    if (found == self.observers.end())
        return false;
    self.observers.erase(found);
    self.callEnded.wait(lock, [&] { return self.calling != observer; });
    return true;
}

void EventSignalReceiver::Start()
{
    Pimpl& self = *pimpl_;
    boost::lock_guard<boost::mutex> control(self.controlMutex);
    {
        boost::lock_guard<boost::mutex> lock(self.mutex);
        if (self.started)
            return;
    }
    self.io.restart();
    self.Arm();
    self.RunThreads();
}

// The threads are joined with no lock held that a handler takes.
void EventSignalReceiver::Stop()
{
    Pimpl& self = *pimpl_;
    boost::lock_guard<boost::mutex> control(self.controlMutex);
    std::unique_ptr<boost::thread_group> threads;
    {
        boost::lock_guard<boost::mutex> lock(self.mutex);
        if (!self.started)
            return;
        self.started = false;
        threads = std::move(self.threads);
    }
    self.io.stop();
    threads->interrupt_all();
    threads->join_all();
}

int EventSignalReceiver::GetPort() const
{
    return pimpl_->socket.local_endpoint().port();
}

} // namespace Monitor
