#include <transport/connection.hpp>
#include <transport/document.hpp>
#include <transport/error.hpp>
#include <transport/known_machines.hpp>

#include <support/FakeMachine.h>
#include <support/ReadFile.h>
#include <support/ScopedNoPermissionOverride.h>
#include <support/TempDir.h>
#include <support/WaitUntil.h>

#include <boost/filesystem/operations.hpp>
#include <boost/thread/thread.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <future>
#include <limits>
#include <optional>
#include <set>
#include <tuple>

namespace {

using support::Credentials;
using support::Fault;
using support::FakeMachine;
using support::Reply;
using namespace std::chrono_literals;

const char* const names[] = {"COMMAND", "PASSWORD", "REQUEST", nullptr};

using Account = std::pair<std::string, std::string>;

struct Outcome {
    boost::system::error_code failure;
    int status = 0;
};

// One request on a connection object of its own, as each operation on a
// machine makes one; reads the body.
Outcome Request(const FakeMachine& machine, const std::string& path, const std::optional<Account>& account = {},
                bool secure = false)
{
    Outcome outcome;
    const auto connection = transport::connection::create(machine.Address(), outcome.failure);
    std::vector<unsigned char> body;
    connection->use_tls(secure);
    connection->set_timeouts({5s, 1, 5s, 5s});
    if (!connection->open_request(machine.Port(), outcome.failure))
        return outcome;
    if (account)
        connection->set_credentials(account->first, account->second);
    if (connection->send(transport::method::get, path, nullptr, outcome.failure))
        connection->read_body(body, outcome.failure);
    outcome.status = connection->status();
    return outcome;
}

// The Digest parameter as a request sent it.
std::string DigestParam(const support::RecordedRequest& request, const std::string& name)
{
    const std::size_t at = request.authorization.find(", " + name + '=');
    if (at == std::string::npos)
        return {};
    const std::size_t begin = request.authorization.find_first_not_of('"', at + name.size() + 3);
    return request.authorization.substr(begin, request.authorization.find_first_of("\",", begin) - begin);
}

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        boost::system::error_code failure;
        connection = transport::connection::create(machine.Address(), failure);
        ASSERT_NE(connection, nullptr) << failure.message();
    }

    void Open()
    {
        boost::system::error_code failure;
        ASSERT_TRUE(connection->open_request(machine.Port(), failure)) << failure.message();
    }

    // Sends a GET of the path and reads the body into memory.
    boost::system::error_code Get(const std::string& path, std::string* body = nullptr)
    {
        boost::system::error_code failure;
        std::vector<unsigned char> bytes;
        if (connection->open_request(machine.Port(), failure) &&
            connection->send(transport::method::get, path, nullptr, failure) &&
            connection->read_body(bytes, failure) && body)
            body->assign(bytes.begin(), bytes.end());
        return failure;
    }

    FakeMachine machine{FakeMachine::Options("127.0.0.10")};
    std::unique_ptr<transport::connection> connection;
};

TEST_F(ConnectionTest, PostCarriesTheDocumentAndGetCarriesTheQuery)
{
    machine.Script("/cgi-bin/Command.cgi", Reply(200, "text/xml", "<RESPONSE/>"));
    machine.Script("/feed", Reply(200, "application/rss+xml", "<rss/>"));
    auto document = transport::document::create(names);
    boost::system::error_code failure;
    ASSERT_TRUE(document->open_element(2, failure));
    const transport::node secret = document->text_leaf(1, "p&ss", failure);
    ASSERT_TRUE(secret && document->set_option(secret, transport::option_secret, failure));
    document->add_query_pair("a", "1 2");

    Open();
    ASSERT_TRUE(connection->send(transport::method::post, "/cgi-bin/Command.cgi", document.get(), failure));
    EXPECT_EQ(connection->status(), 200);
    EXPECT_EQ(connection->type(), transport::content_type::xml);
    Open();
    ASSERT_TRUE(connection->send(transport::method::get, "/feed?user=ann", document.get(), failure));
    EXPECT_EQ(connection->type(), transport::content_type::xml);

    const auto requests = machine.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].contentType, "text/xml; charset=UTF-8");
    EXPECT_EQ(requests[0].authScheme, "");
    EXPECT_NE(requests[0].body.find("<REQUEST><PASSWORD>p&amp;ss</PASSWORD></REQUEST>"), std::string::npos);
    EXPECT_EQ(requests[0].query, "") << "a posted document carries no query";
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].target, "/feed?user=ann&a=1%202");
    EXPECT_EQ(requests[1].body, "");

    Open();
    ASSERT_TRUE(connection->send(transport::method::get, "/feed?bad=%zz&ok=%41", nullptr, failure));
    const auto pairs = machine.Requests().back().queryPairs;
    const decltype(pairs) expected{{"bad", "%zz"}, {"ok", "A"}};
    EXPECT_EQ(pairs, expected) << "a stray escape reaches the machine as it is";
}

