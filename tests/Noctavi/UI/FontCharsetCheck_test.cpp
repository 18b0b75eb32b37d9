#include <Noctavi/UI/FontCharsetCheck.h>

#include <gtest/gtest.h>

namespace {

// The font database answers while the tests' QApplication exists.
TEST(FontCharsetCheck, AnswersFromTheInstalledFonts)
{
    // The build installs DejaVu, which covers Latin, Greek and Cyrillic.
    EXPECT_TRUE(UI::HasFontForCharset(0));
    EXPECT_TRUE(UI::HasFontForCharset(1));
    EXPECT_TRUE(UI::HasFontForCharset(161));
    EXPECT_TRUE(UI::HasFontForCharset(204));
    EXPECT_FALSE(UI::HasFontForCharset(3)); // no such character set
}

} // namespace
