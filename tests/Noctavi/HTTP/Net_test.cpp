#include <Noctavi/HTTP/InvalidContentType.h>
#include <Noctavi/HTTP/Mcmd.h>
#include <Noctavi/HTTP/Net.h>
#include <Noctavi/HTTP/NoAuthority.h>
#include <Noctavi/HTTP/OpenFailure.h>
#include <Noctavi/HTTP/Parser.h>
#include <Noctavi/HTTP/Query.h>
#include <Noctavi/HTTP/ServerError.h>

#include <support/FakeMachine.h>
#include <support/ReadFile.h>
#include <support/ScopedEnv.h>
#include <support/TempDir.h>

#include <transport/error.hpp>

#include <boost/exception/get_error_info.hpp>
#include <boost/filesystem/operations.hpp>

#include <gtest/gtest.h>

#include <fstream>
#include <future>

namespace {

using support::Fault;
using support::FakeMachine;
using support::Reply;
using namespace std::chrono_literals;

constexpr int kGenerous = 30000;

void OpenPlain(HTTP::Net& net, int port, int receiveTimeout = kGenerous)
{
    net.Open(port, false, HTTP::Timeout{kGenerous, 1, kGenerous, receiveTimeout});
}

boost::system::error_code TransportErrorOf(const HTTP::Error& e)
{
    const auto* code = boost::get_error_info<HTTP::TransportError>(e);
    return code ? *code : boost::system::error_code();
}

class NetTest : public ::testing::Test {
protected:
    FakeMachine machine{FakeMachine::Options("127.0.0.2")};
    HTTP::Net net{"127.0.0.2"};

    // Fetches the path and returns the body.
    std::string Fetch(const std::string& path, const HTTP::Query* query = nullptr)
    {
        OpenPlain(net, machine.Port());
        net.Send(HTTP::Net::Fetch, path, query ? &query->GetDocument() : nullptr);
        const auto body = net.Recv();
        net.CloseRequest();
        return std::string(body->begin(), body->end());
    }
};

TEST_F(NetTest, OnlyStatus200Succeeds)
{
    machine.Script("/ok", Reply(200, "text/plain", "fine"));
    machine.Script("/forbidden", Reply(403, "text/html", "no"));
    Reply moved(302, "text/html", "");
    moved.headers.emplace_back("Location", "/ok");
    machine.Script("/moved", moved);
    for (int status : {401, 404, 500})
        machine.Script("/status" + std::to_string(status), Reply(status, "text/html", "x"));

    EXPECT_EQ(Fetch("/ok"), "fine");
    try {
        Fetch("/forbidden");
        ADD_FAILURE() << "403 accepted";
    } catch (const HTTP::ServerError&) {
        ADD_FAILURE() << "403 must be NoAuthority, never ServerError";
    } catch (const HTTP::NoAuthority& e) {
        EXPECT_EQ(*boost::get_error_info<HTTP::HttpStatus>(e), 403);
    }
    for (const std::string path : {"/status401", "/status404", "/status500", "/moved"}) {
        try {
            Fetch(path);
            ADD_FAILURE() << path << " accepted";
        } catch (const HTTP::NoAuthority&) {
            ADD_FAILURE() << path << " taken for 403";
        } catch (const HTTP::ServerError&) {
        }
    }
    // The redirect was not followed.
    EXPECT_EQ(machine.Requests().back().path, "/moved");
}

TEST_F(NetTest, BodiesAreReadWhateverTheirFraming)
{
    std::string large;
    for (int i = 0; i < 20000; ++i)
        large += std::to_string(i) + ',';
    machine.Script("/chunked", Reply(200, "application/pdf", large, Fault::Chunked));
    machine.Script("/empty", Reply(200, "image/jpeg", ""));
    machine.Script("/cut", Reply(200, "image/jpeg", large, Fault::TruncatedBody));

    EXPECT_EQ(Fetch("/chunked"), large);
    EXPECT_EQ(Fetch("/empty"), "");

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Fetch, "/cut");
    EXPECT_THROW(net.Recv(), HTTP::Error);
}

