#include <Noctavi/IS/InformationServer.h>

#include <Noctavi/HTTP/Cmd.h>
#include <Noctavi/HTTP/Net.h>
#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/HTTP/Query.h>
#include <Noctavi/IS/AddressPath.h>
#include <Noctavi/IS/AnalyzeRSSFeed.h>
#include <Noctavi/IS/AuthenticateFailure.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/IS/DocumentExtension.h>
#include <Noctavi/IS/InvalidMode.h>
#include <Noctavi/IS/InvalidResponse.h>
#include <Noctavi/IS/ListenPortUnreachable.h>
#include <Noctavi/IS/MachineBusy.h>
#include <Noctavi/IS/MissingEntry.h>
#include <Noctavi/IS/MissingRSSFeed.h>
#include <Noctavi/IS/MissingUser.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/Shell.h>
#include <Noctavi/Utility/TextConversion.h>

#include <pelmo/exception.hpp>


#include <locale>
#include <utility>

namespace IS {
namespace {

using HTTP::Command::BasicNode;
using HTTP::Command::Cmd;
using HTTP::Command::ETag;
using HTTP::Command::Tag;
using HTTP::XML::Parser;
using Text = BasicNode<std::string>;

const char kDocumentPage[] = "/noctavi.htm";

int SelectedPort(const MonitoredEntry::MFP& machine)
{
    return machine.GetSSL() ? machine.GetHTTPS().value_or(443) : machine.GetHTTP().value_or(80);
}

bool IsDefaultPort(int port, bool secure)
{
    return port == (secure ? 443 : 80);
}

std::string AccountID(const MonitoredEntry::User& user)
{
    return Utility::ToNarrow(user.GetID());
}

// Closes the connection's open request when it goes, unless told to keep it.
class RequestGuard {
public:
    explicit RequestGuard(HTTP::Net& net)
        : net_(net)
    {
    }
    RequestGuard(const RequestGuard&) = delete;
    RequestGuard& operator=(const RequestGuard&) = delete;
    ~RequestGuard()
    {
        if (!kept_)
            net_.CloseRequest();
    }

    void KeepOpen() { kept_ = true; }

private:
    HTTP::Net& net_;
    bool kept_ = false;
};

Cmd Command(const std::string& word)
{
    Cmd command;
    command << Tag("REQUEST") << Text("COMMAND", word) << ETag();
    return command;
}

Cmd UserCommand(const std::string& word, const MonitoredEntry::User& user)
{
    Cmd command;
    command << Tag("REQUEST") << Text("COMMAND", word) << Tag("PARAM") << Text("USERNAME", AccountID(user)) << ETag()
            << ETag();
    return command;
}

Cmd SubscribeCommand(int port, const MonitoredEntry::User& user)
{
    Cmd command;
    command << Tag("REQUEST") << Text("COMMAND", "SUBSCRIBETOFEED") << Tag("PARAM")
            << Text("USERNAME", AccountID(user));
    command.SetPendingOption();
    command << Text("PASSWORD", Utility::ToNarrow(user.GetPassword().GetText())) << BasicNode<long>("LISTENPORT", port)
            << ETag() << ETag();
    return command;
}

void CheckResult(const Parser& reply)
{
    const Parser::Iterator found = reply.Find("RESULT");
    if (found == Parser::End())
        PELMO_THROW(InvalidResponse());
    const std::string result = (*found).GetString();
    if (result == "SUCCESS")
        return;
    if (result == "FAIL_MACHINE_BUSY")
        PELMO_THROW(MachineBusy());
    if (result == "FAIL_IS_NETWORK_MODE")
        PELMO_THROW(InvalidMode());
    if (result == "FAIL_AUTHENTICATE")
        PELMO_THROW(AuthenticateFailure());
    if (result == "FAIL_NO_FEED_REGISTERED")
        PELMO_THROW(MissingRSSFeed());
    if (result == "FAIL_LISTENPORT_UNREACHABLE")
        PELMO_THROW(ListenPortUnreachable());
    if (result == "FAIL_NO_SUCH_ENTRY")
        PELMO_THROW(MissingEntry());
    if (result == "FAIL_NO_SUCH_USER")
        PELMO_THROW(MissingUser());
    PELMO_THROW(InvalidResponse());
}

HTTP::XML::Node Required(Parser::Iterator found)
{
    if (found == Parser::End())
        PELMO_THROW(InvalidResponse());
    return *found;
}

HTTP::XML::Node Required(const Parser& reply, const std::string& name)
{
    return Required(reply.Find(name));
}

HTTP::XML::Node RequiredChild(Parser::Iterator parent, const std::string& name)
{
    return Required(Parser::Find(parent, HTTP::XML::Path{name}));
}

// A number of the reply that must be one of two values; true for the second.
bool ReadChoice(const Parser& reply, const std::string& name, long first, long second)
{
    const long value = Required(reply, name).GetDecimal();
    if (value != first && value != second)
        PELMO_THROW(InvalidResponse());
    return value == second;
}

// Whether the path's query has the key "ntv". The check is case-sensitive, as
// it always was: an address with only "NTV" still gets "ntv=1".
bool HasNtvKey(const std::string& path)
{
    for (std::size_t pair = path.find('?'); pair != std::string::npos; pair = path.find('&', pair + 1)) {
        if (path.compare(pair + 1, 4, "ntv=") == 0)
            return true;
    }
    return false;
}

// The thumbnail page wants "ntv" among its keys; the address usually has it.
std::string ThumbnailPath(const std::wstring& address)
{
    std::string path = GetAddressPath(Utility::ToNarrow(address));
    if (!HasNtvKey(path))
        path += (path.find('?') == std::string::npos ? "?" : "&") + std::string("ntv=1");
    return path;
}

// The picture format that a thumbnail reply names; empty when it names none
// that the decoder knows by name.
std::string ImageFormatOf(HTTP::Net::ContentKind kind)
{
    switch (kind) {
    case HTTP::Net::Jpeg: return "jpeg";
    case HTTP::Net::Tiff: return "tiff";
    default: return std::string();
    }
}

} // namespace

struct InformationServer::Pimpl {
    explicit Pimpl(const MonitoredEntry::MFP& machine)
        : net(Utility::ToNarrow(machine.GetHost()))
        , host(machine.GetHost())
        , port(SelectedPort(machine))
        , secure(machine.GetSSL())
    {
    }

