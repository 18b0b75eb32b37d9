#ifndef NOCTAVI_UTILITY_CLRCREADER_H
#define NOCTAVI_UTILITY_CLRCREADER_H

#include <Noctavi/Utility/LrcCatalogue.h>

#include <boost/optional.hpp>

#include <string>

// The front through which the string loader reads the process-wide catalogue.
// It holds nothing itself. Lookups may run on any thread, also while another
// thread installs or frees the catalogue: each one works on the catalogue that
// was installed when it began.
class CLrcReader {
public:
    virtual ~CLrcReader() = default;

    // Makes the catalogue the process-wide one; none frees it.
    static void Install(boost::optional<LrcCatalogue> catalogue);

    // LrcCatalogue::Find on the process-wide catalogue; none without one.
    boost::optional<std::wstring> Find(unsigned int id) const;

    // LrcCatalogue::Version of the process-wide catalogue; none without one.
    boost::optional<std::wstring> GetVersionText() const;
};

#endif
