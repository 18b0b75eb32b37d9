// The machine search against avahi-daemon, Debian's multicast DNS responder,
// in network namespaces that run_avahi_rounds.sh makes:
//   avahi_rounds publish FOLDER
//     writes, per responder, FOLDER/<responder>/ with its "address", its
//     "avahi-daemon.conf", its "hosts" and its "services/"
//   avahi_rounds check ROUNDS NEEDED
//     runs ROUNDS rounds on the multicast group, prints what each found, and
//     succeeds when every printer came with every field right in at least
//     NEEDED rounds and all of the print server's printers in each
#include <discovery/round.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Service {
    const char* type; // "_ipp._tcp"
    std::uint16_t port;
    std::vector<std::string> txt;
};

struct Printer {
    std::string name;
    std::string typeName;
    std::string hostName;
    std::string address;
    std::vector<Service> services;
};

struct Responder {
    std::string folder;
    std::string hostName;
    std::string address;
    std::vector<Printer> printers;
};

// As long as a real printer's IPP TXT record, which no one-shot reply has
// room for beside its other records.
std::vector<std::string> PrinterTxt(const std::string& typeName)
{
    return {"txtvers=1", "qtotal=1", "rp=ipp/print", "ty=" + typeName, "adminurl=http://printer.local/",
            "note=Second floor, next to the kitchen", "priority=0", "product=(" + typeName + ")",
            "pdl=application/octet-stream,image/urf,image/pwg-raster,application/pdf,image/jpeg",
            "URF=V1.4,CP1,PQ4-5,RS300-600,SRGB24,W8,DM1", "UUID=6f1c2a9e-1b7d-4d2a-9d7e-3c1f0a2b4c5d",
            "Color=T", "Duplex=T", "TLS=1.2", "kind=document,envelope,photo", "PaperMax=legal-A4"};
}

std::vector<Responder> Link()
{
    std::vector<Responder> link = {
        {"p1", "drucker-sued", "10.77.0.11",
         {{u8"Großraumbüro Süd · Farbdrucker für Präsentation · 4. OG.", u8"Maker Ümlaut 5000", "", "",
           {{"_ipp._tcp", 631, PrinterTxt(u8"Maker Ümlaut 5000")}, {"_http._tcp", 8080, {}},
            {"_https._tcp", 8443, {}}}}}},
        {"p2", "kaigishitsu", "10.77.0.12",
         {{u8"会議室の複合機（三階東側）カラー印刷対応で", u8"メーカー 複合機 C3", "", "",
           {{"_ipp._tcp", 631, PrinterTxt(u8"メーカー 複合機 C3")}}}}},
        {"p3", "floor2", "10.77.0.13",
         {{"Floor 2. Copier (east wing), scans to e-mail & SMB; room 2.14ab", "Maker Y 300", "", "",
           {{"_ipp._tcp", 631, PrinterTxt("Maker Y 300")}, {"_http._tcp", 8081, {}}}}}},
        {"ps", "printserver", "10.77.0.20", {}},
    };
    // Printers of their own addresses that the print server publishes.
    for (int i = 1; i <= 8; ++i) {
        const std::string typeName = "Maker Queue " + std::to_string(i);
        link.back().printers.push_back(
            {"Queue " + std::to_string(i) + " of the print server, building B", typeName, "q" + std::to_string(i),
             "10.77.0." + std::to_string(100 + i),
             {{"_ipp._tcp", 631, PrinterTxt(typeName)}, {"_http._tcp", std::uint16_t(8000 + i), {}}}});
    }
    return link;
}

std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text)
        escaped += c == '&' ? std::string("&amp;") : c == '<' ? std::string("&lt;") : std::string(1, c);
    return escaped;
}

