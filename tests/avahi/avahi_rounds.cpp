// The machine search against avahi-daemon on the link that
// run_avahi_rounds.sh makes:
//   avahi_rounds publish FOLDER      writes each responder's "address",
//                                    "avahi-daemon.conf", "hosts" and "services/"
//   avahi_rounds check ROUNDS NEEDED runs rounds on the multicast group; fails
//                                    unless every printer came right in NEEDED
//                                    of them and the print server's eight in all
#include <discovery/round.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace discovery {

bool operator==(const machine& a, const machine& b)
{
    return std::tie(a.address, a.name, a.type_name, a.http_port, a.https_port) ==
           std::tie(b.address, b.name, b.type_name, b.http_port, b.https_port);
}

} // namespace discovery

namespace {

// What a round must find, each name of 63 bytes but the print server's; it
// publishes "_ipp._tcp" on 631, and a web service on each port that is not
// the default.
struct Printer {
    discovery::machine expected;
    std::string hostName; // when a print server publishes it for a host of its own
};

struct Responder {
    std::string folder;
    std::string hostName;
    std::vector<Printer> printers;
};

std::vector<Responder> Link()
{
    std::vector<Responder> link = {
        {"p1", "drucker-sued",
         {{{"10.77.0.11", u8"Großraumbüro Süd · Farbdrucker für Präsentation · 4. OG.", u8"Maker Ümlaut 5000", 8080,
            8443},
           ""}}},
        {"p2", "kaigishitsu",
         {{{"10.77.0.12", u8"会議室の複合機（三階東側）カラー印刷対応で", u8"メーカー 複合機 C3", 80, 443}, ""}}},
        {"p3", "floor2",
         {{{"10.77.0.13", "Floor 2. Copier (east wing), scans to e-mail or SMB; room 2.140", "Maker Y 300", 8081,
            443},
           ""}}},
        {"ps", "printserver", {}},
    };
    for (int i = 1; i <= 8; ++i) {
        const std::string n = std::to_string(i);
        link.back().printers.push_back(
            {{"10.77.0.10" + n, "Queue " + n + " of the print server, building B", "Maker Queue " + n,
              std::uint16_t(8000 + i), 443},
             "q" + n});
    }
    return link;
}

// As long as a real printer's, which leaves no room for it in a one-shot
// reply beside a long name.
std::vector<std::string> PrinterTxt(const std::string& typeName)
{
    return {"txtvers=1", "ty=" + typeName, "product=(" + typeName + ")", "rp=ipp/print",
            "pdl=application/octet-stream,image/urf,image/pwg-raster,application/pdf,image/jpeg",
            "note=" + std::string(250, 'n')};
}

void WriteService(const std::string& file, const Printer& printer)
{
    const discovery::machine& m = printer.expected;
    const std::string host = printer.hostName.empty() ? "" : "<host-name>" + printer.hostName + ".local</host-name>";
    std::ofstream out(file);
    out << "<?xml version=\"1.0\"?>\n<service-group><name>" << m.name << "</name>\n"
        << "<service><type>_ipp._tcp</type><port>631</port>" << host;
    for (const std::string& pair : PrinterTxt(m.type_name))
        out << "<txt-record>" << pair << "</txt-record>";
    out << "</service>\n";
    if (m.http_port != 80)
        out << "<service><type>_http._tcp</type><port>" << m.http_port << "</port>" << host << "</service>\n";
    if (m.https_port != 443)
        out << "<service><type>_https._tcp</type><port>" << m.https_port << "</port>" << host << "</service>\n";
    out << "</service-group>\n";
}

void WriteResponder(const std::string& folder, const Responder& responder)
{
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/services").c_str(), 0755);
    const bool server = !responder.printers.front().hostName.empty();
    std::ofstream(folder + "/address") << (server ? "10.77.0.20" : responder.printers.front().expected.address);
    std::ofstream(folder + "/avahi-daemon.conf")
        << "[server]\nhost-name=" << responder.hostName
        << "\ndomain-name=local\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=eth0\nenable-dbus=no\n"
           "[wide-area]\nenable-wide-area=no\n[publish]\npublish-hinfo=no\npublish-workstation=no\n";
    std::ofstream hosts(folder + "/hosts");
    for (std::size_t i = 0; i < responder.printers.size(); ++i) {
        const Printer& printer = responder.printers[i];
        if (server)
            hosts << printer.expected.address << ' ' << printer.hostName << ".local\n";
        WriteService(folder + "/services/printer" + std::to_string(i) + ".service", printer);
    }
}

// How many printers came right, in all and of the print server.
std::pair<int, int> Tally(const std::vector<discovery::machine>& found)
{
    std::pair<int, int> right;
    for (const Responder& responder : Link()) {
        for (const Printer& printer : responder.printers) {
            const bool came = std::count(found.begin(), found.end(), printer.expected) == 1;
            right.first += came;
            right.second += came && !printer.hostName.empty();
        }
    }
    return right;
}

int CheckRounds(int rounds, int needed)
{
    int everyPrinter = 0;
    int serversEight = 0;
    double longest = 0;
    for (int round = 1; round <= rounds; ++round) {
        std::vector<discovery::machine> found;
        const auto start = std::chrono::steady_clock::now();
        const int code = discovery::run_round(discovery::round_options(), found);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto [right, ofServer] = Tally(found);
        longest = std::max(longest, seconds);
        everyPrinter += right == 11;
        serversEight += ofServer == 8;
        std::printf("round %d: code %d, %zu machines, %d of 11 right, %d of the server's 8, %.2f s\n", round, code,
                    found.size(), right, ofServer, seconds);
        for (const discovery::machine& m : right == 11 ? std::vector<discovery::machine>() : found)
            std::printf("  %s \"%s\" \"%s\" %d %d\n", m.address.c_str(), m.name.c_str(), m.type_name.c_str(),
                        m.http_port, m.https_port);
    }
    std::printf("every printer right in %d of %d rounds, the print server's eight in %d, longest round %.2f s\n",
                everyPrinter, rounds, serversEight, longest);
    return everyPrinter >= needed && serversEight == rounds ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 2 && arguments[0] == "publish") {
        for (const Responder& responder : Link())
            WriteResponder(arguments[1] + "/" + responder.folder, responder);
        return EXIT_SUCCESS;
    }
    if (arguments.size() == 3 && arguments[0] == "check")
        return CheckRounds(std::stoi(arguments[1]), std::stoi(arguments[2]));
    std::fputs("usage: avahi_rounds publish FOLDER | check ROUNDS NEEDED\n", stderr);
    return 2;
}
