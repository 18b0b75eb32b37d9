#ifndef PELMO_CONFIG_CONFIG_CONVERTER_HPP
#define PELMO_CONFIG_CONFIG_CONVERTER_HPP

#include <map>
#include <string>

namespace pelmo {

// One step that brings the keys of an older configuration file closer to the
// current version, rewriting the parsed key map in place.
class config_converter {
public:
    config_converter() = default;
    config_converter(const config_converter&) = delete;
    config_converter& operator=(const config_converter&) = delete;
    virtual ~config_converter() = default;

    virtual void convert(std::map<std::string, std::string>& values) const = 0;
};

} // namespace pelmo

#endif