TEST_F(ConnectionTest, CredentialsWaitForAChallengeAndGoHashedWheneverDigestIsOffered)
{
    using Scheme = Credentials::Scheme;
    const std::tuple<Scheme, std::string, std::string> offers[] = {
        {Scheme::Basic, "/basic", "Basic"}, {Scheme::Digest, "/digest", "Digest"},
        {Scheme::DigestOrBasic, "/either", "Digest"}};
    boost::system::error_code failure;
    for (const auto& [offered, path, answered] : offers) {
        machine.Script(path, Reply(200, "text/plain", "p"));
        machine.RequireCredentials(path, Credentials{offered, "ann", "s3cret:x"});
        Open();
        connection->set_credentials("ann", "s3cret:x");
        ASSERT_TRUE(connection->send(transport::method::get, path, nullptr, failure)) << failure.message();
        EXPECT_EQ(connection->status(), 200) << answered;
        const auto requests = machine.Requests();
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(requests[requests.size() - 2].authorization, "") << "no credentials before the challenge";
        EXPECT_EQ(requests.back().authScheme, answered);
        EXPECT_EQ(requests.back().password, offered == Scheme::Basic ? "s3cret:x" : "");
    }

    Open();
    connection->set_credentials("ann", "wrong");
    ASSERT_TRUE(connection->send(transport::method::get, "/digest", nullptr, failure));
    EXPECT_EQ(connection->status(), 401);
    Open();
    ASSERT_TRUE(connection->send(transport::method::get, "/basic", nullptr, failure));
    EXPECT_EQ(connection->status(), 401) << "credentials last for one request";

    // Both offered in one header, Basic first.
    machine.Script("/combined", [this](const support::RecordedRequest& request) {
        if (machine.Authenticates(request, Credentials{Scheme::Digest, "ann", "s3cret"}))
            return Reply(200, "text/plain", "c");
        Reply challenge = machine.Challenge(Scheme::DigestOrBasic);
        challenge.headers = {{"WWW-Authenticate", challenge.headers[1].second + ", " + challenge.headers[0].second}};
        return challenge;
    });
    Open();
    connection->set_credentials("ann", "s3cret");
    ASSERT_TRUE(connection->send(transport::method::get, "/combined", nullptr, failure));
    EXPECT_EQ(connection->status(), 200);

    // Digest in a form we cannot answer, offered in one header with Basic.
    Reply unanswerable(401, "text/html", "");
    unanswerable.headers.emplace_back("WWW-Authenticate",
                                      "Basic realm=\"m\", Digest realm=\"m\", nonce=\"n\", algorithm=SHA-512-256");
    machine.Script("/strange", unanswerable);
    const std::size_t before = machine.Requests().size();
    Open();
    connection->set_credentials("ann", "s3cret");
    ASSERT_TRUE(connection->send(transport::method::get, "/strange", nullptr, failure));
    EXPECT_EQ(connection->status(), 401);
    EXPECT_EQ(machine.Requests().size(), before + 1) << "a machine offering Digest never gets Basic";
}

