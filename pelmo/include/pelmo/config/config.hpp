#ifndef PELMO_CONFIG_CONFIG_HPP
#define PELMO_CONFIG_CONFIG_HPP

#include <boost/shared_ptr.hpp>

#include <string>

namespace pelmo {

class config_converter;
struct config_definition_impl;
struct convert_info_impl;

// A versioned file of "KEY = value" lines checked against a table of defined
// keys with their defaults.
//
// The subclass supplies the table in define_all, which every load calls
// afresh: it sets the path, the version and every key. load merges the file
// with the table (missing keys take their defaults, unknown keys are dropped)
// and reports what it found through pelmo::open_file_failure (also for a path
// that is no regular file), nonsupport_version, convertible_version and
// defective_config; a missing file is written with the defaults. save writes
// a temporary file beside the target and renames it into place, so the
// previous file survives a failed save; the ".bak" file is replaced the same
// way. load first removes the temporary files that saves cut short by a kill
// left beside the file and its ".bak" file.
// Numbers are read and written in the classic locale.
//
// Only std::string is provided: the file is narrow text.
template <class String>
class config {
public:
    typedef String string_type;

    config(const config&) = delete;
    config& operator=(const config&) = delete;
    virtual ~config();

    void load();
    // With backup, the previous file is kept as the ".bak" file.
    void save(bool backup) const;
    // Deletes the file and its ".bak" file, each when present.
    void remove_files() const;

    // The current value of a defined key; every defined key has one after any
    // load. Asking for a key that was not defined, or before the first load,
    // throws pelmo::logic_error.
    string_type& get(const string_type& key);
    const string_type& get(const string_type& key) const;

protected:
    config();

    // Stores the path made absolute against the current folder.
    void set_path(const string_type& path);
    // The version is written with two decimals ("VERSION = 1.00").
    void define_version(double version);
    // A key defined twice keeps its first default.
    void define(const string_type& key, const string_type& default_text);
    // The converters registered for an older version run over a file of that
    // version in the order of registration.
    void register_converter(double version, const boost::shared_ptr<const config_converter>& converter);

private:
    virtual void define_all() = 0;

    struct pimpl;

    boost::shared_ptr<config_definition_impl> definitions_;
    boost::shared_ptr<convert_info_impl> conversions_;
    boost::shared_ptr<pimpl> pimpl_;
};

} // namespace pelmo

#endif