TEST_F(NetTest, ContentKindComesFromTheContentType)
{
    const std::pair<const char*, HTTP::Net::ContentKind> kinds[] = {
        {"image/jpeg", HTTP::Net::Jpeg},      {"application/pdf", HTTP::Net::Pdf},
        {"image/tiff", HTTP::Net::Tiff},      {"text/xml; charset=UTF-8", HTTP::Net::Xml},
        {"application/rss+xml", HTTP::Net::Xml}, {"text/html", HTTP::Net::Other},
        {"", HTTP::Net::Other},
    };
    for (const auto& [type, kind] : kinds) {
        machine.Script("/kind", Reply(200, type, "x"));
        OpenPlain(net, machine.Port());
        net.Send(HTTP::Net::Fetch, "/kind");
        EXPECT_EQ(net.GetContentKind(), kind) << type;
    }
}

TEST_F(NetTest, XmlRepliesAreCheckedThenParsed)
{
    const std::string reply = "<RESPONSE><RESULT>SUCCESS</RESULT></RESPONSE>";
    machine.Script("/xml", Reply(200, "text/xml", reply));
    machine.Script("/html", Reply(200, "text/html", "<html><body><p>Login</p></body></html>"));
    machine.Script("/broken", Reply(200, "text/xml", reply, Fault::MalformedXml));
    HTTP::XML::Parser parser;

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Submit, "/xml");
    net.RecvXml(parser);
    EXPECT_EQ((*parser.Find("RESULT")).GetString(), "SUCCESS");

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Submit, "/html");
    EXPECT_THROW(net.RecvXml(parser), HTTP::InvalidResponse);
    EXPECT_EQ(parser.Find("RESULT"), HTTP::XML::Parser::End()) << "a failed read leaves no stale reply";

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Submit, "/broken");
    try {
        net.RecvXml(parser);
        ADD_FAILURE() << "malformed XML accepted";
    } catch (const HTTP::InvalidResponse&) {
        ADD_FAILURE() << "an XML reply that does not parse is not a content-type mismatch";
    } catch (const HTTP::Error& e) {
        EXPECT_EQ(TransportErrorOf(e), transport::error::not_xml);
    }
}

TEST_F(NetTest, QueriesRenderInOrderAndTravelWithFetch)
{
    HTTP::Query empty;
    EXPECT_EQ(empty.ToString(), "");

    HTTP::Query query;
    query.Add("NTV", "1").Add("DC", "doc 7&x=y").Add("UN", "j\xC3\xB6rg");
    EXPECT_EQ(query.ToString(), "NTV=1&DC=doc%207%26x%3Dy&UN=j%C3%B6rg");

    machine.Script("/noctavi.htm", Reply(200, "application/pdf", "%PDF"));
    EXPECT_EQ(Fetch("/noctavi.htm", &query), "%PDF");
    Fetch("/noctavi.htm", &empty);
    const auto requests = machine.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].queryPairs,
              (std::vector<std::pair<std::string, std::string>>{{"NTV", "1"}, {"DC", "doc 7&x=y"}, {"UN", "j\xC3\xB6rg"}}));
    EXPECT_EQ(requests[1].target, "/noctavi.htm");
}

TEST_F(NetTest, OpeningAgainClosesTheRequestLeftOpen)
{
    machine.Script("/a", Reply(200, "text/plain", "first"));
    machine.Script("/b", Reply(200, "text/plain", "second"));
    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Fetch, "/a");
    EXPECT_EQ(Fetch("/b"), "second");
    EXPECT_THROW(net.Recv(), HTTP::Error) << "no request is open any more";
}

TEST_F(NetTest, RefusedInputFailsBeforeAnythingIsSent)
{
    for (const std::string host : {"", "a..b", "-a", "a b", "a/b", "a:80", "user@a"}) {
        try {
            HTTP::Net bad(host);
            ADD_FAILURE() << "host accepted: " << host;
        } catch (const HTTP::Error& e) {
            EXPECT_EQ(TransportErrorOf(e), transport::error::invalid_host) << host;
        }
    }
    EXPECT_THROW(OpenPlain(net, 0), HTTP::OpenFailure);
    EXPECT_THROW(OpenPlain(net, 65536), HTTP::OpenFailure);
    for (const std::string& path : std::vector<std::string>{"", "noslash", "/a b", "/a\r\nX-Injected: 1",
                                                            std::string("/a\0b", 4)}) {
        OpenPlain(net, machine.Port());
        EXPECT_THROW(net.Send(HTTP::Net::Fetch, path), HTTP::Error) << path;
    }
    EXPECT_TRUE(machine.Requests().empty());
}