TEST_F(ConnectionTest, CredentialsThatWouldBreakTheHeaderAreRefused)
{
    machine.Script("/basic", Reply(200, "text/plain", "b"));
    machine.Script("/digest", Reply(200, "text/plain", "d"));
    machine.RequireCredentials("/basic", Credentials{Credentials::Scheme::Basic, "ann", "pw"});
    machine.RequireCredentials("/digest", Credentials{Credentials::Scheme::Digest, "ann", "pw"});
    const std::string injected = "ann\r\nX-Injected: yes";
    const std::pair<std::string, std::string> refused[] = {
        {injected, "pw"}, {std::string("ann\0x", 5), "pw"}, {"ann", std::string("pw\0x", 4)}};
    for (const auto& [user, password] : refused) {
        for (const char* path : {"/basic", "/digest"}) {
            boost::system::error_code failure;
            Open();
            connection->set_credentials(user, password);
            EXPECT_FALSE(connection->send(transport::method::get, path, nullptr, failure)) << path;
            EXPECT_EQ(failure, transport::error::invalid_credentials) << path;
        }
    }
    EXPECT_TRUE(machine.Requests().empty());

    boost::system::error_code failure;
    Open();
    connection->set_credentials("ann", "pw\r\n");
    ASSERT_TRUE(connection->send(transport::method::get, "/digest", nullptr, failure)) << failure.message();
    EXPECT_EQ(connection->status(), 401) << "a line break in a password is hashed, never sent";
}

TEST_F(ConnectionTest, BodiesAreCappedInMemoryAndInFilesAndReadOnce)
{
    const auto announcing = [](std::uint64_t length) {
        Reply reply(200, "application/pdf", "x");
        reply.contentLength = length;
        return reply;
    };
    machine.Script("/huge", Reply(200, "application/pdf", std::string(transport::max_body_in_memory + 1, 'x'),
                                  Fault::Chunked));
    machine.Script("/announced", announcing(transport::max_body_in_memory + 1));
    machine.Script("/vast", announcing(transport::max_body_in_file + 1));
    machine.Script("/small", Reply(200, "text/plain", "s", Fault::Chunked));
    const std::string full(transport::max_body_in_memory, 'x');
    machine.Script("/full", Reply(200, "application/pdf", full));
    machine.Script("/full-chunked", Reply(200, "application/pdf", full, Fault::Chunked));
    connection->set_timeouts({5s, 1, 5s, 2s});
    EXPECT_EQ(Get("/huge"), transport::error::body_too_large);
    EXPECT_EQ(Get("/announced"), transport::error::body_too_large);
    for (const char* path : {"/full", "/full-chunked"}) {
        std::string body;
        EXPECT_FALSE(Get(path, &body)) << path;
        EXPECT_EQ(body.size(), full.size()) << path << " is as large as allowed";
    }

    const support::TempDir folder;
    const boost::filesystem::path file = folder.Path() / "document";
    boost::system::error_code failure;
    Open();
    ASSERT_TRUE(connection->send(transport::method::get, "/vast", nullptr, failure));
    EXPECT_FALSE(connection->store_body(file.string(), failure));
    EXPECT_EQ(failure, transport::error::body_too_large);
    EXPECT_TRUE(boost::filesystem::is_empty(folder.Path())) << "nothing is written of a body that is too large";

    std::string body;
    EXPECT_FALSE(Get("/small", &body));
    EXPECT_EQ(body, "s");
    std::vector<unsigned char> again;
    EXPECT_FALSE(connection->read_body(again, failure));
    EXPECT_EQ(failure, transport::error::out_of_sequence);
}

TEST_F(ConnectionTest, AReplyThatTricklesIsAbandonedAfterOneReceiveLimit)
{
    const std::string body(600, 'x');
    machine.Script("/head", Reply(200, "text/plain", body, Fault::TrickleHead));
    machine.Script("/body", Reply(200, "text/plain", body, Fault::TrickleBody));
    connection->set_timeouts({5s, 1, 5s, 1s});
    for (const char* path : {"/head", "/body"}) {
        auto pending = std::async(std::launch::async, [this, path] { return Get(path); });
        const bool ended = pending.wait_for(10s) == std::future_status::ready;
        if (!ended)
            connection->cancel();
        ASSERT_TRUE(ended) << path << " still trickles";
        EXPECT_EQ(pending.get(), transport::error::timed_out) << path;
    }
}

