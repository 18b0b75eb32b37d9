#include <support/FakeInformationServer.h>

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <mutex>
#include <sstream>

namespace support {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::string Escaped(const std::string& text)
{
    std::string result;
    for (char c : text) {
        switch (c) {
        case '&': result += "&amp;"; break;
        case '<': result += "&lt;"; break;
        case '>': result += "&gt;"; break;
        case '"': result += "&quot;"; break;
        default: result += c;
        }
    }
    return result;
}

std::string PercentEncoded(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            result += static_cast<char>(c);
        } else {
            result += '%';
            result += hex[c >> 4];
            result += hex[c & 0x0F];
        }
    }
    return result;
}

std::string Element(const std::string& name, const std::string& text)
{
    return '<' + name + '>' + Escaped(text) + "</" + name + '>';
}

Reply Status(int status)
{
    return Reply(status, "text/html", "<html><body>" + std::to_string(status) + "</body></html>");
}

Reply Response(const std::string& result, const std::string& elements = std::string())
{
    return Reply(200, "text/xml; charset=UTF-8",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RESPONSE>" + Element("RESULT", result) + elements +
                     "</RESPONSE>\n");
}

std::vector<std::string> KeysOf(const Pairs& pairs)
{
    std::vector<std::string> keys;
    for (const auto& pair : pairs)
        keys.push_back(pair.first);
    return keys;
}

std::optional<long> Number(const std::string& text)
{
    long value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A command as the machine reads it: its word and the PARAM children in order.
struct Command {
    std::string word;
    Pairs params;
    bool hasParam = false;
};

std::optional<Command> ReadCommand(const RecordedRequest& request)
{
    if (request.method != "POST" || request.contentType.rfind("text/xml", 0) != 0)
        return std::nullopt;
    namespace pt = boost::property_tree;
    pt::ptree document;
    try {
        std::istringstream body(request.body);
        pt::read_xml(body, document);
    } catch (const pt::xml_parser_error&) {
        return std::nullopt;
    }
    const auto root = document.get_child_optional("REQUEST");
    if (document.size() != 1 || !root)
        return std::nullopt;
    Command command;
    for (const auto& [name, child] : *root) {
        if (name == "COMMAND" && command.word.empty() && !command.hasParam) {
            command.word = child.data();
        } else if (name == "PARAM" && !command.word.empty() && !command.hasParam) {
            command.hasParam = true;
            for (const auto& [key, value] : child)
                command.params.emplace_back(key, value.data());
        } else {
            return std::nullopt;
        }
    }
    return command;
}

struct CommandShape {
    const char* path;
    const char* word;
    std::vector<std::string> params;
};

const CommandShape kCommands[] = {
    {"/cgi-bin/GetMachineSettings.cgi", "GETMACHINESETTINGS", {}},
    {"/cgi-bin/GetUserInfo.cgi", "GETUSERINFO", {"USERNAME"}},
    {"/cgi-bin/GetUserList.cgi", "GETUSERLIST", {}},
    {"/cgi-bin/SubscribeToFeed.cgi", "SUBSCRIBETOFEED", {"USERNAME", "PASSWORD", "LISTENPORT"}},
    {"/cgi-bin/UnSubscribeToFeed.cgi", "UNSUBSCRIBETOFEED", {"USERNAME"}},
};

// Commands without parameters carry no PARAM at all.
bool HasShape(const Command& command, const CommandShape& shape)
{
    return command.word == shape.word && command.hasParam == !shape.params.empty() &&
           KeysOf(command.params) == shape.params;
}

} // namespace

// Where a subscribed user's client is to be signalled.
struct Subscriber {
    long port;
    std::string client;
};

struct FakeInformationServer::State {
    std::string base;
    const FakeMachine* machine = nullptr;
    mutable std::mutex mutex;
    Credentials::Scheme authentication = Credentials::Scheme::Basic;
    MachineIdentity identity;
    std::map<std::string, MachineAccount> accounts;
    std::vector<StoredDocument> documents;
    std::map<std::string, Subscriber> subscriptions;
    std::vector<std::string> printed;
    std::optional<std::string> forcedResult;

