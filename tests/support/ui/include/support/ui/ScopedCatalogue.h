#ifndef NOCTAVI_TESTS_SUPPORT_UI_SCOPEDCATALOGUE_H
#define NOCTAVI_TESTS_SUPPORT_UI_SCOPEDCATALOGUE_H

#include <support/CatalogueBuilder.h>
#include <support/TempDir.h>

#include <QString>

#include <vector>

namespace support {

// A language catalogue installed as the process-wide one for the object's
// life, then freed.
class ScopedCatalogue {
public:
    explicit ScopedCatalogue(const std::vector<test::CatalogueEntry>& entries);
    ScopedCatalogue(const ScopedCatalogue&) = delete;
    ScopedCatalogue& operator=(const ScopedCatalogue&) = delete;
    ~ScopedCatalogue();

    // A catalogue that replaces every string of the built-in table by its
    // marker, so that any text that does not come from the table shows.
    static std::vector<test::CatalogueEntry> Markers();
    static QString Marker(unsigned int id);
    static bool IsMarker(const QString& text);

private:
    TempDir folder_;
};

} // namespace support

#endif