TEST_F(ConnectionTest, ADelayedReplyWithinTheLimitArrives)
{
    Reply slow(200, "text/plain", "late");
    slow.delay = 150ms;
    machine.Script("/slow", slow);
    connection->set_timeouts({5s, 1, 5s, 1s});
    std::string body;
    EXPECT_FALSE(Get("/slow", &body));
    EXPECT_EQ(body, "late");
}

TEST_F(ConnectionTest, InterruptingTheThreadEndsTheRequest)
{
    machine.Script("/stall", Reply(200, "text/xml", "", Fault::Stall));
    connection->set_timeouts({30s, 1, 30s, 120s});
    Open();
    std::atomic<bool> interrupted{false};
    boost::thread worker([&] {
        try {
            boost::system::error_code failure;
            connection->send(transport::method::get, "/stall", nullptr, failure);
        } catch (const boost::thread_interrupted&) {
            interrupted = true;
        }
    });
    ASSERT_TRUE(machine.WaitForRequests(1));
    worker.interrupt();
    ASSERT_TRUE(worker.try_join_for(boost::chrono::seconds(1)));
    EXPECT_TRUE(interrupted);

    machine.Script("/ok", Reply(200, "text/plain", "ok"));
    std::string body;
    EXPECT_FALSE(Get("/ok", &body)) << "the connection is usable after an interruption";
    EXPECT_EQ(body, "ok");
}

TEST(ConnectionRetryTest, RetriesOfARefusedConnectionArePacedAndStopWithinASecond)
{
    const support::ClosedPort refusing("127.0.0.12");
    {
        boost::system::error_code failure;
        const auto connection = transport::connection::create("127.0.0.12", failure);
        ASSERT_NE(connection, nullptr);
        connection->set_timeouts({5s, 3, 5s, 5s});
        const auto begin = std::chrono::steady_clock::now();
        ASSERT_TRUE(connection->open_request(refusing.Port(), failure));
        EXPECT_FALSE(connection->send(transport::method::get, "/", nullptr, failure));
        EXPECT_EQ(failure, transport::error::cannot_connect);
        EXPECT_GE(std::chrono::steady_clock::now() - begin, 100ms) << "no pause between attempts";
    }
    for (const bool byInterruption : {false, true}) {
        boost::system::error_code failure;
        // Shared with the worker, which a failure leaves running.
        const std::shared_ptr<transport::connection> connection =
            transport::connection::create("127.0.0.12", failure);
        ASSERT_NE(connection, nullptr);
        connection->set_timeouts({5s, std::numeric_limits<int>::max(), 5s, 5s});
        const auto sending = std::make_shared<std::atomic<bool>>(false);
        boost::thread worker([connection, sending, port = refusing.Port()] {
            try {
                boost::system::error_code ignored;
                *sending = connection->open_request(port, ignored);
                connection->send(transport::method::get, "/", nullptr, ignored);
            } catch (const boost::thread_interrupted&) {
            }
        });
        ASSERT_TRUE(support::WaitUntil([&] { return sending->load(); }));
        byInterruption ? worker.interrupt() : connection->cancel();
        const bool ended = worker.try_join_for(boost::chrono::seconds(1));
        if (!ended)
            worker.detach();
        ASSERT_TRUE(ended) << (byInterruption ? "interrupted" : "cancelled") << " retries go on";
    }
}

// A refusal leaves nothing to count; a TLS handshake that runs into the
// connect time-out fails the same way and leaves a connection behind.
TEST(ConnectionRetryTest, AConnectionThatFailsIsAttemptedAsOftenAsAllowedAndAtLeastOnce)
{
    const std::pair<int, std::size_t> cases[] = {{0, 1}, {1, 1}, {3, 3}};
    for (const auto& [allowed, made] : cases) {
        support::SilentPort silent("127.0.0.18");
        boost::system::error_code failure;
        const auto connection = transport::connection::create("127.0.0.18", failure);
        ASSERT_NE(connection, nullptr);
        connection->use_tls(true);
        connection->set_timeouts({500ms, allowed, 5s, 5s});
        ASSERT_TRUE(connection->open_request(silent.Port(), failure));
        EXPECT_FALSE(connection->send(transport::method::get, "/", nullptr, failure));
        EXPECT_EQ(failure, transport::error::timed_out) << allowed;
        EXPECT_EQ(silent.Connections(), made) << allowed << " allowed";
    }
}