TEST_F(NetTest, RecvAndSaveFileStoresWholeBodiesOnly)
{
    const support::TempDir dir;
    const boost::filesystem::path file = dir.Path() / "doc.pdf";
    const std::string body(100000, 'p');
    machine.Script("/doc", Reply(200, "application/pdf", body, Fault::Chunked));
    machine.Script("/cut", Reply(200, "application/pdf", body, Fault::TruncatedBody));

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Fetch, "/doc");
    net.RecvAndSaveFile(file.string());
    EXPECT_EQ(support::ReadFile(file), body);

    OpenPlain(net, machine.Port());
    net.Send(HTTP::Net::Fetch, "/cut");
    EXPECT_THROW(net.RecvAndSaveFile(file.string()), HTTP::Error);
    EXPECT_EQ(support::ReadFile(file), body) << "the earlier file stays whole";
    EXPECT_FALSE(boost::filesystem::exists(file.string() + ".tmp"));
}

TEST_F(NetTest, FailuresComeWithinTheirTimeOuts)
{
    machine.Script("/stall", Reply(200, "text/xml", "", Fault::Stall));
    machine.Script("/drop", Reply(200, "text/xml", "", Fault::DropConnection));

    const support::ClosedPort refusing("127.0.0.2");
    HTTP::Net closed("127.0.0.2");
    OpenPlain(closed, refusing.Port());
    try {
        closed.Send(HTTP::Net::Fetch, "/");
        ADD_FAILURE() << "a closed port answered";
    } catch (const HTTP::Error& e) {
        EXPECT_EQ(TransportErrorOf(e), transport::error::cannot_connect);
    }

    OpenPlain(net, machine.Port(), 200);
    try {
        net.Send(HTTP::Net::Fetch, "/stall");
        ADD_FAILURE() << "a stalled reply succeeded";
    } catch (const HTTP::Error& e) {
        EXPECT_EQ(TransportErrorOf(e), transport::error::timed_out);
    }

    OpenPlain(net, machine.Port());
    EXPECT_THROW(net.Send(HTTP::Net::Fetch, "/drop"), HTTP::Error);
}

TEST_F(NetTest, CancelFromAnotherThreadEndsAStalledRequest)
{
    machine.Script("/stall", Reply(200, "text/xml", "", Fault::Stall));
    OpenPlain(net, machine.Port(), 120000);
    auto pending = std::async(std::launch::async, [this] { net.Send(HTTP::Net::Fetch, "/stall"); });
    ASSERT_TRUE(machine.WaitForRequests(1));

    net.Cancel();
    ASSERT_EQ(pending.wait_for(1s), std::future_status::ready);
    try {
        pending.get();
        ADD_FAILURE() << "the cancelled request succeeded";
    } catch (const HTTP::Error& e) {
        EXPECT_EQ(TransportErrorOf(e), transport::error::cancelled);
    }
    EXPECT_THROW(OpenPlain(net, machine.Port()), HTTP::OpenFailure) << "a cancelled connection stays cancelled";
}

TEST(HttpExceptions, FamilyTree)
{
    static_assert(std::is_base_of_v<pelmo::communication_failure, HTTP::Error>);
    static_assert(std::is_base_of_v<HTTP::Error, HTTP::OpenFailure>);
    static_assert(std::is_base_of_v<HTTP::Error, HTTP::NoAuthority>);
    static_assert(std::is_base_of_v<HTTP::Error, HTTP::ServerError>);
    static_assert(std::is_base_of_v<HTTP::InvalidResponse, HTTP::InvalidContentType>);
}

// HTTPS against a test authority trusted through SSL_CERT_FILE, and against
// machines' own self-signed certificates.
class NetTlsTest : public ::testing::Test {
protected:
    static support::TestAuthority& Authority()
    {
        static support::TestAuthority authority;
        return authority;
    }

    void SetUp() override
    {
        std::ofstream(bundle) << Authority().CertificatePem();
        HTTP::Net::SetKnownMachinesFolder(folder.Folder());
    }

    void TearDown() override { HTTP::Net::SetKnownMachinesFolder(""); }

    static FakeMachine::Options Secure(const std::string& address, support::TestCertificate certificate,
                                       std::uint16_t port = 0)
    {
        return FakeMachine::Options(address, std::move(certificate), port);
    }

