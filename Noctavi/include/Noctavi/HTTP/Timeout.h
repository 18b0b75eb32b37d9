#ifndef NOCTAVI_HTTP_TIMEOUT_H
#define NOCTAVI_HTTP_TIMEOUT_H

namespace HTTP {

// The limits of one kind of request to a machine, in the order the transport
// takes them. Times are in milliseconds.
struct Timeout {
    int ConnectTimeout = 0;
    int RetryCount = 0;
    int SendTimeout = 0;
    int ReceiveTimeout = 0;
};

inline bool operator==(const Timeout& a, const Timeout& b)
{
    return a.ConnectTimeout == b.ConnectTimeout && a.RetryCount == b.RetryCount && a.SendTimeout == b.SendTimeout
        && a.ReceiveTimeout == b.ReceiveTimeout;
}

inline bool operator!=(const Timeout& a, const Timeout& b)
{
    return !(a == b);
}

} // namespace HTTP

#endif
