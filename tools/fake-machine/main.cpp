// Serves scripted replies on a loopback address until interrupted, printing
// every request it receives.
//
//   fake-machine --address 127.0.0.2 --port 8080 --reply /cgi-bin/GetUserList.cgi=users.xml
//   fake-machine --https --ca-out ca.pem ...    (trust ca.pem through SSL_CERT_FILE)
//   fake-machine --https ...                    (a self-signed certificate, as machines have)

#include <support/FakeMachine.h>

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/program_options.hpp>

#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>

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

} // namespace

int main(int argc, char** argv)
{
    options::options_description description("fake-machine options");
    description.add_options()("help", "this text")(
        "address", options::value<std::string>()->default_value("127.0.0.1"), "loopback address to bind")(
        "port", options::value<std::uint16_t>()->default_value(0), "port (0: any free one)")(
        "https", "serve HTTPS")("ca-out", options::value<std::string>(), "sign with a new authority, written here")(
        "reply", options::value<std::vector<std::string>>(), "PATH=FILE: answer PATH with FILE");
    try {
        options::variables_map values;
        options::store(options::parse_command_line(argc, argv, description), values);
        options::notify(values);
        if (values.count("help")) {
            std::cout << description;
            return 0;
        }
        std::unique_ptr<support::TestAuthority> authority;
        support::FakeMachine machine(MachineOptions(values, authority));
        if (values.count("reply")) {
            for (const std::string& route : values["reply"].as<std::vector<std::string>>())
                ScriptReply(machine, route);
        }
        machine.OnRequest(PrintRequest);
        std::cout << (values.count("https") ? "https://" : "http://") << machine.Address() << ':' << machine.Port()
                  << std::endl;

        boost::asio::io_context io;
        boost::asio::signal_set signals(io, SIGINT, SIGTERM);
        signals.async_wait([](const boost::system::error_code&, int) {});
        io.run();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "fake-machine: " << e.what() << std::endl;
        return 1;
    }
}
