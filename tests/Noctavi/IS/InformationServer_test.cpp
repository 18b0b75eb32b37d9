#include <Noctavi/HTTP/InvalidContentType.h>
#include <Noctavi/HTTP/Net.h>
#include <Noctavi/HTTP/NoAuthority.h>
#include <Noctavi/HTTP/ServerError.h>
#include <Noctavi/IS/AuthenticateFailure.h>
#include <Noctavi/IS/Config.h>
#include <Noctavi/IS/InformationServer.h>
#include <Noctavi/IS/InvalidMode.h>
#include <Noctavi/IS/InvalidRSSFeed.h>
#include <Noctavi/IS/ListenPortUnreachable.h>
#include <Noctavi/IS/MachineBusy.h>
#include <Noctavi/IS/MissingEntry.h>
#include <Noctavi/IS/MissingRSSFeed.h>
#include <Noctavi/IS/MissingUser.h>
#include <Noctavi/MonitoredEntry/MFP.h>
#include <Noctavi/MonitoredEntry/User.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/System/SystemError.h>
#include <Noctavi/Utility/TextConversion.h>

#include <support/FakeInformationServer.h>
#include <support/PngPicture.h>
#include <support/ReadFile.h>
#include <support/StandInOpener.h>
#include <support/TempDir.h>

#include <pelmo/system_error.hpp>

#include <boost/exception/diagnostic_information.hpp>
#include <boost/filesystem/operations.hpp>

#include <QImage>

#include <gtest/gtest.h>

#include <future>
#include <set>
#include <sstream>
#include <type_traits>

namespace {

using support::FakeMachine;
using support::Reply;
using Keys = std::vector<std::string>;

const HTTP::Timeout kTimeout{10000, 1, 10000, 10000};
const char kHost[] = "127.0.0.20";

// The exceptions' family tree.
static_assert(std::is_base_of_v<HTTP::Error, IS::Error>);
static_assert(std::is_base_of_v<IS::Error, IS::InvalidResponse>);
static_assert(std::is_base_of_v<IS::InvalidResponse, IS::InvalidRSSFeed>);
static_assert(std::is_base_of_v<IS::Error, IS::ErrorResult>);
static_assert(!std::is_base_of_v<IS::ErrorResult, IS::InvalidResponse>);
static_assert(!std::is_base_of_v<HTTP::InvalidResponse, IS::InvalidResponse>);

MonitoredEntry::MFP Machine(const boost::optional<int>& http, const boost::optional<int>& https = boost::none,
                            bool ssl = false)
{
    return MonitoredEntry::MFP(boost::none, Utility::ToWide(kHost), http, https, ssl);
}

MonitoredEntry::User Account(const std::wstring& id, const std::wstring& password)
{
    return MonitoredEntry::User(boost::none, id, MonitoredEntry::Password(password));
}

template <class E>
bool Is(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const E&) {
        return true;
    } catch (...) {
        return false;
    }
}

template <class Call>
std::exception_ptr FailureOf(Call call)
{
    try {
        call();
    } catch (...) {
        return std::current_exception();
    }
    ADD_FAILURE() << "no failure";
    return nullptr;
}

std::string Xml(const std::string& response)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RESPONSE>" + response + "</RESPONSE>";
}

Keys KeysOf(const support::RecordedRequest& request)
{
    Keys keys;
    for (const auto& pair : request.queryPairs)
        keys.push_back(pair.first + '=' + pair.second);
    return keys;
}

class InformationServerTest : public ::testing::Test {
protected:
    InformationServerTest()
    {
        server.AddAccount({"alice", "Alice Liddell", "s3cret<&>"});
        server.AddAccount({"bob", "Bob", "hunter2", false});
    }

    // Replaces the machine's answer to a command.
    void Answer(const std::string& command, const std::string& response)
    {
        server.Machine().Script("/cgi-bin/" + command + ".cgi", Reply(200, "text/xml", Xml(response)));
    }

    support::RecordedRequest LastRequest() { return server.Machine().Requests().back(); }

    std::string Subscribe() { return Utility::ToNarrow(is.SubscribeToRSSFeed(61000, alice, kTimeout)); }

    support::FakeInformationServer server{FakeMachine::Options(kHost)};
    IS::InformationServer is{Machine(server.Machine().Port())};
    const MonitoredEntry::User alice = Account(L"alice", L"s3cret<&>");
    const MonitoredEntry::User bob = Account(L"bob", L"hunter2");
};

