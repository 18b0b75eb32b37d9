#include <Noctavi/UI/FontCharsetCheck.h>

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

// The font database answers only while a GUI application object exists.
class FontCharsetCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
    }
};

TEST_F(FontCharsetCheck, AnswersFromTheInstalledFonts)
{
    // The build installs DejaVu, which covers Latin, Greek and Cyrillic.
    EXPECT_TRUE(UI::HasFontForCharset(0));
    EXPECT_TRUE(UI::HasFontForCharset(1));
    EXPECT_TRUE(UI::HasFontForCharset(161));
    EXPECT_TRUE(UI::HasFontForCharset(204));
    EXPECT_FALSE(UI::HasFontForCharset(3)); // no such character set
}

} // namespace
