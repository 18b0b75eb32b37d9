#include <Noctavi/CreateRunMode.h>

#include <Noctavi/NormalMode.h>
#include <Noctavi/UninstallMode.h>

#include <pelmo/exception.hpp>
#include <pelmo/logic_error.hpp>

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

} // namespace

std::unique_ptr<RunMode> CreateRunMode(const std::vector<std::string>& arguments)
{
    const options::variables_map values = ParseCommandLine(arguments);
    if (values.count("install")) {
        // Composition point: install mode comes with the detail settings
        // sheet and is built here from the values; until then the request
        // fails as start-up does.
        PELMO_THROW(pelmo::logic_error());
    }
    if (values.count("uninstall"))
        return std::make_unique<UninstallMode>();
    return std::make_unique<NormalMode>();
}
