#include <Noctavi/UI/AboutDlg.h>
#include <Noctavi/UI/DialogItem.h>
#include <Noctavi/VersionInfo.h>

#include <support/ui/ScopedCatalogue.h>

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include <memory>

namespace {

using support::ScopedCatalogue;

QString Label(const QWidget& dialog, int id)
{
    return UI::GetDlgItem<QLabel>(dialog, id).text();
}

TEST(AboutDlg, ShowsTheBuildsVersionAndCopyright)
{
    UI::AboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_FALSE(dialog.windowIcon().isNull());
    EXPECT_EQ(Label(dialog, 1110), "Noctavi");
    EXPECT_EQ(Label(dialog, 1111), "Version " NOCTAVI_TEST_PROJECT_VERSION);
    EXPECT_EQ(Label(dialog, 1112), QString::fromUtf8(VersionInfo::kLegalCopyright));
    EXPECT_FALSE(Label(dialog, 1112).isEmpty());
    EXPECT_EQ(Label(dialog, 1113), "Language -");

    dialog.show();
    UI::GetDlgItem<QPushButton>(dialog, 1).click();
    EXPECT_FALSE(dialog.isVisible());
}

// The catalogue's version, marked when a text the box shows was missing from
// it; an empty catalogue leaves every text to the built-in table unmarked.
TEST(AboutDlg, ShowsTheCataloguesVersionMarkedAfterAMiss)
{
    const std::vector<test::CatalogueEntry> others = {
        {184, u"\u00dcber"}, {216, u"Version %s"}, {218, u"OK"}, {0xE000, u"Noctavi"}};
    std::vector<test::CatalogueEntry> all = others;
    all.push_back({217, u"Sprache %s"});
    const struct {
        std::vector<test::CatalogueEntry> entries;
        const char* language;
    } cases[] = {
        {{}, "Language 1.2.3.4"},
        {all, "Sprache 1.2.3.4"},
        {others, "Language 1.2.3.4 !"}, // its own text missing
    };
    for (const auto& c : cases) {
        const ScopedCatalogue catalogue(c.entries);
        const UI::AboutDlg dialog;
        EXPECT_EQ(Label(dialog, 1113), c.language);
    }
}

} // namespace
