#include <support/ui/ScopedCatalogue.h>

#include <Noctavi/Utility/BuiltInStrings.h>
#include <Noctavi/Utility/LrcCatalogue.h>

#include <QRegularExpression>

#include <fstream>
#include <stdexcept>

namespace support {

ScopedCatalogue::ScopedCatalogue(const std::vector<test::CatalogueEntry>& entries)
{
    const std::string path = folder_.Folder() + "catalogue.lrc";
    const std::vector<unsigned char> bytes = test::BuildCatalogue(entries);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    if (!LrcCatalogue::Open(path))
        throw std::runtime_error("the test catalogue did not load");
}

ScopedCatalogue::~ScopedCatalogue()
{
    LrcCatalogue::Free();
}

std::vector<test::CatalogueEntry> ScopedCatalogue::Markers()
{
    std::vector<test::CatalogueEntry> entries;
    for (std::size_t i = 0; i < Utility::kBuiltInStringCount; ++i) {
        const unsigned int id = Utility::kBuiltInStrings[i].id;
        entries.push_back({static_cast<std::int32_t>(id), Marker(id).toStdU16String()});
    }
    return entries;
}

QString ScopedCatalogue::Marker(unsigned int id)
{
    return QStringLiteral("@%1@").arg(id);
}

bool ScopedCatalogue::IsMarker(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("^@[0-9]+@$"));
    return marker.match(text).hasMatch();
}

} // namespace support