TEST(ConnectionReuseTest, RequestsToAMachineShareAConnectionAndAPathIsChallengedOnce)
{
    FakeMachine machine{FakeMachine::Options("127.0.0.13")};
    machine.Script("/open", Reply(200, "text/plain", "o"));
    for (const char* path : {"/feed", "/thumbnail"}) {
        machine.Script(path, Reply(200, "text/xml", "<rss/>"));
        machine.RequireCredentials(path, Credentials{Credentials::Scheme::Digest, "ann", "pw"});
    }
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Request(machine, "/open").status, 200);
        EXPECT_EQ(Request(machine, "/feed", Account("ann", "pw")).status, 200);
        EXPECT_EQ(Request(machine, "/thumbnail", Account("ann", "pw")).status, 200);
    }
    EXPECT_EQ(machine.Counters().connections, 1u);
    EXPECT_EQ(machine.Counters().challenges, 2u) << "each path once";
    std::vector<std::string> counts;
    for (const support::RecordedRequest& request : machine.Requests()) {
        if (!request.authorization.empty())
            counts.push_back(DigestParam(request, "nc"));
    }
    EXPECT_EQ(counts, (std::vector<std::string>{"00000001", "00000002", "00000003", "00000004"}))
        << "one nonce, counted up across paths";

    // A challenge whose body is large or slow costs its connection.
    for (const Fault fault : {Fault::None, Fault::TrickleBody}) {
        const std::string path = "/page" + std::to_string(int(fault));
        machine.Script(path, [&machine, fault](const support::RecordedRequest& request) {
            const Credentials ann{Credentials::Scheme::Basic, "ann", "pw"};
            if (machine.Authenticates(request, ann))
                return Reply(200, "text/plain", "p");
            Reply challenge = machine.Challenge(ann.scheme);
            challenge.body = std::string(fault == Fault::None ? 8192 : 600, 'x');
            challenge.fault = fault;
            return challenge;
        });
        const std::size_t before = machine.Counters().connections;
        EXPECT_EQ(Request(machine, path, Account("ann", "pw")).status, 200);
        EXPECT_GT(machine.Counters().connections, before) << path;
    }
}

TEST(ConnectionReuseTest, ACancelledOrTimedOutRequestsConnectionIsNeverReused)
{
    FakeMachine machine{FakeMachine::Options("127.0.0.13")};
    machine.Script("/open", Reply(200, "text/plain", "o"));
    machine.Script("/stall", Reply(200, "text/plain", "", Fault::Stall));
    const auto run = [&machine](const std::string& path, bool cancelAfter) {
        boost::system::error_code failure;
        const auto connection = transport::connection::create(machine.Address(), failure);
        connection->set_timeouts({5s, 1, 5s, 300ms});
        std::vector<unsigned char> body;
        if (connection->open_request(machine.Port(), failure) &&
            connection->send(transport::method::get, path, nullptr, failure))
            connection->read_body(body, failure);
        if (cancelAfter)
            connection->cancel();
        return failure;
    };
    EXPECT_FALSE(run("/open", true)) << "cancelled once the reply was in";
    EXPECT_EQ(run("/stall", false), transport::error::timed_out);
    EXPECT_FALSE(run("/open", false));
    EXPECT_EQ(machine.Counters().connections, 3u);
}

TEST(ConnectionReuseTest, RequestsOnSeveralThreadsEachHoldAConnectionOfTheirOwnAndNeverRepeatACount)
{
    FakeMachine machine{FakeMachine::Options("127.0.0.17")};
    Reply slow(200, "text/plain", "f");
    slow.delay = 20ms; // so that the threads' requests overlap
    machine.Script("/feed", slow);
    machine.RequireCredentials("/feed", Credentials{Credentials::Scheme::Digest, "ann", "pw"});
    ASSERT_EQ(Request(machine, "/feed", Account("ann", "pw")).status, 200);
    std::vector<std::future<int>> workers;
    for (int thread = 0; thread < 4; ++thread) {
        workers.push_back(std::async(std::launch::async, [&machine] {
            int accepted = 0;
            for (int request = 0; request < 10; ++request)
                accepted += Request(machine, "/feed", Account("ann", "pw")).status == 200;
            return accepted;
        }));
    }
    for (auto& worker : workers)
        EXPECT_EQ(worker.get(), 10);
    EXPECT_LE(machine.Counters().connections, 1u + 4u);
    EXPECT_EQ(machine.Counters().challenges, 1u);
    std::set<std::string> counts;
    for (const support::RecordedRequest& request : machine.Requests()) {
        const std::string nc = DigestParam(request, "nc");
        EXPECT_TRUE(request.authorization.empty() || counts.insert(nc).second) << "repeated " << nc;
    }
}

