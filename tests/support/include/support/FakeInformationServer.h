#ifndef NOCTAVI_TESTS_SUPPORT_FAKEINFORMATIONSERVER_H
#define NOCTAVI_TESTS_SUPPORT_FAKEINFORMATIONSERVER_H

#include <support/FakeMachine.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace support {

// What the machine tells of itself.
struct MachineIdentity {
    std::string name = "Fake MFP";
    long securityPolicy = 1; // 1: users are listed, 2: they are not
    long guestLogin = 0;
};

// A user account of the machine.
struct MachineAccount {
    std::string id{}; // the user name, which the client calls the account ID
    std::string displayName{};
    std::string password{};
    bool mayDelete = true; // whether the user may delete its documents
};

// A document in a user's box; each is one item of its owner's feed, whose
// guid is the document's ID.
struct StoredDocument {
    std::string id{};
    std::string owner{};
    std::string title = "Scanned document";
    std::string category = "Scan to Box";
    std::string published = "Tue, 09 Dec 2008 10:15:30 +0900";
    std::string contentType = "application/pdf";
    std::string content{};
    std::string thumbnail{}; // served as image/jpeg; without it the thumbnail page answers 404
    bool read = false;     // set by a download or print that asks for it
};

// How a machine's signal departs from the plain one: one byte from the
// machine's own address.
struct SignalOptions {
    std::size_t size = 1;
    std::optional<std::string> from{}; // another loopback address to send from
};

// A machine's information server on a FakeMachine: the five commands at
// "/cgi-bin/...cgi" (XML documents in, "RESPONSE" documents out), each
// subscribed user's RSS feed at "/rss/<user>.xml", thumbnails at
// "/thumbnail.htm" and the document page "/noctavi.htm" with its modes
// (1 download, 2 print, 5 delete, 3 and 4 the browser pages).
//
// Requests that do not have the shape the machine expects (method, content
// type, elements, query keys and their order) get 400. Feeds, thumbnails,
// printing and deleting want the owner's credentials (else 401 with a
// challenge for them, HTTP Basic unless SetAuthentication says otherwise);
// printing or deleting another user's document, or deleting without leave,
// gets 403. Other paths can still be scripted on Machine().
class FakeInformationServer {
public:
    explicit FakeInformationServer(const FakeMachine::Options& options = FakeMachine::Options());
    FakeInformationServer(const FakeInformationServer&) = delete;
    FakeInformationServer& operator=(const FakeInformationServer&) = delete;
    ~FakeInformationServer();

    FakeMachine& Machine() { return *machine_; }
    // "http://127.0.0.x:port", or "https://..." with a certificate.
    std::string BaseAddress() const;
    std::string FeedAddress(const std::string& account) const;
    std::string ThumbnailAddress(const std::string& documentId) const;

    void SetIdentity(const MachineIdentity& identity);
    void SetAuthentication(Credentials::Scheme scheme);
    void AddAccount(const MachineAccount& account);
    void AddDocument(const StoredDocument& document);
    // As if the user had deleted it on the machine's panel.
    void RemoveDocument(const std::string& id);
    // Every command then answers with only this "RESULT"; none restores the
    // machine's own answers.
    void ForceResult(std::optional<std::string> result);

    // The listen port of the user's subscription, if it has one.
    std::optional<long> Subscription(const std::string& account) const;
    // Signals news to the user's subscription as a machine does: a datagram
    // to its listen port at the address the subscription came from. False,
    // sending nothing, when the user is not subscribed.
    bool SendSignal(const std::string& account, const SignalOptions& options = SignalOptions()) const;
    std::optional<StoredDocument> Document(const std::string& id) const;
    // The IDs of the documents printed, in order.
    std::vector<std::string> Printed() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    // Declared last, so that it stops serving before the state goes.
    std::unique_ptr<FakeMachine> machine_;
};

} // namespace support

#endif