TEST_F(InformationServerTest, CommandsPostTheirExactDocumentsAndReadTheReplies)
{
    server.SetIdentity({"Office MFP", 2, 1});
    const auto settings = is.GetMachineSettings(kTimeout);
    EXPECT_EQ(settings->GetMachineName(), "Office MFP");
    EXPECT_TRUE(settings->GetSecurityPolicy());
    EXPECT_TRUE(settings->GetGuestLogin());
    EXPECT_EQ(is.GetUserInfo(alice, kTimeout)->GetDisplayName(), "Alice Liddell");
    const auto users = is.GetUserList(kTimeout);
    ASSERT_EQ(users->size(), 2u);
    EXPECT_EQ(users->at(1).GetNumber(), 2);
    EXPECT_EQ(users->at(1).GetDisplayName(), "Bob");
    EXPECT_EQ(users->at(1).GetUserName(), "bob");
    EXPECT_EQ(Subscribe(), server.FeedAddress("alice"));
    EXPECT_EQ(server.Subscription("alice"), 61000);
    is.UnsubscribeToRSSFeed(alice, kTimeout);
    EXPECT_FALSE(server.Subscription("alice"));

    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<REQUEST><COMMAND>";
    const std::pair<std::string, std::string> expected[] = {
        {"/cgi-bin/GetMachineSettings.cgi", head + "GETMACHINESETTINGS</COMMAND></REQUEST>\n"},
        {"/cgi-bin/GetUserInfo.cgi",
         head + "GETUSERINFO</COMMAND><PARAM><USERNAME>alice</USERNAME></PARAM></REQUEST>\n"},
        {"/cgi-bin/GetUserList.cgi", head + "GETUSERLIST</COMMAND></REQUEST>\n"},
        {"/cgi-bin/SubscribeToFeed.cgi", head + "SUBSCRIBETOFEED</COMMAND><PARAM><USERNAME>alice</USERNAME>"
                                                "<PASSWORD>s3cret&lt;&amp;&gt;</PASSWORD>"
                                                "<LISTENPORT>61000</LISTENPORT></PARAM></REQUEST>\n"},
        {"/cgi-bin/UnSubscribeToFeed.cgi",
         head + "UNSUBSCRIBETOFEED</COMMAND><PARAM><USERNAME>alice</USERNAME></PARAM></REQUEST>\n"},
    };
    const auto requests = server.Machine().Requests();
    ASSERT_EQ(requests.size(), std::size(expected));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].target, expected[i].first);
        EXPECT_EQ(requests[i].body, expected[i].second);
        EXPECT_EQ(requests[i].method, "POST");
        EXPECT_EQ(requests[i].contentType, "text/xml; charset=UTF-8");
        EXPECT_EQ(requests[i].authScheme, "") << "commands carry no credentials";
    }
}

