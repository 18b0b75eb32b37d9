#ifndef NOCTAVI_HTTP_NET_H
#define NOCTAVI_HTTP_NET_H

#include <Noctavi/HTTP/Timeout.h>

#include <boost/core/noncopyable.hpp>

#include <memory>
#include <string>
#include <vector>

namespace transport {
class connection;
}

namespace HTTP {

class Mcmd;
namespace XML {
class Parser;
}

// One HTTP or HTTPS connection to one machine. An exchange: Open, optionally
// SetCredentials, Send, read the reply with Recv, RecvXml or RecvAndSaveFile
// (or not at all), CloseRequest. A new Open closes a request still open.
//
// Every failure of a request is an HTTP::Error; status 403 is NoAuthority and
// every status but 200 and 403 is ServerError (redirects are not followed).
class Net : private boost::noncopyable {
public:
    enum MethodTag {
        Fetch = 0,  // GET of the path, plus the query document when one is given
        Submit = 1, // POST of the command document as XML
    };

    enum ContentKind { Jpeg = 0, Pdf = 1, Tiff = 2, Xml = 3, Other = 4 };

    // HTTP::Error when the host name is not acceptable; pelmo::system_error
    // when the system cannot provide a connection.
    explicit Net(const std::string& host);
    ~Net();

    // Send and receive time-outs are inactivity limits; the retry count is
    // the number of connection attempts. A time-out of 0 sets no limit.
    void Open(int port, bool secure, const Timeout& timeout);
    // For the open request only; after Open, before Send.
    void SetCredentials(const std::string& accountId, const std::string& password);
    void Send(MethodTag method, const std::string& path, const Mcmd* body = nullptr);

    std::unique_ptr<std::vector<unsigned char>> Recv();
    // InvalidResponse when the reply is not XML.
    void RecvXml(XML::Parser& parser);
    // The file appears only once the whole body is stored.
    void RecvAndSaveFile(const std::string& path);
    ContentKind GetContentKind() const;

    void CloseRequest();

    // Thread-safe: the call in progress fails with HTTP::Error within a
    // fraction of a second, and so does every later request.
    void Cancel();

    // Where the keys of machines' self-signed certificates are recorded.
    static void SetKnownMachinesFolder(const std::string& folder);

private:
    std::unique_ptr<transport::connection> connection_;
    bool requestOpen_ = false;
};

} // namespace HTTP

#endif