    std::string FeedAddress(const std::string& account) const { return base + "/rss/" + account + ".xml"; }
    std::string ThumbnailAddress(const std::string& id) const
    {
        return base + "/thumbnail.htm?DC=" + PercentEncoded(id);
    }

    StoredDocument* FindDocument(const std::string& id)
    {
        const auto found =
            std::find_if(documents.begin(), documents.end(), [&](const StoredDocument& d) { return d.id == id; });
        return found == documents.end() ? nullptr : &*found;
    }

    bool Authenticated(const RecordedRequest& request, const std::string& account) const
    {
        const auto found = accounts.find(account);
        return found != accounts.end() &&
               machine->Authenticates(request, Credentials{authentication, account, found->second.password});
    }

    Reply Unauthorized() const { return machine->Challenge(authentication); }

    Reply AnswerCommand(const CommandShape& shape, const RecordedRequest& request);
    Reply Answer(const Command& command, const std::string& client);
    Reply UserInfo(const std::string& account) const;
    Reply UserList() const;
    Reply Subscribe(const std::string& account, const std::string& password, const std::string& port,
                    const std::string& client);
    Reply Unsubscribe(const std::string& account);

    Reply Feed(const std::string& account, const RecordedRequest& request) const;
    std::string Item(const StoredDocument& document) const;
    Reply Thumbnail(const RecordedRequest& request);
    Reply DocumentPage(const RecordedRequest& request);
    Reply Download(const Pairs& query);
    Reply Print(const Pairs& query, const RecordedRequest& request);
    Reply Delete(const Pairs& query, const RecordedRequest& request);
};

Reply FakeInformationServer::State::AnswerCommand(const CommandShape& shape, const RecordedRequest& request)
{
    const std::optional<Command> command = ReadCommand(request);
    if (!command || !HasShape(*command, shape))
        return Status(400);
    const std::lock_guard<std::mutex> lock(mutex);
    if (forcedResult)
        return Response(*forcedResult);
    return Answer(*command, request.client);
}

Reply FakeInformationServer::State::Answer(const Command& command, const std::string& client)
{
    const auto param = [&](std::size_t i) { return command.params[i].second; };
    if (command.word == "GETMACHINESETTINGS")
        return Response("SUCCESS", Element("SECURITYPOLICY", std::to_string(identity.securityPolicy)) +
                                       Element("GUESTLOGIN", std::to_string(identity.guestLogin)) +
                                       Element("MACHINENAME", identity.name));
    if (command.word == "GETUSERINFO")
        return UserInfo(param(0));
    if (command.word == "GETUSERLIST")
        return UserList();
    if (command.word == "SUBSCRIBETOFEED")
        return Subscribe(param(0), param(1), param(2), client);
    return Unsubscribe(param(0));
}

Reply FakeInformationServer::State::UserInfo(const std::string& account) const
{
    const auto found = accounts.find(account);
    if (found == accounts.end())
        return Response("FAIL_NO_SUCH_USER");
    return Response("SUCCESS", Element("DISPLAYNAME", found->second.displayName));
}

Reply FakeInformationServer::State::UserList() const
{
    std::string users;
    for (const auto& [id, account] : accounts)
        users += "<USER>" + Element("DISPLAYNAME", account.displayName) + Element("USERNAME", id) + "</USER>";
    return Response("SUCCESS", Element("COUNT", std::to_string(accounts.size())) + users);
}

Reply FakeInformationServer::State::Subscribe(const std::string& account, const std::string& password,
                                              const std::string& port, const std::string& client)
{
    const auto found = accounts.find(account);
    if (found == accounts.end())
        return Response("FAIL_NO_SUCH_USER");
    if (found->second.password != password)
        return Response("FAIL_AUTHENTICATE");
    const std::optional<long> listenPort = Number(port);
    if (!listenPort || *listenPort < 1 || *listenPort > 65535)
        return Response("FAIL_LISTENPORT_UNREACHABLE");
    subscriptions[account] = Subscriber{*listenPort, client};
    return Response("SUCCESS", Element("FEEDRSS", FeedAddress(account)));
}