TEST_F(InformationServerTest, EachResultGivesItsOwnException)
{
    using Check = bool (*)(const std::exception_ptr&);
    const std::pair<const char*, Check> refusals[] = {
        {"FAIL_MACHINE_BUSY", Is<IS::MachineBusy>},
        {"FAIL_IS_NETWORK_MODE", Is<IS::InvalidMode>},
        {"FAIL_AUTHENTICATE", Is<IS::AuthenticateFailure>},
        {"FAIL_NO_FEED_REGISTERED", Is<IS::MissingRSSFeed>},
        {"FAIL_LISTENPORT_UNREACHABLE", Is<IS::ListenPortUnreachable>},
        {"FAIL_NO_SUCH_ENTRY", Is<IS::MissingEntry>},
        {"FAIL_NO_SUCH_USER", Is<IS::MissingUser>},
    };
    for (const auto& [result, check] : refusals) {
        server.ForceResult(result);
        const std::exception_ptr failure = FailureOf([&] { is.UnsubscribeToRSSFeed(alice, kTimeout); });
        EXPECT_TRUE(check(failure)) << result;
        int matches = 0;
        for (const auto& other : refusals)
            matches += other.second(failure) ? 1 : 0;
        EXPECT_EQ(matches, 1) << result;
        EXPECT_TRUE(Is<IS::ErrorResult>(failure)) << result;
        EXPECT_TRUE(Is<HTTP::Error>(failure)) << result;
        EXPECT_FALSE(Is<IS::InvalidResponse>(failure)) << result;
    }
    for (const char* result : {"success", "SUCCESS ", "FAIL_SOMETHING_NEW"}) {
        server.ForceResult(result);
        const std::exception_ptr failure = FailureOf([&] { is.GetMachineSettings(kTimeout); });
        EXPECT_TRUE(Is<IS::InvalidResponse>(failure)) << result;
        EXPECT_FALSE(Is<IS::ErrorResult>(failure)) << result;
    }
    server.ForceResult(std::nullopt);

    // The machine's own refusals.
    EXPECT_THROW(is.GetUserInfo(Account(L"carol", L"x"), kTimeout), IS::MissingUser);
    EXPECT_THROW(is.SubscribeToRSSFeed(61000, Account(L"alice", L"wrong"), kTimeout), IS::AuthenticateFailure);
    EXPECT_THROW(is.SubscribeToRSSFeed(0, alice, kTimeout), IS::ListenPortUnreachable);
    EXPECT_THROW(is.UnsubscribeToRSSFeed(alice, kTimeout), IS::MissingRSSFeed);

    Answer("GetUserInfo", "<DISPLAYNAME>Alice</DISPLAYNAME>");
    EXPECT_THROW(is.GetUserInfo(alice, kTimeout), IS::InvalidResponse) << "no RESULT";
    server.Machine().Script("/cgi-bin/GetUserInfo.cgi", Reply(200, "text/html", "<p>SUCCESS</p>"));
    EXPECT_THROW(is.GetUserInfo(alice, kTimeout), HTTP::InvalidResponse);
}

TEST_F(InformationServerTest, ACommandThatCannotBeBuiltIsAFailedRequest)
{
    const MonitoredEntry::User controlInId = Account(L"bell\a", L"x");
    const MonitoredEntry::User controlInPassword = Account(L"alice", L"pw\x01");
    const std::function<void()> commands[] = {
        [&] { is.GetUserInfo(controlInId, kTimeout); },
        [&] { is.UnsubscribeToRSSFeed(controlInId, kTimeout); },
        [&] { is.SubscribeToRSSFeed(61000, controlInId, kTimeout); },
        [&] { is.SubscribeToRSSFeed(61000, controlInPassword, kTimeout); },
    };
    for (const auto& command : commands) {
        const std::exception_ptr failure = FailureOf(command);
        EXPECT_TRUE(Is<HTTP::Error>(failure));
        EXPECT_FALSE(Is<pelmo::system_error>(failure));
    }
    EXPECT_TRUE(server.Machine().Requests().empty());
}

TEST_F(InformationServerTest, MachineSettingsOutsideTheirSetsAreInvalid)
{
    for (const support::MachineIdentity& identity :
         {support::MachineIdentity{"M", 0, 0}, support::MachineIdentity{"M", 3, 0}, support::MachineIdentity{"M", 1, 2},
          support::MachineIdentity{"M", 1, -1}}) {
        server.SetIdentity(identity);
        EXPECT_THROW(is.GetMachineSettings(kTimeout), IS::InvalidResponse)
            << identity.securityPolicy << ' ' << identity.guestLogin;
    }
    server.SetIdentity({"M", 1, 0});
    const auto settings = is.GetMachineSettings(kTimeout);
    EXPECT_FALSE(settings->GetSecurityPolicy());
    EXPECT_FALSE(settings->GetGuestLogin());

    Answer("GetMachineSettings", "<RESULT>SUCCESS</RESULT><SECURITYPOLICY>1</SECURITYPOLICY><GUESTLOGIN>0</GUESTLOGIN>");
    EXPECT_THROW(is.GetMachineSettings(kTimeout), IS::InvalidResponse) << "no MACHINENAME";
}

