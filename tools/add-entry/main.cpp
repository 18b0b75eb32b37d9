// Adds one monitored entry to "data.dat" in the data folder ($XDG_DATA_HOME),
// starting from the settings' defaults for a new entry, as the program's own
// code loads and saves it. For the demo, until install mode registers
// entries.
//
//   add-entry --host 127.0.0.2 --http 8080 --uid alice --upass secret [--uname Alice] [--popup-ms 0]

#include <Noctavi/MonitoredEntry/Config.h>
#include <Noctavi/MonitoredEntry/EntryManager.h>
#include <Noctavi/MonitoredEntry/EntryProperty.h>
#include <Noctavi/MonitoredEntry/Serializer.h>
#include <Noctavi/MonitoredEntry/Transaction.h>
#include <Noctavi/System/Config.h>
#include <Noctavi/System/ConfigLimits.h>
#include <Noctavi/Utility/TextConversion.h>

#include <boost/program_options.hpp>

#include <iostream>

namespace {

namespace options = boost::program_options;

boost::optional<std::wstring> OptionalText(const options::variables_map& values, const char* option)
{
    if (!values.count(option))
        return boost::none;
    return Utility::ToWide(values[option].as<std::string>());
}

// Plain HTTP on the given port, as the fake machine serves.
MonitoredEntry::EntryProperty EntryFromOptions(const options::variables_map& values)
{
    MonitoredEntry::EntryProperty property = Config::GetInstance().GetEntryDefaults();
    property.SetMFP(MonitoredEntry::MFP(boost::none, Utility::ToWide(values["host"].as<std::string>()),
                                        values["http"].as<int>(), boost::none, false));
    property.SetUser(MonitoredEntry::User(OptionalText(values, "uname"), Utility::ToWide(values["uid"].as<std::string>()),
                                          MonitoredEntry::Password(*OptionalText(values, "upass"))));
    if (values.count("popup-ms")) {
        MonitoredEntry::Config config = property.GetConfig();
        config.SetEraseTime(values["popup-ms"].as<int>());
        property.SetConfig(config);
    }
    return property;
}

} // namespace

int main(int argc, char** argv)
{
    options::options_description description("add-entry options");
    description.add_options()("host", options::value<std::string>()->required(), "the machine's host")(
        "http", options::value<int>()->required(), "the machine's HTTP port")(
        "uid", options::value<std::string>()->required(), "the account ID")(
        "upass", options::value<std::string>()->default_value(""), "the password")(
        "uname", options::value<std::string>(), "the user's display name")(
        "popup-ms", options::value<int>(), "how long a pop-up stays (0: until closed)");
    try {
        options::variables_map values;
        options::store(options::parse_command_line(argc, argv, description), values);
        options::notify(values);
        Config::GetInstance().Load();
        ApplyConfigLimits();
        Serializer serializer;
        serializer.Load();
        {
            MonitoredEntry::EntryManager::Transaction transaction(serializer.GetEntryManager());
            transaction.Append(EntryFromOptions(values));
            transaction.Commit();
        }
        serializer.Save();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "add-entry: " << e.what() << '\n' << description;
        return 1;
    }
}
