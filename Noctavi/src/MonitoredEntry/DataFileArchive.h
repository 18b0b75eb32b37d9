#ifndef NOCTAVI_SRC_MONITOREDENTRY_DATAFILEARCHIVE_H
#define NOCTAVI_SRC_MONITOREDENTRY_DATAFILEARCHIVE_H

#include <boost/archive/xml_woarchive.hpp>

#include <ostream>

namespace MonitoredEntry {

// Boost's wide XML output archive, writing the same text, but with element
// names widened directly: the library widens each through a conversion facet
// that it builds anew for every name, which made up a large part of a save.
class DataFileOArchive : public boost::archive::xml_woarchive_impl<DataFileOArchive> {
public:
    explicit DataFileOArchive(std::wostream& out);

    using xml_woarchive_impl<DataFileOArchive>::save;
    // Names are plain ASCII; anything else takes the library's way.
    void save(const char* text);
};

} // namespace MonitoredEntry

#endif