TEST_F(InformationServerTest, UserListsHoldWhatTheReplyHoldsWhateverItsCount)
{
    const std::string ann = "<USER><DISPLAYNAME>Ann</DISPLAYNAME><USERNAME>ann</USERNAME></USER>";
    const std::string bo = "<USER><USERNAME>bo</USERNAME><DISPLAYNAME>Bo</DISPLAYNAME></USER>";

    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>0</COUNT>" + ann + bo);
    EXPECT_TRUE(is.GetUserList(kTimeout)->empty());

    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>2147483647</COUNT>" + ann +
                              "<USERGROUP><DISPLAYNAME>Staff</DISPLAYNAME></USERGROUP>" + bo + "<DETAILS>x</DETAILS>");
    const auto users = is.GetUserList(kTimeout);
    ASSERT_EQ(users->size(), 2u);
    EXPECT_EQ(users->at(0).GetNumber(), 1);
    EXPECT_EQ(users->at(0).GetUserName(), "ann");
    EXPECT_EQ(users->at(1).GetNumber(), 2);
    EXPECT_EQ(users->at(1).GetDisplayName(), "Bo");

    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>2</COUNT>" + ann +
                              "<USER><DISPLAYNAME>No name</DISPLAYNAME></USER>");
    EXPECT_THROW(is.GetUserList(kTimeout), IS::InvalidResponse);
    Answer("GetUserList", "<RESULT>SUCCESS</RESULT>" + ann);
    EXPECT_THROW(is.GetUserList(kTimeout), IS::InvalidResponse) << "no COUNT";
    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>1</COUNT><USERGROUP/>");
    EXPECT_THROW(is.GetUserList(kTimeout), IS::InvalidResponse) << "a count of users, but none";
}

TEST_F(InformationServerTest, AnEmptyNameIsTheEmptyTextButAnEmptyAccountIDIsInvalid)
{
    server.SetIdentity({"", 1, 0});
    server.AddAccount({"carol", "", "pw"});
    EXPECT_EQ(is.GetMachineSettings(kTimeout)->GetMachineName(), "");
    EXPECT_EQ(is.GetUserInfo(Account(L"carol", L"pw"), kTimeout)->GetDisplayName(), "");
    const auto users = is.GetUserList(kTimeout);
    ASSERT_EQ(users->size(), 3u);
    EXPECT_EQ(users->at(2).GetUserName(), "carol");
    EXPECT_EQ(users->at(2).GetDisplayName(), "");

    Answer("GetUserList",
           "<RESULT>SUCCESS</RESULT><COUNT>1</COUNT><USER><DISPLAYNAME>x</DISPLAYNAME><USERNAME/></USER>");
    EXPECT_THROW(is.GetUserList(kTimeout), HTTP::InvalidContentType);
}

TEST_F(InformationServerTest, CancelFromAnotherThreadEndsTheRequestInProgress)
{
    server.Machine().Script("/cgi-bin/GetUserList.cgi", Reply(200, "text/xml", "", support::Fault::Stall));
    const IS::InformationServer worker = is;
    auto pending =
        std::async(std::launch::async, [&worker] { worker.GetUserList(HTTP::Timeout{10000, 1, 10000, 30000}); });
    ASSERT_TRUE(server.Machine().WaitForRequests(1));
    is.Cancel();
    ASSERT_EQ(pending.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_THROW(pending.get(), HTTP::Error);
}

TEST_F(InformationServerTest, ThePasswordAppearsInNoDiagnostics)
{
    const std::string password = "Pw-0f-4lice";
    server.AddAccount({"alice", "Alice", password});
    const MonitoredEntry::User user = Account(L"alice", Utility::ToWide(password));
    const auto diagnostics = [&](const std::exception_ptr& failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& e) {
            return boost::diagnostic_information(e) + e.what();
        }
    };
    const auto subscribe = [&] { is.SubscribeToRSSFeed(61000, user, kTimeout); };

    EXPECT_NO_THROW(subscribe());
    EXPECT_NE(server.Machine().Requests().back().body.find("<PASSWORD>" + password + "</PASSWORD>"),
              std::string::npos);

    std::vector<std::exception_ptr> failures;
    server.ForceResult("FAIL_AUTHENTICATE");
    failures.push_back(FailureOf(subscribe));
    server.ForceResult("SUCCESS");
    failures.push_back(FailureOf(subscribe)); // no FEEDRSS
    server.Machine().Script("/cgi-bin/SubscribeToFeed.cgi", Reply(500, "text/html", "broken"));
    failures.push_back(FailureOf(subscribe));
    server.Machine().Script("/cgi-bin/SubscribeToFeed.cgi", Reply(200, "text/xml", "", support::Fault::Stall));
    failures.push_back(FailureOf([&] { is.SubscribeToRSSFeed(61000, user, HTTP::Timeout{10000, 1, 10000, 50}); }));
    for (const std::exception_ptr& failure : failures) {
        ASSERT_TRUE(Is<HTTP::Error>(failure));
        EXPECT_EQ(diagnostics(failure).find(password), std::string::npos) << diagnostics(failure);
    }
}