    static std::string Fetch(const FakeMachine& machine)
    {
        HTTP::Net net(machine.Address());
        net.Open(machine.Port(), true, HTTP::Timeout{kGenerous, 1, kGenerous, kGenerous});
        net.Send(HTTP::Net::Fetch, "/page");
        const auto body = net.Recv();
        return std::string(body->begin(), body->end());
    }

    static void ExpectRefused(const FakeMachine& machine, transport::error reason)
    {
        try {
            Fetch(machine);
            ADD_FAILURE() << "the certificate was accepted";
        } catch (const HTTP::Error& e) {
            EXPECT_EQ(TransportErrorOf(e), reason);
        }
    }

    std::string KnownMachines() const { return support::ReadFile(folder.Path() / "known_machines"); }

    support::TempDir folder;
    const std::string bundle = (folder.Path() / "ca.pem").string();
    const support::ScopedEnv trust{"SSL_CERT_FILE", bundle};
};

TEST_F(NetTlsTest, ACertificateTheSystemTrustsIsAcceptedAndItsKeyRecorded)
{
    // One host and port, served in turn by a trusted machine, a self-signed
    // impostor and the trusted machine with a renewed key.
    std::uint16_t port = 0;
    std::string recorded;
    {
        FakeMachine machine(Secure("127.0.0.3", Authority().Issue("127.0.0.3")));
        machine.Script("/page", Reply(200, "text/plain", "secret page"));
        port = machine.Port();
        EXPECT_EQ(Fetch(machine), "secret page");
        EXPECT_TRUE(machine.Requests().at(0).secure);
        recorded = KnownMachines();
        EXPECT_EQ(recorded.rfind("127.0.0.3 " + std::to_string(port) + " sha256:", 0), 0u) << recorded;
    }
    {
        FakeMachine impostor(Secure("127.0.0.3", support::SelfSignedCertificate("127.0.0.3"), port));
        ExpectRefused(impostor, transport::error::certificate_key_changed);
        EXPECT_TRUE(impostor.Requests().empty());
        EXPECT_EQ(KnownMachines(), recorded);
    }
    FakeMachine renewed(Secure("127.0.0.3", Authority().Issue("127.0.0.3"), port));
    renewed.Script("/page", Reply(200, "text/plain", "renewed"));
    EXPECT_EQ(Fetch(renewed), "renewed");
    const std::string replaced = KnownMachines();
    EXPECT_NE(replaced, recorded);
    EXPECT_EQ(replaced.find('\n'), replaced.size() - 1) << "one line per host and port: " << replaced;

    FakeMachine elsewhere(Secure("127.0.0.4", Authority().Issue("127.0.0.5")));
    ExpectRefused(elsewhere, transport::error::certificate_untrusted);
}

TEST_F(NetTlsTest, ASelfSignedKeyIsPinnedOnFirstUseAndAChangedKeyIsRefused)
{
    std::uint16_t port = 0;
    {
        FakeMachine machine(Secure("127.0.0.6", support::SelfSignedCertificate("127.0.0.6")));
        machine.Script("/page", Reply(200, "text/plain", "hello"));
        port = machine.Port();
        EXPECT_EQ(Fetch(machine), "hello");
        EXPECT_EQ(Fetch(machine), "hello");
    }
    const std::string pinned = KnownMachines();
    EXPECT_EQ(pinned.rfind("127.0.0.6 " + std::to_string(port) + " sha256:", 0), 0u) << pinned;

    FakeMachine impostor(Secure("127.0.0.6", support::SelfSignedCertificate("127.0.0.6"), port));
    impostor.Script("/page", Reply(200, "text/plain", "hello"));
    ExpectRefused(impostor, transport::error::certificate_key_changed);
    EXPECT_TRUE(impostor.Requests().empty());
    EXPECT_EQ(KnownMachines(), pinned);
}

TEST_F(NetTlsTest, WithoutAPinFolderSelfSignedCertificatesAreRefused)
{
    HTTP::Net::SetKnownMachinesFolder("");
    FakeMachine machine(Secure("127.0.0.7", support::SelfSignedCertificate("127.0.0.7")));
    ExpectRefused(machine, transport::error::certificate_untrusted);
}

} // namespace