Reply FakeInformationServer::State::Unsubscribe(const std::string& account)
{
    if (accounts.count(account) == 0)
        return Response("FAIL_NO_SUCH_USER");
    if (subscriptions.erase(account) == 0)
        return Response("FAIL_NO_FEED_REGISTERED");
    return Response("SUCCESS");
}

Reply FakeInformationServer::State::Feed(const std::string& account, const RecordedRequest& request) const
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (!Authenticated(request, account))
        return Unauthorized();
    if (subscriptions.count(account) == 0)
        return Status(404);
    std::string items;
    std::string date = "Tue, 09 Dec 2008 10:00:00 +0900";
    for (const StoredDocument& document : documents) {
        if (document.owner == account) {
            items += Item(document);
            date = document.published;
        }
    }
    return Reply(200, "application/rss+xml",
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>" +
                     Element("title", identity.name + ": " + accounts.at(account).displayName) +
                     Element("link", base + "/noctavi.htm") + Element("lastBuildDate", date) + items +
                     "</channel></rss>\n");
}

// The description is escaped markup whose link is the thumbnail's address.
std::string FakeInformationServer::State::Item(const StoredDocument& document) const
{
    const std::string thumbnail = Escaped(ThumbnailAddress(document.id));
    const std::string markup = "<p>" + Escaped(document.title) + "</p><a href=\"" + thumbnail + "\"><img src=\"" +
                               thumbnail + "\" alt=\"thumbnail\"/></a>";
    return "<item>" + Element("title", document.title) + Element("description", markup) +
           Element("category", document.category) + Element("guid", document.id) +
           Element("pubDate", document.published) + "</item>";
}

Reply FakeInformationServer::State::Thumbnail(const RecordedRequest& request)
{
    const std::vector<std::string> keys = KeysOf(request.queryPairs);
    if (keys.empty() || keys.front() != "DC" || std::count(keys.begin(), keys.end(), "ntv") != 1)
        return Status(400);
    const std::lock_guard<std::mutex> lock(mutex);
    const StoredDocument* document = FindDocument(request.queryPairs[0].second);
    if (!document)
        return Status(404);
    if (!Authenticated(request, document->owner))
        return Unauthorized();
    if (document->thumbnail.empty())
        return Status(404);
    return Reply(200, "image/jpeg", document->thumbnail);
}

Reply FakeInformationServer::State::DocumentPage(const RecordedRequest& request)
{
    const Pairs& query = request.queryPairs;
    const std::vector<std::string> keys = KeysOf(query);
    const std::optional<long> mode = query.empty() ? std::nullopt : Number(query[0].second);
    const std::lock_guard<std::mutex> lock(mutex);
    if ((mode == 1 || mode == 2) && keys == std::vector<std::string>{"NTV", "DC", "UN", "ISR"})
        return mode == 1 ? Download(query) : Print(query, request);
    if (mode == 5 && keys == std::vector<std::string>{"NTV", "DC", "UN"})
        return Delete(query, request);
    if ((mode == 3 || mode == 4) && keys == std::vector<std::string>{"NTV", "UN"})
        return Reply(200, "text/html", "<html><body>Page " + std::to_string(*mode) + "</body></html>");
    return Status(400);
}

// Downloads go without credentials: the document ID is the key.
Reply FakeInformationServer::State::Download(const Pairs& query)
{
    StoredDocument* document = FindDocument(query[1].second);
    if (!document || document->owner != query[2].second)
        return Status(404);
    document->read = document->read || query[3].second == "1";
    return Reply(200, document->contentType, document->content);
}

Reply FakeInformationServer::State::Print(const Pairs& query, const RecordedRequest& request)
{
    if (!Authenticated(request, query[2].second))
        return Unauthorized();
    StoredDocument* document = FindDocument(query[1].second);
    if (!document)
        return Status(404);
    if (document->owner != query[2].second)
        return Status(403);
    document->read = document->read || query[3].second == "1";
    printed.push_back(document->id);
    return Reply(200, "text/html", "<html><body>Printing</body></html>");
}