TEST_F(InformationServerTest, TheFreeFunctionsUseTheProcessWideSettings)
{
    const ConfigLimits saved = GetConfigLimits();
    ConfigLimits limits = saved;
    limits.Port = 61234;
    SetConfigLimits(limits);
    IS::SubscribeToRSSFeed(is, alice);
    SetConfigLimits(saved);
    EXPECT_EQ(server.Subscription("alice"), 61234);

    // A record that gives up at once shows which request uses it.
    IS::Config::Records records;
    records.fill(kTimeout);
    records[static_cast<std::size_t>(IS::RequestKind::UserInfo)] = HTTP::Timeout{10000, 1, 10000, 50};
    IS::SetConfiguration(IS::Config(records));
    server.Machine().Script("/cgi-bin/GetUserInfo.cgi", Reply(200, "text/xml", "", support::Fault::Stall));
    EXPECT_THROW(IS::GetUserInfo(is, alice), HTTP::Error);
    EXPECT_EQ(IS::GetUserList(is)->size(), 2u);
    IS::SetConfiguration(IS::Config());
}

TEST_F(InformationServerTest, SslGoesOverTlsToTheHttpsPort)
{
    support::TempDir pins;
    HTTP::Net::SetKnownMachinesFolder(pins.Folder());
    support::FakeInformationServer secure{
        FakeMachine::Options("127.0.0.22", support::SelfSignedCertificate("127.0.0.22"))};
    const support::ClosedPort plainPort("127.0.0.22");
    const IS::InformationServer client(MonitoredEntry::MFP(boost::none, L"127.0.0.22", plainPort.Port(),
                                                           secure.Machine().Port(), true));
    EXPECT_EQ(client.GetMachineSettings(kTimeout)->GetMachineName(), "Fake MFP");
    EXPECT_TRUE(secure.Machine().Requests().at(0).secure);
    HTTP::Net::SetKnownMachinesFolder("");
}

TEST_F(InformationServerTest, FeedsComeFromTheEntrysOwnHostWhateverTheAddressNames)
{
    server.AddDocument({"doc-1", "alice", "Contract"});
    server.AddDocument({"doc-2", "bob", "Memo"});
    server.AddDocument({"doc-3", "alice", "Invoice"});
    const std::string address = Subscribe();

    const auto feed = is.GetRSSFeed(Utility::ToWide(address), alice, kTimeout);
    ASSERT_EQ(feed->GetItemList().size(), 2u);
    EXPECT_EQ(feed->GetItemList()[0].GetGuid(), "doc-1");
    EXPECT_EQ(feed->GetItemList()[1].GetTitle(), "Invoice");
    EXPECT_EQ(feed->GetItemList()[1].GetDescription(), server.ThumbnailAddress("doc-3"));
    EXPECT_EQ(LastRequest().target, "/rss/alice.xml");
    EXPECT_EQ(LastRequest().authScheme, "Basic");
    EXPECT_EQ(LastRequest().user, "alice");
    EXPECT_EQ(LastRequest().password, "s3cret<&>");

    // The reply names a host that also serves the path: the request still
    // goes to the entry's host, on its port and scheme.
    FakeMachine elsewhere(FakeMachine::Options("127.0.0.21"));
    elsewhere.Script("/rss/alice.xml", Reply(200, "text/xml", "<rss/>"));
    const std::string named = "127.0.0.21:" + std::to_string(elsewhere.Port());
    for (const std::string& other : {"http://" + named + "/rss/alice.xml", "https://" + named + "/rss/alice.xml",
                                     "//" + named + "/rss/alice.xml", std::string("/rss/alice.xml")}) {
        EXPECT_EQ(is.GetRSSFeed(Utility::ToWide(other), alice, kTimeout)->GetItemList().size(), 2u) << other;
        EXPECT_EQ(LastRequest().target, "/rss/alice.xml") << other;
    }
    EXPECT_TRUE(elsewhere.Requests().empty());

    EXPECT_THROW(is.GetRSSFeed(Utility::ToWide(address), Account(L"alice", L"wrong"), kTimeout),
                 HTTP::ServerError);
    server.Machine().Script("/rss/alice.xml", Reply(200, "application/rss+xml", "<rss><channel/></rss>"));
    EXPECT_THROW(IS::GetRSSFeed(is, Utility::ToWide(address), alice), IS::InvalidRSSFeed);
}

