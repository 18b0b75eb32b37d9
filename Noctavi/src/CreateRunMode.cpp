#include <Noctavi/CreateRunMode.h>

#include <Noctavi/InstallMode.h>
#include <Noctavi/NormalMode.h>
#include <Noctavi/UninstallMode.h>
#include <Noctavi/Utility/TextConversion.h>

#include <boost/program_options/options_description.hpp>
#include <boost/program_options/parsers.hpp>
#include <boost/program_options/value_semantic.hpp>
#include <boost/program_options/variables_map.hpp>

namespace {

namespace options = boost::program_options;

constexpr unsigned kLineWidth = 80;

options::options_description RunModeOptions()
{
    options::options_description table("", kLineWidth);
    table.add_options()("install,i", "")("uninstall,u", "")("mname", options::value<std::string>(), "")(
        "host", options::value<std::string>(), "")("http", options::value<int>(), "")(
        "https", options::value<int>(), "")("uname", options::value<std::string>(), "")(
        "uid", options::value<std::string>(), "")("upass", options::value<std::string>(), "")("convert", "");
    return table;
}

options::variables_map ParseCommandLine(const std::vector<std::string>& arguments)
{
    options::variables_map values;
    options::store(options::command_line_parser(arguments).options(RunModeOptions()).allow_unregistered().run(),
                   values);
    options::notify(values);
    return values;
}

template <typename T>
boost::optional<T> Optional(const options::variables_map& values, const char* name)
{
    if (!values.count(name))
        return boost::none;
    return values[name].as<T>();
}

boost::optional<std::wstring> OptionalText(const options::variables_map& values, const char* name)
{
    const boost::optional<std::string> text = Optional<std::string>(values, name);
    if (!text)
        return boost::none;
    return Utility::ToWide(*text);
}

InstallMode::Options InstallOptions(const options::variables_map& values)
{
    InstallMode::Options options;
    options.machineName = OptionalText(values, "mname");
    options.host = OptionalText(values, "host");
    options.http = Optional<int>(values, "http");
    options.https = Optional<int>(values, "https");
    options.userName = OptionalText(values, "uname");
    options.accountId = OptionalText(values, "uid");
    if (const boost::optional<std::wstring> password = OptionalText(values, "upass"))
        options.password = MonitoredEntry::Password(*password);
    return options;
}

} // namespace

std::unique_ptr<RunMode> CreateRunMode(const std::vector<std::string>& arguments)
{
    const options::variables_map values = ParseCommandLine(arguments);
    if (values.count("install"))
        return std::make_unique<InstallMode>(InstallOptions(values));
    if (values.count("uninstall"))
        return std::make_unique<UninstallMode>();
    return std::make_unique<NormalMode>();
}

bool NeedsWindows(const std::vector<std::string>& arguments) noexcept
{
    try {
        const options::variables_map values = ParseCommandLine(arguments);
        return values.count("install") || !values.count("uninstall");
    } catch (...) {
        return true;
    }
}
