#include <Noctavi/UI/EndSessionSignals.h>

#include <Noctavi/System/SystemError.h>

#include <pelmo/exception.hpp>
#include <pelmo/unique_fd.hpp>

#include <boost/make_shared.hpp>

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace UI {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

std::atomic<int> g_writeEnd{-1};

extern "C" void WriteSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe holds a wake-up already.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd.load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

struct EndSessionSignals::Pimpl {
    Pimpl()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
            PELMO_THROW(SystemError());
        readEnd = pelmo::unique_fd(ends[0]);
        writeEnd = pelmo::unique_fd(ends[1]);
        g_writeEnd = writeEnd.get();
    }

    ~Pimpl()
    {
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            if (installed[i])
                ::sigaction(kSignals[i], &previous[i], nullptr);
        }
        g_writeEnd = -1;
    }

    void Install()
    {
        struct sigaction action {};
        action.sa_handler = &WriteSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < kSignals.size(); ++i) {
            if (::sigaction(kSignals[i], &action, &previous[i]) != 0)
                PELMO_THROW(SystemError());
            installed[i] = true;
        }
    }

    void Drain() const
    {
        char bytes[64];
        while (::read(readEnd.get(), bytes, sizeof bytes) > 0) {
        }
    }

    pelmo::unique_fd readEnd;
    pelmo::unique_fd writeEnd;
    std::array<struct sigaction, kSignals.size()> previous{};
    std::array<bool, kSignals.size()> installed{};
    std::unique_ptr<QSocketNotifier> notifier;
};

EndSessionSignals::EndSessionSignals()
    : pimpl_(boost::make_shared<Pimpl>())
{
    pimpl_->notifier = std::make_unique<QSocketNotifier>(pimpl_->readEnd.get(), QSocketNotifier::Read);
    connect(pimpl_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        pimpl_->Drain();
        Q_EMIT Received();
    });
    pimpl_->Install();
}

EndSessionSignals::~EndSessionSignals() = default;

} // namespace UI