void WriteService(const std::string& file, const Printer& printer)
{
    std::ofstream out(file);
    out << "<?xml version=\"1.0\" standalone='no'?>\n<service-group>\n  <name>" << Escaped(printer.name)
        << "</name>\n";
    for (const Service& service : printer.services) {
        out << "  <service><type>" << service.type << "</type><port>" << service.port << "</port>";
        if (!printer.hostName.empty())
            out << "<host-name>" << printer.hostName << ".local</host-name>";
        for (const std::string& pair : service.txt)
            out << "<txt-record>" << Escaped(pair) << "</txt-record>";
        out << "</service>\n";
    }
    out << "</service-group>\n";
}

void WriteResponder(const std::string& folder, const Responder& responder)
{
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/services").c_str(), 0755);
    std::ofstream(folder + "/address") << responder.address << "\n";
    std::ofstream(folder + "/avahi-daemon.conf")
        << "[server]\nhost-name=" << responder.hostName
        << "\ndomain-name=local\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=eth0\nenable-dbus=no\n"
           "[wide-area]\nenable-wide-area=no\n[publish]\npublish-hinfo=no\npublish-workstation=no\n";
    std::ofstream hosts(folder + "/hosts");
    for (std::size_t i = 0; i < responder.printers.size(); ++i) {
        const Printer& printer = responder.printers[i];
        if (printer.name.size() > 63)
            throw std::length_error(printer.name);
        if (!printer.hostName.empty())
            hosts << printer.address << ' ' << printer.hostName << ".local\n";
        WriteService(folder + "/services/printer" + std::to_string(i) + ".service", printer);
    }
}

std::uint16_t PortOf(const Printer& printer, const std::string& type, std::uint16_t absent)
{
    for (const Service& service : printer.services) {
        if (service.type == type)
            return service.port;
    }
    return absent;
}

bool IsRight(const Printer& printer, const std::string& address, const std::vector<discovery::machine>& found)
{
    return std::any_of(found.begin(), found.end(), [&](const discovery::machine& m) {
        return m.address == address && m.name == printer.name && m.type_name == printer.typeName &&
               m.http_port == PortOf(printer, "_http._tcp", 80) && m.https_port == PortOf(printer, "_https._tcp", 443);
    });
}

struct Tally {
    int right = 0;
    int ofServer = 0;
};

Tally Check(const std::vector<Responder>& link, const std::vector<discovery::machine>& found)
{
    Tally tally;
    for (const Responder& responder : link) {
        for (const Printer& printer : responder.printers) {
            const bool right = IsRight(printer, printer.hostName.empty() ? responder.address : printer.address, found);
            tally.right += right;
            tally.ofServer += right && !printer.hostName.empty();
        }
    }
    return tally;
}

void Print(const std::vector<discovery::machine>& found)
{
    for (const discovery::machine& m : found)
        std::printf("  %s \"%s\" \"%s\" %u %u\n", m.address.c_str(), m.name.c_str(), m.type_name.c_str(),
                    unsigned(m.http_port), unsigned(m.https_port));
}

int CheckRounds(int rounds, int needed)
{
    const std::vector<Responder> link = Link();
    const int printers = 3 + 8;
    int fullRounds = 0;
    int serverRounds = 0;
    double longest = 0;
    for (int round = 1; round <= rounds; ++round) {
        std::vector<discovery::machine> found;
        const auto start = std::chrono::steady_clock::now();
        const int code = discovery::run_round(discovery::round_options(), found);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Tally tally = Check(link, found);
        longest = std::max(longest, seconds);
        fullRounds += tally.right == printers;
        serverRounds += tally.ofServer == 8;
        std::printf("round %d: code %d, %zu machines, %d of %d right, %d of 8 of the print server, %.2f s\n", round,
                    code, found.size(), tally.right, printers, tally.ofServer, seconds);
        if (tally.right != printers)
            Print(found);
    }
    std::printf("every printer right in %d of %d rounds, the print server's eight in %d, longest round %.2f s\n",
                fullRounds, rounds, serverRounds, longest);
    return fullRounds >= needed && serverRounds == rounds ? EXIT_SUCCESS : EXIT_FAILURE;
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
    std::cerr << "usage: avahi_rounds publish FOLDER | check ROUNDS NEEDED\n";
    return 2;
}