TEST(ConnectionCredentialsTest, CredentialsGoAtOnceOnlyForTheHostPortPathAndUserThatTookThem)
{
    FakeMachine first{FakeMachine::Options("127.0.0.14")};
    FakeMachine otherPort{FakeMachine::Options("127.0.0.14")};
    FakeMachine otherHost{FakeMachine::Options("127.0.0.15")};
    for (FakeMachine* machine : {&first, &otherPort, &otherHost}) {
        for (const char* path : {"/feed", "/other"}) {
            machine->Script(path, Reply(200, "text/plain", "f"));
            machine->RequireCredentials(path, Credentials{Credentials::Scheme::Basic, "ann", "pw"});
        }
    }
    const Account ann("ann", "pw");
    EXPECT_EQ(Request(first, "/feed", ann).status, 200);
    EXPECT_EQ(Request(first, "/feed", ann).status, 200);
    EXPECT_EQ(first.Requests().size(), 3u);
    EXPECT_EQ(first.Requests().back().user, "ann") << "sent at once the second time";

    const std::tuple<FakeMachine*, std::string, Account> unasked[] = {
        {&otherPort, "/feed", ann}, {&otherHost, "/feed", ann}, {&first, "/other", ann}, {&first, "/feed", {"bob", "pw"}}};
    for (const auto& [machine, path, account] : unasked) {
        const std::size_t before = machine->Requests().size();
        Request(*machine, path, account);
        ASSERT_GT(machine->Requests().size(), before);
        EXPECT_EQ(machine->Requests()[before].authorization, "") << machine->Port() << path << account.first;
    }

    // Refused when sent at once: the challenge is answered once, then forgotten.
    first.RequireCredentials("/feed", Credentials{Credentials::Scheme::Basic, "ann", "changed"});
    std::size_t before = first.Requests().size();
    EXPECT_EQ(Request(first, "/feed", ann).status, 401);
    EXPECT_EQ(first.Requests().size(), before + 2);
    before = first.Requests().size();
    EXPECT_EQ(Request(first, "/feed", ann).status, 401);
    EXPECT_EQ(first.Requests().at(before).authorization, "");
}

TEST(ConnectionCredentialsTest, AStaleDigestNonceIsAnsweredOnceWithoutCountingAsARefusal)
{
    FakeMachine machine{FakeMachine::Options("127.0.0.16")};
    machine.Script("/feed", Reply(200, "text/plain", "f"));
    machine.RequireCredentials("/feed", Credentials{Credentials::Scheme::Digest, "ann", "pw"});
    const Account ann("ann", "pw");
    EXPECT_EQ(Request(machine, "/feed", ann).status, 200);
    const std::string nonce = DigestParam(machine.Requests().back(), "nonce");
    machine.ExpireNonce();
    EXPECT_EQ(Request(machine, "/feed", ann).status, 200);
    EXPECT_EQ(Request(machine, "/feed", ann).status, 200);
    const auto requests = machine.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(DigestParam(requests[2], "nonce"), nonce) << "sent at once with the nonce it had";
    EXPECT_NE(DigestParam(requests[3], "nonce"), nonce);
    EXPECT_EQ(DigestParam(requests[4], "nonce"), DigestParam(requests[3], "nonce"));
    EXPECT_EQ(DigestParam(requests[4], "nc"), "00000002");

    machine.Script("/stale", [&machine](const support::RecordedRequest&) {
        Reply challenge = machine.Challenge(Credentials::Scheme::Digest);
        challenge.headers[0].second += ", stale=true";
        return challenge;
    });
    EXPECT_EQ(Request(machine, "/stale", ann).status, 401);
    EXPECT_EQ(machine.Requests().size(), 5u + 3u) << "the challenge answered, and a stale answer once more";
}

