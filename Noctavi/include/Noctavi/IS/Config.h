#ifndef NOCTAVI_IS_CONFIG_H
#define NOCTAVI_IS_CONFIG_H

#include <Noctavi/HTTP/Timeout.h>

#include <array>
#include <cstddef>

namespace IS {

// The kinds of request to a machine, each with a time-out record of its own.
enum class RequestKind {
    Feed,
    MachineSettings,
    UserInfo,
    UserList,
    DocumentDownload,
    DocumentPage, // no request uses it
    Print,
    Thumbnail,
    Subscribe,
    Unsubscribe,
    Delete,
};

// The time-out record of every kind of request, indexed by RequestKind.
class Config {
public:
    static constexpr std::size_t Count = 11;
    using Records = std::array<HTTP::Timeout, Count>;

    // Every record at the settings' defaults: 30 s to connect, send and
    // receive, one attempt.
    Config();
    explicit Config(const Records& records);

    const HTTP::Timeout& Get(RequestKind kind) const;

private:
    Records records_;
};

// Replaces the process-wide time-outs with a copy. Start-up calls it before
// any thread that makes requests exists.
void SetConfiguration(const Config& config);

// The process-wide record of one kind of request.
HTTP::Timeout GetTimeout(RequestKind kind);

} // namespace IS

#endif
