#ifndef NOCTAVI_SRC_MONITOREDENTRY_DATAFILEARCHIVE_H
#define NOCTAVI_SRC_MONITOREDENTRY_DATAFILEARCHIVE_H

#include <boost/archive/xml_woarchive.hpp>

#include <ostream>
#include <string>

namespace MonitoredEntry {

// Boost's wide XML output archive, writing the same text more cheaply: the
// library widens each element name through a conversion facet that it builds
// anew for every name, and puts the markup around it through the stream one
// character at a time, which made up most of a save.
class DataFileOArchive : public boost::archive::xml_woarchive_impl<DataFileOArchive> {
public:
    explicit DataFileOArchive(std::wostream& out);

    using xml_woarchive_impl<DataFileOArchive>::save;
    // Names are plain ASCII, widened directly; anything else takes the
    // library's way.
    void save(const char* text);
    // Escaped as the library escapes it, without its undefined pointer steps.
    void save(const std::wstring& text);

    // Straight into the stream's buffer, without the stream's sentry around
    // each character; a stream gone bad fails the same way.
    void put(wchar_t c);
    void put(const char* text);
};

} // namespace MonitoredEntry

#endif
