#include "DataFileArchive.h"

// The archive's templates are instantiated here for the derived archive, as
// the library instantiates them for its own.
#include <boost/archive/detail/archive_serializer_map.hpp>
#include <boost/archive/impl/archive_serializer_map.ipp>
#include <boost/archive/impl/basic_xml_oarchive.ipp>
#include <boost/archive/impl/xml_woarchive_impl.ipp>

#include <algorithm>
#include <cstddef>

namespace boost::archive {
template class detail::archive_serializer_map<MonitoredEntry::DataFileOArchive>;
template class basic_xml_oarchive<MonitoredEntry::DataFileOArchive>;
template class xml_woarchive_impl<MonitoredEntry::DataFileOArchive>;
} // namespace boost::archive

namespace MonitoredEntry {
namespace {

// The library's escape of a character; none for a character left as it is.
const char* Entity(wchar_t c)
{
    switch (c) {
    case L'&':
        return "&amp;";
    case L'<':
        return "&lt;";
    case L'>':
        return "&gt;";
    case L'"':
        return "&quot;";
    case L'\'':
        return "&apos;";
    default:
        return nullptr;
    }
}

// A character that the library's escaping and widening leave as it is.
bool IsPlain(char c)
{
    return c > 0 && !Entity(static_cast<wchar_t>(c));
}

// As the stream's put does it, but for the sentry.
void PutInto(std::wostream& out, wchar_t c)
{
    using Traits = std::wostream::traits_type;
    if (Traits::eq_int_type(out.rdbuf()->sputc(c), Traits::eof()))
        out.setstate(std::ios::badbit);
}

} // namespace

DataFileOArchive::DataFileOArchive(std::wostream& out)
    : xml_woarchive_impl<DataFileOArchive>(out, 0)
{
    init();
}

void DataFileOArchive::save(const char* text)
{
    const char* const end = text + std::char_traits<char>::length(text);
    if (!std::all_of(text, end, IsPlain)) {
        xml_woarchive_impl<DataFileOArchive>::save(text);
        return;
    }
    wchar_t wide[64];
    while (text != end) {
        const std::size_t count = std::min<std::size_t>(end - text, std::size(wide));
        std::copy(text, text + count, wide);
        os.write(wide, static_cast<std::streamsize>(count));
        text += count;
    }
}

// The library's own escaping steps a null pointer on past every character it
// leaves as it is, which is undefined; this writes the same text.
void DataFileOArchive::save(const std::wstring& text)
{
    for (const wchar_t c : text) {
        if (const char* const entity = Entity(c))
            put(entity);
        else
            PutInto(os, c);
    }
}

void DataFileOArchive::put(wchar_t c)
{
    if (os.fail())
        boost::serialization::throw_exception(
            boost::archive::archive_exception(boost::archive::archive_exception::output_stream_error));
    PutInto(os, c);
}

void DataFileOArchive::put(const char* text)
{
    for (; *text != '\0'; ++text)
        PutInto(os, static_cast<wchar_t>(*text));
}

} // namespace MonitoredEntry
