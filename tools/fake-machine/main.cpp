// A machine's information server on a loopback address, serving until
// interrupted and printing every request it receives. Scripted replies take
// the place of its own answers for their paths.
//
//   fake-machine --address 127.0.0.2 --port 8080 --user alice:Alice:secret
//                --document alice:doc1:scan.pdf:scan-thumbnail.jpg
//   fake-machine --reply /cgi-bin/GetUserList.cgi=users.xml ...
//   fake-machine --https --ca-out ca.pem ...    (trust ca.pem through SSL_CERT_FILE)
//   fake-machine --https ...                    (a self-signed certificate, as machines have)
//   fake-machine --dns-sd 5353 ...              (machine searches find it: NOCTAVI_SEARCH_TARGET=127.0.0.2:5353)
//   fake-machine --dns-sd 5353 --dns-sd-malformed ...  (each answer preceded by malformed datagrams)
//   fake-machine --handshake-delay 150 ...      (each new connection held 150 ms, as on a slow machine)
//   fake-machine --control ...                  (commands on standard input, one a line:)
//       publish OWNER:ID:FILE[:THUMBNAIL]   store a document and signal its owner's subscription
//       signal ACCOUNT                      signal the user's subscription, as on news

#include <support/FakeInformationServer.h>
#include <support/FakeResponder.h>

#include <boost/algorithm/string/split.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/posix/stream_descriptor.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/streambuf.hpp>
#include <boost/program_options.hpp>

#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

#include <unistd.h>

namespace {

namespace options = boost::program_options;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string ContentTypeOf(const std::string& file)
{
    const std::string extension = file.substr(file.find_last_of('.') + 1);
    if (extension == "xml" || extension == "rss")
        return "text/xml; charset=UTF-8";
    if (extension == "jpg" || extension == "jpeg")
        return "image/jpeg";
    if (extension == "pdf")
        return "application/pdf";
    if (extension == "tif" || extension == "tiff")
        return "image/tiff";
    return "text/html";
}

// "PATH=FILE": the file's content answers the path.
void ScriptReply(support::FakeMachine& machine, const std::string& route)
{
    const std::size_t equals = route.find('=');
    if (equals == std::string::npos)
        throw std::runtime_error("--reply wants PATH=FILE: " + route);
    const std::string file = route.substr(equals + 1);
    support::Reply reply;
    reply.body = ReadFile(file);
    reply.contentType = ContentTypeOf(file);
    machine.Script(route.substr(0, equals), reply);
}

// The fields of a colon-separated value; the last ones may be left out.
std::vector<std::string> Fields(const std::string& value, std::size_t least, std::size_t most, const char* option)
{
    std::vector<std::string> fields;
    boost::algorithm::split(fields, value, [](char c) { return c == ':'; });
    if (fields.size() < least || fields.size() > most)
        throw std::runtime_error(std::string("--") + option + " has the wrong number of fields: " + value);
    fields.resize(most);
    return fields;
}

// "ID:DISPLAY NAME:PASSWORD"
void AddAccount(support::FakeInformationServer& server, const std::string& value)
{
    const std::vector<std::string> fields = Fields(value, 1, 3, "user");
    server.AddAccount(support::MachineAccount{fields[0], fields[1].empty() ? fields[0] : fields[1], fields[2]});
}

// "OWNER:ID:FILE[:THUMBNAIL FILE]"; gives the owner.
std::string AddDocument(support::FakeInformationServer& server, const std::string& value)
{
    const std::vector<std::string> fields = Fields(value, 3, 4, "document");
    support::StoredDocument document;
    document.owner = fields[0];
    document.id = fields[1];
    document.title = fields[2];
    document.contentType = ContentTypeOf(fields[2]);
    document.content = ReadFile(fields[2]);
    if (!fields[3].empty())
        document.thumbnail = ReadFile(fields[3]);
    server.AddDocument(document);
    return document.owner;
}

void Signal(const support::FakeInformationServer& server, const std::string& account)
{
    std::cout << (server.SendSignal(account) ? "signalled " : "no subscription to signal for ") << account
              << std::endl;
}

// Reads the commands of --control from standard input, one a line, until it ends.
class Control {
public:
    Control(boost::asio::io_context& io, support::FakeInformationServer& server)
        : input_(io, ::dup(STDIN_FILENO))
        , server_(server)
    {
        Read();
    }

private:
    void Read()
    {
        boost::asio::async_read_until(input_, buffer_, '\n',
                                      [this](const boost::system::error_code& failure, std::size_t) {
                                          if (failure)
                                              return;
                                          std::istream lines(&buffer_);
                                          std::string line;
                                          std::getline(lines, line);
                                          Run(line);
                                          Read();
                                      });
    }

    void Run(const std::string& line)
    {
        std::istringstream words(line);
        std::string command;
        std::string argument;
        words >> command >> argument;
        try {
            if (command == "publish")
                Signal(server_, AddDocument(server_, argument));
            else if (command == "signal")
                Signal(server_, argument);
            else if (!command.empty())
                std::cerr << "fake-machine: unknown command: " << command << std::endl;
        } catch (const std::exception& e) {
            std::cerr << "fake-machine: " << e.what() << std::endl;
        }
    }

