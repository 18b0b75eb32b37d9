#include <Noctavi/UI/FontCharsetCheck.h>

#include <QFontDatabase>
#include <QStringList>

namespace UI {

namespace {

struct CharsetWritingSystem {
    int charset;
    QFontDatabase::WritingSystem system;
};

// Windows character sets by their codes; the Western variants share Latin.
constexpr CharsetWritingSystem kWritingSystems[] = {
    {0, QFontDatabase::Latin},                 // ANSI
    {2, QFontDatabase::Symbol},                // symbol
    {77, QFontDatabase::Latin},                // Macintosh
    {128, QFontDatabase::Japanese},            // Shift JIS
    {129, QFontDatabase::Korean},              // Hangul
    {130, QFontDatabase::Korean},              // Johab
    {134, QFontDatabase::SimplifiedChinese},   // GB2312
    {136, QFontDatabase::TraditionalChinese},  // Big5
    {161, QFontDatabase::Greek},
    {162, QFontDatabase::Latin},               // Turkish
    {163, QFontDatabase::Vietnamese},
    {177, QFontDatabase::Hebrew},
    {178, QFontDatabase::Arabic},
    {186, QFontDatabase::Latin},               // Baltic
    {204, QFontDatabase::Cyrillic},            // Russian
    {222, QFontDatabase::Thai},
    {238, QFontDatabase::Latin},               // Eastern European
};

// The default and the OEM character set name no writing system of their own:
// any font serves them.
constexpr int kDefaultCharset = 1;
constexpr int kOemCharset = 255;

} // namespace

bool HasFontForCharset(int charset)
{
    if (charset == kDefaultCharset || charset == kOemCharset)
        return !QFontDatabase::families().isEmpty();
    for (const CharsetWritingSystem& entry : kWritingSystems) {
        if (entry.charset == charset)
            return !QFontDatabase::families(entry.system).isEmpty();
    }
    return false;
}

} // namespace UI