TEST_F(InformationServerTest, ThumbnailsAskForNtvOnceAndDecodeOnFirstUse)
{
    server.AddDocument({"doc 1", "alice"});
    server.Machine().Script("/other.htm", Reply(200, "image/jpeg", support::PngPicture(16, 12)));
    support::StoredDocument pictured{"doc-2", "alice"};
    pictured.thumbnail = support::PngPicture(16, 12);
    server.AddDocument(pictured);
    support::StoredDocument garbled{"doc-3", "alice"};
    garbled.thumbnail = "not a picture";
    server.AddDocument(garbled);

    const auto image = is.GetThumbnail(Utility::ToWide(server.ThumbnailAddress("doc-2")), alice, kTimeout);
    EXPECT_EQ(LastRequest().target, "/thumbnail.htm?DC=doc-2&ntv=1");
    EXPECT_EQ(LastRequest().user, "alice");
    EXPECT_EQ(image->GetBitmap().size(), QSize(16, 12));

    const std::pair<std::string, std::string> sent[] = {
        {server.ThumbnailAddress("doc-2") + "&ntv=1", "/thumbnail.htm?DC=doc-2&ntv=1"},
        {server.ThumbnailAddress("doc-2") + "&NTV=7", "/thumbnail.htm?DC=doc-2&NTV=7&ntv=1"},
        {server.ThumbnailAddress("doc-2") + "&UN=antv&xntv=2", "/thumbnail.htm?DC=doc-2&UN=antv&xntv=2&ntv=1"},
        {"http://127.0.0.99:8/thumbnail.htm?DC=doc-2", "/thumbnail.htm?DC=doc-2&ntv=1"},
        {"http://" + std::string(kHost) + ":1/other.htm", "/other.htm?ntv=1"},
    };
    for (const auto& [address, target] : sent) {
        IS::GetThumbnail(is, Utility::ToWide(address), alice);
        EXPECT_EQ(LastRequest().target, target) << address;
    }

    const std::size_t logged = server.Machine().Requests().size();
    EXPECT_THROW(is.GetThumbnail(L"http://127.0.0.20", alice, kTimeout), HTTP::Error) << "no path";
    EXPECT_EQ(server.Machine().Requests().size(), logged);
    EXPECT_THROW(is.GetThumbnail(Utility::ToWide(server.ThumbnailAddress("doc 1")), alice, kTimeout),
                 HTTP::ServerError)
        << "no thumbnail";
    const auto undecodable = is.GetThumbnail(Utility::ToWide(server.ThumbnailAddress("doc-3")), alice, kTimeout);
    EXPECT_THROW(undecodable->GetBitmap(), SystemError);
}

class DocumentPageTest : public InformationServerTest {
protected:
    DocumentPageTest()
    {
        for (const auto& [id, type] : {std::pair<const char*, const char*>{"pdf", "application/pdf"},
                                       {"jpeg", "image/jpeg"}, {"tiff", "image/tiff"}, {"text", "text/plain"},
                                       {"2024/01 a&b=c \xc3\xa9", "application/pdf"}}) {
            support::StoredDocument document{id, "alice"};
            document.contentType = type;
            document.content = std::string("content of ") + id;
            server.AddDocument(document);
        }
        support::StoredDocument bobs{"bobs", "bob"};
        server.AddDocument(bobs);
    }

    std::wstring Path(const std::string& name) const { return Utility::ToWide((folder.Path() / name).string()); }

    // Saves the document at the file name given and gives the name it got.
    std::string Save(const std::string& id, const std::string& name)
    {
        std::wstring path = Path(name);
        is.SaveDocument(alice, path, Utility::ToWide(id), kTimeout);
        const std::string saved = boost::filesystem::path(Utility::ToNarrow(path)).filename().string();
        EXPECT_EQ(support::ReadFile(folder.Path() / saved), "content of " + id) << saved;
        return saved;
    }

    support::TempDir folder;
};