    boost::asio::posix::stream_descriptor input_;
    boost::asio::streambuf buffer_;
    support::FakeInformationServer& server_;
};

template <class Add>
void ForEachValue(const options::variables_map& values, const char* option, Add add)
{
    if (values.count(option)) {
        for (const std::string& value : values[option].as<std::vector<std::string>>())
            add(value);
    }
}

void PrintRequest(const support::RecordedRequest& request)
{
    std::cout << request.method << ' ' << request.target;
    if (!request.authScheme.empty())
        std::cout << " [" << request.authScheme << ' ' << request.user << ']';
    std::cout << " body " << request.body.size() << " bytes" << std::endl;
}

support::FakeMachine::Options MachineOptions(const options::variables_map& values,
                                             std::unique_ptr<support::TestAuthority>& authority)
{
    support::FakeMachine::Options result;
    result.address = values["address"].as<std::string>();
    result.port = values["port"].as<std::uint16_t>();
    if (!values.count("https"))
        return result;
    if (!values.count("ca-out")) {
        result.certificate = support::SelfSignedCertificate(result.address);
        return result;
    }
    authority = std::make_unique<support::TestAuthority>();
    std::ofstream(values["ca-out"].as<std::string>()) << authority->CertificatePem();
    result.certificate = authority->Issue(result.address);
    return result;
}

// Answers machine searches on the machine's address, publishing the machine
// as a printer and as the web service it serves.
std::unique_ptr<support::FakeResponder> StartResponder(const options::variables_map& values,
                                                       const support::FakeMachine& machine)
{
    if (!values.count("dns-sd"))
        return nullptr;
    using Type = support::PublishedService::Type;
    auto responder =
        std::make_unique<support::FakeResponder>(machine.Address(), values["dns-sd"].as<std::uint16_t>());
    const std::string name = values["machine-name"].as<std::string>();
    const Type web = values.count("https") ? Type::Https : Type::Http;
    responder->Publish({machine.Address(), "fake-machine.local",
                        {{Type::Ipp, name, 631, {"ty=" + name}}, {web, name, machine.Port(), {}}}});
    responder->SetMalformed(values.count("dns-sd-malformed") > 0);
    std::cout << "dns-sd " << responder->Address() << ':' << responder->Port() << std::endl;
    return responder;
}

} // namespace

int main(int argc, char** argv)
{
    options::options_description description("fake-machine options");
    description.add_options()("help", "this text")(
        "address", options::value<std::string>()->default_value("127.0.0.1"), "loopback address to bind")(
        "port", options::value<std::uint16_t>()->default_value(0), "port (0: any free one)")(
        "https", "serve HTTPS")("ca-out", options::value<std::string>(), "sign with a new authority, written here")(
        "reply", options::value<std::vector<std::string>>(), "PATH=FILE: answer PATH with FILE")(
        "machine-name", options::value<std::string>()->default_value("Fake MFP"), "the machine's name")(
        "user", options::value<std::vector<std::string>>(), "ID:DISPLAY NAME:PASSWORD: a user account")(
        "document", options::value<std::vector<std::string>>(),
        "OWNER:ID:FILE[:THUMBNAIL]: a stored document, with a JPEG thumbnail")(
        "control", "take the commands publish and signal on standard input")(
        "dns-sd", options::value<std::uint16_t>(), "PORT: answer machine searches on the machine's address")(
        "dns-sd-malformed", "answer each search with malformed datagrams first")(
        "handshake-delay", options::value<int>()->default_value(0), "MS: hold each new connection this long");
    try {
        options::variables_map values;
        options::store(options::parse_command_line(argc, argv, description), values);
        options::notify(values);
        if (values.count("help")) {
            std::cout << description;
            return 0;
        }
        std::unique_ptr<support::TestAuthority> authority;
        support::FakeInformationServer server(MachineOptions(values, authority));
        support::FakeMachine& machine = server.Machine();
        server.SetIdentity(support::MachineIdentity{values["machine-name"].as<std::string>()});
        ForEachValue(values, "user", [&](const std::string& value) { AddAccount(server, value); });
        ForEachValue(values, "document", [&](const std::string& value) { AddDocument(server, value); });
        ForEachValue(values, "reply", [&](const std::string& value) { ScriptReply(machine, value); });
        machine.OnRequest(PrintRequest);
        machine.SetHandshakeDelay(std::chrono::milliseconds(values["handshake-delay"].as<int>()));
        std::cout << (values.count("https") ? "https://" : "http://") << machine.Address() << ':' << machine.Port()
                  << std::endl;
        const std::unique_ptr<support::FakeResponder> responder = StartResponder(values, machine);

        boost::asio::io_context io;
        boost::asio::signal_set signals(io, SIGINT, SIGTERM);
        signals.async_wait([&io](const boost::system::error_code&, int) { io.stop(); });
        std::unique_ptr<Control> control;
        if (values.count("control"))
            control = std::make_unique<Control>(io, server);
        io.run();
        const support::MachineCounters counted = machine.Counters();
        std::cout << "connections " << counted.connections << ", handshakes " << counted.handshakes << ", challenges "
                  << counted.challenges << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "fake-machine: " << e.what() << std::endl;
        return 1;
    }
}