Reply FakeInformationServer::State::Delete(const Pairs& query, const RecordedRequest& request)
{
    const std::string& account = query[2].second;
    if (!Authenticated(request, account))
        return Unauthorized();
    StoredDocument* document = FindDocument(query[1].second);
    if (!document)
        return Status(404);
    if (document->owner != account || !accounts.at(account).mayDelete)
        return Status(403);
    documents.erase(documents.begin() + (document - documents.data()));
    return Reply(200, "text/html", "<html><body>Deleted</body></html>");
}

FakeInformationServer::FakeInformationServer(const FakeMachine::Options& options)
    : state_(std::make_shared<State>())
    , machine_(std::make_unique<FakeMachine>(options))
{
    state_->base = (options.certificate ? "https://" : "http://") + machine_->Address() + ':' +
                   std::to_string(machine_->Port());
    state_->machine = machine_.get();
    const std::shared_ptr<State> state = state_;
    for (const CommandShape& shape : kCommands)
        machine_->Script(shape.path, [state, &shape](const RecordedRequest& r) { return state->AnswerCommand(shape, r); });
    machine_->Script("/noctavi.htm", [state](const RecordedRequest& r) { return state->DocumentPage(r); });
    machine_->Script("/thumbnail.htm", [state](const RecordedRequest& r) { return state->Thumbnail(r); });
}

FakeInformationServer::~FakeInformationServer() = default;

std::string FakeInformationServer::BaseAddress() const
{
    return state_->base;
}

std::string FakeInformationServer::FeedAddress(const std::string& account) const
{
    return state_->FeedAddress(account);
}

std::string FakeInformationServer::ThumbnailAddress(const std::string& documentId) const
{
    return state_->ThumbnailAddress(documentId);
}

void FakeInformationServer::SetIdentity(const MachineIdentity& identity)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->identity = identity;
}

void FakeInformationServer::SetAuthentication(Credentials::Scheme scheme)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->authentication = scheme;
}

void FakeInformationServer::AddAccount(const MachineAccount& account)
{
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        state_->accounts[account.id] = account;
    }
    const std::shared_ptr<State> state = state_;
    const std::string id = account.id;
    machine_->Script("/rss/" + id + ".xml", [state, id](const RecordedRequest& r) { return state->Feed(id, r); });
}

void FakeInformationServer::AddDocument(const StoredDocument& document)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->documents.push_back(document);
}

void FakeInformationServer::RemoveDocument(const std::string& id)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    std::vector<StoredDocument>& documents = state_->documents;
    documents.erase(std::remove_if(documents.begin(), documents.end(),
                                   [&](const StoredDocument& document) { return document.id == id; }),
                    documents.end());
}

void FakeInformationServer::ForceResult(std::optional<std::string> result)
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->forcedResult = std::move(result);
}

std::optional<long> FakeInformationServer::Subscription(const std::string& account) const
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    const auto found = state_->subscriptions.find(account);
    return found == state_->subscriptions.end() ? std::nullopt : std::optional<long>(found->second.port);
}

bool FakeInformationServer::SendSignal(const std::string& account, const SignalOptions& options) const
{
    std::optional<Subscriber> subscriber;
    {
        const std::lock_guard<std::mutex> lock(state_->mutex);
        if (const auto found = state_->subscriptions.find(account); found != state_->subscriptions.end())
            subscriber = found->second;
    }
    if (!subscriber)
        return false;
    SendDatagram(options.from.value_or(machine_->Address()), subscriber->client,
                 static_cast<std::uint16_t>(subscriber->port), options.size);
    return true;
}

std::optional<StoredDocument> FakeInformationServer::Document(const std::string& id) const
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    const StoredDocument* document = state_->FindDocument(id);
    return document ? std::optional<StoredDocument>(*document) : std::nullopt;
}

std::vector<std::string> FakeInformationServer::Printed() const
{
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->printed;
}

} // namespace support