    HTTP::Net net;
    std::wstring host;
    int port;
    bool secure;
    bool markRead = false;

    void Open(const HTTP::Timeout& timeout) { net.Open(port, secure, timeout); }
    void Authenticate(const MonitoredEntry::User& user)
    {
        net.SetCredentials(AccountID(user), Utility::ToNarrow(user.GetPassword().GetText()));
    }

    Parser Post(const std::string& path, const Cmd& command, const HTTP::Timeout& timeout);
    HTTP::Query PageQuery(PageMode mode, const std::wstring& documentId, const MonitoredEntry::User& user,
                          bool withMarkRead) const;
    void SendPage(const HTTP::Query& query) { net.Send(HTTP::Net::Fetch, kDocumentPage, &query.GetDocument()); }
    void SendWithAuthority(PageMode mode, const MonitoredEntry::User& user, const std::wstring& documentId,
                           const HTTP::Timeout& timeout, bool withMarkRead);
    std::wstring PageAddress() const;
};

// Commands carry no credentials: the password, where one is needed, is a
// parameter of the command.
Parser InformationServer::Pimpl::Post(const std::string& path, const Cmd& command, const HTTP::Timeout& timeout)
{
    Parser reply;
    Open(timeout);
    const RequestGuard request(net);
    net.Send(HTTP::Net::Submit, path, &command.GetDocument());
    net.RecvXml(reply);
    CheckResult(reply);
    return reply;
}

HTTP::Query InformationServer::Pimpl::PageQuery(PageMode mode, const std::wstring& documentId,
                                                const MonitoredEntry::User& user, bool withMarkRead) const
{
    HTTP::Query query;
    query.Add("NTV", std::to_string(static_cast<int>(mode)))
        .Add("DC", Utility::ToNarrow(documentId))
        .Add("UN", AccountID(user));
    if (withMarkRead)
        query.Add("ISR", markRead ? "1" : "0");
    return query;
}

void InformationServer::Pimpl::SendWithAuthority(PageMode mode, const MonitoredEntry::User& user,
                                                 const std::wstring& documentId, const HTTP::Timeout& timeout,
                                                 bool withMarkRead)
{
    const HTTP::Query query = PageQuery(mode, documentId, user, withMarkRead);
    Open(timeout);
    const RequestGuard request(net);
    Authenticate(user);
    SendPage(query);
}

std::wstring InformationServer::Pimpl::PageAddress() const
{
    std::wstring address = (secure ? L"https://" : L"http://") + host;
    if (!IsDefaultPort(port, secure))
        address += L":" + std::to_wstring(port);
    return address + Utility::ToWide(kDocumentPage);
}

InformationServer::InformationServer(const MonitoredEntry::MFP& machine)
    : pimpl_(new Pimpl(machine))
{
}

std::unique_ptr<MachineSettings> InformationServer::GetMachineSettings(const HTTP::Timeout& timeout) const
{
    const Parser reply = pimpl_->Post("/cgi-bin/GetMachineSettings.cgi", Command("GETMACHINESETTINGS"), timeout);
    const bool securityPolicy = ReadChoice(reply, "SECURITYPOLICY", 1, 2);
    const bool guestLogin = ReadChoice(reply, "GUESTLOGIN", 0, 1);
    return std::make_unique<MachineSettings>(Required(reply, "MACHINENAME").GetText(), securityPolicy, guestLogin);
}

std::unique_ptr<UserInfo> InformationServer::GetUserInfo(const MonitoredEntry::User& user,
                                                         const HTTP::Timeout& timeout) const
{
    const Parser reply = pimpl_->Post("/cgi-bin/GetUserInfo.cgi", UserCommand("GETUSERINFO", user), timeout);
    return std::make_unique<UserInfo>(Required(reply, "DISPLAYNAME").GetText());
}

// The count only tells an empty list apart; the users are what the reply
// holds, so a count that lies costs nothing, but one that promises users
// where there are none marks a reply gone wrong. Names shown to the user may
// be empty; the account ID may not.
std::unique_ptr<std::vector<User>> InformationServer::GetUserList(const HTTP::Timeout& timeout) const
{
    const Parser reply = pimpl_->Post("/cgi-bin/GetUserList.cgi", Command("GETUSERLIST"), timeout);
    auto users = std::make_unique<std::vector<User>>();
    const long count = Required(reply, "COUNT").GetDecimal();
    if (count == 0)
        return users;
    const Parser::Iterator first = reply.Find("USER");
    if (count > 0 && first == Parser::End())
        PELMO_THROW(InvalidResponse());
    long number = 0;
    for (Parser::Iterator user = first; user != Parser::End(); ++user) {
        std::string displayName = RequiredChild(user, "DISPLAYNAME").GetText();
        std::string userName = RequiredChild(user, "USERNAME").GetString();
        users->emplace_back(++number, std::move(displayName), std::move(userName));
    }
    return users;
}

std::wstring InformationServer::SubscribeToRSSFeed(int port, const MonitoredEntry::User& user,
                                                   const HTTP::Timeout& timeout) const
{
    const Parser reply = pimpl_->Post("/cgi-bin/SubscribeToFeed.cgi", SubscribeCommand(port, user), timeout);
    return Utility::ToWide(Required(reply, "FEEDRSS").GetString());
}

void InformationServer::UnsubscribeToRSSFeed(const MonitoredEntry::User& user, const HTTP::Timeout& timeout) const
{
    pimpl_->Post("/cgi-bin/UnSubscribeToFeed.cgi", UserCommand("UNSUBSCRIBETOFEED", user), timeout);
}

std::unique_ptr<RSS::RSSFeed> InformationServer::GetRSSFeed(const std::wstring& feedAddress,
                                                            const MonitoredEntry::User& user,
                                                            const HTTP::Timeout& timeout) const
{
    Parser reply;
    {
        pimpl_->Open(timeout);
        const RequestGuard request(pimpl_->net);
        pimpl_->Authenticate(user);
        pimpl_->net.Send(HTTP::Net::Fetch, GetAddressPath(Utility::ToNarrow(feedAddress)));
        pimpl_->net.RecvXml(reply);
    }
    return AnalyzeRSSFeed()(reply);
}

std::unique_ptr<MemoryImage> InformationServer::GetThumbnail(const std::wstring& thumbnailAddress,
                                                             const MonitoredEntry::User& user,
                                                             const HTTP::Timeout& timeout) const
{
    const std::string path = ThumbnailPath(thumbnailAddress);
    pimpl_->Open(timeout);
    const RequestGuard request(pimpl_->net);
    pimpl_->Authenticate(user);
    pimpl_->net.Send(HTTP::Net::Fetch, path);
    auto bytes = pimpl_->net.Recv();
    return std::make_unique<MemoryImage>(std::move(bytes), ImageFormatOf(pimpl_->net.GetContentKind()));
}

void InformationServer::Cancel() const
{
    pimpl_->net.Cancel();
}

void InformationServer::SetMarkRead(bool markRead)
{
    pimpl_->markRead = markRead;
}

void InformationServer::SaveDocument(const MonitoredEntry::User& user, std::wstring& path,
                                     const std::wstring& documentId, const HTTP::Timeout& timeout) const
{
    const HTTP::Query query = pimpl_->PageQuery(PageMode::Download, documentId, user, true);
    pimpl_->Open(timeout);
    const RequestGuard request(pimpl_->net);
    pimpl_->SendPage(query);
    AdjustExtension(path, GetContentExtension(pimpl_->net.GetContentKind()));
    pimpl_->net.RecvAndSaveFile(Utility::ToNarrow(path));
}

void InformationServer::FetchDocument(const std::wstring& documentId, const MonitoredEntry::User& user) const
{
    const HTTP::Query query = pimpl_->PageQuery(PageMode::Download, documentId, user, true);
    pimpl_->Open(GetTimeout(RequestKind::DocumentDownload));
    RequestGuard request(pimpl_->net);
    pimpl_->SendPage(query);
    request.KeepOpen();
}

std::wstring InformationServer::GetDocumentExtension() const
{
    return GetContentExtension(pimpl_->net.GetContentKind());
}

void InformationServer::ReceiveDocument(const std::wstring& path) const
{
    const RequestGuard request(pimpl_->net);
    pimpl_->net.RecvAndSaveFile(Utility::ToNarrow(path));
}

void InformationServer::PrintDocument(const MonitoredEntry::User& user, const std::wstring& documentId,
                                      const HTTP::Timeout& timeout) const
{
    pimpl_->SendWithAuthority(PageMode::Print, user, documentId, timeout, true);
}

// The machine takes no mark-read choice with a delete.
void InformationServer::DeleteDocument(const MonitoredEntry::User& user, const std::wstring& documentId,
                                       const HTTP::Timeout& timeout) const
{
    pimpl_->SendWithAuthority(PageMode::Delete, user, documentId, timeout, false);
}

void InformationServer::OpenPage(const MonitoredEntry::User& user, PageMode mode) const
{
    HTTP::Query query;
    query.Add("NTV", std::to_string(static_cast<int>(mode))).Add("UN", AccountID(user));
    System::OpenURLWithQuery(query.ToString(), pimpl_->PageAddress());
}

std::unique_ptr<MachineSettings> GetMachineSettings(const InformationServer& server)
{
    return server.GetMachineSettings(GetTimeout(RequestKind::MachineSettings));
}

std::unique_ptr<UserInfo> GetUserInfo(const InformationServer& server, const MonitoredEntry::User& user)
{
    return server.GetUserInfo(user, GetTimeout(RequestKind::UserInfo));
}

std::unique_ptr<std::vector<User>> GetUserList(const InformationServer& server)
{
    return server.GetUserList(GetTimeout(RequestKind::UserList));
}

std::wstring SubscribeToRSSFeed(const InformationServer& server, const MonitoredEntry::User& user)
{
    return server.SubscribeToRSSFeed(GetConfigLimits().Port, user, GetTimeout(RequestKind::Subscribe));
}

void UnsubscribeToRSSFeed(const InformationServer& server, const MonitoredEntry::User& user)
{
    server.UnsubscribeToRSSFeed(user, GetTimeout(RequestKind::Unsubscribe));
}

std::unique_ptr<RSS::RSSFeed> GetRSSFeed(const InformationServer& server, const std::wstring& feedAddress,
                                         const MonitoredEntry::User& user)
{
    return server.GetRSSFeed(feedAddress, user, GetTimeout(RequestKind::Feed));
}

std::unique_ptr<MemoryImage> GetThumbnail(const InformationServer& server, const std::wstring& thumbnailAddress,
                                          const MonitoredEntry::User& user)
{
    return server.GetThumbnail(thumbnailAddress, user, GetTimeout(RequestKind::Thumbnail));
}

} // namespace IS