// HTTPS to a machine with a self-signed certificate, with the pins kept in a
// folder of the test's own.
class PinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No body: the transfer is over with the headers, leaving the connection free for reuse.
        machine.Script("/page", Reply(200, "text/plain", ""));
        transport::set_known_machines_folder(folder.Folder());
    }

    void TearDown() override { transport::set_known_machines_folder(""); }

    boost::system::error_code Get(transport::connection& connection)
    {
        boost::system::error_code failure;
        std::vector<unsigned char> body;
        connection.use_tls(true);
        if (connection.open_request(machine.Port(), failure) &&
            connection.send(transport::method::get, "/page", nullptr, failure))
            connection.read_body(body, failure);
        return failure;
    }

    boost::system::error_code Get()
    {
        boost::system::error_code failure;
        const auto connection = transport::connection::create(machine.Address(), failure);
        return connection ? Get(*connection) : failure;
    }

    support::TempDir folder;
    FakeMachine machine{FakeMachine::Options("127.0.0.11", support::SelfSignedCertificate("127.0.0.11"))};
};

TEST_F(PinTest, AKeyThatCannotBeRecordedIsRefusedOnEveryRequest)
{
    boost::filesystem::permissions(folder.Path(), boost::filesystem::owner_read | boost::filesystem::owner_exe);
    const support::ScopedNoPermissionOverride asEveryUser;
    boost::system::error_code failure;
    const auto connection = transport::connection::create(machine.Address(), failure);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(Get(*connection), transport::error::certificate_untrusted);
    EXPECT_EQ(Get(*connection), transport::error::certificate_untrusted) << "the refused connection was reused";
    EXPECT_TRUE(machine.Requests().empty()) << "a key that is not recorded is not trusted with a request";
}

TEST_F(PinTest, AnUnreadableRecordRefusesEveryKeyAndIsKeptWhole)
{
    const boost::filesystem::path file = folder.Path() / "known_machines";
    const std::string others = "127.0.0.99 443 sha256:00\n";
    std::ofstream(file.string()) << others;
    boost::filesystem::permissions(file, boost::filesystem::owner_write);
    {
        const support::ScopedNoPermissionOverride asEveryUser;
        EXPECT_EQ(Get(), transport::error::certificate_untrusted);
    }
    EXPECT_TRUE(machine.Requests().empty()) << "nothing may go to a machine whose key cannot be checked";
    EXPECT_EQ(support::ReadFile(file), others);
}

TEST_F(PinTest, AMissingFolderIsMadePrivatelyForTheFirstKey)
{
    const boost::filesystem::path pins = folder.Path() / "config" / "pins";
    transport::set_known_machines_folder(pins.string());
    EXPECT_FALSE(Get());
    EXPECT_FALSE(Get()) << "the recorded key matches";
    EXPECT_EQ(boost::filesystem::status(pins).permissions(), boost::filesystem::owner_all);
    EXPECT_EQ(support::ReadFile(pins / "known_machines").rfind("127.0.0.11 ", 0), 0u);
}

TEST_F(PinTest, AKeptConnectionServesOnlyWhileItsKeyIsTheOneOnRecord)
{
    EXPECT_FALSE(Get());
    EXPECT_FALSE(Get());
    EXPECT_EQ(machine.Counters().handshakes, 1u);
    const boost::filesystem::path file = folder.Path() / "known_machines";
    const std::string recorded = support::ReadFile(file);
    std::ofstream(file.string()) << "127.0.0.11 " << machine.Port() << " sha256:00\n";
    EXPECT_EQ(Get(), transport::error::certificate_key_changed);
    EXPECT_EQ(machine.Requests().size(), 2u) << "the kept connection carried a request after the key changed";
    std::ofstream(file.string()) << recorded;
    EXPECT_FALSE(Get());
    EXPECT_EQ(machine.Counters().handshakes, 2u);
}

} // namespace