TEST_F(DocumentPageTest, SavedDocumentsTakeTheExtensionOfTheirKind)
{
    is.SetMarkRead(true);
    EXPECT_EQ(Save("pdf", "report"), "report.pdf");
    EXPECT_EQ(KeysOf(LastRequest()), (Keys{"NTV=1", "DC=pdf", "UN=alice", "ISR=1"}));
    EXPECT_EQ(LastRequest().path, "/noctavi.htm");
    EXPECT_EQ(LastRequest().authScheme, "") << "downloads carry no credentials";
    EXPECT_TRUE(server.Document("pdf")->read);

    is.SetMarkRead(false);
    EXPECT_EQ(Save("jpeg", "photo.JPG"), "photo.JPG");
    EXPECT_EQ(KeysOf(LastRequest()).back(), "ISR=0");
    EXPECT_FALSE(server.Document("jpeg")->read);
    EXPECT_EQ(Save("tiff", "scan.tiff"), "scan.tiff");
    EXPECT_EQ(Save("text", "notes"), "notes");
    EXPECT_EQ(Save("jpeg", "old.pdf"), "old.pdf.jpeg");

    // Values that mean something in a query arrive whole.
    EXPECT_EQ(Save("2024/01 a&b=c \xc3\xa9", "odd"), "odd.pdf");
    EXPECT_EQ(KeysOf(LastRequest())[1], "DC=2024/01 a&b=c \xc3\xa9");
    EXPECT_EQ(LastRequest().query.find_first_of(" &=/", LastRequest().query.find("DC=") + 3),
              LastRequest().query.find("&UN="));

    std::wstring missing = Path("missing");
    EXPECT_THROW(is.SaveDocument(alice, missing, L"no-such-document", kTimeout), HTTP::ServerError);
    EXPECT_EQ(missing, Path("missing"));
    EXPECT_FALSE(boost::filesystem::exists(folder.Path() / "missing"));
}

TEST_F(DocumentPageTest, ADownloadInStepsNamesItsFileFromThePendingReply)
{
    is.SetMarkRead(true);
    is.FetchDocument(L"tiff", alice);
    EXPECT_EQ(is.GetDocumentExtension(), L".tif");
    is.ReceiveDocument(Path("scan.tif"));
    EXPECT_EQ(support::ReadFile(folder.Path() / "scan.tif"), "content of tiff");
    EXPECT_EQ(KeysOf(LastRequest()), (Keys{"NTV=1", "DC=tiff", "UN=alice", "ISR=1"}));

    EXPECT_THROW(is.FetchDocument(L"no-such-document", alice), HTTP::ServerError);
    EXPECT_THROW(is.ReceiveDocument(Path("never")), HTTP::Error);
    EXPECT_FALSE(boost::filesystem::exists(folder.Path() / "never"));
}

TEST_F(DocumentPageTest, PrintAndDeleteGoWithTheUsersCredentials)
{
    is.SetMarkRead(true);
    is.PrintDocument(alice, L"pdf", kTimeout);
    EXPECT_EQ(server.Printed(), Keys{"pdf"});
    EXPECT_EQ(KeysOf(LastRequest()), (Keys{"NTV=2", "DC=pdf", "UN=alice", "ISR=1"}));
    EXPECT_EQ(LastRequest().password, "s3cret<&>");

    is.DeleteDocument(alice, L"pdf", kTimeout);
    EXPECT_FALSE(server.Document("pdf"));
    EXPECT_EQ(KeysOf(LastRequest()), (Keys{"NTV=5", "DC=pdf", "UN=alice"})) << "a delete sends no ISR";
    EXPECT_EQ(LastRequest().user, "alice");

    EXPECT_THROW(is.DeleteDocument(bob, L"bobs", kTimeout), HTTP::NoAuthority) << "bob may not delete";
    EXPECT_THROW(is.DeleteDocument(alice, L"bobs", kTimeout), HTTP::NoAuthority) << "not alice's";
    EXPECT_THROW(is.PrintDocument(alice, L"bobs", kTimeout), HTTP::NoAuthority);
    EXPECT_TRUE(server.Document("bobs"));
    EXPECT_THROW(is.PrintDocument(Account(L"alice", L"wrong"), L"jpeg", kTimeout), HTTP::ServerError);
    EXPECT_EQ(server.Printed(), Keys{"pdf"});
}

