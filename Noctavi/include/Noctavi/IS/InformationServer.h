#ifndef NOCTAVI_IS_INFORMATIONSERVER_H
#define NOCTAVI_IS_INFORMATIONSERVER_H

#include <Noctavi/HTTP/Timeout.h>
#include <Noctavi/IS/MachineSettings.h>
#include <Noctavi/IS/MemoryImage.h>
#include <Noctavi/IS/PageMode.h>
#include <Noctavi/IS/User.h>
#include <Noctavi/IS/UserInfo.h>
#include <Noctavi/RSS/RSSFeed.h>

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

namespace MonitoredEntry {
class MFP;
class User;
} // namespace MonitoredEntry

namespace IS {

// The client of one machine's information server: the five XML commands, the
// user's feed, thumbnails, and the document page "/noctavi.htm" that
// downloads, prints and deletes stored documents. Requests go to the
// machine's HTTPS port over TLS when SSL is set, else to its HTTP port; a
// port that is not set is the scheme's default (443 or 80).
//
// Copies share one connection; an object serves one thread for one operation
// or a short run of them. Only Cancel may be called from another thread:
// closing a request, which every operation does as it ends, is not safe from
// another thread. Every failure of a request is an HTTP::Error (the IS::
// failures among them) but for system errors. No address that a reply
// names ever takes a request to another host than the machine's own.
class InformationServer {
public:
    // Throws what HTTP::Net's constructor throws.
    explicit InformationServer(const MonitoredEntry::MFP& machine);

    std::unique_ptr<MachineSettings> GetMachineSettings(const HTTP::Timeout& timeout) const;
    std::unique_ptr<UserInfo> GetUserInfo(const MonitoredEntry::User& user, const HTTP::Timeout& timeout) const;
    std::unique_ptr<std::vector<User>> GetUserList(const HTTP::Timeout& timeout) const;
    // Asks the machine to signal news for the user to the UDP port; gives the
    // address of the user's feed.
    std::wstring SubscribeToRSSFeed(int port, const MonitoredEntry::User& user, const HTTP::Timeout& timeout) const;
    void UnsubscribeToRSSFeed(const MonitoredEntry::User& user, const HTTP::Timeout& timeout) const;

    // The feed at the address the subscription gave (only its path and query
    // are used), fetched with the user's credentials.
    std::unique_ptr<RSS::RSSFeed> GetRSSFeed(const std::wstring& feedAddress, const MonitoredEntry::User& user,
                                             const HTTP::Timeout& timeout) const;
    // The picture at the thumbnail address (only its path and query are
    // used; "ntv=1" is added when its query lacks the key "ntv", in any
    // case), fetched with the user's credentials and decoded on first use.
    std::unique_ptr<MemoryImage> GetThumbnail(const std::wstring& thumbnailAddress, const MonitoredEntry::User& user,
                                              const HTTP::Timeout& timeout) const;

    // The "ISR" value the document page is sent with the next downloads and
    // prints: whether the machine marks the document read.
    void SetMarkRead(bool markRead);

    // Downloads the document into the file at `path`, which first gets the
    // extension of the reply's kind (see AdjustExtension). Nothing is written
    // unless the machine answers 200.
    void SaveDocument(const MonitoredEntry::User& user, std::wstring& path, const std::wstring& documentId,
                      const HTTP::Timeout& timeout) const;
    // The download in steps, for a caller that names the file once the
    // reply's kind is known: FetchDocument leaves the reply pending,
    // GetDocumentExtension tells its extension and ReceiveDocument stores it.
    void FetchDocument(const std::wstring& documentId, const MonitoredEntry::User& user) const;
    std::wstring GetDocumentExtension() const;
    void ReceiveDocument(const std::wstring& path) const;

    // HTTP::NoAuthority when the machine refuses the user.
    void PrintDocument(const MonitoredEntry::User& user, const std::wstring& documentId,
                       const HTTP::Timeout& timeout) const;
    void DeleteDocument(const MonitoredEntry::User& user, const std::wstring& documentId,
                        const HTTP::Timeout& timeout) const;

    // Thread-safe: the request in progress, on whatever thread, fails with
    // HTTP::Error within a fraction of a second, and so does every later
    // request of this object and its copies.
    void Cancel() const;

    // Opens the document page in the web browser in the given mode, at
    // "http://host:port/noctavi.htm" ("https" with SSL; no port when it is
    // the scheme's default).
    void OpenPage(const MonitoredEntry::User& user, PageMode mode) const;

private:
    struct Pimpl;
    boost::shared_ptr<Pimpl> pimpl_;
};

// The commands and requests with their records of the process-wide time-out
// table (IS::GetTimeout); the subscription names the process-wide port.
std::unique_ptr<MachineSettings> GetMachineSettings(const InformationServer& server);
std::unique_ptr<UserInfo> GetUserInfo(const InformationServer& server, const MonitoredEntry::User& user);
std::unique_ptr<std::vector<User>> GetUserList(const InformationServer& server);
std::wstring SubscribeToRSSFeed(const InformationServer& server, const MonitoredEntry::User& user);
void UnsubscribeToRSSFeed(const InformationServer& server, const MonitoredEntry::User& user);
std::unique_ptr<RSS::RSSFeed> GetRSSFeed(const InformationServer& server, const std::wstring& feedAddress,
                                         const MonitoredEntry::User& user);
std::unique_ptr<MemoryImage> GetThumbnail(const InformationServer& server, const std::wstring& thumbnailAddress,
                                          const MonitoredEntry::User& user);

} // namespace IS

#endif
