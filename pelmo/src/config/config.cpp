#include <pelmo/config/config.hpp>

#include <pelmo/config/config_converter.hpp>
#include <pelmo/convertible_version.hpp>
#include <pelmo/defective_config.hpp>
#include <pelmo/filesystem/operations.hpp>
#include <pelmo/filesystem/synced_file.hpp>
#include <pelmo/logic_error.hpp>
#include <pelmo/nonsupport_version.hpp>
#include <pelmo/open_file_failure.hpp>
#include <pelmo/system_error.hpp>

#include <boost/filesystem/fstream.hpp>
#include <boost/filesystem/operations.hpp>
#include <boost/optional.hpp>
#include <boost/program_options/options_description.hpp>
#include <boost/program_options/parsers.hpp>

#include <iomanip>
#include <locale>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace pelmo {

typedef std::map<std::string, std::string> value_map;

struct config_definition_impl {
    boost::optional<double> version;
    value_map defaults;
};

struct convert_info_impl {
    std::map<double, std::vector<boost::shared_ptr<const config_converter>>> converters;
};

template <class String>
struct config<String>::pimpl {
    boost::filesystem::path path;
    value_map values;
};

namespace {

std::string format_version(double version)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::fixed << std::setprecision(2) << version;
    return out.str();
}

// The number at the start of the text; what follows it is ignored.
boost::optional<double> read_version(const std::string& text)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double version = 0;
    if (!(in >> version))
        return boost::none;
    return version;
}

// Unknown keys are allowed; for a key given more than once the last line wins.
value_map parse(std::istream& in)
{
    namespace po = boost::program_options;
    const po::parsed_options parsed = po::parse_config_file(in, po::options_description(), true);
    value_map values;
    for (const po::option& option : parsed.options)
        values[option.string_key] = option.value.empty() ? std::string() : option.value.back();
    return values;
}

std::string render(const value_map& values)
{
    std::string text;
    for (const auto& [key, value] : values)
        text += key + " = " + value + "\n";
    return text;
}

boost::filesystem::path sibling(const boost::filesystem::path& file, const char* extension)
{
    return boost::filesystem::path(file).replace_extension(extension);
}

// The file's new text, on the disk beside it; the rename is the caller's.
std::unique_ptr<filesystem::synced_file> write_beside(const boost::filesystem::path& target, const std::string& text)
{
    try {
        auto file = std::make_unique<filesystem::synced_file>(target);
        file->write(text.data(), text.size());
        file->flush();
        return file;
    } catch (const system_error&) {
        PELMO_THROW(open_file_failure());
    }
}

// What saves that a kill interrupted left: the temporary files of the file
// and of its backup, under their present names and those of earlier saves.
void remove_leftovers(const boost::filesystem::path& file)
{
    const boost::filesystem::path backup = sibling(file, ".bak");
    filesystem::synced_file::remove_leftovers(file, sibling(file, ".tmp").filename().string());
    filesystem::synced_file::remove_leftovers(backup, backup.filename().string() + ".tmp");
}

} // namespace

template <class String>
config<String>::config()
    : definitions_(new config_definition_impl)
    , conversions_(new convert_info_impl)
    , pimpl_(new pimpl)
{
}

template <class String>
config<String>::~config() = default;

template <class String>
void config<String>::set_path(const string_type& path)
{
    pimpl_->path = boost::filesystem::absolute(path);
}

template <class String>
void config<String>::define_version(double version)
{
    definitions_->defaults.emplace("VERSION", format_version(version));
    definitions_->version = version;
}

template <class String>
void config<String>::define(const string_type& key, const string_type& default_text)
{
    definitions_->defaults.emplace(key, default_text);
}

template <class String>
void config<String>::register_converter(double version,
                                        const boost::shared_ptr<const config_converter>& converter)
{
    conversions_->converters[version].push_back(converter);
}

template <class String>
String& config<String>::get(const string_type& key)
{
    const auto found = pimpl_->values.find(key);
    if (found == pimpl_->values.end())
        PELMO_THROW(logic_error());
    return found->second;
}

template <class String>
const String& config<String>::get(const string_type& key) const
{
    return const_cast<config*>(this)->get(key);
}

template <class String>
void config<String>::load()
{
    *definitions_ = config_definition_impl();
    *conversions_ = convert_info_impl();
    define_all();
    remove_leftovers(pimpl_->path);
    const value_map& defaults = definitions_->defaults;
    const double current = definitions_->version.value_or(0);

    boost::system::error_code ignored;
    const boost::filesystem::file_type type = boost::filesystem::status(pimpl_->path, ignored).type();
    if (type == boost::filesystem::file_not_found) {
        pimpl_->values = defaults;
        save(false);
        return;
    }
    // Checked before opening: opening a FIFO would wait for a writer.
    if (type != boost::filesystem::regular_file)
        PELMO_THROW(open_file_failure());
    boost::filesystem::ifstream file(pimpl_->path);
    if (!file)
        PELMO_THROW(open_file_failure());
    file.imbue(std::locale::classic());
    value_map parsed = parse(file);

    const auto version_line = parsed.find("VERSION");
    if (version_line == parsed.end()) {
        pimpl_->values = defaults;
        PELMO_THROW(nonsupport_version());
    }
    const boost::optional<double> version = read_version(version_line->second);
    const auto converters = version ? conversions_->converters.find(*version) : conversions_->converters.end();
    if (!version || (*version != current && converters == conversions_->converters.end())) {
        pimpl_->values = defaults;
        PELMO_THROW(nonsupport_version());
    }
    if (*version != current) {
        for (const auto& converter : converters->second)
            converter->convert(parsed);
    }

    value_map merged;
    bool defective = false;
    for (const auto& [key, default_text] : defaults) {
        const auto found = parsed.find(key);
        defective = defective || found == parsed.end();
        merged[key] = found == parsed.end() ? default_text : found->second;
    }
    merged["VERSION"] = format_version(current);
    pimpl_->values.swap(merged);

    if (*version != current)
        PELMO_THROW(convertible_version());
    if (defective)
        PELMO_THROW(defective_config());
}

template <class String>
void config<String>::save(bool backup) const
{
    const boost::filesystem::path& target = pimpl_->path;
    filesystem::create_private_directories(target.parent_path());
    const std::unique_ptr<filesystem::synced_file> file = write_beside(target, render(pimpl_->values));
    // A copy rather than a rename keeps the target in place until the new file
    // replaces it in one step.
    if (backup && boost::filesystem::exists(target))
        filesystem::replace_with_copy(target, sibling(target, ".bak"));
    file->commit();
}

template <class String>
void config<String>::remove_files() const
{
    boost::filesystem::remove(pimpl_->path);
    boost::filesystem::remove(sibling(pimpl_->path, ".bak"));
}

template class config<std::string>;

} // namespace pelmo