TEST_F(DocumentPageTest, AMachineThatOffersDigestNeverSeesAPasswordInClear)
{
    server.SetAuthentication(support::Credentials::Scheme::DigestOrBasic);
    support::StoredDocument pictured{"pictured", "alice"};
    pictured.thumbnail = support::PngPicture(4, 4);
    server.AddDocument(pictured);
    const std::wstring feed = Utility::ToWide(Subscribe()); // the command itself carries the password
    const std::size_t subscribed = server.Machine().Requests().size();

    EXPECT_EQ(is.GetRSSFeed(feed, alice, kTimeout)->GetItemList().size(), 6u);
    is.GetThumbnail(Utility::ToWide(server.ThumbnailAddress("pictured")), alice, kTimeout);
    is.PrintDocument(alice, L"pdf", kTimeout);
    is.DeleteDocument(alice, L"pdf", kTimeout);
    EXPECT_EQ(server.Printed(), Keys{"pdf"});
    EXPECT_FALSE(server.Document("pdf"));
    const auto requests = server.Machine().Requests();
    for (std::size_t i = subscribed; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].password, "") << requests[i].target;
        EXPECT_EQ(requests[i].authorization.find("s3cret"), std::string::npos) << requests[i].target;
    }
    EXPECT_EQ(requests.back().authScheme, "Digest");
}

TEST(InformationServerPage, TheBrowserAddressLeavesOutTheSchemesDefaultPort)
{
    const support::StandInOpener opener;
    const MonitoredEntry::User user = Account(L"ann & co", L"x");
    IS::InformationServer(Machine(80)).OpenPage(user, IS::PageMode::Login);
    IS::InformationServer(Machine(443)).OpenPage(user, IS::PageMode::NotificationSettings);
    IS::InformationServer(Machine(80, 443, true)).OpenPage(user, IS::PageMode::Login);
    IS::InformationServer(Machine(443, 8443, true)).OpenPage(user, IS::PageMode::Login);
    IS::InformationServer(Machine(boost::none, boost::none, true)).OpenPage(user, IS::PageMode::NotificationSettings);

    // The openers run detached, so their lines may come in any order.
    std::istringstream log(opener.WaitForLines(5));
    std::multiset<std::string> opened;
    for (std::string line; std::getline(log, line);)
        opened.insert(line.substr(line.find('|') + 1));
    EXPECT_EQ(opened, (std::multiset<std::string>{"http://127.0.0.20/noctavi.htm?NTV=3&UN=ann%20%26%20co",
                                                  "http://127.0.0.20:443/noctavi.htm?NTV=4&UN=ann%20%26%20co",
                                                  "https://127.0.0.20/noctavi.htm?NTV=3&UN=ann%20%26%20co",
                                                  "https://127.0.0.20:8443/noctavi.htm?NTV=3&UN=ann%20%26%20co",
                                                  "https://127.0.0.20/noctavi.htm?NTV=4&UN=ann%20%26%20co"}));
}

TEST_F(InformationServerTest, UsersInGroupsAreAllListedInReplyOrder)
{
    const auto user = [](const std::string& name) {
        return "<USER><DISPLAYNAME>" + name + "</DISPLAYNAME><USERNAME>" + name + "</USERNAME></USER>";
    };
    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>3</COUNT><USERGROUP>" + user("a") +
                              "</USERGROUP><USERGROUP><USERS>" + user("b") + "</USERS>" + user("c") +
                              "</USERGROUP>");
    const auto users = is.GetUserList(kTimeout);
    ASSERT_EQ(users->size(), 3u);
    for (std::size_t i = 0; i < users->size(); ++i) {
        EXPECT_EQ(users->at(i).GetNumber(), static_cast<long>(i + 1));
        EXPECT_EQ(users->at(i).GetUserName(), std::string(1, static_cast<char>('a' + i)));
    }

    // A user without a name must not borrow the next group's.
    Answer("GetUserList", "<RESULT>SUCCESS</RESULT><COUNT>2</COUNT><USERGROUP><USER><DISPLAYNAME>x</DISPLAYNAME>"
                          "</USER></USERGROUP><USERGROUP>" + user("b") + "</USERGROUP>");
    EXPECT_THROW(is.GetUserList(kTimeout), IS::InvalidResponse);
}

} // namespace
